// The studio end to end: a project with a simulated positioner and level
// device, connected, uploaded, a view opened and closed in a tab, saved,
// closed and reopened; a DTM's question answered in a message box; a line
// scanned; and a real line's descriptor watched through Qt.

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QImage>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>
#include <vector>

#include "idl/qad_generic_dtm.h"
#include "platform/com/bstr.h"
#include "studio/device_pages.h"
#include "studio/device_session.h"
#include "studio/gui_loop.h"
#include "studio/view_tab.h"
#include "tests/frame/hartsim_process.h"
#include "tests/studio/studio_support.h"

namespace {

std::vector<std::string> errorBoxes;

}  // namespace

// The engine's error boxes: recorded, a test never waits on one.
extern "C" __attribute__((visibility("default"))) int HartDtmMessageBox(const char* text,
                                                                        const char* caption,
                                                                        unsigned) {
    errorBoxes.push_back(std::string(caption ? caption : "") + ": " + (text ? text : ""));
    return 1;
}

namespace {

namespace fs = std::filesystem;
using studio::DeviceSession;

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("studio-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir / name;
}

struct SavedDevice {
    std::string dataSet;
    std::vector<std::tuple<QString, QString, QString, QString>> audit;  // parameter, old, new, user
};

SavedDevice snapshot(studio::MainWindow& window, const QString& tag) {
    SavedDevice saved;
    DeviceSession* device = window.project().device(tag);
    if (!device || !device->dataSet()) return saved;
    saved.dataSet = studio::dataSetText(*device->dataSet());
    for (const studio::AuditRecord& entry : window.project().audit(tag))
        saved.audit.emplace_back(entry.parameter, entry.oldValue, entry.newValue, entry.user);
    return saved;
}

TEST(StudioFlow, ProjectWithTwoSimulatedDevicesSurvivesSaveAndReopen) {
    studio_test::Studio studio;
    studio::MainWindow& window = *studio.window;
    errorBoxes.clear();

    // The catalogue comes from the registry: both device DTMs, the bare engine left out.
    std::vector<std::string> progIds;
    for (const studio::CatalogueEntry& entry : window.catalogue()) progIds.push_back(entry.progId);
    EXPECT_NE(std::find(progIds.begin(), progIds.end(), "VarnholtRavikHARTDTM.BasicDTM.1"),
              progIds.end());
    EXPECT_EQ(progIds.size(), 2u) << studio.problems.join("\n").toStdString();

    ASSERT_NE(window.addSimulatedDevice("positioner", "PV-101"), nullptr)
        << studio.problems.join("\n").toStdString();
    ASSERT_NE(window.addSimulatedDevice("level", "LT-201"), nullptr)
        << studio.problems.join("\n").toStdString();
    ASSERT_EQ(window.projectTree()->topLevelItemCount(), 2);
    EXPECT_EQ(window.projectTree()->topLevelItem(0)->text(0), "sim:positioner");
    EXPECT_TRUE(window.projectTree()->topLevelItem(0)->child(0)->text(0).startsWith("PV-101"));
    EXPECT_GT(window.projectTree()->topLevelItem(0)->child(0)->childCount(), 0)
        << "the functions in the tree";

    for (const char* tag : {"PV-101", "LT-201"}) {
        ASSERT_TRUE(window.connectDevice(tag)) << studio.problems.join("\n").toStdString();
        EXPECT_TRUE(window.project().device(tag)->online()) << tag;
    }

    // The progress bar follows the DTM's progress events to 100 and hides.
    std::vector<int> shown;
    QObject::connect(window.progressBar(), &QProgressBar::valueChanged,
                     [&](int value) { shown.push_back(value); });
    ASSERT_TRUE(window.uploadDevice("PV-101")) << studio.problems.join("\n").toStdString();
    ASSERT_FALSE(shown.empty()) << window.eventLog()->toPlainText().toStdString();
    EXPECT_EQ(*std::max_element(shown.begin(), shown.end()), 100);
    EXPECT_FALSE(window.progressBar()->isVisible());
    ASSERT_TRUE(window.uploadDevice("LT-201")) << studio.problems.join("\n").toStdString();
    // A DTM that reports its progress moves the bar in steps.
    shown.clear();
    ASSERT_TRUE(window.project()
                    .device("LT-201")
                    ->frame()
                    .action("startprogress[Upload],upload[0, 12, 13]")
                    .ok);
    EXPECT_EQ(shown, (std::vector<int>{33, 66, 100}));
    EXPECT_FALSE(window.progressBar()->isVisible());

    // A view in a tab; closing the tab tells the DTM, which tells the frame.
    studio::ViewTab* view = window.openFunction("PV-101", 1);
    ASSERT_NE(view, nullptr) << studio.problems.join("\n").toStdString();
    const std::string invokeId = view->invokeId();
    ASSERT_EQ(window.tabs()->count(), 1);
    studio.loop.wait(frame::Milliseconds(2000));
    window.closeTab(0);
    EXPECT_EQ(window.tabs()->count(), 0);
    EXPECT_NE(
        window.project().device("PV-101")->frame().events().find("application-closed", invokeId),
        nullptr);
    EXPECT_TRUE(window.eventLog()->toPlainText().contains(
        QString::fromStdString("application-closed " + invokeId)));

    // After the upload the comparison shows the project's and the device's values side by side.
    const std::vector<studio::Difference> differences =
        window.project().device("PV-101")->lastComparison();
    window.showComparison("PV-101");
    auto* comparison = qobject_cast<QTableWidget*>(window.tabs()->currentWidget());
    ASSERT_NE(comparison, nullptr);
    ASSERT_EQ(comparison->rowCount(), static_cast<int>(differences.size()));
    bool tagShown = false;
    for (int row = 0; row < comparison->rowCount(); ++row) {
        EXPECT_NE(comparison->item(row, 2)->text(), comparison->item(row, 3)->text());
        tagShown |= comparison->item(row, 2)->text() == "RAVIK" &&
                    comparison->item(row, 3)->text() == "FV-2041";
    }
    EXPECT_TRUE(tagShown) << "the device's tag against the new project's";
    window.closeTab(window.tabs()->currentIndex());

    // An edit in the offline table goes through SetParameters into the audit trail.
    window.showParameters("PV-101");
    auto* table = dynamic_cast<studio::ParameterPage*>(window.tabs()->currentWidget());
    ASSERT_NE(table, nullptr);
    const auto rowOf = [&](const QString& name) {
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text() == name) return row;
        }
        return -1;
    };
    ASSERT_GE(rowOf("fStroke"), 0);
    table->item(rowOf("fStroke"), 1)->setText("80");
    QCoreApplication::processEvents();
    EXPECT_TRUE(table->item(rowOf("fStroke"), 1)->text().startsWith("80"));
    window.closeTab(window.tabs()->currentIndex());
    const std::vector<studio::AuditRecord> trail = window.project().audit("PV-101");
    ASSERT_FALSE(trail.empty());
    EXPECT_TRUE(std::any_of(trail.begin(), trail.end(), [](const studio::AuditRecord& entry) {
        return entry.newValue.startsWith("80") && !entry.oldValue.startsWith("80") &&
               !entry.user.isEmpty();
    }));
    window.showAudit("PV-101");
    EXPECT_EQ(qobject_cast<QTableWidget*>(window.tabs()->currentWidget())->rowCount(),
              static_cast<int>(trail.size()));
    window.closeTab(window.tabs()->currentIndex());

    const QString file = QString::fromStdString(scratch("plant.dtmproject").string());
    ASSERT_TRUE(window.saveProject(file)) << studio.problems.join("\n").toStdString();
    const SavedDevice positionerSaved = snapshot(window, "PV-101");
    const SavedDevice levelSaved = snapshot(window, "LT-201");
    EXPECT_FALSE(positionerSaved.dataSet.empty());

    window.closeProject();
    EXPECT_EQ(window.project().devices().size(), 0u);
    EXPECT_EQ(window.projectTree()->topLevelItemCount(), 0);

    ASSERT_TRUE(window.openProject(file)) << studio.problems.join("\n").toStdString();
    ASSERT_EQ(window.project().devices().size(), 2u);
    for (const auto& [tag, saved] :
         {std::pair{"PV-101", positionerSaved}, std::pair{"LT-201", levelSaved}}) {
        const SavedDevice reopened = snapshot(window, tag);
        EXPECT_EQ(reopened.dataSet, saved.dataSet) << tag;
        EXPECT_EQ(reopened.audit, saved.audit) << tag;
    }
    // The reopened DTM holds the saved values.
    EXPECT_EQ(window.project().device("PV-101")->frame().get(1122622930).output, "FV-2041")
        << "the uploaded tag";
    EXPECT_TRUE(errorBoxes.empty()) << errorBoxes.front();

    // The command line renders the saved project with the menu view open. (Its leaks
    // are checked in this process, which runs the same window; the child's exit
    // sometimes leaves one of Qt's own allocations behind.)
    const fs::path png = scratch("studio.png");
    const std::string command =
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 '") +
        HARTDTM_DTMSTUDIO + "' --screenshot '" + png.string() + "' --project '" +
        file.toStdString() + "' --open PV-101/1 >'" + scratch("studio.log").string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << [] {
        std::ifstream log(scratch("studio.log"));
        return std::string(std::istreambuf_iterator<char>(log), {});
    }();
    const QImage image(QString::fromStdString(png.string()));
    EXPECT_GE(image.width(), 1200);
    fs::remove_all(scratch("").parent_path());
}

