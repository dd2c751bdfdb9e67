#pragma once

#include <array>

#include "simulator/device_description.h"

// Parameter reference ids and command numbers of the valve positioner that
// its simulated behaviour reads and writes.
namespace simulator::positioner {

// Identity (command 0).
inline constexpr int kManufacturerId = 171;
inline constexpr int kDeviceType = 33;

// Operating modes (commands 135 and 249).
inline constexpr ReferenceId kModeToSet = 360852134;
inline constexpr ReferenceId kActiveMode = 1988910801;
inline constexpr ReferenceId kOutOfServiceReason = 326335648;
inline constexpr int kModeOutOfService = 0;  // with reason 0: setup mode
inline constexpr int kModeManual = 1;
inline constexpr int kModeNormal = 3;
inline constexpr int kReasonSetup = 0;
inline constexpr int kReasonMarginalPower = 128;

// Setpoint and position.
inline constexpr ReferenceId kInputSignal = 698020263;  // mA
inline constexpr ReferenceId kPosition = 196666074;     // %
inline constexpr ReferenceId kSetpoint = 1023235601;    // % (mA when the source is the signal)
inline constexpr ReferenceId kSetpointSource = 2093141900;
inline constexpr ReferenceId kManualStopDirection = 758096017;
inline constexpr int kSourceSignal = 0;
inline constexpr int kSourcePosition = 1;
inline constexpr int kSourceClose = 2;
inline constexpr int kSourceOpen = 3;
inline constexpr ReferenceId kSignalLow = 539950661;
inline constexpr ReferenceId kSignalHigh = 1000059263;
inline constexpr ReferenceId kAirAction = 1340640597;     // 0 air to close, 1 air to open
inline constexpr ReferenceId kActuatorType = 1437334234;  // 0 single, 1 double acting
inline constexpr ReferenceId kCharacteristic = 1677517120;
inline constexpr int kCharLinear = 0;
inline constexpr int kCharEqualPercent30 = 1;
inline constexpr int kCharEqualPercent50 = 2;
inline constexpr int kCharQuickOpen = 3;
inline constexpr int kCharCustom = 4;
// The custom characteristic: nine (x, y) points, 256 meaning 100 %.
inline constexpr std::array<ReferenceId, 9> kCharacteristicX = {1570121222, 1642690049, 75928973,
                                                                166289277,  324028029,  1090349340,
                                                                491837807,  680500556,  1816895289};
inline constexpr std::array<ReferenceId, 9> kCharacteristicY = {311946000,  1281159135, 1820867403,
                                                                1601695445, 995245775,  1476157951,
                                                                521555290,  357865394,  673790068};
inline constexpr ReferenceId kTightShutoffEnable = 1581337199;
inline constexpr ReferenceId kTightShutoff = 1750769078;
inline constexpr ReferenceId kLowerLimitEnable = 261012777;
inline constexpr ReferenceId kUpperLimitEnable = 1950661746;
inline constexpr ReferenceId kLowerLimit = 322892486;
inline constexpr ReferenceId kUpperLimit = 972721312;

// Pressures, in the unit of kPressureUnit (HART unit codes).
inline constexpr ReferenceId kActuatorPressure1 = 44816747;
inline constexpr ReferenceId kActuatorPressure2 = 573452228;
inline constexpr ReferenceId kSupplyPressure = 1263913321;
inline constexpr ReferenceId kPilotPressure = 808165504;
inline constexpr ReferenceId kPressureUnit = 918008295;
inline constexpr int kUnitPsi = 6;
inline constexpr int kUnitBar = 7;
inline constexpr int kUnitKPa = 12;

// Temperatures, 0.1 degC.
inline constexpr ReferenceId kBoardTemperature = 910920976;
inline constexpr ReferenceId kLowestTemperature = 728053547;
inline constexpr ReferenceId kHighestTemperature = 1378508088;

// Raw data (command 141).
inline constexpr ReferenceId kSignalRaw = 921161350;
inline constexpr ReferenceId kPositionRaw = 1656509292;
inline constexpr ReferenceId kPressureRaw = 1192987532;
inline constexpr ReferenceId kIpOutputRaw = 1856708259;
inline constexpr ReferenceId kLowerStopRaw = 1696477368;
inline constexpr ReferenceId kUpperStopRaw = 645143289;
inline constexpr ReferenceId kIpCurrent = 1269495809;

// Limit switches.
inline constexpr ReferenceId kSwitch1Function = 1423359529;
inline constexpr ReferenceId kSwitch1Contact = 743971991;
inline constexpr ReferenceId kSwitch1TripPoint = 1048484497;
inline constexpr ReferenceId kSwitch1State = 1426190062;
inline constexpr ReferenceId kSwitch2Function = 24606632;
inline constexpr ReferenceId kSwitch2Contact = 1753117242;
inline constexpr ReferenceId kSwitch2TripPoint = 257538580;
inline constexpr ReferenceId kSwitch2State = 1474636899;

// Historian (commands 139 and 140), seconds and counts.
inline constexpr ReferenceId kTimeClosed = 2145316696;
inline constexpr ReferenceId kTimeOpen = 246925225;
inline constexpr ReferenceId kTimeNear = 1313870629;
inline constexpr ReferenceId kCycles = 1704165009;
inline constexpr ReferenceId kTotalTravel = 1857816441;

// Status.
inline constexpr ReferenceId kStatusSummary = 1751090547;
inline constexpr ReferenceId kAdditionalStatus = 1552415878;
inline constexpr ReferenceId kClearFaultsSelect = 1196389098;

// Current faults, in the order of the faults list; the historic flag of
// fault k is kHistoricFaults[k].
inline constexpr std::array<ReferenceId, 39> kCurrentFaults = {
    553893624,  213180132,  1250407970, 1895403774, 1804334295, 1939486312, 1450765515, 1754485281,
    1227214172, 380976253,  1974096750, 364446638,  1921805462, 699570499,  1260703104, 378298759,
    335292201,  1739602126, 2045534322, 148921455,  1776238235, 1849930042, 318871295,  1301302239,
    680149762,  6375759,    1508552831, 941329495,  1964781345, 2067128091, 1696855133, 1282351317,
    1919113621, 1697802744, 1454491564, 107026362,  2074375166, 529640351,  1866092036};
inline constexpr std::array<ReferenceId, 39> kHistoricFaults = {
    500989572,  1716447163, 466862545,  894856902,  2036744272, 802288046, 1966012753, 2046399120,
    1165076308, 1803127672, 1267560079, 1396608460, 1329698588, 210433843, 508140744,  1135361420,
    2128481130, 1617428884, 363261748,  856471875,  1186625074, 876045453, 2000251496, 719618746,
    1481456839, 1581022154, 289828771,  1051227223, 1898650358, 36197146,  1705741266, 2087091160,
    613085843,  752479994,  371824804,  1135570833, 2051649162, 9204826,   1286336546};
// Positions in the faults list.
inline constexpr std::size_t kFaultDeviceReset = 0;
inline constexpr std::size_t kFaultFindStops = 9;
inline constexpr std::size_t kFaultAutoTune = 10;
inline constexpr std::size_t kFaultDiagnostics = 11;
inline constexpr std::size_t kFaultCalibration = 12;
inline constexpr std::size_t kFaultTightShutoff = 14;
inline constexpr std::size_t kFaultLowerLimit = 15;
inline constexpr std::size_t kFaultUpperLimit = 16;
inline constexpr std::size_t kFaultNvmChecksum = 18;
inline constexpr std::size_t kFaultRam = 19;
inline constexpr std::size_t kFaultFirmwareChecksum = 20;
inline constexpr std::size_t kFaultInternal = 22;

// Procedures.
inline constexpr ReferenceId kProcedureStatus = 1417747975;
inline constexpr ReferenceId kAutoTuneError = 986329577;
inline constexpr ReferenceId kAutoTuneSupply = 896913603;
inline constexpr ReferenceId kAutoTuneAggressiveness = 1822474542;
inline constexpr ReferenceId kGain = 1054464796;
inline constexpr ReferenceId kIntegralTime = 1995720731;
inline constexpr ReferenceId kDerivativeTime = 1958052756;
inline constexpr ReferenceId kBeta = 31476398;
inline constexpr ReferenceId kPAdjustment = 97070578;
inline constexpr ReferenceId kFillTime = 538227773;
inline constexpr ReferenceId kExhaustTime = 596505115;
inline constexpr ReferenceId kDeadTime = 1674210272;
inline constexpr ReferenceId kOvershoot = 441737182;
inline constexpr ReferenceId kDiagnosticsStart = 975363836;
inline constexpr ReferenceId kDiagnosticsEnd = 1650953595;

// Signatures (commands 184, 191, 192).
inline constexpr ReferenceId kSignatureSelect = 625914617;
inline constexpr ReferenceId kSignatureStore = 1734770901;
inline constexpr std::array<ReferenceId, 9> kOpeningSamples = {1257955650, 2006705916, 1538038866,
                                                               1877250209, 329031993,  1902680132,
                                                               2071691722, 868821061,  2006912251};
inline constexpr std::array<ReferenceId, 9> kClosingSamples = {23596714,  863836998,  2120075375,
                                                               956237430, 1831923196, 216016939,
                                                               941128682, 510599933,  1090383352};
inline constexpr ReferenceId kSignatureLowerBound = 988157535;
inline constexpr ReferenceId kSignatureUpperBound = 870778017;
inline constexpr ReferenceId kFriction = 264790405;
inline constexpr ReferenceId kSpringRangeLower = 1571471286;
inline constexpr ReferenceId kSpringRangeUpper = 1045874997;
inline constexpr ReferenceId kActuatorSupply = 1277811141;
inline constexpr ReferenceId kResponseOpen = 1270038270;
inline constexpr ReferenceId kResponseClose = 1271456638;

// Command numbers.
inline constexpr std::uint8_t kCmdDeviceReset = 42;
inline constexpr std::uint8_t kCmdWriteMode = 135;
inline constexpr std::uint8_t kCmdClearFaults = 138;
inline constexpr std::uint8_t kCmdResetHistorian = 140;
inline constexpr std::uint8_t kCmdManualSetpoint = 155;
inline constexpr std::uint8_t kCmdReleaseManualStop = 179;
inline constexpr std::uint8_t kCmdFindStops = 180;
inline constexpr std::uint8_t kCmdResetCalibration = 183;
inline constexpr std::uint8_t kCmdSaveSignature = 184;
inline constexpr std::uint8_t kCmdAutoTune = 189;
inline constexpr std::uint8_t kCmdDiagnostics = 190;
inline constexpr std::uint8_t kCmdReadOpeningSignature = 191;
inline constexpr std::uint8_t kCmdReadClosingSignature = 192;
inline constexpr std::uint8_t kCmdProcedureStatus = 251;
inline constexpr std::uint8_t kCmdAbortProcedure = 253;

}  // namespace simulator::positioner
