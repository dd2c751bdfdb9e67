// dtmframe's view commands end to end: the positioner DTM against the
// simulated positioner, its menu view opened headless, the cyclic uploads in
// the transcript, a PNG rendering, and the errors for unknown names.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/views/support/view_test_support.h"

namespace {

namespace fs = std::filesystem;

std::string shellQuoted(const std::string& word) {
    std::string q = "'";
    for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ViewCommands : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("view-commands-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        const char* registry = std::getenv("HARTDTM_REGISTRY");
        registry_ = registry && *registry ? registry : (dir_ / "registry").string();
        const fs::path packages = fs::path(HARTDTM_BINARY_ROOT) / "packages";
        ASSERT_EQ(run({"-e", "register " + (packages / "QadGenericDTM/QadGenericDTM.so").string(), "-e",
                       "register " + (packages / "VarnholtRavikHARTDTM/VarnholtRavikHARTDTM.so").string(),
                       "-e", "register " + (packages / "ZorDTMView/ZorDTMView.so").string()}),
                  0)
            << out_;
    }
    void TearDown() override { fs::remove_all(dir_); }

    int run(const std::vector<std::string>& args) {
        std::string command = "cd " + shellQuoted(dir_.string()) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                              shellQuoted(HARTDTM_DTMFRAME) + " --registry " + shellQuoted(registry_);
        for (const std::string& arg : args) command += " " + shellQuoted(arg);
        command += " >out.txt 2>err.txt </dev/null";
        const int raw = std::system(command.c_str());
        out_ = readFile(dir_ / "out.txt") + readFile(dir_ / "err.txt");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    fs::path dir_;
    std::string registry_;
    std::string out_;
};

TEST_F(ViewCommands, MenuViewCyclesAndRendersHeadless) {
    std::ofstream(dir_ / "view.dtmframe") << "create VarnholtRavikHARTDTM.BasicDTM.1\n"
                                             "environment PV-1\ninitnew\nconfig maintenance\n"
                                             "setcommunication\nview 1\nwait 2000\n"
                                             "menu menu_table_root\nshot view.png\n"
                                             "press nothing\n";
    EXPECT_EQ(run({"--virtual-time", "--keep-going", "--device", "sim:positioner", "view.dtmframe"}), 1) << out_;
    EXPECT_NE(out_.find("view 1: ZorDTMView.ZorBasicDTMView"), std::string::npos) << out_;
    const std::size_t first = out_.find("event view-action upload[0, 12, 13, 16, 200, 192, 191, 249,");
    ASSERT_NE(first, std::string::npos) << out_;
    EXPECT_NE(out_.find("event view-action upload[249,", first), std::string::npos) << out_;
    EXPECT_NE(out_.find("failed: no visible button 'nothing'"), std::string::npos) << out_;
    views_test::application();
    const QImage image(QString::fromStdString((dir_ / "view.png").string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 923);
    EXPECT_TRUE(views_test::hasSeveralColours(image));
}

TEST_F(ViewCommands, FindStopsStartAndContinueDriveTheProcedureThroughItsSteps) {
    std::ofstream(dir_ / "stops.dtmframe") << "create VarnholtRavikHARTDTM.BasicDTM.1\n"
                                              "environment PV-1\ninitnew\nconfig maintenance\n"
                                              "setcommunication\nanswer buttonOk\n"
                                              "action setvalue[360852134=0],download[135]\nview 1\n"
                                              "menu menu_table_root/menu_table_menuDeviceSetup/"
                                              "menu_table_menuManualSetup/FindStops\n"
                                              "press Start\nwait 1000\nget 1000140\n"
                                              "press Continue\nwait 1000\nget 1000140\n"
                                              "press Continue\nwait 1000\nget 1000140\n"
                                              "wait 10000\nget 1000140\ncloseview\n";
    ASSERT_EQ(run({"--virtual-time", "--device", "sim:positioner", "stops.dtmframe"}), 0) << out_;
    EXPECT_NE(out_.find("event view-action setvalue[1000001=1000140]\npressed Start"), std::string::npos) << out_;
    std::vector<std::string> steps;
    for (std::size_t at = out_.find("> get 1000140\n"); at != std::string::npos;
         at = out_.find("> get 1000140\n", at + 1)) {
        const std::size_t begin = at + 14;
        steps.push_back(out_.substr(begin, out_.find('\n', begin) - begin));
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"TEXT_STROKE_VALVE", "TEXT_FIND_STOPS", "TEXT_FIND_STOPS_STARTED",
                                               "FindStopCompleted"}));
}

TEST_F(ViewCommands, UnknownNamesAreNamedInTheErrors) {
    std::ofstream(dir_ / "bad.dtmframe") << "create VarnholtRavikHARTDTM.BasicDTM.1\n"
                                            "environment PV-1\ninitnew\nconfig maintenance\n"
                                            "press ApplyMode\nview 2\nmenu a/b\ntype 42 1\nchoose 43 x\n"
                                            "closeview\n";
    EXPECT_EQ(run({"--virtual-time", "--keep-going", "bad.dtmframe"}), 1);
    EXPECT_NE(out_.find("no view is open"), std::string::npos) << out_;
    EXPECT_NE(out_.find("the view has no menu tree"), std::string::npos) << out_;
    EXPECT_NE(out_.find("no visible value field of parameter 42"), std::string::npos) << out_;
    EXPECT_NE(out_.find("no visible enumeration of parameter 43"), std::string::npos) << out_;
}

}  // namespace
