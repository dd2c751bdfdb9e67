#pragma once
// The level transmitter/controller's panels, one table each, shared between
// the files that define them and the menu tree that places them.

#include "views/panels/panel_table.h"

namespace views::panels::level {

// Normal mode
extern const PanelSpec kTransmitterMonitor;
extern const PanelSpec kFaults;
extern const PanelSpec kControllerMonitor;
extern const PanelSpec kControllerParameters;

// Manual mode: configuration
extern const PanelSpec kTransmitterControllerConfiguration;
extern const PanelSpec kAlarms;
extern const PanelSpec kConfigurationDataBase;

// Manual mode: calibration and diagnostic
extern const PanelSpec kLevelInterfaceCalibration;
extern const PanelSpec kCalibrationParameters;
extern const PanelSpec kCalibrationTools;
extern const PanelSpec kSpecificGravity;
extern const PanelSpec kDiagnostic;

}  // namespace views::panels::level
