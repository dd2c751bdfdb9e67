#pragma once
// Turns the panel tables into viewing elements: one element row at a time,
// whole panels with the family's header and body, and the two view shapes
// (a menu tree with its panels, or a single panel).

#include <QWidget>
#include <memory>
#include <utility>
#include <vector>

#include "views/elements/menu_tree.h"
#include "views/elements/viewing_element.h"
#include "views/panels/panel_table.h"

namespace views::panels {

using elements::CZorViewingElement;
using elements::ViewContext;

// Builds the element of one row (and its children) under `parent`, its
// widget inside `host`. Null when the element could not be made; the caller
// goes on with the next row.
CZorViewingElement* buildElement(CZorViewingElement* parent, QWidget* host, const ElementSpec& spec,
                                 const std::shared_ptr<const ViewContext>& context);

// Builds a panel at `rect` inside `host`: the family's header (when given),
// the body panel and, when the layout has one, the body group box titled
// with the menu key; the panel's elements go into the group box or body.
// `panel` null builds the header only (a folder).
CZorViewingElement* buildPanel(CZorViewingElement* parent, QWidget* host, const Rect& rect,
                               const FamilyLayout& layout, bool withHeader, const PanelSpec* panel,
                               bool hidden, const std::shared_ptr<const ViewContext>& context,
                               com::ComPtr<IObserver>* reference = nullptr);

// A panel the cyclic upload knows, as built.
struct SlotPanel {
    CZorViewingElement* panel = nullptr;
    PanelSlot slot = PanelSlot::None;
};

struct BuiltMenuView {
    elements::MenuTree* tree = nullptr;
    com::ComPtr<IObserver> treeReference;
    std::vector<SlotPanel> slots;
};

// The menu tree at the left of `content` and every item's panel beside it,
// 252 pixels to the right and hidden until its item is selected; the first
// root item ends up selected.
BuiltMenuView buildMenuView(QWidget* content, const MenuViewSpec& spec,
                            const std::shared_ptr<const ViewContext>& context);

struct BuiltSingleView {
    CZorViewingElement* panel = nullptr;
    com::ComPtr<IObserver> panelReference;
};

// One panel filling `content` from its top-left corner.
BuiltSingleView buildSingleView(QWidget* content, const SingleViewSpec& spec,
                                const std::shared_ptr<const ViewContext>& context);

}  // namespace views::panels
