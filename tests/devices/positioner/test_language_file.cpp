// Checks of the language file "Ravik_HART.dct": read as the DTM reads it, it
// holds an English and a German text for every key that the DTM, its panels
// and its description show, and the texts used as formats fit their arguments.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/devices/positioner/package.h"
#include "tests/devices/positioner/positioner_tables.h"

namespace devices_test {
namespace {

const Package& pkg() {
    return Package::get();
}

::testing::AssertionResult translated(const std::string& key) {
    for (const LanguageTable* table : {&pkg().english, &pkg().german}) {
        auto it = table->texts.find(key);
        if (it == table->texts.end()) {
            return ::testing::AssertionFailure()
                   << key << " has no " << (table == &pkg().english ? "English" : "German")
                   << " text";
        }
        if (it->second.empty()) return ::testing::AssertionFailure() << key << " has an empty text";
    }
    return ::testing::AssertionSuccess();
}

TEST(PositionerLanguageFile, ReadsCleanlyInBothLanguages) {
    ASSERT_FALSE(pkg().languageBytes.empty());
    for (const LanguageTable* table : {&pkg().english, &pkg().german}) {
        EXPECT_TRUE(table->problems.empty()) << table->problems.front();
        EXPECT_EQ(table->texts.size(), table->keysInOrder.size());
    }
    EXPECT_EQ(pkg().english.keysInOrder, pkg().german.keysInOrder);
}

TEST(PositionerLanguageFile, IsUtf8WithoutByteOrderMark) {
    const std::string& bytes = pkg().languageBytes;
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    // German umlauts are written as UTF-8, which the engine takes as is.
    EXPECT_NE(pkg().german.texts.at("FindStops").find("\xC3\xA4"), std::string::npos);
}

TEST(PositionerLanguageFile, TranslatesEveryShownKey) {
    for (std::string_view key : kShownKeys) EXPECT_TRUE(translated(std::string(key)));
}

TEST(PositionerLanguageFile, TranslatesEveryParameterLabelAndHelp) {
    for (auto& [id, p] : pkg().parameters) {
        EXPECT_TRUE(translated(p->label)) << "label of " << id;
        EXPECT_TRUE(translated(p->label + "_HELP")) << "description of " << id;
    }
}

TEST(PositionerLanguageFile, TranslatesEveryEnumerationAndStateText) {
    std::regex faultEntry(R"(\[(\d+)=([^\]]+)\])");
    for (auto& [id, p] : pkg().parameters) {
        for (auto& [number, text] : enumerationOf(*p))
            EXPECT_TRUE(translated(text)) << "entry " << number << " of " << id;
        std::string range = p->constant("range");
        for (std::sregex_iterator it(range.begin(), range.end(), faultEntry), end; it != end;
             ++it) {
            EXPECT_TRUE(translated((*it)[2].str())) << "state of " << id;
        }
    }
}

TEST(PositionerLanguageFile, TranslatesTheDtmDescriptionsLabels) {
    int labels = 0;
    for (xmlNodePtr node : pkg().dtm.select(
             "//user:Menu[@label] | //user:Childs[@label] | //user:Document[@label]")) {
        EXPECT_TRUE(translated(attributeOr(node, "label")));
        ++labels;
    }
    EXPECT_GE(labels, 3);
}

TEST(PositionerLanguageFile, ExplainsTheHartResponseCodes) {
    for (int code : {1, 2, 3, 4, 5, 6, 7, 9, 16, 32, 33, 64}) {
        std::string key = "CMDResponse" + std::to_string(code);
        ASSERT_TRUE(translated(key));
        // The message box offers retry and cancel, so the text ends with the question.
        EXPECT_NE(pkg().english.texts.at(key).find("Retry"), std::string::npos) << key;
    }
}

// The printf conversions of a text, "%%" excluded.
std::vector<std::string> conversions(const std::string& text) {
    std::vector<std::string> out;
    std::regex conversion(R"(%[-+ #0]*[0-9]*(\.[0-9]+)?[a-zA-Z%])");
    for (std::sregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it) {
        if (it->str() != "%%") out.push_back(it->str());
    }
    return out;
}

TEST(PositionerLanguageFile, FormatTextsTakeExactlyTheirArgument) {
    const struct {
        const char* key;
        std::vector<std::string> expected;
    } formats[] = {
        {"AT_UNKNOWN", {"%s"}},             // the error code text
        {"SignalCalInfo", {"%s"}},          // the calibration current as its value text
        {"InvalidSegmentSameX", {"%.1f"}},  // the segment start in percent
        {"InvalidSegmentLowSlope", {"%.1f"}},
        {"InvalidSegmentHighSlope", {"%.1f"}},
        {"InvalidSegmentSlopeChangeTooMuch", {"%.1f"}},
        {"InvalidSegmentSlopeChangeTooSlow", {"%.1f"}},
    };
    for (auto& f : formats) {
        EXPECT_EQ(conversions(pkg().english.texts.at(f.key)), f.expected) << f.key;
        EXPECT_EQ(conversions(pkg().german.texts.at(f.key)), f.expected) << f.key;
    }
}

TEST(PositionerLanguageFile, MessagesHoldNoStrayConversions) {
    // Texts that reach the user as messages or status lines are shown as they are;
    // a conversion in them would show up literally or, passed to a format, misread.
    for (std::string_view key : kShownKeys) {
        std::string k(key);
        if (k == "AT_UNKNOWN" || k == "SignalCalInfo" || k.rfind("InvalidSegment", 0) == 0)
            continue;
        EXPECT_TRUE(conversions(pkg().english.texts.at(k)).empty()) << k;
        EXPECT_TRUE(conversions(pkg().german.texts.at(k)).empty()) << k;
    }
}

TEST(PositionerLanguageFile, LineBreakEscapesBecomeLineFeeds) {
    const std::string& help = pkg().english.texts.at("Configuration_HELP");
    EXPECT_NE(help.find('\n'), std::string::npos);
    EXPECT_EQ(help.find("\\n"), std::string::npos);
}

}  // namespace
}  // namespace devices_test
