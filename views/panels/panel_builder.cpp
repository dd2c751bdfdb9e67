#include "views/panels/panel_builder.h"

#include <map>

#include "views/charts/charts.h"
#include "views/elements/composite_elements.h"
#include "views/elements/display_elements.h"
#include "views/elements/edit_controls.h"
#include "views/elements/fault_list.h"

namespace views::panels {
namespace {

using namespace views::elements;
using Context = std::shared_ptr<const ViewContext>;

Rect movedRight(const Rect& rect, int by) {
    return {rect.left + by, rect.top, rect.right + by, rect.bottom};
}

void buildChildren(CZorViewingElement* element, std::span<const ElementSpec> children,
                   const Context& context) {
    if (!element) return;
    for (const ElementSpec& child : children)
        buildElement(element, element->childHost(), child, context);
}

template <class E>
E* made(CZorViewingElement* parent, QWidget* host, const ElementSpec& spec, const Context& context) {
    return CZorViewingElement::make<E>(parent, host, spec.rect, spec.anchor, context);
}

std::string text(std::string_view view) {
    return std::string(view);
}

}  // namespace

CZorViewingElement* buildElement(CZorViewingElement* parent, QWidget* host, const ElementSpec& spec,
                                 const Context& context) {
    const bool readOnly = spec.flags & kReadOnly;
    const bool noScaling = spec.flags & kNoScaling;
    const bool editable = spec.flags & kEditable;
    switch (spec.kind) {
        case ElementKind::GroupBox: {
            auto* e = made<GroupBox>(parent, host, spec, context);
            if (e) e->create(text(spec.key), spec.paramId);
            buildChildren(e, spec.children, context);
            return e;
        }
        case ElementKind::Panel: {
            auto* e = made<Panel>(parent, host, spec, context);
            if (e) e->create(false);
            buildChildren(e, spec.children, context);
            return e;
        }
        case ElementKind::Text: {
            auto* e = made<TextElement>(parent, host, spec, context);
            if (e) e->create(text(spec.key), spec.paramId, text(spec.format), spec.flags & kRightAligned);
            return e;
        }
        case ElementKind::ValueRow: {
            auto* e = made<ValueRow>(parent, host, spec, context);
            if (e)
                e->create(text(spec.key), spec.paramId, text(spec.format), spec.split, readOnly,
                          noScaling, spec.flags & kChangedMark);
            return e;
        }
        case ElementKind::Gauge: {
            auto* e = made<BarGauge>(parent, host, spec, context);
            if (e) e->create(text(spec.key), spec.paramId, text(spec.format), 0, 0);
            return e;
        }
        case ElementKind::Bitmap: {
            auto* e = made<BitmapElement>(parent, host, spec, context);
            if (e) e->create(text(spec.key));
            return e;
        }
        case ElementKind::StateBox: {
            auto* e = made<StateBox>(parent, host, spec, context);
            if (e)
                e->create(text(spec.key), spec.paramId, text(spec.condition), text(spec.script),
                          !(spec.flags & kNoCaption), readOnly);
            return e;
        }
        case ElementKind::FaultList: {
            auto* e = made<FaultList>(parent, host, spec, context);
            if (e) e->create(spec.paramIds);
            return e;
        }
        case ElementKind::ValueField: {
            auto* e = made<ValueField>(parent, host, spec, context);
            if (e) e->create(spec.paramId, text(spec.format), readOnly, noScaling);
            return e;
        }
        case ElementKind::EnumBox: {
            auto* e = made<EnumBox>(parent, host, spec, context);
            if (e) e->create(text(spec.key), spec.paramId, text(spec.format), editable);
            return e;
        }
        case ElementKind::EnumRow: {
            auto* e = made<EnumRow>(parent, host, spec, context);
            if (e) e->create(text(spec.key), spec.paramId, text(spec.format), editable, spec.split);
            return e;
        }
        case ElementKind::Button: {
            auto* e = made<ActionButton>(parent, host, spec, context);
            if (e) e->create(text(spec.key), text(spec.script), spec.enableId);
            return e;
        }
        case ElementKind::TrendChart: {
            auto* e = made<charts::TrendChart>(parent, host, spec, context);
            if (e) e->create(spec.paramIds);
            return e;
        }
        case ElementKind::SignatureChart: {
            auto* e = made<charts::SignatureChart>(parent, host, spec, context);
            if (e) e->create(spec.paramIds);
            return e;
        }
    }
    return nullptr;
}

CZorViewingElement* buildPanel(CZorViewingElement* parent, QWidget* host, const Rect& rect,
                               const FamilyLayout& layout, bool withHeader, const PanelSpec* panel,
                               bool hidden, const Context& context,
                               com::ComPtr<IObserver>* reference) {
    auto* built = CZorViewingElement::make<Panel>(parent, host, rect, kStretch, context, reference);
    if (!built) return nullptr;
    built->create(hidden);
    if (withHeader) {
        for (const ElementSpec& spec : layout.header) buildElement(built, built->childHost(), spec, context);
    }
    if (!panel) return built;
    auto* body = CZorViewingElement::make<Panel>(built, built->childHost(), layout.body, kStretch, context);
    if (!body) return built;
    body->create(false);
    CZorViewingElement* holder = body;
    if (layout.bodyGroup.width() > 0 && layout.bodyGroup.height() > 0) {
        auto* group = CZorViewingElement::make<GroupBox>(body, body->childHost(), layout.bodyGroup,
                                                         kStretch, context);
        if (group) {
            group->create(text(panel->menuKey), -1);
            holder = group;
        }
    }
    buildChildren(holder, panel->elements, context);
    return built;
}

BuiltMenuView buildMenuView(QWidget* content, const MenuViewSpec& spec, const Context& context) {
    BuiltMenuView view;
    const Rect treeRect{0, 0, MenuTree::kWidth, spec.layout.panel.height()};
    view.tree = CZorViewingElement::make<MenuTree>(nullptr, content, treeRect, Anchor{0, 0, 0, 100},
                                                   context, &view.treeReference);
    if (!view.tree) return view;
    view.tree->create();

    auto* fallback = CZorViewingElement::make<Panel>(
        view.tree, content, movedRight(spec.layout.panel, MenuTree::kPanelOffset), kStretch, context);
    if (fallback) fallback->create(true);
    view.tree->setDefaultPanel(fallback);

    std::map<const PanelSpec*, CZorViewingElement*> builtPanels;
    std::vector<QTreeWidgetItem*> parents;  // the latest item of each level
    for (const MenuItemSpec& item : spec.items) {
        CZorViewingElement* panel = nullptr;
        if (item.reusesBuiltPanel && builtPanels.count(item.panel)) {
            panel = builtPanels[item.panel];
        } else {
            const Rect& size = item.panel ? spec.layout.panel : spec.layout.folderPanel;
            panel = buildPanel(view.tree, content, movedRight(size, MenuTree::kPanelOffset),
                               spec.layout, true, item.panel, true, context);
            if (item.panel && panel) {
                builtPanels.emplace(item.panel, panel);
                if (item.panel->slot != PanelSlot::None) view.slots.push_back({panel, item.panel->slot});
            }
        }
        const std::size_t level = static_cast<std::size_t>(std::max(item.level, 0));
        QTreeWidgetItem* parentItem = level > 0 && level - 1 < parents.size() ? parents[level - 1] : nullptr;
        QTreeWidgetItem* added = view.tree->addNode(parentItem, item.key, panel, item.image, item.guardId);
        parents.resize(level + 1);
        parents[level] = added;
    }
    return view;
}

BuiltSingleView buildSingleView(QWidget* content, const SingleViewSpec& spec, const Context& context) {
    BuiltSingleView view;
    view.panel = buildPanel(nullptr, content, spec.layout.panel, spec.layout, spec.withHeader,
                            &spec.panel, false, context, &view.panelReference);
    return view;
}

}  // namespace views::panels
