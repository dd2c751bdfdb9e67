#pragma once
// The menu tree of a menu view: items labelled with translated keys, each
// showing its panel (a folder shows none); a guarded item shows the empty
// default panel while its guard parameter is not visible. The panels are the
// tree's children as elements, but their widgets lie in the view beside it.

#include <QTreeWidget>
#include <string>
#include <string_view>
#include <vector>

#include "views/elements/viewing_element.h"

namespace views::elements {

class MenuTree : public CZorViewingElement {
public:
    static constexpr int kWidth = 250;
    static constexpr int kPanelOffset = 252;

    void create();
    // Appends an item under `parent` (null: a root item, which is selected);
    // a parent gets expanded. `panel` may be null (a folder).
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, std::string_view key,
                             CZorViewingElement* panel, int image, std::int32_t guardId);
    void setDefaultPanel(CZorViewingElement* panel) { defaultPanel_ = panel; }

    // The panel shown now; null when the selected item has none.
    CZorViewingElement* currentPanel() const { return current_; }
    CZorViewingElement* defaultPanel() const { return defaultPanel_; }
    // Selects the item reached by a path of label keys from a root item;
    // false when a key names no item there.
    bool selectPath(const std::vector<std::string>& keys, std::string* missing = nullptr);
    QTreeWidget* tree() const { return tree_; }

    // The tree keeps its width; its panels follow the view.
    void resizeTo(Size parentSize) override;

private:
    void selectionChanged(QTreeWidgetItem* item);
    CZorViewingElement* panelOf(const QTreeWidgetItem* item) const;
    std::int32_t guardOf(const QTreeWidgetItem* item) const;

    QTreeWidget* tree_ = nullptr;
    std::vector<CZorViewingElement*> panels_;  // item data indexes into this
    std::vector<std::pair<CZorViewingElement*, std::int32_t>> guards_;
    CZorViewingElement* defaultPanel_ = nullptr;
    CZorViewingElement* current_ = nullptr;
    CZorViewingElement* previous_ = nullptr;
};

}  // namespace views::elements
