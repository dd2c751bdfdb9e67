// The universal package against the simulated HART 7 pressure transmitter,
// through the frame library in process on the virtual clock: the engine
// bound to the package uploads the whole device with the package's own
// command list and writes back what the user changed.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "frame/frame_host.h"
#include "frame/frame_session.h"
#include "frame/script.h"
#include "frame/script_runner.h"
#include "frame/simulator_backend.h"
#include "simulator/pressure_behaviour.h"
#include "tests/frame/frame_test_support.h"

namespace {

constexpr std::int32_t kTag = 1122622930;
constexpr std::int32_t kDescriptor = 1331626720;
constexpr std::int32_t kPrimaryVariable = 196666074;
constexpr std::int32_t kConfigurationCounter = 436007525;
using Ms = std::chrono::milliseconds;

// The package's transfer list for devices of universal revision 6 and 7.
std::string packageList(const char* direction) {
    std::ifstream in(frametest::devicesRoot() / "universal" /
                     "Universal HART Device Description.xml");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::smatch match;
    const std::regex list(std::string("universal_revisions=\"6 7\"[^>]*") + direction +
                          "=\"([0-9, ]+)\"");
    return std::regex_search(text, match, list) ? match[1].str() : std::string();
}

class UniversalSession : public ::testing::Test {
protected:
    static void SetUpTestSuite() { frametest::registerDeliverables(); }

    void SetUp() override {
        frame::FrameOptions options;
        options.devicesRoot = frametest::devicesRoot();
        options.deviceSpec = "sim:universal";
        options.communication = {Ms{5}, Ms{1000}};
        session = std::make_unique<frame::Frame>(loop, options);
        ASSERT_TRUE(session->openDevice());
        ASSERT_NE(pressure(), nullptr) << "the profile's identity selects the pressure transmitter";
    }

    void run(const std::string& script) {
        const frame::ScriptRead read = frame::readScript(script);
        ASSERT_TRUE(read.ok()) << read.errorLine << ": " << read.error;
        for (const frame::ScriptLine& line : read.lines) {
            std::ostringstream out, err;
            frame::ScriptRunner runner(*session, out, err, "test");
            ASSERT_TRUE(runner.runLine(line)) << out.str() << err.str();
        }
    }
    std::string get(std::int32_t id) {
        const frame::LineRead read = frame::readScriptLine("get " + std::to_string(id), 1);
        std::ostringstream out, err;
        frame::ScriptRunner runner(*session, out, err, "test");
        EXPECT_TRUE(runner.runLine(*read.line)) << out.str();
        const std::string text = out.str();
        const std::size_t from = text.find('\n') + 1;
        return text.substr(from, text.size() - from - 1);
    }
    void startSession() {
        run("create " + std::string(frametest::kEngineProgId) +
            "\nbind universal\nenvironment PT-4711\ninitnew\nconfig maintenance\nsetcommunication\n");
    }
    void uploadAll() { run("action upload[" + packageList("upload") + "]\n"); }
    simulator::DeviceMemory& device() { return session->simulator()->package().device().memory(); }
    simulator::PressureBehaviour* pressure() {
        return dynamic_cast<simulator::PressureBehaviour*>(
            &session->simulator()->package().device().behaviour());
    }

    frame::SessionLoop loop{frame::SessionLoop::Clock::Virtual};
    std::unique_ptr<frame::Frame> session;
};

TEST_F(UniversalSession, FullUploadGivesIdentityTagAndAMovingPrimaryVariable) {
    ASSERT_FALSE(packageList("upload").empty());
    startSession();
    const std::size_t from = session->events().size();
    uploadAll();
    EXPECT_EQ(session->events().count("message", from), 0u) << "every command was answered";
    EXPECT_EQ(session->events().count("error", from), 0u);
    EXPECT_EQ(get(2024606965), "24819") << "16-bit manufacturer code of HART 7";
    EXPECT_EQ(get(965867385), "57722") << "expanded device type";
    EXPECT_EQ(get(438775785), "7");
    EXPECT_EQ(get(444726575), "660268");
    EXPECT_EQ(get(kTag), "PT-4711");
    EXPECT_EQ(get(1421392210), "FEED PUMP 2 OUTLET PRESSURE");
    EXPECT_EQ(get(1115162868), "7") << "bar";
    const double first = std::stod(get(kPrimaryVariable));
    EXPECT_NEAR(first, 6.2, 0.81) << "5 % of the 16 bar span around the profile's value";
    EXPECT_NEAR(std::stod(get(698020263)), 4.0 + 16.0 * first / 16.0, 0.01) << "loop current";

    run("wait 15000\naction upload[1]\n");
    EXPECT_NE(std::stod(get(kPrimaryVariable)), first) << "the pressure moves";

    std::ostringstream out, err;
    frame::ScriptRunner runner(*session, out, err, "test");
    ASSERT_TRUE(runner.runLine(*frame::readScriptLine("identification", 1).line));
    EXPECT_NE(out.str().find("manufacturerIdentificationCode=\"24819\""), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("deviceTypeID=\"57722\""), std::string::npos);
    run("release\n");
}

TEST_F(UniversalSession, TagAndDescriptorDownloadIsReadBackByAFreshUpload) {
    startSession();
    uploadAll();
    const std::string counter = get(kConfigurationCounter);
    run("set 1122622930 PT-0815\nset 1331626720 SUCTION SIDE\naction download[" +
        packageList("download") + "]\nrelease\n");
    EXPECT_EQ(device().text(kTag), "PT-0815");

    startSession();
    EXPECT_EQ(get(kTag), "Universal") << "a fresh DTM starts from its description";
    uploadAll();
    EXPECT_EQ(get(kTag), "PT-0815");
    EXPECT_EQ(get(kDescriptor), "SUCTION SIDE");
    EXPECT_EQ(get(kConfigurationCounter), std::to_string(std::stoi(counter) + 1))
        << "the device counted one configuration change for the whole download";
    run("release\n");
}

TEST_F(UniversalSession, WriteProtectedDeviceRefusesTheWriteWithItsResponseCode) {
    startSession();
    uploadAll();
    pressure()->setWriteProtected(device(), true);
    const std::size_t from = session->events().size();
    run("set 1122622930 PT-9999\nanswer cancel\naction download[18]\n");
    const auto& events = session->events().events();
    bool refused = false;
    for (std::size_t i = from; i < events.size(); ++i) {
        const std::string line = frame::formatEvent(events[i]);
        refused = refused || (line.starts_with("event message") &&
                              line.find("The device is write-protected.") != std::string::npos);
    }
    EXPECT_TRUE(refused) << "the language file's text of response code 7";
    EXPECT_EQ(get(439972815), "7");
    EXPECT_EQ(device().text(kTag), "PT-4711") << "the device kept its tag";
    run("release\n");
}

}  // namespace
