// The positioner's views: the header that tops every panel, the menu tree
// with its panels (function id 1) and the measurement view (function id 2).

#include "views/panels/panel_table.h"
#include "views/panels/positioner_panels.h"

namespace views::panels {
namespace {

using K = ElementKind;

constexpr ElementSpec kHeader[] = {
    {.kind = K::Bitmap, .rect = {10, 12, 167, 110}, .key = "\\Ravik transparent.bmp"},
    {.kind = K::Text, .rect = {10, 112, 167, 137}, .key = "Ravik"},
    {.kind = K::Text, .rect = {187, 25, 267, 50}, .key = "ParaName", .paramId = 1122622930},
    {.kind = K::Text, .rect = {267, 25, 387, 50}, .key = "ParaValue", .paramId = 1122622930},
    {.kind = K::Text, .rect = {387, 25, 507, 50}, .key = "ParaName", .paramId = 1331626720},
    {.kind = K::Text, .rect = {507, 25, 587, 50}, .key = "ParaValue", .paramId = 1331626720},
    {.kind = K::Text, .rect = {187, 50, 267, 75}, .key = "ParaName", .paramId = 444726575},
    {.kind = K::Text, .rect = {267, 50, 387, 75}, .key = "ParaValue", .paramId = 444726575},
    {.kind = K::Text, .rect = {387, 50, 507, 75}, .key = "ParaName", .paramId = 1085386367},
    {.kind = K::Text, .rect = {507, 50, 587, 75}, .key = "ParaValue", .paramId = 1085386367},
    {.kind = K::Text, .rect = {187, 75, 267, 100}, .key = "ActiveMode"},
    {.kind = K::Text, .rect = {267, 75, 387, 100}, .key = "ParaValue", .paramId = 2000000},
    {.kind = K::Text, .rect = {187, 100, 267, 125}, .key = "ModeToSet"},
    {.kind = K::EnumBox, .rect = {267, 100, 367, 125}, .paramId = 360852134, .format = "%s"},
    {.kind = K::Button,
     .rect = {387, 100, 497, 125},
     .key = "ApplyMode",
     .script = "download[135]",
     .enableId = 1000200},
};

constexpr FamilyLayout kLayout{
    .panel = {0, 0, 670, 730},
    .folderPanel = {0, 0, 650, 800},
    .header = kHeader,
    .body = {0, 140, 670, 730},
    .bodyGroup = {0, 0, 670, 590},
};

constexpr ElementSpec kRoot[] = {
    {.kind = K::Gauge, .rect = {10, 20, 320, 95}, .key = "fSignal", .paramId = 698020263, .format = "%2.1f"},
    {.kind = K::Gauge, .rect = {10, 95, 320, 170}, .key = "fPos", .paramId = 196666074, .format = "%3.2f"},
    {.kind = K::Gauge, .rect = {10, 170, 320, 245}, .key = "fManualPos", .paramId = 1023235601, .format = "%3.2f"},
    {.kind = K::Bitmap, .rect = {340, 20, 610, 500}, .key = "\\Ravik cpl.bmp"},
    {.kind = K::Bitmap, .rect = {10, 245, 115, 425}, .key = "\\Ravik Position.bmp"},
};
constexpr PanelSpec kRootPanel{"menu_table_root", kRoot, PanelSlot::Root};

// Tree icons: the root, a folder, a panel.
constexpr int kRootImage = 0;
constexpr int kFolderImage = 1;
constexpr int kPanelImage = 2;

constexpr MenuItemSpec item(int level, std::string_view key, const PanelSpec* panel) {
    return {.level = level, .key = key, .panel = panel, .image = kPanelImage};
}
constexpr MenuItemSpec folder(int level, std::string_view key) {
    return {.level = level, .key = key, .image = kFolderImage};
}

// The tree in display order. An item without a panel is a folder. Panels
// named by two items are built twice, except the manual setpoint, whose
// second item shows the panel the first one built.
using namespace positioner;
constexpr MenuItemSpec kMenu[] = {
    {.level = 0, .key = "menu_table_root", .panel = &kRootPanel, .image = kRootImage},
    item(1, "menu_table_menuReadPressures", &kReadPressures),
    folder(1, "menu_table_menuDeviceSetup"),
    item(2, "SetupWizard", &kSetupWizard),
    item(2, "menu_table_menuManualSetup", &kFactoryConfigurationOnline),
    item(3, "ConfigureWizard", &kConfigureWizard),
    item(3, "FindStops", &kFindStops),
    item(3, "AutoTune", &kAutoTune),
    item(2, "menu_table_menuConfig", &kFactoryConfigurationOffline),
    item(3, "menu_table_menuGeneral", &kGeneral),
    item(3, "menu_table_menuActuatorValve", &kActuatorValve),
    item(3, "menu_table_menuPositioning", &kPositioning),
    item(3, "menu_table_menuLimits", &kLimits),
    item(3, "menu_table_menuErrorLimits", &kErrorLimits),
    item(3, "menu_table_menuSwitchConfiguration", &kSwitches),
    item(3, "menu_table_menuHart", &kHart),
    item(3, "menu_table_menuDeviceInfo", &kDeviceInfo),
    item(2, "menu_table_menuCalibrate", &kResetCalibration),
    item(3, "menu_table_menuStrokeValve", &kStrokeValve),
    item(4, "FindStops", &kFindStops),
    item(4, "AutoTune", &kAutoTune),
    item(3, "menu_table_menuManualSetpoint", &kManualSetpoint),
    item(3, "menu_table_menuPIDInfo", &kPid),
    item(3, "menu_table_menuInputs", &kSensors),
    item(4, "CalibSignal", &kCalibSignal),
    item(4, "CalibPressure", &kCalibPressure),
    item(2, "menu_table_menuCommissioning", &kCommissioning),
    item(3, "menu_table_menuConfig", &kCommissioningConfiguration),
    {.level = 3, .key = "menu_table_menuManualSetpoint", .panel = &kManualSetpoint,
     .reusesBuiltPanel = true, .image = kPanelImage},
    item(3, "menu_table_menuPosRetransmit", &kPositionRetransmit),
    item(4, "SetAnalogOutput", &kAnalogOutput),
    item(4, "ChangeOutputRange", &kOutputRange),
    item(3, "menu_table_menuPerformDiagnostics", &kPerformDiagnostics),
    item(3, "menu_table_menuSwitchConfiguration", &kSwitches),
    item(1, "menu_table_menuDiagnostics", &kReset),
    item(2, "menu_table_menuDeviceStatusFaults", &kFaults),
    item(3, "menu_table_menuDeviceInfo", &kDeviceInfo),
    item(2, "menu_table_menuSensorMeasurements", &kSensorMeasurements),
    item(3, "menu_table_menuRawData", &kRawData),
    // Shown only while the device keeps a history.
    {.level = 2, .key = "menu_table_menuHistorian", .panel = &kHistorian, .guardId = 1000211,
     .image = kPanelImage},
    item(2, "menu_table_menuSignature", &kSignature),
};

constexpr std::int32_t kTrendIds[] = {698020263, 196666074, 1023235601};
constexpr ElementSpec kMeasurementGroup[] = {
    {.kind = K::ValueRow, .rect = {10, 20, 320, 45}, .anchor = kStretchWidth, .key = "fSignal",
     .paramId = 698020263, .format = "%2.1f"},
    {.kind = K::ValueRow, .rect = {10, 45, 320, 70}, .anchor = kStretchWidth, .key = "fPos",
     .paramId = 196666074, .format = "%3.2f"},
    {.kind = K::ValueRow, .rect = {10, 70, 320, 95}, .anchor = kStretchWidth, .key = "fManualPos",
     .paramId = 1023235601, .format = "%3.2f"},
    {.kind = K::TrendChart, .rect = {10, 95, 640, 470}, .anchor = kStretch, .paramIds = kTrendIds},
};
constexpr ElementSpec kMeasurement[] = {
    {.kind = K::GroupBox, .rect = {0, 0, 670, 590}, .anchor = kStretch, .key = "Measurement",
     .children = kMeasurementGroup},
};

constexpr MenuViewSpec kMenuView{kLayout, kMenu};
// The measurement view's group box is its own; the body carries no menu-key group.
constexpr SingleViewSpec kMeasurementView{
    {kLayout.panel, kLayout.folderPanel, kLayout.header, kLayout.body, {}},
    true,
    {"Measurement", kMeasurement, PanelSlot::None}};

}  // namespace

const MenuViewSpec& positionerMenuView() { return kMenuView; }
const SingleViewSpec& positionerMeasurementView() { return kMeasurementView; }

}  // namespace views::panels
