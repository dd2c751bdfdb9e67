#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "engine/dtm/language_table.h"

namespace {

struct LanguageCase {
    const char* name;
    const char* code;
    std::string contents;
    const char* key;
    const char* expected;  // nullptr: the key has no entry
};

class LanguageFileCases : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageFileCases, Translates) {
    const LanguageCase& c = GetParam();
    engine::LanguageTable table;
    table.setLanguageCode(c.code);
    table.parse(c.contents);
    if (c.expected) {
        EXPECT_TRUE(table.contains(c.key));
        EXPECT_EQ(table.translate(c.key), c.expected);
    } else {
        EXPECT_FALSE(table.contains(c.key));
        EXPECT_EQ(table.translate(c.key), c.key) << "an unknown key translates to itself";
    }
}

INSTANTIATE_TEST_SUITE_P(
    LanguageTable, LanguageFileCases,
    ::testing::Values(
        LanguageCase{"OwnLanguage", "de", "[1] DTM_Name\n|en| Positioner\n|de| Stellungsregler\n", "DTM_Name",
                     "Stellungsregler"},
        LanguageCase{"English", "en", "[1] DTM_Name\n|en| Positioner\n|de| Stellungsregler\n", "DTM_Name",
                     "Positioner"},
        LanguageCase{"KeyAfterFirstBracketTrimmed", "en", "[x]   Key_A  \n|en|A\n", "Key_A", "A"},
        LanguageCase{"DefaultTextWithoutMarker", "fr", "[]Valve\nValve position\n|en| other\n", "Valve",
                     "Valve position"},
        LanguageCase{"PlainLinesJoinedWithOneBlank", "en", "[]K\n|en| first\nsecond\n third\n", "K",
                     "first second third"},
        LanguageCase{"NoBlankAddedWhenTextEndsWithOne", "en", "[]K\n|en| \"first \"\nsecond\n", "K",
                     "first second"},
        LanguageCase{"QuotesRemoved", "en", "[]K\n|en|\"quoted\" text\n", "K", "quoted text"},
        LanguageCase{"Escapes", "en", "[]K\n|en| line one\\r\\nline two\\nthree\n", "K",
                     "line one\nline two\nthree"},
        LanguageCase{"OtherLanguageEndsOwnText", "en", "[]K\n|en| own\n|de| fremd\nmore\n", "K", "own"},
        LanguageCase{"CommentBeforeOwnSkipsPlainLines", "de", "[]K\n// comment\nignored\n|de| eigen\n", "K",
                     "eigen"},
        LanguageCase{"PlainAfterOwnExtends", "de", "[]K\n/* c */\n|de| eigen\nweiter\n", "K", "eigen weiter"},
        LanguageCase{"MarkerBeforeAnyKeyIgnored", "en", "|en| stray\n[]K\n|en| value\n", "|en| stray", nullptr},
        LanguageCase{"KeyWithoutOwnLanguageKeepsDefault", "it", "[]K\ndefault text\n|en| english\n", "K",
                     "default text"},
        LanguageCase{"KeyWithOnlyForeignTextHasNoEntry", "it", "[]K\n|en| english\n", "K", nullptr},
        LanguageCase{"CarriageReturnsEndLines", "en", "[]A\r|en| a\r\n[]B\r\n|en| b\r\n", "B", "b"},
        LanguageCase{"BracketWithoutClosingIsText", "en", "[]K\n|en| a\n[no close\n", "K", "a [no close"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(LanguageTable, LinesLongerThanAChunkAreJoined) {
    std::string longText(2500, 'x');
    engine::LanguageTable table;
    table.setLanguageCode("en");
    table.parse("[]K\n|en| " + longText + "\n[]L\n|en| after\n");
    EXPECT_EQ(table.translate("K"), longText);
    EXPECT_EQ(table.translate("L"), "after");
}

TEST(LanguageTable, LanguageIdsSelectCodes) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0x0407, "de"}, {0x040A, "sp"}, {0x0C0A, "sp"}, {0x0409, "en"}, {0x0413, "en"},
        {0x040C, "fr"}, {0x0410, "it"}, {0, "en"},
    };
    for (const auto& [id, code] : cases) EXPECT_EQ(engine::LanguageTable::codeForLanguageId(id), code) << id;
}

class LanguageFile : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("language-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".dct");
    }
    void TearDown() override { std::filesystem::remove(path_); }
    void write(const std::string& contents) { std::ofstream(path_, std::ios::binary) << contents; }
    std::filesystem::path path_;
};

TEST_F(LanguageFile, ReloadsOnlyWhenFileOrCodeChanges) {
    write("[]K\n|en| one\n|de| eins\n");
    engine::LanguageTable table;
    ASSERT_TRUE(table.load(path_.string(), "en"));
    EXPECT_EQ(table.translate("K"), "one");
    write("[]K\n|en| changed\n|de| geaendert\n");
    ASSERT_TRUE(table.load(path_.string(), "en"));
    EXPECT_EQ(table.translate("K"), "one") << "same file and code: nothing is re-read";
    ASSERT_TRUE(table.load("", "de"));
    EXPECT_EQ(table.translate("K"), "geaendert") << "an empty file name keeps the known file";
}

TEST_F(LanguageFile, Latin1FileReadAsUtf8) {
    write("[]K\n|de| Ventil\xF6" "ffnung\n");
    engine::LanguageTable table;
    ASSERT_TRUE(table.load(path_.string(), "de"));
    EXPECT_EQ(table.translate("K"), "Ventil\xC3\xB6" "ffnung");
}

TEST_F(LanguageFile, MissingFileFails) {
    engine::LanguageTable table;
    EXPECT_FALSE(table.load((path_.parent_path() / "no-such-language-file.dct").string(), "en"));
    EXPECT_EQ(table.size(), 0u);
}

}  // namespace
