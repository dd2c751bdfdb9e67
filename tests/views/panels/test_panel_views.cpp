// The real panel tables in a live view control against the fake engine: the
// cyclic upload follows the panel the tree shows (both device families, the
// switches 1000300 and 1000301, both manual-setpoint items), the guarded
// historian, buttons whose whole script goes out in one DoAction, and one
// change reaching every gauge of its parameter.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QProgressBar>
#include <QTreeWidget>
#include <sstream>

#include "idl/dtm_view_hosting.h"
#include "platform/com/bstr.h"
#include "tests/views/support/view_test_support.h"
#include "views/control/zor_basic_dtm_view.h"

namespace {

using namespace std::chrono_literals;
using views::control::CZorBasicDTMView;
using views::panels::PanelSlot;
using views_test::FakeEngine;

class PanelViews : public testing::Test {
protected:
    PanelViews() {
        views_test::application();
        engineRef_ = FakeEngine::make(&engine_);
        control_ = com::ComInstance<CZorBasicDTMView>::make<IDtmActiveXControl>();
    }
    ~PanelViews() override {
        VARIANT_BOOL ignored;
        control_->PrepareToRelease(&ignored);
    }

    CZorBasicDTMView& view() { return *static_cast<CZorBasicDTMView*>(control_.get()); }
    QWidget* widget() {
        void* raw = nullptr;
        view().GetWidget(&raw);
        return static_cast<QWidget*>(raw);
    }

    // Opens the view online and lets its first (full) cycle go out.
    void open(std::int32_t functionId) {
        VARIANT_BOOL built = VARIANT_FALSE;
        ASSERT_EQ(control_->Init(com::Bstr::fromUtf8("invoke-1").get(),
                                 com::Bstr::fromUtf8(views_test::functionCall(functionId)).get(),
                                 engineRef_.as<IDtm>().get(), &built),
                  S_OK);
        ASSERT_EQ(built, VARIANT_TRUE);
        widget()->show();
        engine_->online = true;
        clock_.advance(550ms);
        ASSERT_EQ(engine_->actions.size(), 1u);
    }

    // Selects the tree item reached by the label keys of `path` ("a/b/c").
    void select(const std::string& path) {
        QTreeWidget* tree = view().menuTree() ? widget()->findChild<QTreeWidget*>() : nullptr;
        ASSERT_NE(tree, nullptr);
        QTreeWidgetItem* item = nullptr;
        std::istringstream keys(path);
        for (std::string key; std::getline(keys, key, '/');) {
            QTreeWidgetItem* next = nullptr;
            const int count = item ? item->childCount() : tree->topLevelItemCount();
            for (int i = 0; i < count && !next; ++i) {
                QTreeWidgetItem* candidate = item ? item->child(i) : tree->topLevelItem(i);
                if (candidate->data(0, idl::view_hosting::kTreeKeyRole).toString().toStdString() == key)
                    next = candidate;
            }
            ASSERT_NE(next, nullptr) << key << " in " << path;
            item = next;
        }
        tree->setCurrentItem(item);
    }

    // The script of the next cycle: the last one finishes, 500 ms pass.
    std::string nextCycle() {
        engine_->finishLastAction();
        clock_.advance(500ms);
        return engine_->actions.back();
    }

    // The visible buttons whose caption key is `key`.
    std::vector<QAbstractButton*> buttons(const char* key) {
        std::vector<QAbstractButton*> found;
        for (QAbstractButton* button : widget()->findChildren<QAbstractButton*>())
            if (button->isVisibleTo(widget()) && button->property(idl::view_hosting::kKeyProperty).toString() == key)
                found.push_back(button);
        return found;
    }

