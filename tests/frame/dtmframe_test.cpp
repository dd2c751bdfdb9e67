// The dtmframe program itself: the demo scripts' transcripts on the virtual
// clock, and the exit status and messages for scripts that fail.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/frame/frame_test_support.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

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

class DtmframeProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        frametest::registerDeliverables();
        frametest::registerViewModule(HARTDTM_DTMFRAME);
    }
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("dtmframe-" + std::to_string(getpid()) + "-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Runs dtmframe in the test's folder with the test's registry, or with
    // none given (no --registry, no HARTDTM_REGISTRY).
    Outcome dtmframe(const std::vector<std::string>& args, bool testRegistry = true) {
        std::string command = "cd " + quoted(dir.string()) + " && ";
        command += testRegistry ? quoted(HARTDTM_DTMFRAME) + " --registry " +
                                      quoted(std::getenv("HARTDTM_REGISTRY"))
                                : "env -u HARTDTM_REGISTRY " + quoted(HARTDTM_DTMFRAME);
        for (const std::string& arg : args) command += " " + quoted(arg);
        command += " >out.txt 2>err.txt </dev/null";
        const int raw = std::system(command.c_str());
        Outcome run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = readFile(dir / "out.txt");
        run.err = readFile(dir / "err.txt");
        return run;
    }

    std::filesystem::path dir;
};

// Compares a transcript with its expected form line by line; an expected line
// ending in "..." matches any line that starts with the text before it.
void expectTranscript(const std::string& actual, const std::filesystem::path& expectedFile) {
    std::istringstream got(actual), want(readFile(expectedFile));
    std::string gotLine, wantLine;
    int number = 0;
    while (std::getline(want, wantLine)) {
        ++number;
        ASSERT_TRUE(std::getline(got, gotLine))
            << "transcript ends before line " << number << ": " << wantLine;
        if (wantLine.ends_with("...")) {
            EXPECT_TRUE(gotLine.starts_with(wantLine.substr(0, wantLine.size() - 3)))
                << "line " << number << ": " << gotLine.substr(0, 200)
                << "\nexpected: " << wantLine;
        } else {
            EXPECT_EQ(gotLine, wantLine) << "line " << number;
        }
    }
    EXPECT_FALSE(std::getline(got, gotLine)) << "more transcript than expected: " << gotLine;
}

