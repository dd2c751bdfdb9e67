#include <gtest/gtest.h>

#include <algorithm>

#include "model_fixture.h"

namespace engine::testing {
namespace {

class ParameterTexts : public ::testing::Test {
protected:
    void SetUp() override { model.load(); }
    LoadedModel model;
};

TEST_F(ParameterTexts, LabelBlockNameAndDescription) {
    struct Case {
        ParameterId id;
        const char* label;
        const char* blockName;
        const char* description;
    };
    const Case cases[] = {
        {100, "pv", "process", "pv_help"},
        {101, "pv_unit", "process", "pv_unit_HELP"},  // name; empty description
        {123, "unkown", "process", "unkown_HELP"},
        {115, "pair_count", "pair_block", "pair_count_HELP"},  // a component's "block" is its parent
        {kShortAddressId, "unkown", "unkown", ""},
        {200, "internal_in_block", "internal_block", "internal_in_block_HELP"},
    };
    for (const Case& c : cases) {
        ValueParameter& parameter = model.at(c.id);
        EXPECT_EQ(parameter.getLabel(), c.label) << c.id;
        EXPECT_EQ(parameter.getBlockName(), c.blockName) << c.id;
        EXPECT_EQ(parameter.getDescription(), c.description) << c.id;
    }
}

TEST_F(ParameterTexts, Restrictions) {
    struct Case {
        ParameterId id;
        const char* lower;
        const char* upper;
        const char* range;
        const char* scaling;
        const char* unit;
    };
    const Case cases[] = {
        {100, "0", "100", "[0 to 100]", "1", "mA"},  // unit code 39 from parameter 101
        {120, "5", "50", "[5 to 50]", "1", ""},      // the constant wins over the pointer
        {121, "", "50", "", "1", ""},                // dangling pointers read as absent
        {122, "", "", "[1=On][2=Off]", "1", ""},
        {124, "", "", "", "1", ""},                  // scaling "0" reads as "1"
        {125, "", "", "[0 to 10]", "2.5", "mA"},
        {127, "-2.5000000000", "7.2500000000", "[-2.5000000000 to 7.2500000000]", "1", ""},
        {113, "0", "100", "[0 to 100]", "1", ""},    // followed through the value pointer
        {kShortAddressId, "", "", "", "1", ""},
    };
    for (const Case& c : cases) {
        ValueParameter& parameter = model.at(c.id);
        EXPECT_EQ(parameter.getLowerLimit(), c.lower) << c.id;
        EXPECT_EQ(parameter.getUpperLimit(), c.upper) << c.id;
        EXPECT_EQ(parameter.getRange(), c.range) << c.id;
        EXPECT_EQ(parameter.getScaling(), c.scaling) << c.id;
        EXPECT_EQ(parameter.getUnit(), c.unit) << c.id;
    }
}

TEST_F(ParameterTexts, OffsetAndDampingFallBackToTheValueConstant) {
    EXPECT_EQ(model.at(125).getOffset(), "3");
    EXPECT_EQ(model.at(125).getDamping(), "0.5");
    EXPECT_EQ(model.at(100).getOffset(), "");
    EXPECT_EQ(model.at(100).getDamping(), "");
}

TEST_F(ParameterTexts, UnitFollowsTheCodeParameter) {
    struct Case {
        const char* code;
        const char* unit;
    };
    const Case cases[] = {{"39", "mA"}, {"32", "deg C"}, {"64", "hex unit"}, {"7", "7"}};
    for (const Case& c : cases) {
        model.at(101).setValueText(c.code, kDisplayMode);
        EXPECT_EQ(model.at(100).getUnit(), c.unit) << c.code;
    }
}

TEST_F(ParameterTexts, RestrictionSourcesLinkOnce) {
    ValueParameter& low = model.at(128);
    model.at(127).getRange();
    model.at(127).getRange();
    EXPECT_EQ(std::count(low.links().begin(), low.links().end(), &model.at(127)), 1);
    EXPECT_EQ(model.at(127).findRestrictionSource("lower_limit", false), &low);
    EXPECT_EQ(model.at(120).findRestrictionSource("lower_limit", false), &model.at(120));
    EXPECT_EQ(model.at(121).findRestrictionSource("lower_limit", false), nullptr);
    EXPECT_EQ(model.at(113).findRestrictionSource("unit", false), nullptr);
    EXPECT_EQ(model.at(113).findRestrictionSource("unit", true), &model.at(100));
    EXPECT_EQ(model.at(kShortAddressId).findRestrictionSource("range", true), nullptr);
}

TEST_F(ParameterTexts, SetRangeOverridesAndIsChecked) {
    ValueParameter& pv = model.at(100);
    pv.setRange("[1 to 2]");
    EXPECT_EQ(pv.getRange(), "[1 to 2]");
    pv.setValueText("50", kDisplayMode);
    EXPECT_EQ(pv.isOutOfRange(), 1);
    pv.setValueText("1.5", kDisplayMode);
    EXPECT_EQ(pv.isOutOfRange(), 0);
    pv.setRange("");
    EXPECT_EQ(pv.getRange(), "[0 to 100]");
}

TEST_F(ParameterTexts, SizesAndAccess) {
    EXPECT_EQ(model.at(100).getSize(), "4");
    EXPECT_EQ(model.at(111).getSize(), "");
    EXPECT_EQ(model.at(106).getSize(), "8");  // six packed bytes hold eight characters
    EXPECT_EQ(model.at(118).getSize(), "4");

    struct Case {
        ParameterId id;
        bool readable;
        bool writable;
        bool dynamic;
    };
    const Case cases[] = {
        {100, true, true, false},
        {101, true, false, true},
        {108, true, true, false},   // components ask their parent
        {115, false, false, false},
        {kShortAddressId, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(model.at(c.id).isReadable(), c.readable) << c.id;
        EXPECT_EQ(model.at(c.id).isWritable(), c.writable) << c.id;
        EXPECT_EQ(model.at(c.id).isDynamic(), c.dynamic) << c.id;
    }
}

TEST_F(ParameterTexts, ValidityFollowsTheParent) {
    ValueParameter& status = model.at(107);
    ValueParameter& mode = model.at(108);
    EXPECT_EQ(mode.isValid(), 1);
    status.setValid(0);
    EXPECT_EQ(mode.isValid(), 0);
    status.setValid(1);
    mode.setValid(5);
    EXPECT_EQ(mode.isValid(), 5);  // the value last given
}

}  // namespace
}  // namespace engine::testing
