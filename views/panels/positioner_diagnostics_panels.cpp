// The positioner's measurement and diagnostics panels: read pressures,
// reset, faults, sensor measurements, raw data, historian and signature.
// Rectangles are in the body's group box.

#include "views/panels/panel_rows.h"
#include "views/panels/positioner_panels.h"

namespace views::panels::positioner {
namespace {

using namespace rows;

constexpr Rect gaugeLine(int k) {
    return {10, 20 + 75 * k, 320, 95 + 75 * k};
}

constexpr ElementSpec kReadPressuresRows[] = {
    gauge(gaugeLine(0), "fActuatorPressure1", 44816747, "%3.2f"),
    gauge(gaugeLine(1), "fActuatorPressure2", 573452228, "%3.2f"),
    gauge(gaugeLine(2), "fSupplyPressure", 1263913321, "%3.2f"),
    gauge(gaugeLine(3), "fPilotPressure", 808165504, "%3.2f"),
};

constexpr ElementSpec kResetRows[] = {
    button({10, 20, 320, 45}, "Reset", "download[42]", 1000200),
    text({10, 70, 640, 120}, "ResetInfo_HELP"),
};

// The fault bits as the device reports them now and as it has recorded
// them, each list in the device's bit order.
constexpr Id kCurrentFaults[] = {
    553893624,  213180132,  1250407970, 1895403774, 1804334295, 1939486312, 1450765515, 1754485281,
    1227214172, 380976253,  1974096750, 364446638,  1921805462, 699570499,  1260703104, 378298759,
    335292201,  1739602126, 2045534322, 148921455,  1776238235, 1849930042, 318871295,  1301302239,
    680149762,  6375759,    1508552831, 941329495,  1964781345, 2067128091, 1696855133, 1282351317,
    1919113621, 1697802744, 1454491564, 107026362,  2074375166, 529640351,  1866092036};
constexpr Id kHistoricFaults[] = {
    500989572,  1716447163, 466862545,  894856902,  2036744272, 802288046, 1966012753, 2046399120,
    1165076308, 1803127672, 1267560079, 1396608460, 1329698588, 210433843, 508140744,  1135361420,
    2128481130, 1617428884, 363261748,  856471875,  1186625074, 876045453, 2000251496, 719618746,
    1481456839, 1581022154, 289828771,  1051227223, 1898650358, 36197146,  1705741266, 2087091160,
    613085843,  752479994,  371824804,  1135570833, 2051649162, 9204826,   1286336546};
static_assert(std::size(kCurrentFaults) == 39 && std::size(kHistoricFaults) == 39);

constexpr Anchor kBottomEdge{0, 100, 100, 100};
constexpr ElementSpec kCurrentFaultsGroup[] = {
    faultList({10, 20, 310, 505}, kCurrentFaults),
    button({10, 520, 310, 545}, "ClearFaults", "setvalue[1196389098=0],download[138]", 1000200,
           kBottomEdge),
};
constexpr ElementSpec kHistoricFaultsGroup[] = {
    faultList({10, 20, 310, 505}, kHistoricFaults),
    button({10, 520, 310, 545}, "ClearHistoricFaults", "setvalue[1196389098=1],download[138]",
           1000200, kBottomEdge),
};
constexpr ElementSpec kFaultsRows[] = {
    group({10, 20, 330, 580}, "CurrentFaults", kCurrentFaultsGroup, {0, 0, 50, 100}),
    group({340, 20, 660, 580}, "HistoricFaults", kHistoricFaultsGroup, {50, 0, 100, 100}),
};

// Sensor measurements: gauges 72 pixels high every 75 pixels in five group
// boxes, three in the left column and two in the right.
constexpr Rect sensorLine(int k) {
    return {10, 12 + 75 * k, 300, 84 + 75 * k};
}
constexpr ElementSpec kMainSignals[] = {
    gauge(sensorLine(0), "fSignal", 698020263, "%2.1f"),
    gauge(sensorLine(1), "fPos", 196666074, "%3.2f"),
};
constexpr ElementSpec kIpOutput[] = {
    gauge(sensorLine(0), "nIPOutput", 1856708259, "%1.0f"),
};
constexpr ElementSpec kPressures[] = {
    gauge(sensorLine(0), "fActuatorPressure1", 44816747, "%3.2f"),
    gauge(sensorLine(1), "fActuatorPressure2", 573452228, "%3.2f"),
    gauge(sensorLine(2), "fSupplyPressure", 1263913321, "%3.2f"),
    gauge(sensorLine(3), "fPilotPressure", 808165504, "%3.2f"),
};
constexpr ElementSpec kTemperatures[] = {
    gauge(sensorLine(0), "nBoardTemp", 910920976, "%2.1f"),
    gauge(sensorLine(1), "nLowerTemp", 728053547, "%2.1f"),
    gauge(sensorLine(2), "nUpperTemp", 1378508088, "%2.1f"),
};
constexpr ElementSpec kSwitchStates[] = {
    enumRow({10, 12, 300, 37}, "bSwitch1State", 1426190062),
    enumRow({10, 37, 300, 62}, "bSwitch2State", 1474636899),
    gauge(sensorLine(1), "fURV", 365794669, "%2.1f"),
    gauge(sensorLine(2), "fLRV", 1904220959, "%2.1f"),
};
constexpr ElementSpec kSensorMeasurementsRows[] = {
    group({5, 10, 335, 172}, "Main Signals", kMainSignals, kLeftColumn),
    group({5, 172, 335, 262}, "menuITOP", kIpOutput, kLeftColumn),
    group({5, 262, 335, 577}, "menu_table_menuReadPressures", kPressures, kLeftColumn, 1000209),
    group({335, 10, 665, 250}, "menu_table_menuTemperature", kTemperatures, kRightColumn),
    group({335, 250, 665, 490}, "Switches", kSwitchStates, kRightColumn, 1000210),
};

constexpr ElementSpec kRawDataRows[] = {
    gauge(gaugeLine(0), "nSig", 921161350, "%1.0f"),
    gauge(gaugeLine(1), "nPos", 1656509292, "%1.0f"),
    gauge(gaugeLine(2), "nPres", 1192987532, "%1.0f"),
    gauge(gaugeLine(3), "nIPOutput", 1856708259, "%1.0f"),
    value({330, 245, 430, 270}, 877524290, "%1.0f"),
    button({330, 270, 430, 295}, "SetIPCount", "download[160]", 1000200),
    gauge(gaugeLine(4), "nLowerPos", 1696477368, "%1.0f"),
    gauge(gaugeLine(5), "nUpperPos", 645143289, "%1.0f"),
    gauge(gaugeLine(6), "nIPCurrent", 1269495809, "%3.2f"),
};

constexpr ElementSpec kHistorianRows[] = {
    enumRow({10, 20, 320, 45}, "bOptionConfigFlags0_Dash", 2108846086),
    row({10, 45, 320, 70}, 1857816441, "%1.0f", "nTotalTravel"),
    row({10, 70, 320, 95}, 1704165009, "%1.0f", "nCycles"),
    gauge({10, 95, 320, 170}, "nTimeClosed", 2136394210, "%1.0f"),
    gauge({10, 170, 320, 245}, "nTimeNear", 827399704, "%1.0f"),
    gauge({10, 245, 320, 320}, "nTimeOpen", 2060930479, "%1.0f"),
    button({10, 345, 320, 370}, "ResetContinuous", "download[140]", 1000200),
};

// The signature chart's parameters: nine samples of each curve, then the
// lower and the upper bound of the pressure axis.
constexpr Id kSignatureIds[] = {1257955650, 2006705916, 1538038866, 1877250209, 329031993,
                                1902680132, 2071691722, 868821061,  2006912251, 23596714,
                                863836998,  2120075375, 956237430,  1831923196, 216016939,
                                941128682,  510599933,  1090383352, 988157535,  870778017};
static_assert(std::size(kSignatureIds) == 20);

// Signature selector 625914617: 0 current, 1 saved, 2 baseline.
constexpr ElementSpec kSignatureRows[] = {
    row({10, 20, 320, 45}, 264790405, "%3.2f", "fFriction"),
    row({10, 45, 320, 70}, 1571471286, "%3.2f", "fLSpringRange"),
    row({10, 70, 320, 95}, 1045874997, "%3.2f", "fUSpringRange"),
    row({330, 20, 640, 45}, 1277811141, "%3.2f", "fActSupplyPress", kRightColumn),
    row({330, 45, 640, 70}, 1270038270, "%2.1f", "nResponseOpen", kRightColumn),
    row({330, 70, 640, 95}, 1271456638, "%2.1f", "nResponseClose", kRightColumn),
    {.kind = ElementKind::SignatureChart,
     .rect = {10, 107, 640, 407},
     .anchor = kStretch,
     .paramIds = kSignatureIds},
    state({10, 432, 110, 457}, "currentSignature", 625914617, "0",
          "setvalue[625914617=0] upload[192, 191]"),
    state({110, 432, 210, 457}, "savedSignature", 625914617, "1",
          "setvalue[625914617=1] upload[192, 191]"),
    state({210, 432, 310, 457}, "baselineSignature", 625914617, "2",
          "setvalue[625914617=2] upload[192, 191]"),
};

}  // namespace

constexpr PanelSpec kReadPressures{"menu_table_menuReadPressures", kReadPressuresRows,
                                   PanelSlot::ReadPressures};
constexpr PanelSpec kReset{"menu_table_menuDiagnostics", kResetRows};
constexpr PanelSpec kFaults{"menu_table_menuDeviceStatusFaults", kFaultsRows,
                            PanelSlot::DeviceStatusFaults};
constexpr PanelSpec kSensorMeasurements{"menu_table_menuSensorMeasurements",
                                        kSensorMeasurementsRows, PanelSlot::SensorMeasurements};
constexpr PanelSpec kRawData{"menu_table_menuRawData", kRawDataRows, PanelSlot::RawData};
constexpr PanelSpec kHistorian{"menu_table_menuHistorian", kHistorianRows, PanelSlot::Historian};
constexpr PanelSpec kSignature{"menu_table_menuSignature", kSignatureRows};

}  // namespace views::panels::positioner