TEST_F(DtmframeProgram, EngineDemoTranscript) {
    const Outcome run =
        dtmframe({"--device", "sim:positioner", "--virtual-time",
                  std::string(HARTDTM_SOURCE_ROOT) + "/frame/demo/engine-positioner.dtmframe"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    expectTranscript(run.out, frametest::dataFile("frame/engine-demo.transcript"));
    EXPECT_TRUE(std::filesystem::exists(dir / "positioner-demo.dataset"));
}

TEST_F(DtmframeProgram, PositionerDemoTranscript) {
    if (!frametest::positionerBuilt()) GTEST_SKIP() << "the positioner's DTM is not built";
    const Outcome run =
        dtmframe({"--device", "sim:positioner", "--virtual-time",
                  std::string(HARTDTM_SOURCE_ROOT) + "/frame/demo/positioner.dtmframe"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    expectTranscript(run.out, frametest::dataFile("frame/positioner-demo.transcript"));
}

TEST_F(DtmframeProgram, ScriptEndingWithoutReleaseHasTheFrameReleaseTheDtm) {
    const Outcome run = dtmframe({"--device", "sim:positioner", "--virtual-time", "-e",
                                  "create QadGenericDTM.QadGenericDTMObject.7", "-e", "bind positioner",
                                  "-e", "environment PV-101", "-e", "initnew", "-e",
                                  "config maintenance", "-e", "setcommunication"});
    EXPECT_EQ(run.status, 0) << "no DTM is left behind (the sanitizer build reports leaks)\n"
                             << run.err;
    EXPECT_EQ(run.err, "");
    const std::size_t end = run.out.find("frame ends: releasing the DTM it holds\n");
    ASSERT_NE(end, std::string::npos) << run.out;
    EXPECT_LT(run.out.find("> setcommunication\n"), end) << "after the script's last command";
    const std::string tail = run.out.substr(end);
    EXPECT_NE(tail.find("event prepared-to-release-communication\n"), std::string::npos) << tail;
    EXPECT_TRUE(tail.ends_with("event prepared-to-release\nTRUE\n")) << tail;
}

TEST_F(DtmframeProgram, WithoutARegistryGivenTheBuildsRegistryIsUsed) {
    const Outcome found = dtmframe({"-e", "create QadGenericDTM.QadGenericDTMObject.7"}, false);
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_NE(found.out.find("> create QadGenericDTM.QadGenericDTMObject.7\n{8D96A00D-"), std::string::npos)
        << found.out;

    const Outcome missing = dtmframe({"-e", "create No.Such.1"}, false);
    EXPECT_EQ(missing.status, 1);
    const std::string registry = std::string(HARTDTM_BINARY_ROOT) + "/registry";
    EXPECT_NE(missing.err.find("ProgID 'No.Such.1' is not registered in " + registry +
                               " (choose another registry with --registry PATH or the environment "
                               "variable HARTDTM_REGISTRY)"),
              std::string::npos)
        << missing.err;
}

TEST_F(DtmframeProgram, UnknownCommandFailsWithItsLineBeforeAnythingRuns) {
    std::ofstream(dir / "bad.dtmframe")
        << "# a script\ncreate QadGenericDTM.QadGenericDTMObject.7\n\nfrobnicate now\n";
    const Outcome run = dtmframe({"bad.dtmframe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "dtmframe: bad.dtmframe line 4: unknown command 'frobnicate'\n");
    EXPECT_EQ(run.out, "") << "nothing of the script ran";
}

TEST_F(DtmframeProgram, FailedCommandStopsTheScriptUnlessToldToGoOn) {
    const Outcome stopped = dtmframe(
        {"--virtual-time", "-e", "get 1", "-e", "create QadGenericDTM.QadGenericDTMObject.7"});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.out, "> get 1\nfailed: no DTM: create one first\n");
    EXPECT_EQ(stopped.err, "dtmframe: -e line 1: get failed: no DTM: create one first\n");

    const Outcome going = dtmframe({"--virtual-time", "--keep-going", "-e", "get 1", "-e",
                                    "create QadGenericDTM.QadGenericDTMObject.7"});
    EXPECT_EQ(going.status, 1);
    EXPECT_NE(going.out.find("> create QadGenericDTM.QadGenericDTMObject.7\n{8D96A00D-"),
              std::string::npos);
}

TEST_F(DtmframeProgram, UsageErrors) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--frobnicate"}, "dtmframe: unknown option --frobnicate"},
        {{"--latency", "soon"}, "dtmframe: --latency needs a number of milliseconds"},
        {{"--device", "modbus:/dev/ttyS0", "-e", "initnew"}, "unknown device 'modbus:/dev/ttyS0'"},
        {{"--answers", "ok,perhaps", "-e", "initnew"}, "--answers: 'perhaps' names no button"},
        {{"missing.dtmframe"}, "dtmframe: cannot read missing.dtmframe"},
    };
    for (const auto& c : cases) {
        const Outcome run = dtmframe(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

TEST_F(DtmframeProgram, RegisterAndUnregisterByHand) {
    const std::string module = frametest::engineModule().string();
    const Outcome run =
        dtmframe({"--registry", (dir / "own-registry").string(), "-e", "register " + module, "-e",
                  "create QadGenericDTM.QadGenericDTMObject.7", "-e", "unregister " + module, "-e",
                  "register " + (dir / "none.so").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("> register " + module + "\nTRUE\n> create"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("> unregister " + module + "\nTRUE\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("line 4: register failed: no module file"), std::string::npos)
        << run.err;
    EXPECT_EQ(readFile(dir / "own-registry").find("QadGenericDTM.QadGenericDTMObject.7"),
              std::string::npos)
        << "unregistering removed the class";
}

}  // namespace
