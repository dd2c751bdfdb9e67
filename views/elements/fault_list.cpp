#include "views/elements/fault_list.h"

#include <QHeaderView>
#include <algorithm>

#include "views/elements/module_icons.h"

namespace views::elements {
namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kIconRole = Qt::UserRole + 1;

// A row that sorts by its parameter's key: greater value texts first, then
// names ascending.
class FaultRow final : public QTreeWidgetItem {
public:
    FaultRow(const FaultList& list, std::int32_t id) : list_(&list), id_(id) {}
    bool operator<(const QTreeWidgetItem& other) const override {
        const FaultRowKey* mine = list_->sortKey(id_);
        const FaultRowKey* theirs = list_->sortKey(static_cast<const FaultRow&>(other).id_);
        return mine && theirs && faultRowBefore(*mine, *theirs);
    }

private:
    const FaultList* list_;
    std::int32_t id_;
};

}  // namespace

const FaultRowKey* FaultList::sortKey(std::int32_t id) const {
    const auto found = sortKeys_.find(id);
    return found == sortKeys_.end() ? nullptr : &found->second;
}

void FaultList::scheduleSort() {
    if (!sortTimer_) sortTimer_ = std::make_unique<hartdtm::loop::TimerHost>();
    // Without a loop the rows are sorted at once.
    if (!sortTimer_->attached() || !sortTimer_->arm(0, std::chrono::milliseconds(0), [this] { sortRows(); })) {
        if (!sortTimer_->isArmed(0)) sortRows();
    }
}

void FaultList::sortRows() {
    if (outerWidget() && list_) list_->sortItems(0, Qt::AscendingOrder);
}

void FaultList::create(std::span<const std::int32_t> ids, std::vector<std::string> rowKeys) {
    rowKeys_ = std::move(rowKeys);
    list_ = new QTreeWidget(host());
    list_->setColumnCount(1);
    list_->setHeaderHidden(true);
    list_->setRootIsDecorated(false);
    list_->setIconSize(QSize(16, 16));
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setUniformRowHeights(true);  // one row height: no text measured per row
    // The one column always fills the list, as a column sized to the header does.
    list_->header()->setStretchLastSection(true);
    finishCreate(list_, -1, false);
    for (std::int32_t id : ids) {
        if (id < 0) continue;
        observed_.push_back(id);
        observe(id);
        onChanged(id);
    }
}

void FaultList::onChanged(std::int32_t id) {
    if (!list_) return;
    const auto where = std::find(observed_.begin(), observed_.end(), id);
    if (where == observed_.end()) return;
    const EngineCalls calls = engine();
    const std::string name = calls.name(id);
    const std::string value = calls.value(id);
    const std::size_t index = static_cast<std::size_t>(where - observed_.begin());
    const std::string& key = index < rowKeys_.size() ? rowKeys_[index] : std::string();
    const std::string title = calls.translate(key.empty() ? name : key);
    const QString text = QString::fromStdString(
        title + ": " + calls.translate(entryLabel(calls.range(id), value)));

    FaultRow* row = nullptr;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->data(0, kIdRole).toInt() == id)
            row = static_cast<FaultRow*>(list_->topLevelItem(i));
    }
    if (!row) {
        row = new FaultRow(*this, id);
        row->setData(0, kIdRole, id);
        list_->insertTopLevelItem(std::min(static_cast<int>(index), list_->topLevelItemCount()), row);
    }
    if (row->text(0) != text) row->setText(0, text);
    const long iconIndex = leadingInteger(value);
    if (const ViewContext* view = context()) {
        auto [icon, drawn] = view->faultIcons.try_emplace(iconIndex);
        if (drawn) icon->second = faultIcon(iconIndex);
        if (row->data(0, kIconRole).toLongLong() != iconIndex || row->icon(0).isNull()) {
            row->setIcon(0, icon->second);
            row->setData(0, kIconRole, QVariant::fromValue<qlonglong>(iconIndex));
        }
    }
    sortKeys_[id] = FaultRowKey{value, calls.translate(name)};

    scheduleSort();
}

std::vector<std::string> FaultList::rowTexts() const {
    std::vector<std::string> texts;
    if (!list_) return texts;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        texts.push_back(list_->topLevelItem(i)->text(0).toStdString());
    return texts;
}

}  // namespace views::elements
