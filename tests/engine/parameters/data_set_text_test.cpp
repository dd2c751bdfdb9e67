#include "engine/parameters/data_set_text.h"

#include <gtest/gtest.h>

#include "model_fixture.h"

namespace engine::testing {
namespace {

class ParameterDataSetText : public ::testing::Test {
protected:
    void SetUp() override {
        model.load();
        for (ParameterId id : model.root->idList()) model.at(id).setChanged(false);
        model.root->clearTagChanged();
    }
    LoadedModel model;
};

TEST_F(ParameterDataSetText, WalkWritesEveryParameterInListOrderAndClearsFlags) {
    DeviceObject& root = *model.root;
    model.at(104).setValueText("9", kDisplayMode);
    const DataSetWalk walk = walkDataSet(root);

    std::string expected = "[tag=TT101][dataSetState=validModified]";
    for (ParameterId id : root.idList()) {
        expected += "[" + formatReferenceId(id) + "=" + model.at(id).getValueText(kDisplayMode) + "]";
    }
    EXPECT_EQ(walk.full, expected);
    EXPECT_EQ(walk.changed, "[104=9]");
    EXPECT_FALSE(model.at(104).isChanged());
    EXPECT_EQ(walkDataSet(root).changed, "");
}

TEST_F(ParameterDataSetText, LongValuesAreWrittenWhole) {
    ValueParameter& user = model.root->createUserParameter(1000001, "String");
    model.root->rebuildIdList();
    const std::string longText(3000, 'x');
    user.setValueText(longText, kDisplayMode);
    const DataSetWalk walk = walkDataSet(*model.root);
    EXPECT_NE(walk.full.find("[1000001=" + longText + "]"), std::string::npos);
}

TEST_F(ParameterDataSetText, ApplyingSetsValuesStateAndTag) {
    DeviceObject& root = *model.root;
    applyDataSetText(root, "[tag=FT-12][dataSetState=validModified][104=17][105=hello][1122622930=FT-12]",
                     true);
    EXPECT_EQ(root.tag(), "FT-12");
    EXPECT_FALSE(root.tagChanged());
    EXPECT_EQ(root.dataSetState(), "validModified");
    EXPECT_EQ(model.at(104).getValueText(kDisplayMode), "17");
    EXPECT_EQ(model.at(105).getValueText(kDisplayMode), "hello");
    EXPECT_FALSE(model.at(104).isChanged());  // stored: flags cleared

    applyDataSetText(root, "[103=5]", false);
    EXPECT_TRUE(model.at(103).isChanged());
    EXPECT_EQ(root.dataSetState(), "default");  // no state item
}

TEST_F(ParameterDataSetText, OddItemsAreIgnored) {
    DeviceObject& root = *model.root;
    applyDataSetText(root, "[=5][104][12x=3][tag=][other=1][dataSetState=][104=", true);
    EXPECT_EQ(root.tag(), "TT101");
    EXPECT_EQ(root.dataSetState(), "default");
    EXPECT_EQ(model.at(104).getValueText(kDisplayMode), "0");
}

TEST_F(ParameterDataSetText, RoundTrip) {
    DeviceObject& root = *model.root;
    model.at(100).setValueText("12.25", kDisplayMode);
    model.at(110).setValueText("02/29/2024", kDisplayMode);
    model.at(107).setValueText("0110", kDisplayMode);
    model.at(126).setValueText("-#INF", kDisplayMode);
    const std::string saved = walkDataSet(root).full;

    LoadedModel other;
    other.root->setPendingDataSet(saved, true);
    other.load();
    EXPECT_EQ(walkDataSet(*other.root).full, saved);
}

}  // namespace
}  // namespace engine::testing