TEST(StudioDialogs, UserMessageIsAnsweredInAMessageBox) {
    studio_test::Studio studio;
    DeviceSession* device = studio.window->addSimulatedDevice("positioner", "PV-7");
    ASSERT_NE(device, nullptr) << studio.problems.join("\n").toStdString();
    const auto engine = device->frame().dtm().as<IQadGenericDTMObject>();
    ASSERT_TRUE(engine);

    QString shownText, shownTitle;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        shownTitle = box->windowTitle();
        shownIcon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::No)->click();
    });
    LONG result = 0;
    ASSERT_EQ(engine->DTM_MsgBox(com::Bstr::fromUtf8("Start the valve test?").get(), 0x24, &result),
              S_OK);
    EXPECT_EQ(result, 7) << "the answer No";
    EXPECT_EQ(shownText, "Start the valve test?");
    EXPECT_FALSE(shownTitle.isEmpty());
    EXPECT_EQ(shownIcon, QMessageBox::Question);
    EXPECT_EQ(buttons, 2);
    const frame::FrameEvent* answer = device->frame().events().find("message-answer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->fields.at(0), "buttonNo");
}

// Scanning a simulator line adds its device with the DTM that identifies it,
// its polling address and its tag; a second scan adds nothing more.
TEST(StudioScan, FoundDeviceIsAddedWithItsDtmAddressAndTag) {
    const struct {
        const char* line;
        const char* progId;
    } cases[] = {{"sim:positioner", "VarnholtRavikHARTDTM.BasicDTM.1"},
                 {"sim:level", "VarnholtLenmorHARTDTM.PackageDTM.1"}};
    studio_test::Studio studio;
    studio::MainWindow& window = *studio.window;
    for (const auto& scanned : cases) {
        SCOPED_TRACE(scanned.line);
        const qint64 line = window.addLine(scanned.line);
        const std::vector<DeviceSession*> added = window.scanLine(line);
        ASSERT_EQ(added.size(), 1u) << studio.problems.join("\n").toStdString();
        const DeviceSession::Identity& identity = added[0]->identity();
        EXPECT_EQ(identity.progId, scanned.progId);
        EXPECT_EQ(identity.address, 0);
        EXPECT_EQ(identity.lineSpec, scanned.line);
        EXPECT_FALSE(identity.tag.empty());
        EXPECT_TRUE(added[0]->started());
        EXPECT_EQ(window.project().lineOf(*added[0]), line);
        EXPECT_TRUE(window.scanLine(line).empty()) << "the device is in the project already";
    }
    EXPECT_TRUE(studio.problems.isEmpty()) << studio.problems.join("\n").toStdString();
    EXPECT_EQ(window.project().devices().size(), 2u);

    // A line whose device is connected is not opened a second time.
    const DeviceSession& level = *window.project().devices().back();
    ASSERT_TRUE(window.connectDevice(QString::fromStdString(level.identity().tag)));
    EXPECT_TRUE(window.scanLine(window.project().lineOf(level)).empty());
    EXPECT_EQ(studio.problems,
              QStringList{"disconnect the devices on sim:level before scanning it"});
}

