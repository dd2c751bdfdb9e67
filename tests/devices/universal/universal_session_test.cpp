// The universal package's DTM against the simulated HART 7 pressure
// transmitter, through the frame library in process on the virtual clock:
// the frame's upload reads the whole device with the package's command list,
// its download writes back what the user changed, and the DTM declares that
// it serves any HART device.

#include <gtest/gtest.h>

#include <algorithm>
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
constexpr const char* kUniversalProgId = "UniversalHARTDTM.PackageDTM.1";
using Ms = std::chrono::milliseconds;

std::size_t commandCount(const std::string& list) {
    return static_cast<std::size_t>(std::count(list.begin(), list.end(), ',')) + 1;
}

// The package's transfer list for devices of the given universal revisions.
std::string packageList(const char* direction, const char* revisions = "6 7") {
    std::ifstream in(frametest::devicesRoot() / "universal" /
                     "Universal HART Device Description.xml");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::smatch match;
    const std::regex list(std::string("universal_revisions=\"") + revisions + "\"[^>]*" +
                          direction + "=\"([0-9, ]+)\"");
    return std::regex_search(text, match, list) ? match[1].str() : std::string();
}

class UniversalSession : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        frametest::registerDeliverables();
        EXPECT_TRUE(frame::registerDeliverable(std::filesystem::path(HARTDTM_BINARY_ROOT) /
                                               "packages/UniversalHARTDTM/UniversalHARTDTM.so"));
    }

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
    // What one script line printed.
    std::string output(const std::string& line) {
        std::ostringstream out, err;
        frame::ScriptRunner runner(*session, out, err, "test");
        EXPECT_TRUE(runner.runLine(*frame::readScriptLine(line, 1).line)) << out.str();
        return out.str();
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
        run("create " + std::string(kUniversalProgId) +
            "\nenvironment PT-4711\ninitnew\nconfig maintenance\nsetcommunication\n");
    }
    void uploadAll() { run("upload\n"); }
    std::uint64_t requests() { return session->simulator()->package().slave().requestCount(); }
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
    const std::uint64_t before = requests();
    uploadAll();
    EXPECT_EQ(requests() - before, commandCount(packageList("upload")))
        << "the DTM's upload list is the package's";
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

    const std::string parameters = output("parameters");
    EXPECT_NE(parameters.find("manufacturerId=\"24819\" deviceTypeId=\"57722\""),
              std::string::npos);
    EXPECT_NE(parameters.find("name=\"primary_variable\""), std::string::npos);

    const std::string identification = output("identification");
    EXPECT_NE(identification.find("idDTMSupportLevel=\"genericSupport\""), std::string::npos)
        << identification;
    for (const char* revision : {"5", "6", "7"}) {
        EXPECT_NE(identification.find(std::string("universalCommandRevisionLevel=\"") + revision),
                  std::string::npos)
            << revision;
    }
    EXPECT_EQ(identification.find("manufacturerIdentificationCode"), std::string::npos)
        << "no device type of its own";
    run("release\n");
}

TEST_F(UniversalSession, TagAndDescriptorDownloadIsReadBackByAFreshUpload) {
    startSession();
    uploadAll();
    const std::string counter = get(kConfigurationCounter);
    const std::uint64_t before = requests();
    run("set 1122622930 PT-0815\nset 1331626720 SUCTION SIDE\ndownload\nrelease\n");
    EXPECT_EQ(requests() - before, commandCount(packageList("download")))
        << "the DTM's download list is the package's";
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

TEST_F(UniversalSession, OlderDeviceIsNotAskedForTheCommandsItLacks) {
    device().setNumber(438775785, 5);  // the device answers command 0 as HART 5
    startSession();
    std::uint64_t before = requests();
    uploadAll();
    EXPECT_EQ(requests() - before, commandCount(packageList("upload")))
        << "before command 0 has answered, the DTM takes the device for HART 7";
    before = requests();
    uploadAll();
    EXPECT_EQ(requests() - before, commandCount(packageList("upload", "5")));
    before = requests();
    run("download\n");
    EXPECT_EQ(requests() - before, commandCount(packageList("download", "5")));
    run("release\n");
}

}  // namespace
