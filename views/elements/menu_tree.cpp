#include "views/elements/menu_tree.h"

#include "views/elements/module_icons.h"

namespace views::elements {
namespace {

constexpr int kPanelRole = Qt::UserRole;
constexpr int kKeyRole = idl::view_hosting::kTreeKeyRole;
static_assert(kKeyRole == Qt::UserRole + 1);

}  // namespace

void MenuTree::create() {
    tree_ = new QTreeWidget(host());
    tree_->setColumnCount(1);
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setIconSize(QSize(16, 16));
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(tree_, &QTreeWidget::currentItemChanged, tree_,
                     [this](QTreeWidgetItem* item, QTreeWidgetItem*) { selectionChanged(item); });
    finishCreate(tree_, -1, false);
}

QTreeWidgetItem* MenuTree::addNode(QTreeWidgetItem* parent, std::string_view key,
                                   CZorViewingElement* panel, int image, std::int32_t guardId) {
    if (!tree_) return nullptr;
    const QString text = QString::fromStdString(engine().translate(key));
    if (panel && guardId != 0) guards_.emplace_back(panel, guardId);
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setIcon(0, treeIcon(image));
    item->setData(0, kKeyRole, QString::fromUtf8(key.data(), static_cast<int>(key.size())));
    panels_.push_back(panel);
    item->setData(0, kPanelRole, static_cast<int>(panels_.size() - 1));
    if (parent) {
        parent->addChild(item);
        parent->setExpanded(true);
    } else {
        tree_->addTopLevelItem(item);
        tree_->setCurrentItem(item);
    }
    return item;
}

CZorViewingElement* MenuTree::panelOf(const QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    const int index = item->data(0, kPanelRole).toInt();
    return index >= 0 && static_cast<std::size_t>(index) < panels_.size() ? panels_[index] : nullptr;
}

std::int32_t MenuTree::guardOf(const QTreeWidgetItem* item) const {
    const CZorViewingElement* panel = panelOf(item);
    for (const auto& [guarded, id] : guards_) {
        if (guarded == panel) return id;
    }
    return 0;
}

void MenuTree::selectionChanged(QTreeWidgetItem* item) {
    if (previous_ && previous_->outerWidget()) previous_->outerWidget()->hide();
    if (defaultPanel_ && defaultPanel_->outerWidget()) defaultPanel_->outerWidget()->hide();
    current_ = panelOf(item);
    previous_ = current_;
    if (!current_) return;
    if (const std::int32_t guard = guardOf(item); guard != 0 && !engine().isVisible(guard)) {
        current_ = defaultPanel_;
    }
    if (current_ && current_->outerWidget()) current_->outerWidget()->show();
    previous_ = current_;
}

bool MenuTree::selectPath(const std::vector<std::string>& keys, std::string* missing) {
    if (!tree_) return false;
    QTreeWidgetItem* found = nullptr;
    for (const std::string& key : keys) {
        const int count = found ? found->childCount() : tree_->topLevelItemCount();
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* candidate = found ? found->child(i) : tree_->topLevelItem(i);
            if (candidate->data(0, kKeyRole).toString().toStdString() == key) next = candidate;
        }
        if (!next) {
            if (missing) *missing = key;
            return false;
        }
        found = next;
    }
    if (!found) return false;
    tree_->setCurrentItem(found);
    return true;
}

void MenuTree::resizeTo(Size parentSize) {
    if (QWidget* widget = outerWidget()) {
        widget->resize(kWidth, std::max(designRect().height(), parentSize.height));
    }
    for (CZorViewingElement* child : children()) child->resizeTo(parentSize);
}

}  // namespace views::elements
