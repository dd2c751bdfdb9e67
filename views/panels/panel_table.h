#pragma once
// Panels as data. Every panel of the views is a table of element rows (kind,
// rectangle, anchor, label key, parameter id, format, script or condition,
// enable id) that one builder turns into viewing elements; a wrong id or key
// is a one-line fix in a table. Nothing here knows of Qt or of windows, so the
// tables can be walked by tests (every key translated, every id and command
// known to the package) without creating a single widget.

#include <cstdint>
#include <span>
#include <string_view>

namespace views::panels {

// Left, top, right, bottom in pixels of the parent's client area.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool operator==(const Rect&) const = default;
};

// How much of the parent's growth each edge follows, in percent.
struct Anchor {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr bool operator==(const Anchor&) const = default;
};

inline constexpr Anchor kFixed{0, 0, 0, 0};
inline constexpr Anchor kStretch{0, 0, 100, 100};
inline constexpr Anchor kStretchWidth{0, 0, 100, 0};
inline constexpr Anchor kFollowRight{100, 0, 100, 0};
inline constexpr Anchor kLeftColumn{0, 0, 50, 0};
inline constexpr Anchor kRightColumn{50, 0, 100, 0};

enum class ElementKind {
    GroupBox,        // key: caption rule of a text element; paramId: optional (visibility); children
    Panel,           // a plain container; children
    Text,            // key: "ParaName", "ParaValue", "ParaDescription", "ParaMinRange",
                     // "ParaMaxRange" or a fixed key; paramId; format
    ValueRow,        // key: fixed name key, empty for the parameter's name; paramId; format; split
    Gauge,           // key: label; paramId; format; minimum/maximum from the range
    Bitmap,          // key: file name beginning with "\" (looked up in the bitmap directory)
    StateBox,        // key: caption; paramId; condition; script
    FaultList,       // paramIds (observed, in order)
    ValueField,      // paramId; format
    EnumBox,         // key: label key for "_ENUM_0x%02X" translations; paramId; format
    EnumRow,         // key: as EnumBox; paramId; format
    Button,          // key: caption; script; enableId
    TrendChart,      // paramIds
    SignatureChart,  // paramIds: 9 + 9 samples, lower bound, upper bound
};

// Flags of an element row; most kinds read none.
enum ElementFlag : unsigned {
    kNoFlags = 0,
    kRightAligned = 1u << 0,  // Text: right-aligned
    kReadOnly = 1u << 1,      // ValueField, ValueRow, StateBox: never enabled by validity
    kNoScaling = 1u << 2,     // ValueField, ValueRow: show and write without the scaling
    kChangedMark = 1u << 3,   // ValueRow: the changed mark at its right end
    kEditable = 1u << 4,      // EnumBox, EnumRow: an edit part for typed numbers
    kNoCaption = 1u << 5,     // StateBox: no caption from the key
};

struct ElementSpec {
    ElementKind kind = ElementKind::Text;
    Rect rect{};
    Anchor anchor = kFixed;
    std::string_view key{};
    std::int32_t paramId = -1;  // negative: no parameter
    std::string_view format = "&s";
    std::string_view script{};     // Button, StateBox: handed to DoAction
    std::string_view condition{};  // StateBox: "=1", ">=5", "2", ...
    std::int32_t enableId = 0;     // Button: enabled while this parameter is valid; 0: always
    std::span<const std::int32_t> paramIds{};    // FaultList, TrendChart, SignatureChart
    std::span<const ElementSpec> children{};     // GroupBox, Panel
    unsigned flags = kNoFlags;
    int split = 50;  // ValueRow, EnumRow: where the name ends, in percent of the width
};

// The panels that the cyclic upload of a menu view knows by name.
enum class PanelSlot {
    None,
    // positioner menu view
    Root,
    ReadPressures,
    CalibPressure,
    Historian,
    RawData,
    CalibSignal,
    SensorMeasurements,
    DeviceStatusFaults,
    Commissioning,
    ManualSetpoint,
    // level menu view
    TransMonitor,
    CtrlMonitor,
    LevelFaults,
    Diagnostic,
    CalTools,
};

// One panel: the elements of its body. In a positioner menu view the body's
// elements lie in a group box titled with the menu key; level panels carry
// their own group boxes.
struct PanelSpec {
    std::string_view menuKey{};
    std::span<const ElementSpec> elements{};
    PanelSlot slot = PanelSlot::None;
};

// One item of a menu tree, in tree order; `level` 0 is a root item and each
// item hangs under the nearest earlier item one level up.
struct MenuItemSpec {
    int level = 0;
    std::string_view key{};
    const PanelSpec* panel = nullptr;  // null: a folder, shown by a panel with the header only
    std::int32_t guardId = 0;          // non-zero: shown only while this parameter is visible
    bool reusesBuiltPanel = false;     // true: shows the panel an earlier item built from `panel`
    int image = 0;                     // index into the tree's icon list
};

// How the panels of one device family are laid out.
struct FamilyLayout {
    Rect panel{};                        // a panel's rectangle (0, 0, width, height)
    Rect folderPanel{};                  // a folder's header-only panel
    std::span<const ElementSpec> header{};
    Rect body{};                         // below the header, anchored kStretch
    Rect bodyGroup{};                    // the group box titled with the menu key; empty: none
};

struct MenuViewSpec {
    FamilyLayout layout{};
    std::span<const MenuItemSpec> items{};
};

// A view of one panel without a tree (measurement and address views).
struct SingleViewSpec {
    FamilyLayout layout{};
    bool withHeader = true;
    PanelSpec panel{};
};

// The views of the two device families, by function id.
const MenuViewSpec& positionerMenuView();          // function id 1
const SingleViewSpec& positionerMeasurementView(); // function id 2
const MenuViewSpec& levelMenuView();               // function id 101
const SingleViewSpec& levelMeasurementView();      // function id 102
const SingleViewSpec& addressView();               // function id 1000

}  // namespace views::panels