// A serial line in real time, its port watched through Qt: the stand-alone
// simulator's two devices are found and added at their addresses.
TEST(StudioScan, SerialLineWithTwoDevices) {
    studio_test::application();
    studio_test::registerDeliverables();
    frametest::HartsimProcess pty({"--pty", "positioner@0", "level@2"});
    ASSERT_TRUE(pty.running());
    frame::SessionLoop loop(frame::SessionLoop::Clock::RealTime);
    studio::GuiLoop driver(loop);
    frame::FrameOptions options;
    options.devicesRoot = fs::path(HARTDTM_SOURCE_ROOT) / "devices";
    studio::MainWindow window(loop, options);
    QStringList problems;
    window.setReporter([&](const QString& problem) { problems << problem; });
    const std::vector<DeviceSession*> added =
        window.scanLine(window.addLine(QString::fromStdString("serial:" + pty.address())));
    ASSERT_EQ(added.size(), 2u) << problems.join("\n").toStdString();
    EXPECT_EQ(
        std::tuple(added[0]->identity().tag, added[0]->identity().address,
                   added[0]->identity().progId),
        std::tuple(std::string("FV-2041"), 0, std::string("VarnholtRavikHARTDTM.BasicDTM.1")));
    EXPECT_EQ(std::tuple(added[1]->identity().address, added[1]->identity().progId),
              std::tuple(2, std::string("VarnholtLenmorHARTDTM.PackageDTM.1")));
    window.closeProject();
}

