#pragma once
// The five view kinds, selected by the function id of the function call, and
// the cyclic upload script of each.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "views/panels/panel_table.h"

namespace views::control {

enum class ViewKind {
    PositionerMenu,         // function id 1
    PositionerMeasurement,  // 2
    LevelMenu,              // 101
    LevelMeasurement,       // 102
    Address,                // 1000
};

struct ViewKindInfo {
    ViewKind kind;
    int contentWidth;
    int contentHeight;
};

// The kind of a function id; nullopt for an id that has no view.
std::optional<ViewKindInfo> viewKindOf(std::int32_t functionId);

// The file name of the device DTM module whose folder holds the view's
// bitmaps: the positioner's for ids 1 and 2, the level DTM's otherwise.
std::string deviceModuleName(std::int32_t functionId);

// Whether Finished re-arms the cycle (the four views that upload).
bool cyclesOnFinished(std::int32_t functionId);

// The cyclic upload script of a view kind. `shown` is the slot of the panel
// the menu tree shows (None: another panel or none); `valueOf` reads an
// engine value (the level view's switches 1000300 and 1000301). Empty for
// the address view, which never uploads.
std::string uploadScript(ViewKind kind, bool fullUpload, panels::PanelSlot shown,
                         const std::function<std::string(std::int32_t)>& valueOf);

// The function id from a function-call document, read through the DOM with
// the functions schema's prefix bound; nullopt when the text does not load
// or has no functionId attribute. The attribute's leading decimal digits
// count; none give 0.
std::optional<std::int32_t> functionIdOf(std::string_view functionCall);

}  // namespace views::control
