#include <gtest/gtest.h>

#include <list>

#include "fake_observer.h"
#include "model_fixture.h"

namespace engine::testing {
namespace {

class ParameterChangedState : public ::testing::Test {
protected:
    void SetUp() override {
        model.load();
        clearAll();
    }
    void clearAll() {
        for (ParameterId id : model.root->idList()) model.at(id).setChanged(false);
        model.root->setDataSetState("default");
        model.root->clearTagChanged();
    }
    // Observers outlive the model, which releases its references last.
    FakeObserver& observer(LONG ownerId) { return observers.emplace_back(ownerId); }

    std::list<FakeObserver> observers;
    LoadedModel model;
};

TEST_F(ParameterChangedState, DataSetStateFollowsChanges) {
    struct Case {
        ParameterId id;
        const char* text;
        const char* state;
    };
    const Case cases[] = {
        {104, "9", "validModified"},
        {1274278243, "32,33", "default"},  // changes of this parameter do not count
        {104, "0", "validModified"},
    };
    for (const Case& c : cases) {
        clearAll();
        model.at(c.id).setValueText(c.text, kDisplayMode);
        EXPECT_TRUE(model.at(c.id).isChanged()) << c.id;
        EXPECT_EQ(model.root->dataSetState(), c.state) << c.id;
    }
    clearAll();
    ValueParameter& user = model.root->createUserParameter(1000001, "Double");
    user.setValueText("4", kDisplayMode);
    EXPECT_TRUE(user.isChanged());
    EXPECT_EQ(model.root->dataSetState(), "default");
}

TEST_F(ParameterChangedState, FlagsPropagateToParentComponentsAndLinks) {
    model.at(116).setValueText("2", kDisplayMode);
    EXPECT_TRUE(model.at(114).changedFlag());  // the parent
    EXPECT_TRUE(model.at(115).changedFlag());  // the sibling, through the parent

    clearAll();
    model.at(127).getLowerLimit();  // 127 now takes its lower limit from 128
    model.at(128).setValueText("1", kDisplayMode);
    EXPECT_TRUE(model.at(127).changedFlag());
    EXPECT_FALSE(model.at(129).changedFlag());

    model.at(128).setChanged(false);
    EXPECT_FALSE(model.at(127).changedFlag());
    EXPECT_EQ(model.root->storageState(), "persistent");
    model.at(115).setValueText("1", kDisplayMode);
    EXPECT_EQ(model.root->storageState(), "transient");
}

TEST_F(ParameterChangedState, ObserverThroughALinkIsToldOncePerChange) {
    FakeObserver& view = observer(7);
    ValueParameter& linked = model.at(127);
    ASSERT_TRUE(linked.registerObserver(&view));
    EXPECT_FALSE(linked.registerObserver(&view, 7));  // same owner id: ignored
    EXPECT_EQ(linked.observers().size(), 1u);
    linked.getRange();  // links 127 to both 128 and 129

    model.at(128).setValueText("3", kDisplayMode);
    EXPECT_EQ(view.changed, std::vector<int32_t>{127});
    EXPECT_EQ(view.changedTypes, std::vector<VARTYPE>{VT_I4});
    model.at(128).setValueText("3", kDisplayMode);  // same value: nothing
    EXPECT_EQ(view.changed.size(), 1u);
    model.at(129).setValueText("00000000", kDeviceMode);
    EXPECT_EQ(view.changed, (std::vector<int32_t>{127, 127}));
}

TEST_F(ParameterChangedState, SameDeviceValueAgainSignalsNothing) {
    FakeObserver& view = observer(5);
    ValueParameter& parameter = model.at(103);
    ASSERT_TRUE(parameter.registerObserver(&view));
    parameter.setValueText("0005", kDeviceMode);
    parameter.setChanged(false);
    model.root->setDataSetState("allDataLoaded");
    const size_t calls = view.changed.size();

    parameter.setValueText("0005", kDeviceMode);  // read again: the same value
    EXPECT_EQ(view.changed.size(), calls) << "no observer is told";
    EXPECT_EQ(model.root->dataSetState(), "allDataLoaded");
    EXPECT_TRUE(parameter.changedFlag()) << "a device value is not saved yet";

    parameter.setValueText("0006", kDeviceMode);
    EXPECT_EQ(view.changed.size(), calls + 1);
    EXPECT_EQ(model.root->dataSetState(), "validModified");
}

TEST_F(ParameterChangedState, EveryParameterTakesPartOnceEvenInCycles) {
    ValueParameter& a = model.at(103);
    ValueParameter& b = model.at(104);
    a.addLink(&b);
    b.addLink(&a);
    a.addLink(&model.at(114));  // a diamond: 114 and its components
    model.at(116).addLink(&b);
    FakeObserver& onA = observer(1);
    FakeObserver& onB = observer(2);
    FakeObserver& onPair = observer(3);
    a.registerObserver(&onA);
    b.registerObserver(&onB);
    model.at(114).registerObserver(&onPair);

    a.setValueText("12", kDisplayMode);
    EXPECT_EQ(onA.changed.size(), 1u);
    EXPECT_EQ(onB.changed.size(), 1u);
    EXPECT_EQ(onPair.changed.size(), 1u);
    EXPECT_TRUE(b.changedFlag());
}

TEST_F(ParameterChangedState, ReferencesAreHeldAndReleased) {
    FakeObserver& view = observer(11);
    FakeObserver& other = observer(12);
    {
        LoadedModel local;
        local.load();
        local.at(100).registerObserver(&view);
        local.at(101).registerObserver(&view);
        local.at(100).registerObserver(&other);
        EXPECT_EQ(view.references(), 2u);
        EXPECT_TRUE(local.at(100).unregisterObserver(11));
        EXPECT_FALSE(local.at(100).unregisterObserver(11));
        EXPECT_EQ(view.references(), 1u);
        EXPECT_EQ(local.at(100).observers().front().ownerId(), 12);
    }
    EXPECT_EQ(view.references(), 0u);
    EXPECT_EQ(other.references(), 0u);
}

TEST_F(ParameterChangedState, ObserverMayUnregisterWhileBeingTold) {
    FakeObserver& first = observer(1);
    FakeObserver& second = observer(2);
    ValueParameter& pv = model.at(100);
    pv.registerObserver(&first);
    pv.registerObserver(&second);
    first.onChanged = [&](int32_t) {
        pv.unregisterObserver(1);
        pv.unregisterObserver(2);
    };
    pv.setValueText("5", kDisplayMode);
    EXPECT_EQ(first.changed.size(), 1u);
    EXPECT_EQ(second.changed.size(), 1u);  // the walk runs over the records it started with
    EXPECT_TRUE(pv.observers().empty());
    EXPECT_EQ(first.references(), 0u);
    EXPECT_EQ(second.references(), 0u);
}

TEST_F(ParameterChangedState, ValidAndVisibleNotifyWhenTheyChange) {
    FakeObserver& onParent = observer(1);
    FakeObserver& onComponent = observer(2);
    FakeObserver& onSibling = observer(3);
    model.at(107).registerObserver(&onParent);
    model.at(108).registerObserver(&onComponent);
    model.at(109).registerObserver(&onSibling);

    model.at(108).setVisible(0);
    EXPECT_EQ(onComponent.changed.size(), 1u);
    EXPECT_EQ(onParent.changed.size(), 1u);
    EXPECT_EQ(onSibling.changed.size(), 1u);  // through the parent, never back
    model.at(108).setVisible(0);
    EXPECT_EQ(onComponent.changed.size(), 1u);
    model.at(107).setValid(0);
    EXPECT_EQ(onParent.changed.size(), 2u);
    EXPECT_EQ(onComponent.changed.size(), 2u);
    model.at(108).setOutOfRange(1);
    EXPECT_EQ(onComponent.changed.size(), 2u);
    EXPECT_EQ(model.at(108).isVisible(), 0);
}

TEST_F(ParameterChangedState, DeviceTagAndTagParameterFollowEachOther) {
    DeviceObject& root = *model.root;
    root.setTag("LONGTAG123");
    EXPECT_TRUE(root.tagChanged());
    EXPECT_EQ(model.at(kDeviceTagId).getValueText(kDisplayMode), "LONGTAG123");

    // The device answers the first eight characters: the long tag stays.
    model.at(kDeviceTagId).setValueText("30F3875011F1", kDeviceMode);  // "LONGTAG1"
    EXPECT_EQ(model.at(kDeviceTagId).getValueText(kDisplayMode), "LONGTAG1");
    EXPECT_EQ(root.tag(), "LONGTAG123");

    root.clearTagChanged();
    model.at(kDeviceTagId).setValueText("0420C41461C8", kDeviceMode);  // "ABCDEFGH"
    EXPECT_EQ(root.tag(), "ABCDEFGH");
    EXPECT_TRUE(root.tagChanged());

    root.setValue(kDeviceTagId, "PT-7", kDisplayMode);
    EXPECT_EQ(root.tag(), "PT-7");
    EXPECT_EQ(model.at(kDeviceTagId).getValueText(kDisplayMode), "PT-7");

    root.clearTagChanged();
    root.setTag("PT-7");
    EXPECT_FALSE(root.tagChanged());
}

TEST_F(ParameterChangedState, OutOfRangeAcrossTheIdList) {
    model.at(130).setOutOfRange(0);
    EXPECT_FALSE(model.root->anyOutOfRange());
    model.at(100).setValueText("500", kDisplayMode);
    EXPECT_TRUE(model.root->anyOutOfRange());
    EXPECT_TRUE(model.root->inconsistency(100));
    EXPECT_FALSE(model.root->inconsistency(101));
    EXPECT_FALSE(model.root->inconsistency(4242));
}

}  // namespace
}  // namespace engine::testing