// A real line's descriptor is watched through Qt: its handler runs from Qt's
// event loop and from a frame command waiting in the real-time loop.
TEST(StudioLoop, LineDescriptorsAreWatchedThroughQt) {
    studio_test::application();
    frame::SessionLoop loop(frame::SessionLoop::Clock::RealTime);
    studio::GuiLoop driver(loop);
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    std::string received;
    loop.descriptors()->watch(pipeFds[0], POLLIN, [&](short ready) {
        char c = 0;
        if ((ready & POLLIN) && read(pipeFds[0], &c, 1) == 1) received += c;
    });
    ASSERT_EQ(write(pipeFds[1], "q", 1), 1);
    for (QDeadlineTimer deadline(5000); received.empty() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(received, "q") << "from Qt's event loop";
    ASSERT_EQ(write(pipeFds[1], "c", 1), 1);
    EXPECT_TRUE(loop.runUntil([&] { return received.size() == 2; }, std::chrono::seconds(5)));
    EXPECT_EQ(received, "qc") << "from a command's wait";
    loop.descriptors()->remove(pipeFds[0]);
    close(pipeFds[0]);
    close(pipeFds[1]);
}

TEST(FunctionsDocument, EntriesKeepTheirNestingIdsAndStates) {
    const std::string document =
        R"(<FDT xmlns="x-schema:DTMFunctionsSchema.xml" xmlns:fdt="x-schema:FDTDataTypesSchema.xml">)"
        R"(<Functions label="" fdt:name="" help="">)"
        R"(<Function label="Parameterize" fdt:name="P" hasGUI="1" functionId="1"><Status enabled="1" separator="0"/></Function>)"
        R"(<Function label="" fdt:name="" functionId=""><Status enabled="1" separator="1"/></Function>)"
        R"(<StandardFunction fdt:name="Online" functionId="2"><Status enabled="0" separator="0"/></StandardFunction>)"
        R"(<Functions label="Documentation" fdt:name="D"><Document label="Guide" functionId="guide.txt"/></Functions>)"
        R"(</Functions></FDT>)";
    const std::vector<studio::FunctionEntry> entries = studio::parseFunctions(document);
    using Kind = studio::FunctionEntry::Kind;
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(
        std::tuple(entries[0].kind, entries[0].label, entries[0].functionId, entries[0].hasGui),
        std::tuple(Kind::Function, std::string("Parameterize"), 1L, true));
    EXPECT_EQ(entries[1].kind, Kind::Separator);
    EXPECT_EQ(std::tuple(entries[2].label, entries[2].functionId, entries[2].enabled),
              std::tuple(std::string("Online"), 2L, false));
    ASSERT_EQ(entries[3].children.size(), 1u);
    EXPECT_EQ(
        std::tuple(entries[3].kind, entries[3].children[0].kind, entries[3].children[0].label),
        std::tuple(Kind::Group, Kind::Document, std::string("Guide")));
    EXPECT_TRUE(studio::parseFunctions("<FDT><Functions>").empty())
        << "a broken document gives no entries";
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps its caches until the process ends; they are not ours.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
