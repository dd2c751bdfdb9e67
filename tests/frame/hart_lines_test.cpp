// The frame over real lines to the stand-alone simulator: the demo over a
// pseudo-terminal and over HART-IP gives the same transcript as over the
// in-process simulator; a device that falls silent and a server that closes
// its session end the upload with FALSE; a scan finds two devices on a line.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/frame/frame_test_support.h"
#include "tests/frame/hartsim_process.h"

namespace {

using frametest::HartsimProcess;

std::string quoted(const std::string& word) {
    std::string q = "'";
    for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::vector<std::string> kOnline = {
    "-e", "create VarnholtRavikHARTDTM.BasicDTM.1", "-e", "environment PV-101", "-e", "initnew",
    "-e", "config maintenance",                     "-e", "setcommunication"};

class HartLines : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        frametest::registerDeliverables();
        frametest::registerViewModule(HARTDTM_DTMFRAME);
    }
    void SetUp() override {
        if (!frametest::positionerBuilt()) GTEST_SKIP() << "the positioner DTM is not built";
        dir = std::filesystem::temp_directory_path() /
              ("hartlines-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Runs dtmframe in the test's folder; its standard output.
    std::string dtmframe(const std::string& device, std::vector<std::string> args) {
        std::string command = "cd " + quoted(dir.string()) + " && " + quoted(HARTDTM_DTMFRAME) +
                              " --keep-going --registry " + quoted(std::getenv("HARTDTM_REGISTRY")) +
                              " --device " + quoted(device);
        for (const std::string& arg : args) command += " " + quoted(arg);
        command += " >out.txt 2>err.txt </dev/null";
        status = std::system(command.c_str());
        return readFile(dir / "out.txt");
    }
    std::string demo(const std::string& device) {
        return dtmframe(device, {HARTDTM_SOURCE_ROOT "/frame/demo/positioner.dtmframe"});
    }
    static std::vector<std::string> with(std::vector<std::string> tail) {
        std::vector<std::string> args = kOnline;
        args.insert(args.end(), tail.begin(), tail.end());
        return args;
    }

    std::filesystem::path dir;
    int status = -1;
};

TEST_F(HartLines, DemoOverSerialAndHartIpMatchesTheInProcessSimulator) {
    const std::string expected = demo("sim:positioner");
    ASSERT_NE(expected.find("event upload-finished 00000001-0000-0000-0000-000000000001 TRUE"), std::string::npos);
    ASSERT_NE(expected.find("event download-finished 00000001-0000-0000-0000-000000000002 TRUE"), std::string::npos);

    HartsimProcess pty({"--pty"});
    ASSERT_TRUE(pty.running());
    EXPECT_EQ(demo("serial:" + pty.address()), expected);
    EXPECT_EQ(status, 0) << readFile(dir / "err.txt");

    HartsimProcess server({"--hartip", "127.0.0.1:0"});
    ASSERT_TRUE(server.running());
    EXPECT_EQ(demo("hartip:" + server.address()), expected);
    EXPECT_EQ(status, 0) << readFile(dir / "err.txt");
    HartsimProcess udpServer({"--hartip", "127.0.0.1:0"});  // a device as it left the factory
    ASSERT_TRUE(udpServer.running());
    EXPECT_EQ(demo("hartip:" + udpServer.address() + ",udp"), expected);
}

TEST_F(HartLines, DeviceFallingSilentEndsTheUploadWithFalse) {
    HartsimProcess pty({"--pty", "--fault", "silence:8:0"});
    ASSERT_TRUE(pty.running());
    const std::string out = dtmframe("serial:" + pty.address(), with({"-e", "upload", "-e", "release"}));
    EXPECT_NE(out.find("Reason:no answer from long address 2B2101D661 after 3 tries"), std::string::npos) << out;
    EXPECT_NE(out.find("event upload-finished 00000001-0000-0000-0000-000000000001 FALSE"), std::string::npos);
    EXPECT_NE(out.find("event prepared-to-release\n"), std::string::npos) << "the release still ends";
}

TEST_F(HartLines, ClosedHartIpSessionFailsTheUploadAndReopensOnTheNextConnect) {
    HartsimProcess server({"--hartip", "127.0.0.1:0", "--fault", "close:8"});
    ASSERT_TRUE(server.running());
    const std::string out = dtmframe("hartip:" + server.address(),
                                     with({"-e", "upload", "-e", "releasecommunication", "-e", "setcommunication",
                                           "-e", "upload", "-e", "release"}));
    EXPECT_NE(out.find("closed the session\\nTag:RAVIK"), std::string::npos) << out;
    EXPECT_NE(out.find("event upload-finished 00000001-0000-0000-0000-000000000001 FALSE"), std::string::npos);
    EXPECT_NE(out.find("event upload-finished 00000001-0000-0000-0000-000000000002 TRUE"), std::string::npos);
}

TEST_F(HartLines, ScanFindsTwoDevicesOnOneLine) {
    HartsimProcess pty({"--pty", "positioner@0", "level@2"});
    ASSERT_TRUE(pty.running());
    const std::string out = dtmframe("serial:" + pty.address(), {"-e", "scan 0-3"});
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("address 0: manufacturer 171 device type 33 revisions universal 5 device 1 software 3 "
                       "hardware 0 device id 01D661 long address 2B2101D661 tag \"FV-2041\" DTMs "
                       "VarnholtRavikHARTDTM.BasicDTM.1"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("address 2: manufacturer 171 device type 210"), std::string::npos) << out;
    EXPECT_EQ(out.find("address 1:"), std::string::npos);
    EXPECT_EQ(out.find("address 3:"), std::string::npos);
}

TEST_F(HartLines, UnusablePortsAreNamed) {
    dtmframe("serial:/nonexistent/ttyHART", {"-e", "scan"});
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(readFile(dir / "err.txt").find("cannot open serial port /nonexistent/ttyHART: No such file"),
              std::string::npos);
    const std::string notTty = (dir / "plain-file").string();
    std::ofstream(notTty) << "x";
    dtmframe("serial:" + notTty, {"-e", "scan"});
    EXPECT_NE(readFile(dir / "err.txt").find("cannot use " + notTty + " as a serial port: it is not a terminal"),
              std::string::npos);
    dtmframe("serial:/dev/null,parity", {"-e", "scan"});
    EXPECT_NE(readFile(dir / "err.txt").find("unknown serial option 'parity'"), std::string::npos);
}

}  // namespace
