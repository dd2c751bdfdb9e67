// The level transmitter/controller's views: the level header, the menu tree
// with its panels (function id 101), the measurement view (function id 102)
// and the address view (function id 1000).

#include "views/panels/level_panels.h"
#include "views/panels/panel_table.h"

namespace views::panels {
namespace {

using K = ElementKind;

constexpr ElementSpec kHeader[] = {
    {.kind = K::Bitmap, .rect = {10, 12, 185, 152}, .key = "\\Lenmor-header area.bmp"},
    {.kind = K::Text, .rect = {10, 112, 167, 137}, .key = "Lenmor"},
    {.kind = K::Text, .rect = {205, 25, 285, 50}, .key = "ParaName", .paramId = 1122622930},
    {.kind = K::Text, .rect = {285, 25, 405, 50}, .key = "ParaValue", .paramId = 1122622930},
    {.kind = K::Text, .rect = {405, 25, 525, 50}, .key = "ParaName", .paramId = 1331626720},
    {.kind = K::Text, .rect = {525, 25, 665, 50}, .key = "ParaValue", .paramId = 1331626720},
    {.kind = K::Text, .rect = {205, 50, 285, 75}, .key = "ParaName", .paramId = 444726575},
    {.kind = K::Text, .rect = {285, 50, 405, 75}, .key = "ParaValue", .paramId = 444726575},
    {.kind = K::Text, .rect = {405, 50, 525, 75}, .key = "ParaName", .paramId = 1085386367},
    {.kind = K::Text, .rect = {525, 50, 555, 75}, .key = "ParaValue", .paramId = 581267908, .format = "%d"},
    {.kind = K::Text, .rect = {555, 50, 585, 75}, .key = "ParaValue", .paramId = 1296660361, .format = "%d"},
    {.kind = K::Text, .rect = {585, 50, 615, 75}, .key = "ParaValue", .paramId = 1917418849, .format = "%d"},
    {.kind = K::Text, .rect = {205, 75, 285, 100}, .key = "ActiveMode"},
    {.kind = K::EnumBox, .rect = {285, 75, 395, 100}, .paramId = 328966019, .format = "%s"},
    {.kind = K::Text, .rect = {205, 100, 285, 125}, .key = "ModeToSet"},
    {.kind = K::EnumBox, .rect = {285, 100, 395, 125}, .paramId = 1120274244, .format = "%s"},
    {.kind = K::Button,
     .rect = {405, 98, 515, 125},
     .key = "ApplyMode",
     .script = "setvalue[1000100=1]",
     .enableId = 1000200},
};

// Level panels carry their own group boxes below the header.
constexpr FamilyLayout kLayout{
    .panel = {0, 0, 670, 765},
    .folderPanel = {0, 0, 650, 800},
    .header = kHeader,
    .body = {0, 160, 670, 765},
    .bodyGroup = {},
};

// Tree icons: a folder, a panel.
constexpr int kFolderImage = 1;
constexpr int kPanelImage = 2;

constexpr MenuItemSpec item(int level, std::string_view key, const PanelSpec* panel) {
    return {.level = level, .key = key, .panel = panel, .image = kPanelImage};
}
constexpr MenuItemSpec folder(int level, std::string_view key) {
    return {.level = level, .key = key, .image = kFolderImage};
}

// The tree in display order; an item without a panel is a folder.
using namespace level;
constexpr MenuItemSpec kMenu[] = {
    folder(0, "menu_table_root"),
    folder(1, "menu_table_menuNormalMode"),
    item(2, "menu_table_menuTransMonitorView", &kTransmitterMonitor),
    item(2, "menu_table_menuFaults", &kFaults),
    item(2, "menu_table_menuCtrlMonitorView", &kControllerMonitor),
    item(2, "menu_table_menuControllerParameters", &kControllerParameters),
    folder(1, "menu_table_menuManualMode"),
    folder(2, "menu_table_menuConfiguration"),
    item(3, "menu_table_menuTransAndOrCtrlConfig", &kTransmitterControllerConfiguration),
    item(3, "menu_table_menuAlarmsAndFailsafe", &kAlarms),
    item(3, "menu_table_menuConfigDataBase", &kConfigurationDataBase),
    folder(2, "menu_table_menuCalibration"),
    item(3, "menu_table_menuLevelOrInterfaceTrans", &kLevelInterfaceCalibration),
    item(3, "menu_table_menuCalParameters", &kCalibrationParameters),
    item(3, "menu_table_menuCalTools", &kCalibrationTools),
    item(3, "menu_table_menuSpecificGravityMeter", &kSpecificGravity),
    item(2, "menu_table_menuDiagnostic", &kDiagnostic),
};

constexpr std::int32_t kTrendIds[] = {698020263, 196666074};
constexpr ElementSpec kMeasurementGroup[] = {
    {.kind = K::ValueRow, .rect = {10, 20, 320, 45}, .anchor = kStretchWidth, .key = "fSignal",
     .paramId = 698020263, .format = "%2.1f"},
    {.kind = K::ValueRow, .rect = {10, 45, 320, 70}, .anchor = kStretchWidth, .key = "fLevel",
     .paramId = 196666074, .format = "%3.2f"},
    {.kind = K::TrendChart, .rect = {10, 70, 640, 470}, .anchor = kStretch, .paramIds = kTrendIds},
};
constexpr ElementSpec kMeasurement[] = {
    {.kind = K::GroupBox, .rect = {0, 0, 670, 590}, .anchor = kStretch, .key = "Measurement",
     .children = kMeasurementGroup},
};

constexpr ElementSpec kAddressGroup[] = {
    {.kind = K::ValueRow, .rect = {10, 25, 410, 50}, .key = "menu_addr_label", .paramId = 1,
     .format = "%1.0f"},
};
constexpr ElementSpec kAddress[] = {
    {.kind = K::GroupBox, .rect = {5, 15, 448, 75}, .anchor = kStretchWidth, .children = kAddressGroup},
};

constexpr MenuViewSpec kMenuView{kLayout, kMenu};
constexpr SingleViewSpec kMeasurementView{kLayout, true, {"Measurement", kMeasurement, PanelSlot::None}};
// No tree and no header: the address panel fills the view from its top.
constexpr SingleViewSpec kAddressView{{{0, 0, 450, 600}, {}, {}, {0, 0, 450, 600}, {}},
                                      false,
                                      {"", kAddress, PanelSlot::None}};

}  // namespace

const MenuViewSpec& levelMenuView() { return kMenuView; }
const SingleViewSpec& levelMeasurementView() { return kMeasurementView; }
const SingleViewSpec& addressView() { return kAddressView; }

}  // namespace views::panels
