#pragma once
// The positioner's panels, one table each, shared between the files that
// define them and the menu tree that places them.

#include "views/panels/panel_table.h"

namespace views::panels::positioner {

// Under the root
extern const PanelSpec kReadPressures;

// Device setup
extern const PanelSpec kSetupWizard;
extern const PanelSpec kFactoryConfigurationOnline;
extern const PanelSpec kConfigureWizard;
extern const PanelSpec kFindStops;
extern const PanelSpec kAutoTune;
extern const PanelSpec kFactoryConfigurationOffline;
extern const PanelSpec kGeneral;
extern const PanelSpec kActuatorValve;
extern const PanelSpec kPositioning;
extern const PanelSpec kLimits;
extern const PanelSpec kErrorLimits;
extern const PanelSpec kSwitches;
extern const PanelSpec kHart;
extern const PanelSpec kDeviceInfo;

// Calibration and commissioning
extern const PanelSpec kResetCalibration;
extern const PanelSpec kStrokeValve;
extern const PanelSpec kManualSetpoint;
extern const PanelSpec kPid;
extern const PanelSpec kSensors;
extern const PanelSpec kCalibSignal;
extern const PanelSpec kCalibPressure;
extern const PanelSpec kCommissioning;
extern const PanelSpec kCommissioningConfiguration;
extern const PanelSpec kPositionRetransmit;
extern const PanelSpec kAnalogOutput;
extern const PanelSpec kOutputRange;
extern const PanelSpec kPerformDiagnostics;

// Diagnostics
extern const PanelSpec kReset;
extern const PanelSpec kFaults;
extern const PanelSpec kSensorMeasurements;
extern const PanelSpec kRawData;
extern const PanelSpec kHistorian;
extern const PanelSpec kSignature;

}  // namespace views::panels::positioner
