// Frame scripts: what a line means, and which lines cannot be read.

#include "frame/script.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameScript, LinesAndTheirArguments) {
    const struct {
        const char* text;
        const char* command;
        std::vector<std::string> words;
        const char* rest;
    } cases[] = {
        {"create QadGenericDTM.QadGenericDTMObject.7",
         "create",
         {"QadGenericDTM.QadGenericDTMObject.7"},
         "QadGenericDTM.QadGenericDTMObject.7"},
        {"  environment   PV-101  # the tag", "environment", {"PV-101"}, "PV-101"},
        {"environment", "environment", {}, ""},
        {"set 1031198652 DEMO RUN", "set", {"1031198652", "DEMO", "RUN"}, "DEMO RUN"},
        {"set 1031198652", "set", {"1031198652"}, ""},
        {"set 7 \"  padded \"", "set", {"7", "  padded "}, "  padded "},
        {"set 7 a#b", "set", {"7", "a#b"}, "a#b"},
        {"action upload[0, 12, 13]", "action", {"upload[0,", "12,", "13]"}, "upload[0, 12, 13]"},
        {"bind \"/opt/My Packages/positioner\"",
         "bind",
         {"/opt/My Packages/positioner"},
         "/opt/My Packages/positioner"},
        {"save /tmp/a b.dataset", "save", {"/tmp/a", "b.dataset"}, "/tmp/a b.dataset"},
        {"answer retry cancel", "answer", {"retry", "cancel"}, "retry cancel"},
        {"language 0x0407", "language", {"0x0407"}, "0x0407"},
        {"get 4294967295", "get", {"4294967295"}, "4294967295"},
        {"fault command 13 1 commerror=modem unplugged",
         "fault",
         {"command", "13", "1", "commerror=modem", "unplugged"},
         "command 13 1 commerror=modem unplugged"},
        {"set 1 \"say \\\"hi\\\"\"", "set", {"1", "say \"hi\""}, "say \"hi\""},
    };
    for (const auto& c : cases) {
        const frame::LineRead read = frame::readScriptLine(c.text, 4);
        ASSERT_TRUE(read.line) << c.text << ": " << read.error;
        EXPECT_EQ(read.line->command, c.command) << c.text;
        EXPECT_EQ(read.line->words, c.words) << c.text;
        EXPECT_EQ(read.line->rest, c.rest) << c.text;
        EXPECT_EQ(read.line->number, 4);
    }
}

TEST(FrameScript, BlankAndCommentLinesAreNoCommands) {
    for (const char* text : {"", "   ", "# a comment", "\t# indented comment", "\r"}) {
        const frame::LineRead read = frame::readScriptLine(text, 1);
        EXPECT_FALSE(read.line) << text;
        EXPECT_TRUE(read.error.empty()) << text << ": " << read.error;
    }
}

TEST(FrameScript, LinesThatCannotBeRead) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"frobnicate", "unknown command 'frobnicate'"},
        {"\"create\" X", "unknown command 'create'"},
        {"create", "create: usage: create PROGID"},
        {"create A B", "create: usage: create PROGID"},
        {"get", "get: usage: get ID"},
        {"get twelve", "get: 'twelve' is no parameter id"},
        {"get 4294967296", "get: '4294967296' is no parameter id"},
        {"set x 1", "set: 'x' is no parameter id"},
        {"wait -5", "wait: '-5' is no number"},
        {"language 0x", "language: '0x' is no number"},
        {"bind a b", "bind: usage: bind PACKAGE | bind ZOR DESCRIPTION ICON LANGUAGE"},
        {"action", "action: usage: action SCRIPT"},
        {"action   # nothing", "action: usage: action SCRIPT"},
        {"save \"unterminated", "unterminated quote"},
        {"initnew now", "initnew: usage: initnew"},
    };
    for (const auto& c : cases) {
        const frame::LineRead read = frame::readScriptLine(c.text, 1);
        EXPECT_FALSE(read.line) << c.text;
        EXPECT_EQ(read.error, c.error) << c.text;
    }
}

TEST(FrameScript, AScriptStopsAtItsFirstUnreadableLine) {
    const frame::ScriptRead good = frame::readScript("# demo\ncreate X\n\nenvironment\r\ninitnew");
    ASSERT_TRUE(good.ok()) << good.error;
    ASSERT_EQ(good.lines.size(), 3u);
    EXPECT_EQ(good.lines[0].number, 2);
    EXPECT_EQ(good.lines[1].number, 4);
    EXPECT_EQ(good.lines[1].text, "environment");
    EXPECT_EQ(good.lines[2].number, 5);

    const frame::ScriptRead bad =
        frame::readScript("create X\nenvironment\nupload now\nfrobnicate\n");
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.errorLine, 3);
    EXPECT_EQ(bad.error, "upload: usage: upload");
}

TEST(FrameScript, ParameterIdsKeepTheir32BitPattern) {
    EXPECT_EQ(frame::parseParameterId("2093141900"), 2093141900);
    EXPECT_EQ(frame::parseParameterId("4294967295"), -1);
    EXPECT_EQ(frame::parseParameterId("-2"), -2);
    EXPECT_FALSE(frame::parseParameterId("12x"));
    EXPECT_FALSE(frame::parseParameterId(""));
    EXPECT_EQ(frame::parseNumber("0x0C0A"), 0x0C0A);
    EXPECT_EQ(frame::parseNumber("100"), 100);
    EXPECT_FALSE(frame::parseNumber("-1"));
}

}  // namespace
