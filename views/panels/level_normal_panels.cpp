// The level device's normal-mode panels: transmitter monitor, faults,
// controller monitor and controller parameters. Rectangles are in the body
// below the header; each panel carries its own group boxes, whose elements
// keep to a left (x 10 .. 320) and a right column (x 330 .. 620).

#include "views/panels/level_panels.h"
#include "views/panels/panel_rows.h"

namespace views::panels::level {
namespace {

using namespace rows;

constexpr ElementSpec kTransmitterMonitorGroup[] = {
    gauge({10, 25, 320, 100}, "fSignal", 698020263, "%3.2f"),
    gauge({10, 100, 320, 175}, "fLevel", 196666074, "%3.2f"),
    bitmap({340, 20, 554, 370}, "\\Lenmor-Normal Mode.bmp", kFollowRight),
};
constexpr ElementSpec kTransmitterMonitorRows[] = {
    group({0, 0, 670, 380}, "menu_table_menuTransMonitorView", kTransmitterMonitorGroup),
};

// Device faults (command 148) and process alerts (command 155), one bit each.
constexpr Id kFaultIds[] = {1457084568, 1276474435, 1472258486, 916480181,  1490274151, 197216275,
                            1485728998, 2042198713, 263022595,  1114763384, 190354588,  1438275986,
                            622959345,  1401400058, 2053325823, 2101471034, 44933904,   607875694,
                            994830474,  605176540,  1811752241, 136068488,  97846454,   1446225362,
                            568482010,  467030866,  474660290};
static_assert(std::size(kFaultIds) == 27);

// Below the list, on the bottom edge: the device's identity, with the final
// assembly number byte by byte.
constexpr Anchor kBottomLeft{0, 100, 50, 100};
constexpr Anchor kBottomRight{50, 100, 100, 100};
constexpr int kIdentityTop = 410;
constexpr Rect leftLine(int n) {
    return line(10, kIdentityTop, 320, n);
}
constexpr Rect rightLine(int n) {
    return line(330, kIdentityTop, 620, n);
}
constexpr ElementSpec kCurrentFaultsGroup[] = {
    faultList({10, 20, 660, 400}, kFaultIds),
    text(leftLine(0), "ParaName", 1085386367, "&s", kBottomLeft),
    value({10, kIdentityTop + 25, 110, kIdentityTop + 50}, 581267908, "%d", {0, 100, 17, 100}),
    value({110, kIdentityTop + 25, 215, kIdentityTop + 50}, 1296660361, "%d", {17, 100, 34, 100}),
    value({215, kIdentityTop + 25, 320, kIdentityTop + 50}, 1917418849, "%d", {34, 100, 50, 100}),
    row(leftLine(2), 444726575, "%1.0f", {}, kBottomLeft),
    row(leftLine(3), 1668548460, "%1.0f", "hardware_revision", kBottomLeft),
    row(leftLine(4), 1340043404, "%1.0f", "transmitter_revision", kBottomLeft),
    enumRow(rightLine(0), "manufacturer_id", 2024606965, kBottomRight),
    enumRow(rightLine(1), "device_type", 965867385, kBottomRight),
    row(rightLine(2), 1931717749, "%1.0f", "software_revision", kBottomRight),
    row(rightLine(3), 480012922, "%1.0f", "poll_addr", kBottomRight),
};
constexpr ElementSpec kFaultsRows[] = {
    button({10, 20, 320, 45}, "ClearStatus", "download[149]", 1000200),
    group({0, 50, 670, 600}, "CurrentFaults", kCurrentFaultsGroup, kStretch),
};

constexpr ElementSpec kControllerMonitorGroup[] = {
    gauge({10, 25, 320, 100}, "fSPCtrl", 1741075726, "%3.2f"),
    value({330, 27, 410, 52}, 1588410518, "%3.2f"),
    button({330, 52, 410, 77}, "WriteSP", "download[191]", 1000207),
    gauge({10, 100, 320, 175}, "fLevel", 196666074, "%3.2f"),
    gauge({10, 175, 320, 250}, "fControllerOutput", 374985680, "%3.2f"),
};
constexpr ElementSpec kControllerMonitorRows[] = {
    group({0, 0, 670, 270}, "menu_table_menuCtrlMonitorView", kControllerMonitorGroup),
};

constexpr ElementSpec kPidGroup[] = {
    row(line(10, 25, 315, 0), 658252150, "%3.2f", {}, kLeftColumn),
    row(line(10, 25, 315, 1), 1672677464, "%2.1f", {}, kLeftColumn),
    row(line(10, 25, 315, 2), 1493997491, "%1.0f", {}, kLeftColumn),
    row(line(325, 25, 620, 0), 1983678996, "%1.0f", {}, kRightColumn),
    row(line(325, 25, 620, 1), 520296734, "%1.0f", {}, kRightColumn),
    button({325, 75, 425, 100}, "Read PID", "upload[184]", 1000200, kRightColumn),
    button({425, 75, 525, 100}, "ApplyPID", "upload[185]", 1000201, kRightColumn),
};
constexpr ElementSpec kOtherGroup[] = {
    row(line(10, 25, 315, 0), 1563047431, "%1.0f", {}, kLeftColumn),
    row(line(10, 25, 315, 1), 494349854, "%1.0f", {}, kLeftColumn),
    row(line(10, 25, 315, 2), 2115280093, "%1.0f", {}, kLeftColumn),
    row(line(10, 25, 315, 3), 141227799, "%1.0f", {}, kLeftColumn),
    row(line(10, 25, 315, 4), 1769317936, "%1.0f", {}, kLeftColumn),
    row(line(10, 25, 315, 5), 1108237772, "%1.0f", {}, kLeftColumn),
    row(line(10, 25, 315, 6), 328023364, "%1.0f", {}, kLeftColumn),
    row(line(325, 25, 620, 0), 162011848, "%1.0f", {}, kRightColumn),
    row(line(325, 25, 620, 1), 1141028619, "%1.0f", {}, kRightColumn),
    enumRow(line(325, 25, 620, 2), "bErrorMode", 1391510669, kRightColumn),
    enumRow(line(325, 25, 620, 3), "bDeviationAlarm", 1959499207, kRightColumn),
    enumRow(line(325, 25, 620, 4), "bDirectActing", 1683633882, kRightColumn),
    enumRow(line(325, 25, 620, 5), "bRatioControl", 1904343435, kRightColumn),
    button({325, 175, 425, 200}, "Read", "upload[186, 188]", 1000200, kRightColumn),
    button({425, 175, 525, 200}, "ApplyCtrl", "upload[187, 189]", 1000201, kRightColumn),
};
constexpr ElementSpec kControllerParametersRows[] = {
    group({0, 0, 670, 110}, "PID", kPidGroup),
    group({0, 115, 670, 330}, "other", kOtherGroup),
};

}  // namespace

constexpr PanelSpec kTransmitterMonitor{"menu_table_menuTransMonitorView", kTransmitterMonitorRows,
                                        PanelSlot::TransMonitor};
constexpr PanelSpec kFaults{"menu_table_menuFaults", kFaultsRows, PanelSlot::LevelFaults};
constexpr PanelSpec kControllerMonitor{"menu_table_menuCtrlMonitorView", kControllerMonitorRows,
                                       PanelSlot::CtrlMonitor};
constexpr PanelSpec kControllerParameters{"menu_table_menuControllerParameters",
                                          kControllerParametersRows};

}  // namespace views::panels::level