    hartdtm::loop::VirtualClockLoop clock_;
    hartdtm::loop::CurrentLoopScope scope_{clock_};
    FakeEngine* engine_ = nullptr;
    com::ComPtr<IQadGenericDTMObject> engineRef_;
    com::ComPtr<IDtmActiveXControl> control_;
};

struct CycleCase {
    const char* path;
    const char* script;
};

TEST_F(PanelViews, PositionerCycleReadsWhatTheShownPanelShows) {
    engine_->parameters[1000211].visible = true;  // the historian's guard
    open(1);
    const CycleCase cases[] = {
        {"menu_table_root", "upload[249,3, 154]"},
        {"menu_table_root/menu_table_menuReadPressures", "upload[249,201]"},
        {"menu_table_root/menu_table_menuDeviceSetup/menu_table_menuCalibrate/menu_table_menuInputs/CalibPressure",
         "upload[249,201]"},
        {"menu_table_root/menu_table_menuDiagnostics/menu_table_menuHistorian", "upload[249,200, 139]"},
        {"menu_table_root/menu_table_menuDiagnostics/menu_table_menuSensorMeasurements/menu_table_menuRawData",
         "upload[249,141]"},
        {"menu_table_root/menu_table_menuDeviceSetup/menu_table_menuCalibrate/menu_table_menuInputs/CalibSignal",
         "upload[249,141]"},
        {"menu_table_root/menu_table_menuDiagnostics/menu_table_menuSensorMeasurements",
         "upload[249,3,201,141,142,207]"},
        {"menu_table_root/menu_table_menuDiagnostics/menu_table_menuDeviceStatusFaults", "upload[249,136]"},
        {"menu_table_root/menu_table_menuDeviceSetup/menu_table_menuCommissioning", "upload[249,3, 154,201]"},
        {"menu_table_root/menu_table_menuDeviceSetup/menu_table_menuCalibrate/menu_table_menuManualSetpoint",
         "upload[249,3]"},
        {"menu_table_root/menu_table_menuDeviceSetup/menu_table_menuCommissioning/menu_table_menuManualSetpoint",
         "upload[249,3]"},
        {"menu_table_root/menu_table_menuDeviceSetup/menu_table_menuManualSetup/FindStops", "upload[249,]"},
        {"menu_table_root/menu_table_menuDeviceSetup", "upload[249,]"},  // a folder
    };
    for (const CycleCase& c : cases) {
        select(c.path);
        EXPECT_EQ(nextCycle(), c.script) << c.path;
    }
}

TEST_F(PanelViews, LevelCycleFollowsThePanelAndItsSwitches) {
    engine_->parameters[1000300].value = "0";
    engine_->parameters[1000301].value = "0";
    open(101);
    EXPECT_EQ(engine_->actions[0], "upload[0, 12, 13, 16, 160, 138, 152, 170, 204,]");
    const CycleCase cases[] = {
        {"menu_table_root/menu_table_menuNormalMode/menu_table_menuTransMonitorView", "upload[160,3]"},
        {"menu_table_root/menu_table_menuNormalMode/menu_table_menuCtrlMonitorView", "upload[160,3, 186]"},
        {"menu_table_root/menu_table_menuNormalMode/menu_table_menuFaults", "upload[160,148, 155]"},
        {"menu_table_root/menu_table_menuManualMode/menu_table_menuDiagnostic", "upload[160,150]"},
        {"menu_table_root/menu_table_menuManualMode/menu_table_menuCalibration/menu_table_menuCalTools",
         "upload[160,2]"},
        {"menu_table_root/menu_table_menuManualMode/menu_table_menuConfiguration/menu_table_menuAlarmsAndFailsafe",
         "upload[160,]"},
    };
    for (const CycleCase& c : cases) {
        select(c.path);
        EXPECT_EQ(nextCycle(), c.script) << c.path;
    }
    engine_->parameters[1000300].value = "1";
    engine_->parameters[1000301].value = "1";
    select("menu_table_root/menu_table_menuManualMode/menu_table_menuDiagnostic");
    EXPECT_EQ(nextCycle(), "upload[160,150, 152]");
    select("menu_table_root/menu_table_menuManualMode/menu_table_menuCalibration/menu_table_menuCalTools");
    EXPECT_EQ(nextCycle(), "upload[160,2, 170]");
}

TEST_F(PanelViews, HistorianWhoseGuardIsHiddenShowsTheEmptyDefaultPanel) {
    engine_->parameters[1000211].visible = false;
    open(1);
    select("menu_table_root/menu_table_menuDiagnostics/menu_table_menuHistorian");
    EXPECT_EQ(view().shownSlot(), PanelSlot::None);
    EXPECT_TRUE(buttons("ResetContinuous").empty());
    EXPECT_EQ(nextCycle(), "upload[249,]");
}

TEST_F(PanelViews, FactoryConfigurationOfflineHandsItsWholeScriptInOneAction) {
    engine_->parameters[1000109].valid = true;  // the button's enable id
    open(1);
    select("menu_table_root/menu_table_menuDeviceSetup/menu_table_menuConfig");
    const auto found = buttons("FactoryConfigurationOffline");
    ASSERT_EQ(found.size(), 1u);
    found[0]->click();
    ASSERT_EQ(engine_->actions.size(), 2u);
    const std::string& script = engine_->actions[1];
    EXPECT_TRUE(script.starts_with("setvalue[1340640597=1] setvalue[1581337199=1]")) << script;
    EXPECT_TRUE(script.ends_with(" setvalue[1770670352=4] setvalue[1000109=1]")) << script;
    std::size_t items = 0;
    for (std::size_t at = script.find("setvalue["); at != std::string::npos; at = script.find("setvalue[", at + 1))
        ++items;
    EXPECT_EQ(items, 34u);
}

TEST_F(PanelViews, OneChangeOfThePositionReachesEveryGaugeOfIt) {
    open(1);
    engine_->change(196666074, "42.5");
    int gauges = 0;
    for (QWidget* element : widget()->findChildren<QWidget*>()) {
        if (element->property(idl::view_hosting::kParamProperty).toInt() != 196666074) continue;
        if (const auto* bar = element->findChild<QProgressBar*>()) {
            EXPECT_EQ(bar->value(), 425);  // range 0 to 100 shown in tenths
            ++gauges;
        }
    }
    EXPECT_EQ(gauges, 4);  // root, manual setpoint, commissioning, sensor measurements
}

TEST_F(PanelViews, LevelCurrentCalibrationSetButtonsWriteTheirOwnCommands) {
    engine_->parameters[1000203].valid = true;  // the buttons' enable id
    open(101);
    select("menu_table_root/menu_table_menuManualMode/menu_table_menuCalibration/menu_table_menuCalTools");
    const auto found = buttons("Set");
    ASSERT_EQ(found.size(), 2u);
    found[0]->click();
    found[1]->click();
    const std::vector<std::string> tail(engine_->actions.end() - 2, engine_->actions.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"download[45]", "download[46]"}));
}

}  // namespace
