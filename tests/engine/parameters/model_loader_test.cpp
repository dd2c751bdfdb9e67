#include "engine/parameters/model_loader.h"

#include <gtest/gtest.h>

#include "engine/description/dtm_exception.h"
#include "engine/parameters/parameter_map.h"
#include "model_fixture.h"

namespace engine::testing {
namespace {

std::string loadFailure(const std::string& deviceFile) {
    LoadedModel model(deviceFile);
    try {
        model.load();
    } catch (const CDTMException& error) {
        return error.message();
    }
    return "no failure";
}

TEST(ParameterModelLoader, FailuresCarryTheirExactTexts) {
    struct Case {
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        {"loader_no_hart.xml", "Error on init HartParameterManager. No HART interface found."},
        {"loader_no_data_type.xml", "Error on AddParameter. Parameter have no data type node."},
        {"loader_component_no_data_type.xml",
         "Error on AddComponent. Parameter have no data type node."},
        {"loader_unknown_type.xml", "Error on AddObject. Unknown data type name."},
    };
    for (const Case& c : cases) EXPECT_EQ(loadFailure(c.file), c.message) << c.file;
}

TEST(ParameterModelLoader, FailureKeepsWhatWasCreatedAndLeavesTheModelUnbuilt) {
    LoadedModel model("loader_no_data_type.xml");
    EXPECT_THROW(model.load(), CDTMException);
    EXPECT_NE(model.root->find(1), nullptr);
    EXPECT_NE(model.root->find(5), nullptr);
    EXPECT_EQ(model.root->find(7), nullptr);
    EXPECT_FALSE(model.root->modelBuilt());
}

TEST(ParameterModelLoader, ReferenceIdsDuplicatesAndArrays) {
    LoadedModel model("loader_ids.xml", "dtm_empty.xml");
    model.load();
    DeviceObject& root = *model.root;
    EXPECT_EQ(root.find(12)->getLabel(), "twelve");
    EXPECT_EQ(root.find(0)->getLabel(), "no_id");
    EXPECT_EQ(root.find(500)->getLabel(), "second");
    EXPECT_EQ(root.find(500)->kind(), ParameterKind::String);
    EXPECT_EQ(std::count(root.idList().begin(), root.idList().end(), 500), 1);
    EXPECT_EQ(root.find(600)->kind(), ParameterKind::Array);
    EXPECT_EQ(root.find(600)->typeName(), "float");
    EXPECT_EQ(root.tag(), "no valid tag");  // no DTMVersion
}

TEST(ParameterModelLoader, IdListFollowsTheBucketOrder) {
    LoadedModel model("loader_order.xml", "dtm_empty.xml");
    model.load();
    const std::vector<ParameterId> expected{272, 1, 17, 16, 48, 5000};
    EXPECT_EQ(model.root->idList(), expected);
    EXPECT_EQ(model.root->find(16)->getLabel(), "replacement");
    EXPECT_EQ(ParameterMap::bucketOf(1122622930), (1122622930u >> 4) % 17);
    EXPECT_EQ(ParameterMap::bucketOf(-16), (0xFFFFFFF0u >> 4) % 17);
}

TEST(ParameterModelLoader, BuildsTheWholeModel) {
    LoadedModel model;
    model.load();
    DeviceObject& root = *model.root;
    EXPECT_TRUE(root.modelBuilt());
    EXPECT_EQ(root.dataSetState(), "default");

    // The reserved short address: unsigned, no node.
    ASSERT_NE(root.find(kShortAddressId), nullptr);
    EXPECT_EQ(root.find(kShortAddressId)->kind(), ParameterKind::UnsignedInteger);
    EXPECT_FALSE(root.find(kShortAddressId)->node());

    // Components are in the map and hang below their parent in order.
    ValueParameter& pair = model.at(114);
    ASSERT_EQ(pair.components().size(), 2u);
    EXPECT_EQ(pair.components()[0], root.find(115));
    EXPECT_EQ(root.find(116)->parent(), &pair);

    // The internal interface: block parameters and direct ones.
    EXPECT_NE(root.find(200), nullptr);
    EXPECT_NE(root.find(201), nullptr);

    // Every map entry once in the id list.
    EXPECT_EQ(root.idList().size(), root.parameterMap().size());
    EXPECT_EQ(root.idList(), root.parameterMap().orderedIds());

    // The tag comes from the DTM description and reaches parameter 1122622930.
    EXPECT_EQ(root.tag(), "TT101");
    EXPECT_EQ(root.find(kDeviceTagId)->getValueText(kDisplayMode), "TT101");

    // Action items: command << 24 | (index & 0xFF); a later one replaces.
    ASSERT_NE(root.findAction(173u << 24), nullptr);
    EXPECT_EQ(root.findAction(173u << 24)->key, 173u << 24);
    ASSERT_NE(root.findAction((173u << 24) + 2), nullptr);
    EXPECT_EQ(root.findAction((173u << 24) + 2)->node.selectSingleNode("user:description").text(),
              "replaces_index_2");
    EXPECT_EQ(root.actions().size(), 2u);
    EXPECT_LT(static_cast<int32_t>(root.findAction(173u << 24)->key), 0);
}

TEST(ParameterModelLoader, AppliesADataSetThatArrivedEarly) {
    LoadedModel model;
    model.root->setPendingDataSet("[tag=STORED][dataSetState=validModified][104=7]", true);
    model.load();
    EXPECT_EQ(model.root->tag(), "STORED");
    EXPECT_EQ(model.root->dataSetState(), "validModified");
    EXPECT_EQ(model.at(104).getValueText(kDisplayMode), "7");
    EXPECT_FALSE(model.at(104).isChanged());
    EXPECT_TRUE(model.root->pendingDataSet().empty());
}

}  // namespace
}  // namespace engine::testing
