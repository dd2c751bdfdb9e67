#include <gtest/gtest.h>

#include "engine/description/dtm_exception.h"
#include "engine/parameters/parameter_factory.h"
#include "engine/parameters/pointer_parameter.h"
#include "model_fixture.h"

namespace engine::testing {
namespace {

class ParameterValues : public ::testing::Test {
protected:
    void SetUp() override {
        model.load();
        for (ParameterId id : model.root->idList()) model.at(id).setChanged(false);
    }

    std::string device(ParameterId id) { return model.at(id).getValueText(kDeviceMode); }

    LoadedModel model;
};

struct ValueCase {
    ParameterId id;
    const char* text;
    int mode;
    const char* display;
    int16_t outOfRange;
    bool changed;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
    *out << "id " << c.id << " text \"" << c.text << "\" mode " << c.mode;
}

// Each case runs on a freshly loaded model.
class ParameterValueTable : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ParameterValueTable, SetValueText) {
    const ValueCase& c = GetParam();
    LoadedModel model;
    model.load();
    ValueParameter& parameter = model.at(c.id);
    parameter.setChanged(false);
    parameter.setOutOfRange(0);
    parameter.setValueText(c.text, c.mode);
    EXPECT_EQ(parameter.getValueText(kDisplayMode), c.display);
    EXPECT_EQ(parameter.isOutOfRange(), c.outOfRange);
    EXPECT_EQ(parameter.changedFlag(), c.changed);
}

INSTANTIATE_TEST_SUITE_P(
    ParameterKinds, ParameterValueTable,
    ::testing::Values(
        // Floating point, range [0 to 100] from its limits.
        ValueCase{100, "12a", 0, "0.0000000000", 1, false},
        ValueCase{100, "1,5", 0, "1.5000000000", 0, true},
        ValueCase{100, "100.5", 0, "0.0000000000", 1, false},
        ValueCase{100, "42c90000", 1, "100.5000000000", 0, true},
        ValueCase{100, "0", 0, "0.0000000000", 0, false},   // same value from the user
        ValueCase{100, "00000000", 2, "0.0000000000", 0, true},  // same value from the device
        ValueCase{126, "#INF", 0, "#INF", 0, true},
        ValueCase{126, "-#INF", 0, "-#INF", 0, true},
        ValueCase{100, "#INF", 0, "0.0000000000", 1, false},
        ValueCase{122, "1", 0, "1.0000000000", 0, true},  // [1=On][2=Off]
        ValueCase{122, "2", 0, "2.0000000000", 0, true},
        ValueCase{122, "1.5", 0, "0.0000000000", 1, false},
        // Signed, range [0 to 10]: device values clamp.
        ValueCase{102, "000C", 1, "10", 0, true},
        ValueCase{102, "FFFD", 1, "0", 0, true},
        ValueCase{102, "12", 0, "0", 1, false},
        ValueCase{102, "-3", 0, "0", 1, false},
        ValueCase{102, "7", 0, "7", 0, true},
        ValueCase{131, "FFFE", 1, "-2", 0, true},
        ValueCase{131, "-5", 0, "-5", 0, true},
        // Unsigned without range.
        ValueCase{103, "0x1F", 0, "31", 0, true},
        ValueCase{103, "5.00", 0, "5", 0, true},
        ValueCase{103, "5.5", 0, "0", 1, false},
        ValueCase{103, "-1", 0, "0", 1, false},
        ValueCase{103, "FFFE", 1, "65534", 0, true},
        // Strings and packed ASCII.
        ValueCase{105, "4142202020202020", 1, "AB", 0, true},
        ValueCase{105, "any text", 0, "any text", 0, true},
        ValueCase{106, "0420C41461C8", 1, "ABCDEFGH", 0, true},
        // Bitmap: bits from the least significant of each stored byte.
        ValueCase{107, "1010", 0, "1010000000000000", 0, true},
        ValueCase{107, "8001", 1, "1000000000000001", 0, true},
        ValueCase{107, "10102", 0, "0000000000000000", 1, false},
        ValueCase{107, "00000000000000001", 0, "0000000000000000", 1, false},
        // Date in the "C" locale with a four-digit year.
        ValueCase{110, "12/24/2024", 0, "12/24/2024", 0, true},
        ValueCase{110, "13/01/2024", 0, "01/01/1900", 1, false},
        ValueCase{110, "yesterday", 0, "01/01/1900", 1, false},
        ValueCase{110, "01/01/1899", 0, "01/01/1900", 1, false},
        ValueCase{110, "000d7c", 1, "01/01/2024", 0, true},
        // Time and time-and-date have display texts only.
        ValueCase{111, "13:45:10", 0, "13:45:10", 0, true},
        ValueCase{111, "25:00:00", 0, "00:00:00", 1, false},
        ValueCase{111, "0102", 1, "00:00:00", 0, false},
        ValueCase{112, "12/24/2024 13:45:10", 0, "12/24/2024 13:45:10", 0, true},
        // Pointer: display text is the target's command number.
        ValueCase{113, "2", 0, "2", 0, true},
        ValueCase{113, "99", 0, "1", 1, false},
        ValueCase{113, "1\"] | //user:parameter[\"", 0, "1", 1, false},
        ValueCase{113, "99", 1, "1", 0, false},
        // Complex values have no display text.
        ValueCase{114, "1234", 0, "", 0, false}),
    [](const ::testing::TestParamInfo<ValueCase>& param) {
        return "id" + std::to_string(param.param.id) + "_" + std::to_string(param.index);
    });

TEST_F(ParameterValues, DefaultsAreAppliedAndRangeChecked) {
    EXPECT_EQ(model.at(101).getValueText(kDisplayMode), "39");
    EXPECT_EQ(model.at(128).getValueText(kDisplayMode), "-2.5000000000");
    EXPECT_EQ(model.at(130).getValueText(kDisplayMode), "0.0000000000");  // 150 refused
    EXPECT_EQ(model.at(130).isOutOfRange(), 1);
    auto& pointer = static_cast<PointerParameter&>(model.at(113));
    EXPECT_EQ(pointer.targetId(), 100);
}

TEST_F(ParameterValues, DeviceTexts) {
    model.at(103).setValueText("4660", kDisplayMode);
    EXPECT_EQ(device(103), "1234");
    model.at(104).setValueText("300", kDisplayMode);
    EXPECT_EQ(device(104), "2C");
    model.at(100).setValueText("1", kDisplayMode);
    EXPECT_EQ(device(100), "3f800000");
    model.at(105).setValueText("AB", kDisplayMode);
    EXPECT_EQ(device(105), "4142202020202020");
    model.at(106).setValueText("ab", kDisplayMode);
    EXPECT_EQ(device(106), "042820820820");
    EXPECT_EQ(model.at(106).getSize(), "8");
    model.at(102).setValueText("000A", kDeviceMode);
    EXPECT_EQ(device(102), "000A");
    model.at(110).setValueText("12/24/2024", kDisplayMode);
    EXPECT_EQ(device(110), "180c7c");
    EXPECT_EQ(device(111), "");
    EXPECT_EQ(device(112), "");
    EXPECT_EQ(device(113), "1");
}

TEST_F(ParameterValues, BitRangesViewTheirParent) {
    ValueParameter& status = model.at(107);
    status.setValueText("0005", kDeviceMode);
    EXPECT_EQ(model.at(108).getValueText(kDisplayMode), "5");
    EXPECT_EQ(model.at(109).getValueText(kDeviceMode), "0");

    model.at(109).setValueText("9", kDisplayMode);  // bits 9..12 = 1001
    EXPECT_EQ(status.getValueText(kDeviceMode), "1205");
    EXPECT_EQ(model.at(108).getValueText(kDisplayMode), "5");  // bits 0..2 kept

    model.at(108).setValueText("6", kDisplayMode);  // outside [0 to 5]
    EXPECT_EQ(model.at(108).isOutOfRange(), 1);
    EXPECT_EQ(model.at(108).getValueText(kDisplayMode), "5");
    model.at(109).setValueText("16", kDisplayMode);  // four bits hold at most 15
    EXPECT_EQ(model.at(109).isOutOfRange(), 1);
    model.at(108).setValueText("7", kDeviceMode);  // clamped to the range
    EXPECT_EQ(model.at(108).getValueText(kDisplayMode), "5");
    model.at(108).setValueText("2", kDisplayMode);
    EXPECT_EQ(model.at(108).isOutOfRange(), 0);
    EXPECT_EQ(status.getValueText(kDeviceMode), "1202");
}

TEST_F(ParameterValues, BitRangeWithoutUsableBitsIsAFormatError) {
    // 108 is a bit range of the bitmap; made a top-level view of nothing, it
    // cannot be written.
    ParameterSpec spec;
    spec.kind = ParameterKind::BitRange;
    spec.id = 999;
    spec.node = model.at(108).node();
    spec.owner = model.root.get();
    ValueParameter& orphan = model.root->adopt(createParameter(spec));
    EXPECT_THROW(orphan.getValueText(kDisplayMode), CDTMException);
    orphan.setValueText("1", kDisplayMode);
    EXPECT_EQ(orphan.isOutOfRange(), 1);
}

TEST_F(ParameterValues, ComplexAndArraySplitTheirDeviceText) {
    EXPECT_EQ(device(114), "000000000000");
    model.at(114).setValueText("01023f800000", kDeviceMode);
    EXPECT_EQ(model.at(115).getValueText(kDisplayMode), "258");
    EXPECT_EQ(model.at(116).getValueText(kDisplayMode), "1.0000000000");
    EXPECT_TRUE(model.at(114).isChanged());
    EXPECT_EQ(device(114), "01023f800000");

    model.at(114).setValueText("07", kDeviceMode);  // runs out after the first component
    EXPECT_EQ(model.at(115).getValueText(kDisplayMode), "7");
    EXPECT_EQ(model.at(116).getValueText(kDisplayMode), "1.0000000000");

    model.at(117).setValueText("3f80000040000000", kDeviceMode);
    EXPECT_EQ(model.at(118).getValueText(kDisplayMode), "1.0000000000");
    EXPECT_EQ(model.at(119).getValueText(kDisplayMode), "2.0000000000");
    EXPECT_EQ(device(117), "3f80000040000000");
}

TEST_F(ParameterValues, PointersResolveByReferenceType) {
    ValueParameter& pointer = model.at(113);
    EXPECT_EQ(pointer.resolveTarget("pointer_value"), &pointer);
    EXPECT_EQ(pointer.resolveTarget(""), &model.at(100));
    pointer.setValueText("2", kDisplayMode);
    EXPECT_EQ(pointer.resolveTarget("value"), &model.at(101));
    EXPECT_EQ(model.at(100).resolveTarget("value"), &model.at(100));

    model.at(100).setValueText("12.5", kDisplayMode);
    model.at(101).setValueText("32", kDisplayMode);
    EXPECT_EQ(model.root->wireValue(113, "pointer_value"), "2");
    EXPECT_EQ(model.root->wireValue(113, ""), "20");
    model.root->setWireValue(113, "", "27");
    EXPECT_EQ(model.at(101).getValueText(kDisplayMode), "39");
    EXPECT_EQ(model.root->wireValue(4242, ""), "");
}

TEST_F(ParameterValues, UserCreatedParameters) {
    DeviceObject& root = *model.root;
    ValueParameter& text = root.createUserParameter(1000001, "String");
    ValueParameter& number = root.createUserParameter(1000002, "Double");
    ValueParameter& other = root.createUserParameter(103, "Anything");
    EXPECT_EQ(text.kind(), ParameterKind::String);
    EXPECT_EQ(text.getSize(), "1024");
    EXPECT_EQ(text.getValueText(kDeviceMode).size(), 2048u);
    EXPECT_EQ(number.kind(), ParameterKind::FloatingPoint);
    EXPECT_EQ(other.kind(), ParameterKind::UnsignedInteger);
    EXPECT_EQ(root.find(103), &other);  // the description's object is replaced
    EXPECT_EQ(other.getLabel(), "unkown");
    other.setValueText("5", kDisplayMode);
    EXPECT_EQ(other.getValueText(kDeviceMode), "00000005");
}

}  // namespace
}  // namespace engine::testing
