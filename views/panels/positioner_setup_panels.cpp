// The positioner's device-setup panels: the setup and configure wizards,
// the factory configurations, find stops, autotune and the configuration
// pages (general, actuator/valve, positioning, limits, error limits,
// switches, HART, device info). Rectangles are in the body's group box.

#include "views/panels/panel_rows.h"
#include "views/panels/positioner_panels.h"

namespace views::panels::positioner {
namespace {

using namespace rows;

// Four buttons sharing the width of a button row.
constexpr Anchor kQuarter1{0, 0, 25, 0};
constexpr Anchor kQuarter2{25, 0, 50, 0};
constexpr Anchor kQuarter3{50, 0, 75, 0};
constexpr Anchor kQuarter4{75, 0, 100, 0};
// Three buttons sharing the width.
constexpr Anchor kThird1{0, 0, 33, 0};
constexpr Anchor kThird2{33, 0, 66, 0};
constexpr Anchor kThird3{66, 0, 100, 0};

constexpr ElementSpec kSetupWizardRows[] = {
    text({10, 20, 640, 145}, "SetupWizard_HELP"),
    text({10, 145, 640, 270}, "ParaValue", 1000160),
    enumRow({10, 270, 320, 295}, "bConfigFlags0_Air", 1340640597),
    row({10, 295, 320, 320}, 1822474542, "%1.0f"),
    row({10, 320, 320, 345}, 896913603, "%1.0f"),
    button({10, 370, 110, 395}, "Start", "setvalue[1000001=1000160]", 1000161, kQuarter1),
    button({170, 370, 270, 395}, "Continue", "setvalue[1000002=1000160]", 1000162, kQuarter2),
    button({340, 370, 440, 395}, "Skip", "setvalue[1000004=1000160]", 1000164, kQuarter3),
    button({510, 370, 610, 395}, "Cancel", "setvalue[1000003=1000160]", 1000163, kQuarter4),
};

constexpr ElementSpec kFactoryOnlineRows[] = {
    button({10, 20, 430, 45}, "FactoryConfigurationOnline", "setvalue[1000001=1000120]", 1000204),
    text({10, 45, 430, 120}, "ParaValue", 1000120),
};

// The factory defaults in one script: values only, no device command; the
// last item marks the data set for download.
constexpr std::string_view kFactoryDefaults =
    "setvalue[1340640597=1] setvalue[1581337199=1] setvalue[1677517120=0] setvalue[261012777=0]"
    " setvalue[1950661746=0] setvalue[840707063=0] setvalue[1259066829=0]"
    " setvalue[212097963=00000000] setvalue[1483807622=000000000] setvalue[1750769078=0.5]"
    " setvalue[322892486=0] setvalue[972721312=100] setvalue[1058904971=0] setvalue[918008295=6]"
    " setvalue[1718309488=0] setvalue[2012553137=0.5] setvalue[1587511539=0]"
    " setvalue[297655519=0] setvalue[1093331316=21] setvalue[879519424=0]"
    " setvalue[1627375400=2] setvalue[539950661=4] setvalue[1000059263=20]"
    " setvalue[1389020516=100] setvalue[1054464796=100] setvalue[1995720731=160]"
    " setvalue[1958052756=20] setvalue[31476398=30] setvalue[97070578=-2]"
    " setvalue[2062011447=0] setvalue[591879724=13] setvalue[1389550902=0]"
    " setvalue[1770670352=4] setvalue[1000109=1]";

constexpr ElementSpec kFactoryOfflineRows[] = {
    button({10, 20, 330, 45}, "FactoryConfigurationOffline", kFactoryDefaults, 1000109),
    text({10, 70, 650, 320}, "Configuration_HELP"),
};

constexpr ElementSpec kConfigureWizardRows[] = {
    text({10, 20, 640, 95}, "ConfigureWizard_HELP"),
    enumRow({10, 120, 320, 145}, "bConfigFlags1_ProtectLimits", 840707063),
    enumRow({10, 145, 320, 170}, "bConfigFlags1_TightShutoff", 1581337199),
    row({10, 170, 320, 195}, 1750769078, "%2.1f"),
    enumRow({10, 195, 320, 220}, "cPresUnits", 918008295),
    enumRow({10, 220, 320, 245}, "cLanguage", 1718309488),
    enumRow({10, 245, 320, 270}, "bConfigFlags2_Lock", 1542625315),
    enumRow({10, 270, 320, 295}, "bConfigFlags0_Air", 1340640597),
    row({10, 295, 320, 320}, 1627375400, "%2.1f"),
    button({10, 345, 110, 370}, "Read", "upload[210,200,212]", 1000200),
    button({210, 345, 310, 370}, "Write", "download[165,210,175,211,212]", 1000204),
};

constexpr ElementSpec kFindStopsRows[] = {
    text({10, 20, 640, 145}, "FindStops_HELP"),
    text({10, 145, 640, 270}, "ParaValue", 1000140),
    button({10, 270, 110, 295}, "Start", "setvalue[1000001=1000140]", 1000141, kThird1),
    button({210, 270, 310, 295}, "Continue", "setvalue[1000002=1000140]", 1000142, kThird2),
    button({410, 270, 510, 295}, "Cancel", "setvalue[1000003=1000140]", 1000143, kThird3),
};

constexpr ElementSpec kAutoTuneRows[] = {
    text({10, 20, 640, 95}, "AutoTune_HELP"),
    text({10, 95, 640, 145}, "ParaValue", 1000110),
    row({10, 145, 320, 170}, 1822474542, "%1.0f"),
    row({10, 170, 320, 195}, 896913603, "%1.0f"),
    button({10, 220, 110, 245}, "Start", "setvalue[1000001=1000110]", 1000111),
    button({210, 220, 310, 245}, "Continue", "setvalue[1000002=1000110]", 1000112),
    button({410, 220, 510, 245}, "Cancel", "setvalue[1000003=1000110]", 1000113),
};

constexpr ElementSpec kGeneralRows[] = {
    row(line(10, 20, 320, 0), 1122622930, "%8s", "tag"),
    row(line(10, 20, 320, 1), 1331626720, "%16s", "descriptor"),
    row(line(10, 20, 320, 2), 1031198652, "%32s", "message"),
    row(line(10, 20, 320, 3), 36205890, "%date", "date"),
    row(line(10, 20, 320, 4), 1085386367, "%d", "final_assembly_number"),
    enumRow(line(10, 20, 320, 5), "cLanguage", 1718309488),
    enumRow(line(10, 20, 320, 6), "bConfigFlags2_Lock", 1542625315),
    enumRow(line(10, 20, 320, 7), "cPresUnits", 918008295),
};

constexpr ElementSpec kActuatorValveRows[] = {
    enumRow({10, 20, 320, 45}, "bConfigFlags0_Air", 1340640597),
    enumRow({10, 45, 320, 70}, "bOptionConfigFlags1_Acting", 1437334234),
    text({10, 70, 320, 145}, "ActuatorTypeInfo"),
};

// The custom characteristic: nine (X, Y) points, each parameter shown as a
// count and as a percentage, in a table right of the characteristic picture;
// line i lies between y = 25 i + 20 and 25 i + 39.
constexpr Anchor kCentre{50, 0, 50, 0};
constexpr Id kCharacteristicX[] = {1570121222, 1642690049, 75928973,  166289277, 324028029,
                                   1090349340, 491837807,  680500556, 1816895289};
constexpr Id kCharacteristicY[] = {311946000,  1281159135, 1820867403, 1601695445, 995245775,
                                   1476157951, 521555290,  357865394,  673790068};
constexpr std::string_view kLineNumbers = "123456789";

constexpr auto kCharacteristicTable = [] {
    std::array<ElementSpec, 2 + 9 * 5> table{};
    table[0] = text({415, 20, 515, 45}, "X", -1, "&s", kCentre);
    table[1] = text({525, 20, 625, 45}, "Y", -1, "&s", kCentre);
    for (int i = 1; i <= 9; ++i) {
        const int top = 25 * i + 20;
        const int bottom = 25 * i + 39;
        const Id x = kCharacteristicX[i - 1];
        const Id y = kCharacteristicY[i - 1];
        ElementSpec* out = &table[2 + 5 * (i - 1)];
        out[0] = text({405, top, 415, bottom}, kLineNumbers.substr(i - 1, 1), -1, "%d", kCentre);
        out[1] = value({415, top, 465, bottom}, x, "%1.0f", kCentre);
        out[2] = value({465, top, 515, bottom}, x, "%2.1f", kCentre);
        out[3] = value({525, top, 575, bottom}, y, "%1.0f", kCentre);
        out[4] = value({575, top, 625, bottom}, y, "%2.1f", kCentre);
    }
    return table;
}();

constexpr auto kPositioningRows =
    concat(std::to_array<ElementSpec>({
               enumRow(line(10, 20, 320, 0), "bConfigFlags1_Characterization", 1677517120),
               row(line(10, 20, 320, 1), 539950661, "%3.2f"),
               row(line(10, 20, 320, 2), 1000059263, "%3.2f"),
               enumRow(line(10, 20, 320, 3), "bConfigFlags0_Bumpless", 1259066829),
               row(line(10, 20, 320, 4), 1058904971, "%1.0f"),
               enumRow(line(10, 20, 320, 5), "bConfigFlags1_ProtectLimits", 840707063),
               enumRow(line(10, 20, 320, 6), "bOptionConfigFlags1_Sensor", 517267660),
               bitmap({10, 220, 400, 450}, "\\Ravik Pos Graph.bmp"),
           }),
           kCharacteristicTable,
           std::to_array<ElementSpec>({
               button({415, 295, 625, 320}, "CheckCharacterization", "setvalue[1000107=1]",
                      473548512, kCentre),
               text({10, 470, 640, 570}, "PositioningInfo"),
           }));

// Limits: the three limit switches with their values, then a grid of fixed
// texts (8 lines from y 245, columns of 160, 170, 130 and 250 pixels from
// x 10) that recommends a tight-shutoff value per valve type.
constexpr int kGridLeft[] = {10, 170, 340, 470, 720};
constexpr std::string_view kLimitsGrid[8][4] = {
    {"Tervillon Valve Type", "Tervillon Valve Trim Type", "Set Tight Shutoff",
     "Positioner Characteristics"},
    {"Globe Valve", "Any", "1%", "Application specific and Trim Dependant"},
    {"Rotary Ball Valve", "Any", "3%", "Application specific"},
    {"Eccentric Plug Valve", "Eccentric Plug", "15%", "Linear"},
    {"Low Noise Globe Valve", "Partial Stack", "6%", "Linear"},
    {"Anti-Cavitation Valve", "Full Stack", "3.5%", "Linear"},
    {"Cage Guided Valve", "Cage", "6%", "Linear"},
    {"Butterfly Valve", "Offset Disc", "5%", "Linear"},
};

constexpr auto kLimitsGridRows = [] {
    std::array<ElementSpec, 8 * 4> grid{};
    for (int n = 0; n < 8; ++n) {
        for (int column = 0; column < 4; ++column) {
            grid[n * 4 + column] =
                text({kGridLeft[column], 245 + 25 * n, kGridLeft[column + 1], 270 + 25 * n},
                     kLimitsGrid[n][column]);
        }
    }
    return grid;
}();

constexpr auto kLimitsRows =
    concat(std::to_array<ElementSpec>({
               enumRow({10, 20, 320, 45}, "bConfigFlags1_LowerLimit", 261012777),
               row({10, 45, 320, 70}, 322892486, "%2.1f"),
               enumRow({10, 70, 320, 95}, "bConfigFlags1_UpperLimit", 1950661746),
               row({10, 95, 320, 120}, 972721312, "%2.1f"),
               enumRow({10, 120, 320, 145}, "bConfigFlags1_TightShutoff", 1581337199),
               row({10, 145, 320, 170}, 1750769078, "%2.1f"),
               text({10, 170, 320, 245}, "LimitsShutoffInfo"),
           }),
           kLimitsGridRows);

constexpr ElementSpec kErrorLimitsRows[] = {
    row({10, 20, 320, 45}, 1627375400, "%2.1f"),
    enumRow({10, 45, 320, 70}, "cPosErrorEnable", 297655519),
    row({10, 70, 320, 95}, 2012553137, "%2.1f"),
    row({10, 95, 320, 120}, 1587511539, "%1.0f"),
    text({10, 120, 320, 195}, "AlarmSetupInfo"),
};

constexpr ElementSpec kSwitchesRows[] = {
    enumRow({10, 20, 320, 45}, "cSwitch1Type", 1423359529),
    enumRow({10, 45, 320, 70}, "cSwitch1Dir", 743971991),
    row({10, 70, 320, 95}, 1048484497, "%3.2f"),
    enumRow({10, 95, 320, 120}, "cSwitch2Type", 24606632),
    enumRow({10, 120, 320, 145}, "cSwitch2Dir", 1753117242),
    row({10, 145, 320, 170}, 257538580, "%3.2f"),
    text({10, 170, 320, 245}, "SwitchesInfo"),
    bitmap({10, 245, 110, 455}, "\\Ravik Switches.bmp"),
};

constexpr ElementSpec kHartRows[] = {
    row({10, 20, 320, 45}, 1433626506, "%1.0f"),
    enumRow({10, 45, 320, 70}, "burst_mode_select", 266860845),
    enumRow({10, 70, 320, 95}, "burst_command_number", 441397865),
    text({10, 95, 320, 245}, "HARTInfo"),
};

constexpr ElementSpec kDeviceInfoRows[] = {
    enumRow(line(10, 20, 320, 0), "manufacturer_id", 2024606965),
    enumRow(line(10, 20, 320, 1), "device_type", 965867385),
    row(line(10, 20, 320, 2), 444726575, "%d", "ParaName"),
    row(line(10, 20, 320, 3), 438775785, "%s", "universal_revision"),
    row(line(10, 20, 320, 4), 1668548460, "%s", "hardware_revision"),
    row(line(10, 20, 320, 5), 1340043404, "%1.0f", "transmitter_revision"),
    row(line(10, 20, 320, 6), 1931717749, "%1.0f", "software_revision"),
};

}  // namespace

constexpr PanelSpec kSetupWizard{"SetupWizard", kSetupWizardRows};
constexpr PanelSpec kFactoryConfigurationOnline{"menu_table_menuManualSetup", kFactoryOnlineRows};
constexpr PanelSpec kConfigureWizard{"ConfigureWizard", kConfigureWizardRows};
constexpr PanelSpec kFindStops{"FindStops", kFindStopsRows};
constexpr PanelSpec kAutoTune{"AutoTune", kAutoTuneRows};
constexpr PanelSpec kFactoryConfigurationOffline{"menu_table_menuConfig", kFactoryOfflineRows};
constexpr PanelSpec kGeneral{"menu_table_menuGeneral", kGeneralRows};
constexpr PanelSpec kActuatorValve{"menu_table_menuActuatorValve", kActuatorValveRows};
constexpr PanelSpec kPositioning{"menu_table_menuPositioning", kPositioningRows};
constexpr PanelSpec kLimits{"menu_table_menuLimits", kLimitsRows};
constexpr PanelSpec kErrorLimits{"menu_table_menuErrorLimits", kErrorLimitsRows};
constexpr PanelSpec kSwitches{"menu_table_menuSwitchConfiguration", kSwitchesRows};
constexpr PanelSpec kHart{"menu_table_menuHart", kHartRows};
constexpr PanelSpec kDeviceInfo{"menu_table_menuDeviceInfo", kDeviceInfoRows};

}  // namespace views::panels::positioner
