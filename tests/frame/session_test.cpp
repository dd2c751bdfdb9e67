// Whole DTM sessions through the frame library, in process: the engine bound
// to the positioner's package, against the simulated positioner, on the
// virtual clock. The faulty sessions end with the events the DTM gives for
// each fault and leave the session usable.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "frame/frame_host.h"
#include "frame/frame_session.h"
#include "frame/script.h"
#include "frame/script_runner.h"
#include "frame/simulator_backend.h"
#include "simulator/device_memory.h"
#include "tests/frame/frame_test_support.h"

namespace {

constexpr std::int32_t kMessage = 1031198652;        // written by command 17, read by command 12
constexpr std::int32_t kPollingAddress = 480012922;  // written by command 6
using Ms = std::chrono::milliseconds;

class FrameSession : public ::testing::Test {
protected:
    static void SetUpTestSuite() { frametest::registerDeliverables(); }

    void SetUp() override {
        frame::FrameOptions options;
        options.devicesRoot = frametest::devicesRoot();
        options.deviceSpec = "sim:positioner";
        options.communication = {Ms{5}, Ms{1000}};
        session = std::make_unique<frame::Frame>(loop, options);
        ASSERT_TRUE(session->openDevice());
        dir = std::filesystem::temp_directory_path() /
              ("frame-session-" + std::to_string(getpid()) + "-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        session.reset();
        std::filesystem::remove_all(dir);
    }

    // Runs script lines; every one must succeed.
    void run(const std::string& script) {
        const frame::ScriptRead read = frame::readScript(script);
        ASSERT_TRUE(read.ok()) << read.errorLine << ": " << read.error;
        for (const frame::ScriptLine& line : read.lines) {
            const std::size_t from = session->events().size();
            const Ran ran = runOne(line);
            ASSERT_TRUE(ran.ok) << ran.output << "\n" << eventsFrom(from);
        }
    }
    // What running one line printed on the two streams.
    struct Ran {
        bool ok = false;
        std::string output;
        std::string error;
    };
    Ran runOne(const frame::ScriptLine& line) {
        std::ostringstream out, err;
        frame::ScriptRunner runner(*session, out, err, "test");
        const bool ok = runner.runLine(line);
        return {ok, out.str(), err.str()};
    }
    Ran command(const std::string& text) {
        const frame::LineRead read = frame::readScriptLine(text, 1);
        EXPECT_TRUE(read.line) << read.error;
        return read.line ? runOne(*read.line) : Ran{false, {}, read.error};
    }
    void startEngineSession() {
        run("create QadGenericDTM.QadGenericDTMObject.7\nbind positioner\nenvironment "
            "PV-101\ninitnew\n"
            "config maintenance\nsetcommunication\n");
    }
    std::string eventsFrom(std::size_t from) const {
        std::string lines;
        const auto& events = session->events().events();
        for (std::size_t i = from; i < events.size(); ++i)
            lines += frame::formatEvent(events[i]) + "\n";
        return lines;
    }
    // The formatted events from `from` on, in order.
    std::vector<std::string> eventLines(std::size_t from = 0) const {
        std::vector<std::string> lines;
        const auto& events = session->events().events();
        for (std::size_t i = from; i < events.size(); ++i)
            lines.push_back(frame::formatEvent(events[i]));
        return lines;
    }
    simulator::DeviceMemory& device() { return session->simulator()->package().device().memory(); }

    frame::SessionLoop loop{frame::SessionLoop::Clock::Virtual};
    std::unique_ptr<frame::Frame> session;
    std::filesystem::path dir;
};

// `expected` appear in `lines` in this order (others may come between).
::testing::AssertionResult inOrder(const std::vector<std::string>& lines,
                                   const std::vector<std::string>& expected) {
    std::size_t at = 0;
    for (const std::string& want : expected) {
        const auto found =
            std::find_if(lines.begin() + static_cast<long>(at), lines.end(),
                         [&](const std::string& line) { return line.starts_with(want); });
        if (found == lines.end()) {
            std::string all;
            for (const auto& l : lines) all += "  " + l + "\n";
            return ::testing::AssertionFailure() << "missing (in order) '" << want << "' in\n"
                                                 << all;
        }
        at = static_cast<std::size_t>(found - lines.begin()) + 1;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(FrameSession, ChangedValueReachesTheDeviceAndComesBackFromTheDataSet) {
    startEngineSession();
    EXPECT_TRUE(inOrder(eventLines(), {"event online-state FALSE", "event online-state TRUE",
                                       "event functions-changed"}));
    run("action upload[0, 12, 13, 16]\n");
    EXPECT_EQ(command("get 1031198652").output, "> get 1031198652\nCOMMISSIONED 2024\n");
    run("set 1031198652 DEMO RUN\naction download[17]\n");
    EXPECT_EQ(device().text(kMessage), "DEMO RUN")
        << "the simulated device holds the written message";
    const std::string file = (dir / "positioner.dataset").string();
    run("save " + file + "\nrelease\n");
    EXPECT_FALSE(session->hasDtm());
    EXPECT_FALSE(session->communication()->connected());

    device().setText(kMessage, "CHANGED ON DEVICE");
    run("create QadGenericDTM.QadGenericDTMObject.7\nbind positioner\nload " + file +
        "\nenvironment PV-101\nconfig maintenance\n");
    EXPECT_EQ(command("get 1031198652").output, "> get 1031198652\nDEMO RUN\n");
    EXPECT_NE(command("initnew").output.find("InitNew answered FALSE"), std::string::npos)
        << "a loaded DTM needs no InitNew";
    run("release\n");
}

TEST_F(FrameSession, RefusedConnectIsReportedAndTheNextActionConnects) {
    run("create QadGenericDTM.QadGenericDTMObject.7\nbind positioner\nenvironment PV-101\ninitnew\n"
        "config maintenance\nfault refuse connect\n");
    const std::size_t from = session->events().size();
    run("setcommunication\n");
    EXPECT_EQ(eventLines(from),
              (std::vector<std::string>{"event online-state FALSE",
                                        "event error Communication Error ConnectRequest failed",
                                        "event online-state FALSE"}));
    EXPECT_FALSE(session->communication()->connected());
    run("action upload[12]\n");
    EXPECT_TRUE(session->communication()->connected());
    run("release\n");
}

TEST_F(FrameSession, CommunicationErrorDuringAnUploadAbortsAndTheSessionRecovers) {
    startEngineSession();
    run("fault command 13 1 commerror=modem unplugged\n");
    const std::size_t from = session->events().size();
    const Ran result = command("action upload[0, 12, 13, 16]");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("line 1: action failed: the DTM reported 1 error(s)"),
              std::string::npos)
        << result.error;
    EXPECT_TRUE(inOrder(eventLines(from),
                        {"event error Communication Error\\nReason:modem unplugged\\nTag:",
                         "event online-state FALSE", "event prepared-to-release-communication",
                         "event functions-changed"}));
    EXPECT_EQ(session->events().count("action-finished", from), 0u)
        << "the aborted element never finishes";
    EXPECT_FALSE(session->communication()->connected()) << "the DTM aborted the connection";

    const Ran stuck = command("action upload[16]");
    EXPECT_FALSE(stuck.ok)
        << "after an abort the DTM connects only when given the communication again";
    EXPECT_NE(stuck.output.find("failed: 0 of 1 transfer element(s) finished"), std::string::npos)
        << stuck.output;
    run("releasecommunication\nsetcommunication\naction upload[16]\n");
    EXPECT_TRUE(session->communication()->connected());
    run("release\n");
}

TEST_F(FrameSession, FramesUploadEndsWithFinishedFalseOnACommunicationError) {
    if (!frametest::positionerBuilt()) GTEST_SKIP() << "the positioner's DTM is not built";
    run("create VarnholtRavikHARTDTM.BasicDTM.1\nenvironment PV-101\ninitnew\nconfig maintenance\n"
        "setcommunication\nfault command 13 1 commerror=modem unplugged\n");
    const std::size_t from = session->events().size();
    const Ran upload = command("upload");
    EXPECT_FALSE(upload.ok);
    EXPECT_NE(upload.output.find(
                  "FALSE\nfailed: upload-finished 00000001-0000-0000-0000-000000000001 FALSE"),
              std::string::npos)
        << upload.output;
    EXPECT_TRUE(inOrder(eventLines(from),
                        {"event error Communication Error\\nReason:modem unplugged",
                         "event upload-finished 00000001-0000-0000-0000-000000000001 FALSE",
                         "event online-state FALSE"}));
    EXPECT_FALSE(session->locks().isLocked("PV-101"))
        << "the aborted upload gave the data-set lock back";
    run("release\n");
}

TEST_F(FrameSession, SynchronousLineFinishesTheFramesUploadAndDownload) {
    if (!frametest::positionerBuilt()) GTEST_SKIP() << "the positioner's DTM is not built";
    frame::FrameOptions options;
    options.devicesRoot = frametest::devicesRoot();
    options.deviceSpec = "sim:positioner";
    options.communication = {Ms{0}, Ms{1000}};  // answers inside each request's call
    session = std::make_unique<frame::Frame>(loop, options);
    ASSERT_TRUE(session->openDevice());
    run("create VarnholtRavikHARTDTM.BasicDTM.1\nenvironment PV-101\ninitnew\nconfig maintenance\n"
        "setcommunication\n");
    const auto online = session->dtm().as<IDtmOnlineParameter>();
    ASSERT_TRUE(online);
    for (const bool download : {false, true}) {
        const std::string kind = download ? "download-finished" : "upload-finished";
        SCOPED_TRACE(kind);
        if (download) run("set 1031198652 SYNC RUN\n");
        const com::Bstr invokeId = com::Bstr::fromUtf8(download ? "sync-download" : "sync-upload");
        const std::size_t from = session->events().size();
        VARIANT_BOOL started = VARIANT_FALSE;
        const HRESULT hr = download ? online->DownloadRequest(invokeId.get(), nullptr, &started)
                                    : online->UploadRequest(invokeId.get(), nullptr, &started);
        ASSERT_EQ(hr, S_OK);
        EXPECT_EQ(started, VARIANT_TRUE);
        // Nothing ran on the loop yet: the transfer ended inside the request.
        const frame::FrameEvent* finished = session->events().find(kind, invokeId.utf8(), from);
        ASSERT_NE(finished, nullptr) << eventsFrom(from);
        EXPECT_EQ(finished->fields.at(1), "TRUE");
        EXPECT_FALSE(session->locks().isLocked("PV-101")) << "the data set was unlocked";
    }
    EXPECT_EQ(device().text(kMessage), "SYNC RUN") << "the download reached the device";
    run("release\n");
}

TEST_F(FrameSession, ResponseCodeAnsweredRetryThenCancel) {
    startEngineSession();
    run("fault command 12 2 rc=32\nanswer retry cancel\n");
    const std::uint64_t before = session->simulator()->package().slave().requestCount();
    const std::size_t from = session->events().size();
    run("action upload[12]\n");
    const std::vector<std::string> events = eventLines(from);
    EXPECT_TRUE(
        inOrder(events, {"event message messageInformation buttonsRetryCancel",
                         "event message-answer buttonRetry scripted",
                         "event message messageInformation buttonsRetryCancel",
                         "event message-answer buttonCancel scripted", "event action-finished"}));
    EXPECT_EQ(session->events().count("message", from), 2u);
    EXPECT_EQ(session->simulator()->package().slave().requestCount() - before, 2u)
        << "Retry repeats the command once; Cancel goes on without it";
    EXPECT_EQ(session->events().count("error", from), 0u);
    run("release\n");
}

TEST_F(FrameSession, DroppedAnswerEndsInACommunicationErrorAfterTheTimeout) {
    startEngineSession();
    run("fault drop 1\n");
    const Ms start = loop.now();
    const std::size_t from = session->events().size();
    EXPECT_FALSE(command("action upload[12]").ok);
    EXPECT_GE(loop.now() - start, Ms{1000});
    EXPECT_LT(loop.now() - start, Ms{1200});
    EXPECT_TRUE(inOrder(
        eventLines(from),
        {"event error Communication Error\\nReason:no response from the device within 1000 ms",
         "event online-state FALSE"}));
    run("release\n");
}

TEST_F(FrameSession, NoDeviceAtTheShortAddressFailsTheConnect) {
    run("create QadGenericDTM.QadGenericDTMObject.7\nbind positioner\nenvironment PV-101\ninitnew\n"
        "config maintenance\n");
    device().setNumber(kPollingAddress, 5);  // the DTM connects at address 0
    const Ms start = loop.now();
    const std::size_t from = session->events().size();
    run("setcommunication\n");
    EXPECT_GE(loop.now() - start, Ms{1000});
    EXPECT_TRUE(inOrder(
        eventLines(from),
        {"event online-state FALSE",
         "event error Communication Error: ConnectRequest failed.\\nReason:no device answers at "
         "short address 0\\nTag:",
         "event online-state FALSE", "event functions-changed"}));
    EXPECT_FALSE(session->communication()->connected());
    run("release\n");
}

TEST_F(FrameSession, DamagedDataSetChangesNothing) {
    startEngineSession();
    const std::string file = (dir / "good.dataset").string();
    run("set 1031198652 KEPT\nsave " + file + "\nrelease\n");
    std::string text;
    {
        std::ifstream in(file, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    text[text.size() - 7] ^= 0x20;
    const std::string damaged = (dir / "damaged.dataset").string();
    std::ofstream(damaged, std::ios::binary) << text;

    run("create QadGenericDTM.QadGenericDTMObject.7\nbind positioner\n");
    const Ran load = command("load " + damaged);
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.output.find("damaged data-set file: the checksum does not match"),
              std::string::npos)
        << load.output;
    // Still a new DTM: Environment leads to InitNew, not to a loaded state.
    run("environment PV-101\ninitnew\nconfig maintenance\n");
    EXPECT_EQ(command("get 1031198652").output, "> get 1031198652\n\n")
        << "the description's empty default";
    run("release\n");
}

TEST_F(FrameSession, SaveWithARefusedLockKeepsTheOldFile) {
    startEngineSession();
    const std::string file = (dir / "kept.dataset").string();
    run("set 1031198652 FIRST\nsave " + file + "\n");
    std::ifstream first(file, std::ios::binary);
    const std::string before(std::istreambuf_iterator<char>(first), {});
    run("set 1031198652 SECOND\nfault refuse lock\n");
    const Ran save = command("save " + file);
    EXPECT_FALSE(save.ok);
    EXPECT_NE(save.output.find("wrote no data set: its data-set lock was refused"), std::string::npos)
        << save.output;
    std::ifstream again(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), before);
    run("release\n");
}

TEST_F(FrameSession, CommandsOutsideTheirStateFailWithTheDtmsAnswer) {
    EXPECT_NE(command("get 1").output.find("failed: no DTM: create one first"), std::string::npos);
    EXPECT_NE(
        command("create No.Such.ProgId").output.find("ProgID 'No.Such.ProgId' is not registered"),
        std::string::npos);
    run("create QadGenericDTM.QadGenericDTMObject.7\n");
    EXPECT_NE(command("create QadGenericDTM.QadGenericDTMObject.7").output.find("a DTM exists"),
              std::string::npos);
    run("bind positioner\n");
    const Ran early = command("setcommunication");
    EXPECT_EQ(early.output, "> setcommunication\nFALSE\nfailed: SetCommunication answered FALSE\n");
    EXPECT_FALSE(command("bind no-such-package").ok);
    run("environment\ninitnew\nconfig maintenance\n");
    EXPECT_FALSE(command("upload").ok) << "not communicating";
    EXPECT_TRUE(command("release").ok) << "release from the configured state works";
}

}  // namespace
