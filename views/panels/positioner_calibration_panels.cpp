// The positioner's calibration and commissioning panels: reset calibration,
// stroke valve, manual setpoint, PID, the sensor calibrations, commissioning
// with its configuration, position retransmit with analog output and output
// range, and perform diagnostics. Rectangles are in the body's group box.

#include "views/panels/panel_rows.h"
#include "views/panels/positioner_panels.h"

namespace views::panels::positioner {
namespace {

using namespace rows;

constexpr ElementSpec kResetCalibrationRows[] = {
    button({10, 20, 320, 45}, "ResetCalibrationData", "setvalue[1000001=1000130]", 1000131),
    text({10, 70, 320, 120}, "ParaValue", 1000130),
    text({10, 120, 320, 170}, "CalibrationInfo"),
};

// The tuning parameters of the servo loop, shared by the stroke-valve and
// PID panels.
constexpr Id kTuning[] = {1054464796, 1995720731, 1958052756, 31476398,  97070578,
                          2062011447, 591879724,  1389550902, 1770670352};

constexpr ElementSpec kManualTuningRows[] = {
    row(line(10, 25, 315, 0), kTuning[0], "%1.0f"),
    row(line(10, 25, 315, 1), kTuning[1], "%1.0f"),
    row(line(10, 25, 315, 2), kTuning[2], "%1.0f"),
    row(line(10, 25, 315, 3), kTuning[3], "%1.0f"),
    row(line(10, 25, 315, 4), kTuning[4], "%1.0f"),
    row(line(325, 25, 620, 0), kTuning[5], "%1.0f"),
    row(line(325, 25, 620, 1), kTuning[6], "%1.0f"),
    row(line(325, 25, 620, 2), kTuning[7], "%1.0f"),
    row(line(325, 25, 620, 3), kTuning[8], "%1.0f"),
    button({10, 150, 110, 175}, "Read", "upload[216]", 1000200),
    button({210, 150, 310, 175}, "Write", "download[173]", 1000204),
};

// The manual stop: 1000201 is 0 (none), 1 (low) or 2 (high).
constexpr ElementSpec kStrokeValveRows[] = {
    row({10, 20, 320, 45}, 1389020516, "%2.1f"),
    button({340, 20, 440, 45}, "Read", "upload[169]", 1000200),
    button({450, 20, 550, 45}, "Write", "download[167]", 1000204),
    text({10, 70, 100, 95}, "ManualStop"),
    state({120, 70, 220, 95}, "Low", 1000201, "=1", "setvalue[1000201=1]"),
    state({220, 70, 320, 95}, "High", 1000201, "=2", "setvalue[1000201=2]"),
    state({340, 70, 440, 95}, "ok", 1000201, "=0", "setvalue[1000201=0]"),
    text({10, 120, 640, 145}, "ParaValue", 1000202),
    text({10, 170, 640, 195}, "AirActingInfo"),
    group({10, 220, 640, 410}, "ManualTuning", kManualTuningRows),
};

// Setpoint source 2093141900: 0 signal, 1 manual position, 2 closed, 3 open.
constexpr ElementSpec kManualSetpointRows[] = {
    gauge({10, 20, 320, 95}, "fPos", 196666074, "%3.2f"),
    button({10, 120, 320, 145}, "FullyOpen",
           "setvalue[2093141900=3],setvalue[1023235601=100],download[155]", 1000208),
    button({10, 170, 320, 195}, "FullyClose",
           "setvalue[2093141900=2],setvalue[1023235601=0],download[155]", 1000208),
    row({10, 220, 320, 245}, 1023235601, "%2.1f", "fManualPos"),
    button({330, 220, 480, 245}, "ManualSetpointPosition", "setvalue[2093141900=1],download[155]",
           0),
    button({490, 220, 640, 245}, "ManualSetpointSignal", "setvalue[2093141900=0],download[155]", 0),
    text({10, 270, 320, 395}, "ManualSetpointMode_HELP"),
};

// Stroke-time direction 305006651: 0 both, 1 opening only, 2 closing only.
constexpr ElementSpec kPidRows[] = {
    row(line(10, 20, 310, 0), kTuning[0], "%1.0f"),
    row(line(10, 20, 310, 1), kTuning[1], "%1.0f"),
    row(line(10, 20, 310, 2), kTuning[2], "%1.0f"),
    row(line(10, 20, 310, 3), kTuning[3], "%1.0f"),
    row(line(10, 20, 310, 4), kTuning[4], "%1.0f"),
    row(line(10, 20, 310, 5), kTuning[5], "%1.0f"),
    row(line(10, 20, 310, 6), kTuning[6], "%1.0f"),
    row(line(10, 20, 310, 7), kTuning[7], "%2.1f"),
    row(line(10, 20, 310, 8), kTuning[8], "%1.0f"),
    row({10, 270, 310, 295}, 1811011549, "%1.0f"),
    state({315, 270, 425, 295}, "ForBothDir", 305006651, "=0", "setvalue[305006651=0]"),
    state({425, 270, 535, 295}, "ForOpenOnly", 305006651, "=1", "setvalue[305006651=1]"),
    state({535, 270, 645, 295}, "ForCloseOnly", 305006651, "=2", "setvalue[305006651=2]"),
    text({10, 320, 640, 370}, "StrokeTimeInfo"),
    button({10, 370, 110, 395}, "Read", "upload[216]", 1000200),
    button({210, 370, 310, 395}, "Write", "download[173]", 1000200),
};

constexpr ElementSpec kSensorsRows[] = {
    text({10, 20, 640, 45}, "CalibrationSensorsInfo"),
    bitmap({10, 45, 573, 420}, "\\Ravik Sensors.bmp"),
};

// Calibration selector 707049616: 0 signal, 1 pressure; 711731265 the point.
constexpr ElementSpec kCalibPressureRows[] = {
    text({10, 20, 640, 95}, "CalibPressure_HELP"),
    gauge({10, 95, 320, 170}, "fActuatorPressure1", 44816747, "%3.2f"),
    gauge({10, 170, 320, 245}, "fActuatorPressure2", 573452228, "%3.2f"),
    gauge({10, 245, 320, 320}, "fSupplyPressure", 1263913321, "%3.2f"),
    text({10, 370, 320, 445}, "ParaValue", 1000106),
    button({10, 445, 110, 470}, "Calibrate",
           "setvalue[707049616=1],setvalue[711731265=0],setvalue[525996180=0],download[185]",
           1000204),
};

constexpr ElementSpec kCalibSignalRows[] = {
    text({10, 20, 640, 120}, "CalibSignal_HELP"),
    row({10, 120, 320, 145}, 1743828527, "%2.1f"),
    button({330, 120, 430, 145}, "Calibrate",
           "setvalue[707049616=0],setvalue[711731265=0],download[185]", 1000204),
    row({10, 145, 320, 170}, 21169954, "%2.1f"),
    button({330, 145, 430, 170}, "Calibrate",
           "setvalue[707049616=0],setvalue[711731265=1],download[185]", 1000204),
    gauge({10, 195, 320, 270}, "nSig", 921161350, "%1.0f"),
};

// Seven gauges, each with the description of its parameter beside it.
constexpr Rect gaugeLine(int k) {
    return {10, 20 + 75 * k, 320, 95 + 75 * k};
}
constexpr Rect descriptionLine(int k) {
    return {330, 20 + 75 * k, 640, 95 + 75 * k};
}
constexpr ElementSpec kCommissioningRows[] = {
    gauge(gaugeLine(0), "fSignal", 698020263, "%2.1f"),
    text(descriptionLine(0), "ParaDescription", 698020263),
    gauge(gaugeLine(1), "fPos", 196666074, "%3.2f"),
    text(descriptionLine(1), "ParaDescription", 196666074),
    gauge(gaugeLine(2), "fManualPos", 1023235601, "%3.2f"),
    text(descriptionLine(2), "ParaDescription", 1023235601),
    gauge(gaugeLine(3), "fActuatorPressure1", 44816747, "%3.2f"),
    text(descriptionLine(3), "ParaDescription", 44816747),
    gauge(gaugeLine(4), "fActuatorPressure2", 573452228, "%3.2f"),
    text(descriptionLine(4), "ParaDescription", 573452228),
    gauge(gaugeLine(5), "fSupplyPressure", 1263913321, "%3.2f"),
    text(descriptionLine(5), "ParaDescription", 1263913321),
    gauge(gaugeLine(6), "fPilotPressure", 808165504, "%3.2f"),
    text(descriptionLine(6), "ParaDescription", 808165504),
};

constexpr ElementSpec kCommissioningConfigurationRows[] = {
    row({10, 20, 320, 45}, 1122622930, "%s", "tag"),
    enumRow({10, 45, 320, 70}, "bConfigFlags0_Air", 1340640597),
    row({10, 70, 320, 95}, 539950661, "%3.2f"),
    row({10, 95, 320, 120}, 1000059263, "%3.2f"),
};

constexpr ElementSpec kPositionRetransmitRows[] = {
    text({10, 20, 640, 70}, "PositionRetransmitInfo"),
    bitmap({10, 70, 670, 451}, "\\Ravik PosRetransmit.bmp"),
};

constexpr ElementSpec kAnalogOutputRows[] = {
    text({10, 20, 320, 95}, "SetAnalogOutput_HELP"),
    row({10, 120, 320, 145}, 46460907, "%2.1f"),
    button({330, 120, 430, 145}, "Set", "download[40]", 1000200),
    button({330, 145, 430, 170}, "Finished", "setvalue[46460907=0],download[40]", 1000200),
    text({10, 145, 320, 195}, "SetAnalogOutputFinished"),
};

constexpr ElementSpec kOutputRangeRows[] = {
    text({10, 20, 320, 120}, "ChangeOutputRange_HELP"),
    row({10, 120, 320, 145}, 1904220959, "%2.1f"),
    row({10, 145, 320, 170}, 365794669, "%2.1f"),
    button({10, 195, 110, 220}, "Read", "upload[207]", 1000200),
    button({210, 195, 310, 220}, "Write", "download[35]", 1000204),
};

// Signature selector 1734770901: 1 save as signature, 2 save as baseline.
constexpr ElementSpec kPerformDiagnosticsRows[] = {
    text({10, 20, 640, 95}, "PerformDiagnostics_HELP"),
    text({10, 95, 320, 145}, "ParaValue", 1000150),
    row({10, 145, 320, 170}, 264790405, "%3.2f", "fFriction"),
    row({10, 170, 320, 195}, 1571471286, "%3.2f", "fLSpringRange"),
    row({10, 195, 320, 220}, 1045874997, "%3.2f", "fUSpringRange"),
    row({330, 145, 640, 170}, 1277811141, "%3.2f", "fActSupplyPress"),
    row({330, 170, 640, 195}, 1270038270, "%2.1f", "nResponseOpen"),
    row({330, 195, 640, 220}, 1271456638, "%2.1f", "nResponseClose"),
    row({10, 232, 320, 257}, 2054511026, "%1.0f"),
    button({10, 282, 110, 307}, "savedSignature", "setvalue[1734770901=1],download[184]", 1000205),
    button({210, 282, 310, 307}, "baselineSignature", "setvalue[1734770901=2],download[184]",
           1000206),
    button({10, 332, 110, 357}, "Start", "setvalue[1000001=1000150]", 1000151),
    button({210, 332, 310, 357}, "Continue", "setvalue[1000002=1000150]", 1000152),
    button({410, 332, 510, 357}, "Cancel", "setvalue[1000003=1000150]", 1000153),
};

}  // namespace

constexpr PanelSpec kResetCalibration{"menu_table_menuCalibrate", kResetCalibrationRows};
constexpr PanelSpec kStrokeValve{"menu_table_menuStrokeValve", kStrokeValveRows};
constexpr PanelSpec kManualSetpoint{"menu_table_menuManualSetpoint", kManualSetpointRows,
                                    PanelSlot::ManualSetpoint};
constexpr PanelSpec kPid{"menu_table_menuPIDInfo", kPidRows};
constexpr PanelSpec kSensors{"menu_table_menuInputs", kSensorsRows};
constexpr PanelSpec kCalibPressure{"CalibPressure", kCalibPressureRows, PanelSlot::CalibPressure};
constexpr PanelSpec kCalibSignal{"CalibSignal", kCalibSignalRows, PanelSlot::CalibSignal};
constexpr PanelSpec kCommissioning{"menu_table_menuCommissioning", kCommissioningRows,
                                   PanelSlot::Commissioning};
constexpr PanelSpec kCommissioningConfiguration{"menu_table_menuConfig",
                                                kCommissioningConfigurationRows};
constexpr PanelSpec kPositionRetransmit{"menu_table_menuPosRetransmit", kPositionRetransmitRows};
constexpr PanelSpec kAnalogOutput{"SetAnalogOutput", kAnalogOutputRows};
constexpr PanelSpec kOutputRange{"ChangeOutputRange", kOutputRangeRows};
constexpr PanelSpec kPerformDiagnostics{"menu_table_menuPerformDiagnostics",
                                        kPerformDiagnosticsRows};

}  // namespace views::panels::positioner
