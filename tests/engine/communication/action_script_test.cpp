#include "engine/communication/action_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace engine::communication {
namespace {

// Writes every effect of a script as one line.
class RecordingTarget : public ScriptTarget {
public:
    std::string translatedString(const std::string& key) override { return "T(" + key + ")"; }
    void startProgress(const std::string& title) override { log.push_back("start " + title); }
    void stopProgress() override { log.push_back("stop"); }
    void queueCommands(std::string_view element) override {
        log.push_back("queue " + std::string(element));
    }
    void setValue(ParameterId id, const std::string& value) override {
        log.push_back("set " + std::to_string(id) + "=" + value);
    }
    std::vector<std::string> log;
};

std::vector<std::string> run(const std::string& script) {
    RecordingTarget target;
    runActionScript(script, target);
    return target.log;
}

using Log = std::vector<std::string>;

TEST(ChannelActionScript, ElementsTakeEffectInScriptOrder) {
    const std::pair<const char*, Log> cases[] = {
        {"setvalue[2093141900=1],download[155]", {"set 2093141900=1", "queue download[155]"}},
        {"setvalue[625914617=0],upload[191],upload[192]",
         {"set 625914617=0", "queue upload[191]", "queue upload[192]"}},
        {"setvalue[1750769078=0.5]", {"set 1750769078=0.5"}},
        {"setvalue[97070578=-2]", {"set 97070578=-2"}},
        {"setvalue[1000001=1000160]", {"set 1000001=1000160"}},
        {"startprogress[sync_title],upload[216,136],stopprogress[]",
         {"start T(sync_title)", "queue upload[216,136]", "stop"}},
        {"  \n\tupload[3, 154]\r\n", {"queue upload[3, 154]"}},
        {"download[36, 202] first", {"queue download[36, 202]"}},
        {"upload[1],\n\t\tupload[2],\t download[3]",
         {"queue upload[1]", "queue upload[2]", "queue download[3]"}},
        {"setvalue[7=a=b]", {"set 7=a=b"}},
        {"setvalue[7=]", {"set 7="}},
    };
    for (const auto& [script, expected] : cases) EXPECT_EQ(run(script), expected) << script;
}

TEST(ChannelActionScript, TextBetweenElementsIsSkipped) {
    const char* scripts[] = {"",          "   ",           ",,, ,", "hello world",
                             "Upload[3]", "SETVALUE[1=2]", "]]][[["};
    for (const char* script : scripts) EXPECT_EQ(run(script), Log{}) << script;
    // A keyword counts only at the start of the rest: "xupload[3]" loses its
    // "x" first and is then an upload element.
    EXPECT_EQ(run("xupload[3]"), Log{"queue upload[3]"});
}

TEST(ChannelActionScript, UnterminatedKeywordEndsTheScript) {
    const std::pair<const char*, Log> cases[] = {
        {"setvalue[1=2],upload[3", {"set 1=2"}},
        {"upload[3,setvalue[4=5", {}},
        {"startprogress title],upload[1]", {}},  // no "[" before the "]"
        {"startprogress[x", {}},
        {"stopprogress", {}},
        {"setvalue[12,upload[1]", {}},  // no "=" before its "]": dropped alone
    };
    for (const auto& [script, expected] : cases) EXPECT_EQ(run(script), expected) << script;
}

TEST(ChannelActionScript, SetValueIdStartsAtTheTenthCharacter) {
    EXPECT_EQ(run("setvalue[12abc=3]"), Log{"set 12=3"});
    EXPECT_EQ(run("setvalue[=3]"), Log{"set 0=3"});
    EXPECT_EQ(run("setvalue [12=3]"), Log{"set 0=3"});  // the tenth character is "["
    EXPECT_EQ(run("setvalue[-5=3]"), Log{"set -5=3"});
}

struct ElementCase {
    const char* element;
    bool isDownload;
    bool isFirst;
    std::vector<CommandReference> commands;
};

TEST(ChannelCommandElement, TokensStartingWithADigitAreCommands) {
    const ElementCase cases[] = {
        {"download[165,210,175,211,212]",
         true,
         false,
         {{165, 0}, {210, 0}, {175, 0}, {211, 0}, {212, 0}}},
        {"upload[192, 191]", false, false, {{192, 0}, {191, 0}}},
        {"upload[192,191]", false, false, {{192, 0}, {191, 0}}},
        {"upload[192,\t191]", false, false, {{192, 0}}},
        {"upload[192,\n191]", false, false, {{192, 0}}},
        {"upload[9(2),9]", false, false, {{9, 2}, {9, 0}}},
        {"upload[9(2]", false, false, {{9, 0}}},
        {"download[7,8] first", true, true, {{7, 0}, {8, 0}}},
        {"upload[first 7]", false, true, {{7, 0}}},
        {"upload[12abc,x3,(4)]", false, false, {{12, 0}}},
        {"upload[]", false, false, {}},
        {"upload[4294967299]", false, false, {{3, 0}}},  // wraps like the key text
    };
    for (const ElementCase& c : cases) {
        SCOPED_TRACE(c.element);
        const CommandElement parsed = parseCommandElement(c.element);
        EXPECT_EQ(parsed.isDownload, c.isDownload);
        EXPECT_EQ(parsed.isFirst, c.isFirst);
        EXPECT_EQ(parsed.commands, c.commands);
    }
}

}  // namespace
}  // namespace engine::communication
