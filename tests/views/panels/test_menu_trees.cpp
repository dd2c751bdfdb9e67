// The shape of both menu trees: nesting, folders, the panels the cyclic
// upload knows by slot, panels built twice or shown under two items, the
// guarded historian, and the one-call factory configuration.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/communication/action_script.h"
#include "views/panels/panel_table.h"

namespace {

using views::panels::ElementKind;
using views::panels::ElementSpec;
using views::panels::MenuItemSpec;
using views::panels::MenuViewSpec;
using views::panels::PanelSlot;
using views::panels::PanelSpec;

std::multiset<PanelSlot> slotsOf(const MenuViewSpec& view) {
    std::set<const PanelSpec*> panels;
    for (const MenuItemSpec& item : view.items)
        if (item.panel) panels.insert(item.panel);
    std::multiset<PanelSlot> slots;
    for (const PanelSpec* panel : panels)
        if (panel->slot != PanelSlot::None) slots.insert(panel->slot);
    return slots;
}

const MenuItemSpec* findItem(const MenuViewSpec& view, std::string_view key, int occurrence = 0) {
    for (const MenuItemSpec& item : view.items)
        if (item.key == key && occurrence-- == 0) return &item;
    return nullptr;
}

const ElementSpec* findButton(std::span<const ElementSpec> elements, std::string_view caption) {
    for (const ElementSpec& e : elements) {
        if (e.kind == ElementKind::Button && e.key == caption) return &e;
        if (const ElementSpec* inner = findButton(e.children, caption)) return inner;
    }
    return nullptr;
}

TEST(MenuTrees, NestOneLevelAtATimeUnderASingleRoot) {
    for (const MenuViewSpec* view :
         {&views::panels::positionerMenuView(), &views::panels::levelMenuView()}) {
        ASSERT_FALSE(view->items.empty());
        EXPECT_EQ(view->items.front().level, 0);
        int previous = 0;
        for (std::size_t i = 1; i < view->items.size(); ++i) {
            const MenuItemSpec& item = view->items[i];
            EXPECT_GE(item.level, 1) << item.key << ": a second root";
            EXPECT_LE(item.level, previous + 1) << item.key << " skips a level";
            previous = item.level;
        }
    }
}

TEST(MenuTrees, SlotsNameTheTenPositionerAndFiveLevelPanelsOnce) {
    const std::multiset<PanelSlot> positioner{PanelSlot::Root,
                                              PanelSlot::ReadPressures,
                                              PanelSlot::CalibPressure,
                                              PanelSlot::Historian,
                                              PanelSlot::RawData,
                                              PanelSlot::CalibSignal,
                                              PanelSlot::SensorMeasurements,
                                              PanelSlot::DeviceStatusFaults,
                                              PanelSlot::Commissioning,
                                              PanelSlot::ManualSetpoint};
    EXPECT_EQ(slotsOf(views::panels::positionerMenuView()), positioner);
    const std::multiset<PanelSlot> level{PanelSlot::TransMonitor, PanelSlot::CtrlMonitor,
                                         PanelSlot::LevelFaults, PanelSlot::Diagnostic,
                                         PanelSlot::CalTools};
    EXPECT_EQ(slotsOf(views::panels::levelMenuView()), level);
}

TEST(MenuTrees, PositionerPanelsUnderTwoItems) {
    const MenuViewSpec& view = views::panels::positionerMenuView();
    // Built twice: both items build their own set of elements.
    for (const char* key : {"FindStops", "AutoTune", "menu_table_menuSwitchConfiguration",
                            "menu_table_menuDeviceInfo"}) {
        const MenuItemSpec* first = findItem(view, key, 0);
        const MenuItemSpec* second = findItem(view, key, 1);
        ASSERT_TRUE(first && second) << key;
        EXPECT_EQ(first->panel, second->panel) << key;
        EXPECT_FALSE(first->reusesBuiltPanel || second->reusesBuiltPanel) << key;
    }
    // Built once: the second item shows what the first built.
    const MenuItemSpec* calibrate = findItem(view, "menu_table_menuManualSetpoint", 0);
    const MenuItemSpec* commissioning = findItem(view, "menu_table_menuManualSetpoint", 1);
    ASSERT_TRUE(calibrate && commissioning);
    EXPECT_EQ(calibrate->panel, commissioning->panel);
    EXPECT_FALSE(calibrate->reusesBuiltPanel);
    EXPECT_TRUE(commissioning->reusesBuiltPanel);
    // The two "menu_table_menuConfig" items are different panels.
    EXPECT_NE(findItem(view, "menu_table_menuConfig", 0)->panel,
              findItem(view, "menu_table_menuConfig", 1)->panel);
    int reused = 0;
    for (const MenuItemSpec& item : view.items) reused += item.reusesBuiltPanel ? 1 : 0;
    EXPECT_EQ(reused, 1);
}

TEST(MenuTrees, OnlyTheHistorianIsGuarded) {
    for (const MenuViewSpec* view :
         {&views::panels::positionerMenuView(), &views::panels::levelMenuView()}) {
        for (const MenuItemSpec& item : view->items) {
            const bool historian = item.key == "menu_table_menuHistorian";
            EXPECT_EQ(item.guardId, historian ? 1000211 : 0) << item.key;
        }
    }
}

TEST(MenuTrees, FoldersHaveNoPanel) {
    auto folders = [](const MenuViewSpec& view) {
        std::vector<std::string_view> keys;
        for (const MenuItemSpec& item : view.items)
            if (!item.panel) keys.push_back(item.key);
        return keys;
    };
    EXPECT_EQ(folders(views::panels::positionerMenuView()),
              std::vector<std::string_view>{"menu_table_menuDeviceSetup"});
    EXPECT_EQ(folders(views::panels::levelMenuView()),
              (std::vector<std::string_view>{
                  "menu_table_root", "menu_table_menuNormalMode", "menu_table_menuManualMode",
                  "menu_table_menuConfiguration", "menu_table_menuCalibration"}));
}

// The factory defaults are values only: one script of setvalue items that
// ends by marking the data set for download, and no device command.
TEST(MenuTrees, FactoryConfigurationOfflineSetsValuesOnly) {
    struct Recorder final : engine::communication::ScriptTarget {
        std::vector<std::pair<engine::ParameterId, std::string>> values;
        int commandElements = 0;
        std::string translatedString(const std::string& key) override { return key; }
        void startProgress(const std::string&) override {}
        void stopProgress() override {}
        void queueCommands(std::string_view) override { ++commandElements; }
        void setValue(engine::ParameterId id, const std::string& value) override {
            values.emplace_back(id, value);
        }
    } recorder;
    const MenuItemSpec* item =
        findItem(views::panels::positionerMenuView(), "menu_table_menuConfig", 0);
    ASSERT_TRUE(item && item->panel);
    const ElementSpec* button = findButton(item->panel->elements, "FactoryConfigurationOffline");
    ASSERT_NE(button, nullptr);
    engine::communication::runActionScript(button->script, recorder);
    EXPECT_EQ(recorder.commandElements, 0);
    ASSERT_EQ(recorder.values.size(), 34u);
    EXPECT_EQ(recorder.values.front(),
              (std::pair<engine::ParameterId, std::string>{1340640597, "1"}));
    EXPECT_EQ(recorder.values[7].second, "00000000");
    EXPECT_EQ(recorder.values.back(), (std::pair<engine::ParameterId, std::string>{1000109, "1"}));
}

}  // namespace
