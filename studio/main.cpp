// dtmstudio: the desktop frame application. With --screenshot it renders the
// main window offscreen into a PNG and exits, for documentation and tests.

#include <QApplication>
#include <QCommandLineParser>
#include <QImage>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "frame/session_loop.h"
#include "studio/gui_loop.h"
#include "studio/main_window.h"
#include "studio/message_boxes.h"

// The engine's error boxes reach the host through this exported function.
extern "C" __attribute__((visibility("default"))) int HartDtmMessageBox(const char* text,
                                                                        const char* caption,
                                                                        unsigned flags) {
    return studio::showErrorBox(text, caption, flags);
}

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// TAG/FUNCTIONID, the function a screenshot shows.
bool splitOpen(const QString& text, QString& tag, long& functionId) {
    const qsizetype slash = text.lastIndexOf('/');
    if (slash <= 0) return false;
    bool ok = false;
    tag = text.left(slash);
    functionId = text.mid(slash + 1).toLong(&ok);
    return ok && functionId > 0;
}

int screenshot(studio::MainWindow& window, frame::SessionLoop& loop, const QString& file,
               const QString& open) {
    int exitCode = 0;
    window.setReporter([&exitCode](const QString& problem) {
        std::fprintf(stderr, "dtmstudio: %s\n", problem.toLocal8Bit().constData());
        exitCode = kExitFailed;
    });
    window.resize(1500, 1080);
    window.show();
    if (!open.isEmpty()) {
        QString tag;
        long functionId = 0;
        if (!splitOpen(open, tag, functionId)) {
            std::fprintf(stderr, "dtmstudio: --open takes TAG/FUNCTIONID\n");
            return kExitUsage;
        }
        if (!window.openFunction(tag, functionId)) return kExitFailed;
        // Lets an online view run its first cycles before it is drawn.
        loop.wait(frame::Milliseconds(1500));
    }
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    const QImage image = window.grab().toImage();
    if (image.isNull() || !image.save(file, "PNG")) {
        std::fprintf(stderr, "dtmstudio: cannot write %s\n", file.toLocal8Bit().constData());
        return kExitFailed;
    }
    std::printf("dtmstudio: wrote %s (%dx%d)\n", file.toLocal8Bit().constData(), image.width(),
                image.height());
    for (int i = window.tabs()->count() - 1; i >= 0; --i) window.closeTab(i);
    // The work the closed views left behind runs before the window goes.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    // A screenshot and the help need no display; the window does.
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) {
        bool headless = false;
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            headless |= arg == "--screenshot" || arg == "--help" || arg == "-h";
        }
        if (!headless) {
            std::fprintf(stderr,
                         "dtmstudio: no display (DISPLAY or WAYLAND_DISPLAY); --screenshot works "
                         "without one\n");
            return kExitUsage;
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dtmstudio"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A frame application for HART DTMs with SQLite projects."));
    parser.addHelpOption();
    const QCommandLineOption project(QStringLiteral("project"),
                                     QStringLiteral("Open the project FILE."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption shot(
        QStringLiteral("screenshot"),
        QStringLiteral("Render the main window offscreen into FILE.png and exit."),
        QStringLiteral("FILE.png"));
    const QCommandLineOption open(QStringLiteral("open"),
                                  QStringLiteral("Open the function's view (with --screenshot)."),
                                  QStringLiteral("TAG/FUNCTIONID"));
    const QCommandLineOption simulated(
        QStringLiteral("add-simulated"),
        QStringLiteral("Add a simulated device (positioner, level) with its tag."),
        QStringLiteral("PACKAGE:TAG"));
    const QCommandLineOption connectAll(
        QStringLiteral("connect"),
        QStringLiteral("Connect and upload every device once the project is open."));
    const QCommandLineOption registry(QStringLiteral("registry"),
                                      QStringLiteral("The component registry file."),
                                      QStringLiteral("PATH"));
    const QCommandLineOption devices(QStringLiteral("devices"),
                                     QStringLiteral("Device packages and their schemas folder."),
                                     QStringLiteral("DIR"));
    parser.addOptions({project, shot, open, simulated, connectAll, registry, devices});
    parser.process(app);
    if (parser.isSet(open) && !parser.isSet(shot)) {
        std::fprintf(stderr, "dtmstudio: --open goes with --screenshot\n");
        return kExitUsage;
    }
    if (parser.isSet(registry)) {
        std::filesystem::path file = parser.value(registry).toStdString();
        std::error_code error;
        if (std::filesystem::is_directory(file, error)) file /= "registry";
        setenv("HARTDTM_REGISTRY", std::filesystem::absolute(file, error).c_str(), 1);
    }

    frame::SessionLoop loop(frame::SessionLoop::Clock::RealTime);
    studio::GuiLoop driver(loop);
    frame::FrameOptions options;
    // An open view keeps the loop busy for good: a command waits this long
    // for the DTM's deferred work, the GUI loop runs the rest.
    options.settleLimit = frame::Milliseconds(250);
    if (parser.isSet(devices)) options.devicesRoot = parser.value(devices).toStdString();
    studio::MainWindow window(loop, options);
    // The project, the simulated devices and the connections the command line asks for.
    const auto prepare = [&] {
        if (parser.isSet(project) && !window.openProject(parser.value(project))) return false;
        for (const QString& spec : parser.values(simulated)) {
            const qsizetype colon = spec.indexOf(':');
            const QString package = colon < 0 ? spec : spec.left(colon);
            if (!window.addSimulatedDevice(package, colon < 0 ? QString() : spec.mid(colon + 1)))
                return false;
        }
        if (parser.isSet(connectAll)) {
            for (const auto& device : window.project().devices()) {
                const QString tag = QString::fromStdString(device->identity().tag);
                if (!window.connectDevice(tag) || !window.uploadDevice(tag)) return false;
            }
        }
        return true;
    };
    if (parser.isSet(shot)) {
        window.setReporter([](const QString& problem) {
            std::fprintf(stderr, "dtmstudio: %s\n", problem.toLocal8Bit().constData());
        });
        if (!prepare()) return kExitFailed;
        return screenshot(window, loop, parser.value(shot), parser.value(open));
    }
    window.resize(1400, 950);
    window.show();
    QTimer::singleShot(0, &window, prepare);
    return QApplication::exec();
}

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps its caches until the process ends; they are not ours.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
