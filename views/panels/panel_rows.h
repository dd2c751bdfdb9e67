#pragma once
// Short spellings of the element rows, for the panel tables only: each one
// reads like a line of the panel's description (kind, rectangle, key,
// parameter, format or script) and fills the rest of ElementSpec with its
// defaults. Nothing here adds behaviour; the builder sees plain ElementSpecs.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "views/panels/panel_table.h"

namespace views::panels::rows {

using Id = std::int32_t;
using Text = std::string_view;

// Value row; an empty key shows the parameter's own name.
constexpr ElementSpec row(Rect r, Id id, Text format, Text key = {}, Anchor anchor = kFixed) {
    return {.kind = ElementKind::ValueRow,
            .rect = r,
            .anchor = anchor,
            .key = key,
            .paramId = id,
            .format = format};
}

// Enumeration row: the parameter's name and a drop-down of its range.
constexpr ElementSpec enumRow(Rect r, Text key, Id id, Anchor anchor = kFixed) {
    return {.kind = ElementKind::EnumRow,
            .rect = r,
            .anchor = anchor,
            .key = key,
            .paramId = id,
            .format = "%s"};
}

constexpr ElementSpec gauge(Rect r, Text key, Id id, Text format, Anchor anchor = kFixed) {
    return {.kind = ElementKind::Gauge,
            .rect = r,
            .anchor = anchor,
            .key = key,
            .paramId = id,
            .format = format};
}

// Text element: a fixed key, or an attribute key ("ParaValue", ...) of id.
constexpr ElementSpec text(Rect r, Text key, Id id = -1, Text format = "&s",
                           Anchor anchor = kFixed) {
    return {.kind = ElementKind::Text,
            .rect = r,
            .anchor = anchor,
            .key = key,
            .paramId = id,
            .format = format};
}

constexpr ElementSpec value(Rect r, Id id, Text format, Anchor anchor = kFixed) {
    return {.kind = ElementKind::ValueField,
            .rect = r,
            .anchor = anchor,
            .paramId = id,
            .format = format};
}

// Action button; enableId 0 keeps it enabled.
constexpr ElementSpec button(Rect r, Text caption, Text script, Id enableId,
                             Anchor anchor = kFixed) {
    return {.kind = ElementKind::Button,
            .rect = r,
            .anchor = anchor,
            .key = caption,
            .script = script,
            .enableId = enableId};
}

// State box on id: ticked while the value meets condition; a click writes
// the condition and hands the script over.
constexpr ElementSpec state(Rect r, Text caption, Id id, Text condition, Text script,
                            Anchor anchor = kFixed) {
    return {.kind = ElementKind::StateBox,
            .rect = r,
            .anchor = anchor,
            .key = caption,
            .paramId = id,
            .script = script,
            .condition = condition};
}

// A bitmap file of the package folder; the name begins with "\".
constexpr ElementSpec bitmap(Rect r, Text file, Anchor anchor = kFixed) {
    return {.kind = ElementKind::Bitmap, .rect = r, .anchor = anchor, .key = file};
}

// Group box titled with key; visible with visibleId when that is given.
constexpr ElementSpec group(Rect r, Text key, std::span<const ElementSpec> children,
                            Anchor anchor = kStretchWidth, Id visibleId = -1) {
    return {.kind = ElementKind::GroupBox,
            .rect = r,
            .anchor = anchor,
            .key = key,
            .paramId = visibleId,
            .children = children};
}

constexpr ElementSpec faultList(Rect r, std::span<const Id> ids, Anchor anchor = kStretch) {
    return {.kind = ElementKind::FaultList, .rect = r, .anchor = anchor, .paramIds = ids};
}

// One line of a column of elements every 25 pixels: the rectangle of line n
// (0 for the first) of a column from left to right whose first line starts at top.
constexpr Rect line(int left, int top, int right, int n) {
    return {left, top + 25 * n, right, top + 25 * n + 25};
}

// The rows of several parts in one table, for panels whose lines are partly
// computed (the characteristic table, the limits grid).
template <std::size_t... N>
constexpr std::array<ElementSpec, (N + ...)> concat(const std::array<ElementSpec, N>&... parts) {
    std::array<ElementSpec, (N + ...)> all{};
    std::size_t next = 0;
    (([&] {
         for (const ElementSpec& element : parts) all[next++] = element;
     }()),
     ...);
    return all;
}

}  // namespace views::panels::rows
