// The level device's manual-mode panels: the configuration pages, the
// calibration pages and the diagnostic panel. Rectangles are in the body
// below the header; each panel carries its own group boxes, whose elements
// keep to a left (x 10 .. 320) and a right column (x 330 .. 620).

#include "views/panels/level_panels.h"
#include "views/panels/panel_rows.h"

namespace views::panels::level {
namespace {

using namespace rows;

// Line n of the left or the right column of a group box.
constexpr Rect left(int n) {
    return line(10, 25, 320, n);
}
constexpr Rect right(int n) {
    return line(330, 25, 620, n);
}
constexpr auto L = kLeftColumn;
constexpr auto R = kRightColumn;

// --- configuration ---

constexpr ElementSpec kTransmitterGroup[] = {
    enumRow(left(0), "bInterface", 666245274, L),   enumRow(left(1), "bRight", 645565756, L),
    enumRow(left(2), "bRevActing", 1056037943, L),  enumRow(right(0), "cLanguage", 1817244364, R),
    enumRow(right(1), "bLockLevel", 1360456934, R),
};
constexpr ElementSpec kControllerGroup[] = {
    enumRow(left(0), "bController", 638802010, L), enumRow(left(1), "cLocalSPUnits", 2013043987, L),
    row(left(2), 896848662, "%3.2f", {}, L),       row(right(0), 1326675294, "%2.1f", {}, R),
    row(right(1), 693116414, "%2.1f", {}, R),      row(right(2), 1526220577, "%2.1f", {}, R),
};
constexpr ElementSpec kTransmitterControllerRows[] = {
    group({0, 0, 670, 110}, "Transmitter", kTransmitterGroup),
    group({0, 115, 670, 225}, "Controller", kControllerGroup),
};

constexpr ElementSpec kAlarmsGroup[] = {
    enumRow({10, 25, 320, 50}, "bLowAlarm", 1254959431, L),
    enumRow({10, 75, 320, 100}, "bHighAlarm", 978908723, L),
    enumRow({10, 125, 320, 150}, "bFail", 1328646927, L),
    row(right(0), 1581136627, "%1.0f", "fLLevelAlarm", R),
    row(right(1), 570849087, "%2.1f", "nPosTime1", R),
    row(right(2), 1348480682, "%1.0f", "fULevelAlarm", R),
    row(right(3), 96811857, "%2.1f", "nPosTime2", R),
    row(right(4), 152202733, "%4.3f", "fAlarmSignalMA", R),
};
constexpr ElementSpec kAlarmsRows[] = {
    group({0, 0, 670, 165}, "menu_table_menuAlarmsAndFailsafe", kAlarmsGroup),
};

constexpr ElementSpec kDisplacerGroup[] = {
    row(left(0), 1884571102, "%2.1f", {}, L),
    enumRow(left(1), "cDisplVolUnits", 897247482, L),
    row(left(2), 1855254222, "%2.1f", {}, L),
    enumRow(left(3), "cDisplWeightUnits", 1658434237, L),
    row(right(0), 1390031204, "%2.1f", {}, R),
    row(right(1), 286913701, "%2.1f", {}, R),
    enumRow(right(2), "cDisplHeightUnits", 1300969454, R),
};
constexpr ElementSpec kTorqueTubeGroup[] = {
    enumRow(left(0), "bConfigData1", 395233090, L),
    enumRow(left(1), "bConfigData2", 1146718781, L),
    enumRow(right(0), "bConfigData3", 1419333933, R),
    enumRow(right(1), "bConfigData4", 1437718878, R),
};
constexpr ElementSpec kDisplacerTypeGroup[] = {
    enumRow(left(0), "bWithDiplacer", 1309092556, L),
    enumRow(left(1), "bNotStandard", 398291545, L),
    enumRow(right(0), "bStainlessSteel", 1798445683, R),
    enumRow(right(1), "bExtensionRod", 297291758, R),
};
constexpr ElementSpec kOptionsGroup[] = {
    enumRow(left(0), "bExtensionHTLT", 871404673, L),
    enumRow(left(1), "bIntrinsicSafety", 1277903771, L),
    enumRow(right(0), "bFlameproof", 334915089, R),
    enumRow(right(1), "bWeatherproof", 334749433, R),
};
constexpr ElementSpec kChamberOptionsGroup[] = {
    enumRow(left(0), "bSteel", 914445881, L),
    enumRow(left(1), "bDrain", 348605393, L),
    enumRow(right(0), "bVent", 1258604353, R),
};
constexpr ElementSpec kConfigurationDataBaseRows[] = {
    group({0, 0, 670, 135}, "Displacer", kDisplacerGroup),
    group({0, 140, 670, 225}, "TorqueTubeAndChamber", kTorqueTubeGroup),
    group({0, 230, 670, 315}, "DisplacerType", kDisplacerTypeGroup),
    group({0, 320, 670, 405}, "Options", kOptionsGroup),
    group({0, 410, 670, 495}, "ChamberOptions", kChamberOptionsGroup),
};

// --- calibration ---

constexpr Rect calibrationButton(int n) {
    return line(350, 25, 470, n);
}
constexpr ElementSpec kLevelTransmitterCalibration[] = {
    row({10, 25, 340, 50}, 117796017, "%4.3f"),
    text({10, 50, 340, 125}, "SGCal_Info_Calibration"),
    button(calibrationButton(0), "RecordSG", "download[135]", 1000204),
    button(calibrationButton(1), "ZERO", "download[37, 202]", 1000204),
    button(calibrationButton(2), "SPAN", "download[36, 202]", 1000204),
    button(calibrationButton(3), "READ", "upload[134]", 1000204),
};
constexpr ElementSpec kInterfaceTransmitterCalibration[] = {
    row({10, 25, 340, 50}, 1670254678, "%4.3f"),
    row({10, 50, 340, 75}, 1322873274, "%4.3f"),
    text({10, 75, 340, 150}, "fSGLowerUpperCal_Info_Calibration"),
    button(calibrationButton(0), "RecordSGLowHigh", "download[137]", 1000205),
    button(calibrationButton(1), "ZERO", "download[37, 202]", 1000205),
    button(calibrationButton(2), "SPAN", "download[36, 202]", 1000205),
    button(calibrationButton(3), "READ", "upload[136]", 1000205),
};
constexpr ElementSpec kLevelInterfaceCalibrationRows[] = {
    group({0, 0, 670, 140}, "LevelTransmitter", kLevelTransmitterCalibration),
    group({0, 145, 670, 310}, "InterfaceTransmitter", kInterfaceTransmitterCalibration),
};

constexpr Rect meterButton(int n) {
    return line(330, 25, 430, n);
}
constexpr ElementSpec kSpecificGravityGroup[] = {
    row({10, 25, 320, 50}, 1803493108, "%4.3f"),
    button(meterButton(0), "ResetToFactory", "upload[247]", 1000203),
    button(meterButton(1), "ZERO", "download[245]", 1000203),
    button(meterButton(2), "SPAN", "download[246]", 1000203),
    button(meterButton(3), "READ", "upload[152]", 1000203),
};
constexpr ElementSpec kSpecificGravityRows[] = {
    group({0, 0, 670, 135}, "SpecificGravityMeter", kSpecificGravityGroup),
};

constexpr ElementSpec kRangesGroup[] = {
    row({10, 25, 320, 50}, 177080380, "%1.0f", {}, L),
    row({10, 50, 320, 75}, 1304192516, "%1.0f", {}, L),
    enumRow({330, 25, 620, 50}, "pv_units_code", 1115162868, R),
    row({10, 87, 320, 112}, 2064083964, "%2.1f", {}, L),
    row({330, 87, 620, 112}, 1991790931, "%2.1f", {}, R),
    row({10, 124, 320, 149}, 1429571416, "%2.1f", {}, L),
    row({10, 161, 320, 186}, 1427493948, "%2.1f", {}, L),
    row({330, 161, 620, 186}, 658368038, "%2.1f", {}, R),
};
constexpr ElementSpec kLevelTransmitterParameters[] = {
    row({10, 25, 320, 50}, 117796017, "%4.3f", {}, L),
    text({10, 50, 620, 100}, "SGCal_Info_Parameter", -1, "&s", kStretchWidth),
};
constexpr ElementSpec kInterfaceTransmitterParameters[] = {
    row({10, 25, 320, 50}, 1670254678, "%4.3f", {}, L),
    row({330, 25, 620, 50}, 1322873274, "%4.3f", {}, R),
    text({10, 50, 620, 100}, "fSGLowerUpperCal_Info_Parameter", -1, "&s", kStretchWidth),
};
constexpr ElementSpec kCalibrationParametersRows[] = {
    group({0, 0, 670, 195}, "Ranges", kRangesGroup),
    group({0, 200, 670, 310}, "LevelTransmitter", kLevelTransmitterParameters),
    group({0, 315, 670, 425}, "InterfaceTransmitter", kInterfaceTransmitterParameters),
    button({10, 435, 330, 460}, "Read", "upload[134, 136, 152, 15, 200, 202]", 1000200, L),
    button({340, 435, 660, 460}, "Apply", "upload[44,156, 135, 137, 34, 201, 203]", 1000203, R),
};

// Output current 46460907 in mA; 4 and 20 mA points are trimmed by commands
// 45 and 46, the current is fixed by command 40.
constexpr ElementSpec kLoopCalibrationGroup[] = {
    button({10, 25, 110, 50}, "4mA", "setvalue[46460907=4], download[40]", 1000203),
    value({120, 25, 220, 50}, 653578392, "%3.2f"),
    button({230, 25, 320, 50}, "Set", "download[45]", 1000203),
    text({330, 25, 620, 100}, "Info_4_20_mA_Calibration"),
    button({10, 62, 110, 87}, "20mA", "setvalue[46460907=20], download[40]", 1000203),
    value({120, 62, 220, 87}, 1708237663, "%3.2f"),
    button({230, 62, 320, 87}, "Set", "download[46]", 1000203),
    button({10, 99, 110, 124}, "SetCurrent", "download[40]", 1000203),
    value({120, 99, 220, 124}, 46460907, "%3.2f"),
    value({220, 99, 320, 124}, 698020263, "%3.2f"),
    text({330, 99, 620, 149}, "Info_Current_Calibration"),
};
// 1000301 on: the cyclic upload of this panel reads the coupling signal.
constexpr ElementSpec kCouplingGroup[] = {
    value({120, 25, 220, 50}, 181154374, "%3.2f"),
    state({10, 25, 60, 50}, "On", 1000301, "=1", "setvalue[1000301=1]"),
    state({60, 25, 110, 50}, "Off", 1000301, "=0", "setvalue[1000301=0] setvalue[181154374=0]"),
    text({330, 25, 620, 100}, "Info_Coupling"),
};
constexpr ElementSpec kCalibrationToolsRows[] = {
    group({0, 0, 670, 160}, "4_20_Calibration", kLoopCalibrationGroup),
    group({0, 165, 670, 275}, "Coupling", kCouplingGroup),
};

// --- diagnostic ---

constexpr Rect diagnosticRow(int n) {
    return line(10, 25, 310, n);
}
constexpr ElementSpec kContinuousDiagGroup[] = {
    button({320, 25, 420, 50}, "ResetData", "download[151]", 1000202),
    row(diagnosticRow(0), 594381523, "%2.1f"),
    row(diagnosticRow(1), 1130356733, "%1.0f"),
    row(diagnosticRow(2), 767961925, "%1.0f"),
    row(diagnosticRow(3), 1727853799, "%1.0f"),
};
constexpr ElementSpec kFilteringGroup[] = {
    button({320, 25, 420, 50}, "AutoTune", "download[174]", 1000202),
    text({430, 25, 620, 50}, "ParaValue", 1000501),
    button({320, 50, 420, 75}, "SaveCoef", "download[205]", 1000202),
    button({420, 50, 520, 75}, "ReadCoef", "upload[204]", 1000202),
    row(diagnosticRow(0), 570458891, "%2.1f"),
    row(diagnosticRow(1), 1450013492, "%3.2f"),
    row(diagnosticRow(2), 1316935848, "%2.1f"),
};
constexpr ElementSpec kSensorTestGroup[] = {
    button({10, 25, 110, 50}, "SensorTest", "download[173]", 1000202),
    text({120, 25, 620, 50}, "ParaValue", 1000500),
    text({10, 50, 620, 100}, "Info_Sensor_Test"),
};
// 1000300 on: the cyclic upload of this panel reads the meter (command 152).
constexpr ElementSpec kMeterGroup[] = {
    row({10, 25, 320, 50}, 811600468, "%4.3f"),
    state({320, 25, 370, 50}, "On", 1000300, "=1", "setvalue[1000300=1]"),
    state({370, 25, 420, 50}, "Off", 1000300, "=0", "setvalue[1000300=0] setvalue[811600468=0]"),
};
constexpr ElementSpec kDiagnosticRows[] = {
    group({0, 0, 670, 135}, "ContinuousDiagData", kContinuousDiagGroup),
    group({0, 140, 670, 250}, "Filtering", kFilteringGroup),
    group({0, 255, 670, 365}, "SensorTest", kSensorTestGroup),
    group({0, 370, 670, 430}, "SpecificGravityMeter", kMeterGroup),
};

}  // namespace

constexpr PanelSpec kTransmitterControllerConfiguration{"menu_table_menuTransAndOrCtrlConfig",
                                                        kTransmitterControllerRows};
constexpr PanelSpec kAlarms{"menu_table_menuAlarmsAndFailsafe", kAlarmsRows};
constexpr PanelSpec kConfigurationDataBase{"menu_table_menuConfigDataBase",
                                           kConfigurationDataBaseRows};
constexpr PanelSpec kLevelInterfaceCalibration{"menu_table_menuLevelOrInterfaceTrans",
                                               kLevelInterfaceCalibrationRows};
constexpr PanelSpec kCalibrationParameters{"menu_table_menuCalParameters",
                                           kCalibrationParametersRows};
constexpr PanelSpec kCalibrationTools{"menu_table_menuCalTools", kCalibrationToolsRows,
                                      PanelSlot::CalTools};
constexpr PanelSpec kSpecificGravity{"menu_table_menuSpecificGravityMeter", kSpecificGravityRows};
constexpr PanelSpec kDiagnostic{"menu_table_menuDiagnostic", kDiagnosticRows,
                                PanelSlot::Diagnostic};

}  // namespace views::panels::level
