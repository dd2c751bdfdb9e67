#pragma once
// Reference ids that the positioner workflows read and write: the DTM's own
// user parameters (1000001 upwards, created at initialisation) and the
// description parameters of the positioner package that the workflows name.

#include <array>
#include <cstdint>

namespace positioner {

using ParameterId = std::int32_t;

namespace ids {

// --- buttons of the procedures; a panel presses one by setting it to the procedure id ---
inline constexpr ParameterId kStart = 1000001;
inline constexpr ParameterId kContinue = 1000002;
inline constexpr ParameterId kCancel = 1000003;
inline constexpr ParameterId kSkip = 1000004;

// --- procedures: each owns P (status key) and P+1 .. P+4 (Start, Continue,
// --- Cancel, Skip enabled), in table order ---
inline constexpr ParameterId kAutoTuning = 1000110;
inline constexpr ParameterId kFactoryConfiguration = 1000120;
inline constexpr ParameterId kCalibrationReset = 1000130;
inline constexpr ParameterId kFindStops = 1000140;
inline constexpr ParameterId kDiagnostics = 1000150;
inline constexpr ParameterId kSetupWizard = 1000160;
inline constexpr std::array<ParameterId, 6> kProcedures = {
    kAutoTuning, kFactoryConfiguration, kCalibrationReset, kFindStops, kDiagnostics, kSetupWizard};
inline constexpr ParameterId kStartEnabled = 1;
inline constexpr ParameterId kContinueEnabled = 2;
inline constexpr ParameterId kCancelEnabled = 3;
inline constexpr ParameterId kSkipEnabled = 4;
// The setup wizard's Continue and Skip buttons; inner procedures use its Continue.
inline constexpr ParameterId kWizardContinue = kSetupWizard + kContinueEnabled;
inline constexpr ParameterId kWizardSkip = kSetupWizard + kSkipEnabled;
inline constexpr ParameterId kDiagnosticsContinue = kDiagnostics + kContinueEnabled;

// --- other user parameters ---
inline constexpr ParameterId kOnlineGate =
    1000200;  // valid while online; also the "command done" source
inline constexpr ParameterId kSetupGate = 1000204;   // download buttons in setup mode
inline constexpr ParameterId kManualGate = 1000208;  // manual setpoint buttons
inline constexpr ParameterId kManualStop = 1000201;  // manual stop selection: 0 none, 1 low, 2 high
inline constexpr ParameterId kManualInfo = 1000202;  // information key of the manual setpoint panel
inline constexpr ParameterId kCharacterizationRequest = 1000107;
inline constexpr ParameterId kPressureGroupVisible = 1000209;
inline constexpr ParameterId kSwitchGroupVisible = 1000210;
inline constexpr ParameterId kVariantAbove2 = 1000207;
inline constexpr ParameterId kHistorianAvailable = 1000211;
inline constexpr ParameterId kPressureWarning = 1000106;
inline constexpr ParameterId kMoreStatus = 1000203;
inline constexpr ParameterId kDownloadReminder = 1000109;
inline constexpr ParameterId kModeText = 2000000;
inline constexpr ParameterId kSaveSignature = 1000205;
inline constexpr ParameterId kSaveBaseline = 1000206;

// --- description parameters ---
inline constexpr ParameterId kShortAddress = 1;  // the bus address the channel connects to
inline constexpr ParameterId kPollingAddress = 480012922;
inline constexpr ParameterId kActiveMode =
    1988910801;  // 0 setup (out of service), 1 manual, 3 normal
inline constexpr ParameterId kOutOfServiceReason = 326335648;
inline constexpr ParameterId kModeToSet = 360852134;
inline constexpr ParameterId kProcedureStatus = 1417747975;  // not 0 while the device is busy
inline constexpr ParameterId kStatusSummary = 1751090547;
inline constexpr ParameterId kOptionFlags = 743187560;
inline constexpr ParameterId kDeviceVariant = 2108846086;
inline constexpr ParameterId kPilotPressure = 808165504;
inline constexpr ParameterId kPressureUnit = 918008295;
inline constexpr ParameterId kActuatorPressure1 = 44816747;
inline constexpr ParameterId kActuatorPressure2 = 573452228;
inline constexpr ParameterId kSupplyPressure = 1263913321;
inline constexpr ParameterId kSwitch1State = 1426190062;
inline constexpr ParameterId kSwitch2State = 1474636899;
inline constexpr ParameterId kUpperRangeValue = 365794669;
inline constexpr ParameterId kLowerRangeValue = 1904220959;
inline constexpr ParameterId kPressureMax = 1525348713;
inline constexpr ParameterId kAutotuneSupplyMin = 62654756;
inline constexpr ParameterId kAutotuneSupplyMax = 1647644264;
inline constexpr ParameterId kAutotuneSupply = 896913603;
inline constexpr ParameterId kAutotuneAggressiveness = 1822474542;
inline constexpr ParameterId kAutotuneResults[] = {538227773, 596505115, 1674210272, 441737182};
inline constexpr ParameterId kAutotuneFailed = 1974096750;
inline constexpr ParameterId kAutotuneError = 986329577;
inline constexpr ParameterId kFindStopsFailed = 380976253;
inline constexpr ParameterId kDiagnosticsFailed = 364446638;
inline constexpr ParameterId kDiagnosticsRampSpeed = 2054511026;
inline constexpr ParameterId kSignatureSelect = 625914617;
inline constexpr ParameterId kProtectLimits = 840707063;
inline constexpr ParameterId kUpperLimitEnable = 1950661746;
inline constexpr ParameterId kLowerLimitEnable = 261012777;
inline constexpr ParameterId kTightShutoffEnable = 1581337199;
inline constexpr ParameterId kTightShutoffValue = 1750769078;
inline constexpr ParameterId kCharacteristic = 1677517120;  // 4: custom characteristic
inline constexpr ParameterId kCharacterizationEnable = 473548512;
inline constexpr ParameterId kCharacteristicEndX = 299973559;
inline constexpr ParameterId kCharacteristicEndY = 590986998;
inline constexpr ParameterId kAirAction = 1340640597;
inline constexpr ParameterId kSetpoint = 1023235601;
inline constexpr ParameterId kSetpointSource = 2093141900;  // 0 signal, 1 position, 2 close, 3 open
inline constexpr ParameterId kManualStopDirection = 758096017;
inline constexpr ParameterId kCalibrationKind = 707049616;   // 0 signal
inline constexpr ParameterId kCalibrationPoint = 711731265;  // 0 low, 1 high
inline constexpr ParameterId kCalibrationValue = 525996180;
inline constexpr ParameterId kCalibrationSignalLow = 1743828527;
inline constexpr ParameterId kCalibrationSignalHigh = 21169954;
inline constexpr ParameterId kSignalRaw = 921161350;
inline constexpr ParameterId kStrokeTimeDirection = 305006651;
inline constexpr ParameterId kStrokeTime = 1811011549;
inline constexpr ParameterId kStrokeTimeCode = 2062011447;
inline constexpr ParameterId kHistoryTimeClosed = 2145316696;
inline constexpr ParameterId kHistoryTimeOpen = 246925225;
inline constexpr ParameterId kHistoryTimeNear = 1313870629;
inline constexpr ParameterId kTimeGaugeMax = 1975135428;
inline constexpr ParameterId kTimeClosed = 2136394210;
inline constexpr ParameterId kTimeOpen = 2060930479;
inline constexpr ParameterId kTimeNear = 827399704;
inline constexpr ParameterId kCycles = 1704165009;
inline constexpr ParameterId kTotalTravel = 1857816441;
inline constexpr ParameterId kCyclesPerHour = 933734669;
inline constexpr ParameterId kTravelPerHour = 1633492738;

// The custom characteristic's nine points (x, y); 256 means 100 % on either axis.
struct CharacteristicPoint {
    ParameterId x;
    ParameterId y;
};
inline constexpr std::array<CharacteristicPoint, 9> kCharacteristicPoints = {{
    {1570121222, 311946000},
    {1642690049, 1281159135},
    {75928973, 1820867403},
    {166289277, 1601695445},
    {324028029, 995245775},
    {1090349340, 1476157951},
    {491837807, 521555290},
    {680500556, 357865394},
    {1816895289, 673790068},
}};

}  // namespace ids
}  // namespace positioner
