#pragma once
// What the studio tests share: the offscreen QApplication, the deliverables
// registered into the test's registry, and a main window on the virtual clock
// whose problems are collected instead of shown.

#include <QApplication>
#include <QStringList>
#include <cstdlib>
#include <filesystem>

#include "frame/registration.h"
#include "frame/session_loop.h"
#include "studio/main_window.h"

namespace studio_test {

inline QApplication& application() {
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "studio_test";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

inline void registerDeliverables() {
    static const bool done = [] {
        if (const char* registry = std::getenv("HARTDTM_REGISTRY"); !registry || !*registry) {
            const auto own =
                std::filesystem::temp_directory_path() / "hartdtm-test-studio-registry";
            setenv("HARTDTM_REGISTRY", own.c_str(), 1);
        }
        const std::filesystem::path packages =
            std::filesystem::path(HARTDTM_BINARY_ROOT) / "packages";
        for (const char* module :
             {"QadGenericDTM", "VarnholtRavikHARTDTM", "VarnholtLenmorHARTDTM", "ZorDTMView"})
            EXPECT_TRUE(
                frame::registerDeliverable(packages / module / (std::string(module) + ".so")))
                << module;
        return true;
    }();
    (void)done;
}

// A studio window on a virtual clock.
struct Studio {
    Studio() : loop(frame::SessionLoop::Clock::Virtual) {
        application();
        registerDeliverables();
        frame::FrameOptions options;
        options.devicesRoot = std::filesystem::path(HARTDTM_SOURCE_ROOT) / "devices";
        window = std::make_unique<studio::MainWindow>(loop, options);
        window->setReporter([this](const QString& problem) { problems << problem; });
    }
    ~Studio() { window.reset(); }

    frame::SessionLoop loop;
    std::unique_ptr<studio::MainWindow> window;
    QStringList problems;
};

}  // namespace studio_test
