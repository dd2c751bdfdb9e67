// The elements' rules without a window: anchors, conditions, order, texts.

#include <gtest/gtest.h>

#include "views/elements/element_logic.h"

namespace {

using namespace views::elements;

struct AnchorCase {
    Anchor anchor;
    Size parent;
    Rect expected;
};

TEST(AnchorRule, FollowsGrowthAndNeverGoesBelowTheDesign) {
    const Rect design{10, 20, 110, 40};
    const Size designParent{400, 300};
    const AnchorCase cases[] = {
        {{100, 0, 100, 0}, {500, 300}, {110, 20, 210, 40}},  // moves right, same width
        {{0, 0, 100, 0}, {500, 300}, {10, 20, 210, 40}},     // stretches
        {{0, 0, 100, 100}, {450, 350}, {10, 20, 160, 90}},   // grows both ways
        {{0, 0, 0, 0}, {800, 600}, design},                  // never changes
        {{25, 0, 50, 0}, {500, 300}, {35, 20, 160, 40}},     // a button-row quarter
        {{100, 100, 100, 100}, {300, 200}, design},          // narrower: stays at design
        {{0, 0, 100, 100}, {350, 250}, design},
    };
    for (const AnchorCase& c : cases) {
        EXPECT_EQ(anchoredRect(design, c.anchor, designParent, c.parent), c.expected)
            << c.anchor.left << "," << c.anchor.right << " -> " << c.parent.width;
    }
}

TEST(StateBoxCondition, EveryFormInItsOrder) {
    struct Case {
        const char* value;
        const char* condition;
        bool ticked;
    };
    const Case cases[] = {
        {"abc", "abc", true}, {"1", "2", false},   {"6", ">5", true},    {"5", ">5", false},
        {"4", "<5", true},    {"5", "<5", false},  {"5", "=5", true},    {"6", "=5", false},
        {"4", "!=5", true},   {"5", "!=5", false}, {"5", ">=5", true},   {"6", ">=5", true},
        {"4", ">=5", false},  {"5", "<=5", true},  {"6", "<=5", false},  {"-3", "<0", true},
        {"x", ">=0", true},   {"7", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(conditionHolds(c.value, c.condition), c.ticked) << c.value << " " << c.condition;
}

TEST(FaultList, GreaterValueTextsFirstThenNames) {
    std::vector<FaultRowKey> rows = {{"0", "Zeta"}, {"1", "Beta"}, {"0", "Alpha"}, {"2", "Gamma"}, {"1", "Alpha"}};
    std::stable_sort(rows.begin(), rows.end(), faultRowBefore);
    const std::vector<std::string> names = {"Gamma", "Alpha", "Beta", "Alpha", "Zeta"};
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].translatedName, names[i]) << i;
    EXPECT_EQ(rows[1].valueText, "1");
    EXPECT_EQ(rows[3].valueText, "0");
}

TEST(FaultList, LabelOfTheEntryWithTheValue) {
    EXPECT_EQ(entryLabel("[0=OK][1=Fault][10=Ten]", "1"), "Fault");
    EXPECT_EQ(entryLabel("[0=OK][10=Ten][1=Fault]", "1"), "Fault");
    EXPECT_EQ(entryLabel("[0=a=b]", "0"), "");  // the last "=" splits
    EXPECT_EQ(entryLabel("[0=OK]", "5"), "");
}

TEST(Texts, NumbersScaledWithUnitAndRanges) {
    EXPECT_EQ(scaledText("%2.1f", 12.34, scalingFactor("0"), "mA"), "12.3 mA");
    EXPECT_EQ(scaledText("%1.0f", 12.34, scalingFactor("100"), "%"), "1234 %");
    EXPECT_EQ(formatNumber("%d", 41.9), "41");
    EXPECT_EQ(formatNumber("%s", 2.5), "2.5");    // no numeric conversion: never handed to printf
    EXPECT_EQ(formatNumber("%f%f", 2.5), "2.5");  // two conversions: refused as well
    EXPECT_EQ(rangeBounds("[4 to 20]"), std::make_pair(4.0, 20.0));
    EXPECT_EQ(rangeBounds("[1=On]"), std::make_pair(0.0, 0.0));
    EXPECT_EQ(rangeNumbers("[0 to 100],[5 to 6]"), (std::vector<double>{0, 100, 5, 6}));
    EXPECT_EQ(literalAmpersands("A&B && C"), "A&&B &&&& C");
}

TEST(BarGauge, ResolutionFactorKeepsTheBarBetween1000And65000) {
    EXPECT_DOUBLE_EQ(gaugeScale(0, 100).factor, 10);
    EXPECT_EQ(gaugeScale(0, 100).maximum(), 1000);
    EXPECT_EQ(gaugeScale(4, 20).position(12), 800);  // span 16, factor 100
    EXPECT_NEAR(gaugeScale(0, 1000000).factor, 0.01, 1e-12);
    EXPECT_DOUBLE_EQ(gaugeScale(5, 5).span, 100);
}

TEST(ValueFieldCommit, NumbersScaledAndRefusedTexts) {
    EXPECT_EQ(numericCommitText(*typedNumber("12.5", ""), "0.01", false), "1250");
    EXPECT_EQ(numericCommitText(*typedNumber("12.5", ""), "1", false), "12.500000");
    EXPECT_EQ(numericCommitText(*typedNumber(" 12.5 mA ", "mA"), "0", false), "12.500000");
    EXPECT_EQ(numericCommitText(12.5, "0.01", true), "12");  // no scaling, "%1.0f" stays
    for (const char* refused : {"1.2.3", "1-2", "12a", "", "  ", "+-1", "1e5"})
        EXPECT_FALSE(typedNumber(refused, "").has_value()) << refused;
    EXPECT_EQ(*typedNumber("-0.5", ""), -0.5);
}

TEST(ValueFieldCommit, BinaryDigitsBothWays) {
    EXPECT_EQ(binaryDigits(5), "101");
    EXPECT_EQ(binaryDigits(0), "0");
    EXPECT_EQ(*fromBinaryDigits("101"), "5");
    EXPECT_EQ(*fromBinaryDigits("0010"), "2");
    EXPECT_FALSE(fromBinaryDigits("102").has_value());
    EXPECT_FALSE(fromBinaryDigits(std::string(33, '1')).has_value());
    EXPECT_EQ(fieldText("%b", "6", "", "", false), "110");
    EXPECT_EQ(fieldText("%s", "abc", "", "", false), "abc");
}

TEST(Enumeration, EntriesAndKeyedTranslations) {
    const auto entries = enumEntries("[1,Open][0x0A,Closed][x,bad][3,a,b]");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].number, 1);
    EXPECT_EQ(entries[0].label, "Open");
    EXPECT_EQ(entries[1].number, 10);
    EXPECT_EQ(entries[2].label, "b");
    EXPECT_EQ(enumTranslationKey("mode", 1), "mode_ENUM_0x01");
    EXPECT_EQ(enumTranslationKey("mode", 255), "mode_ENUM_0xFF");
}

}  // namespace
