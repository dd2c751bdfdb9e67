#include "views/elements/fault_list.h"

#include <QHeaderView>
#include <algorithm>

#include "views/elements/module_icons.h"

namespace views::elements {
namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kValueRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2;

}  // namespace

void FaultList::create(std::span<const std::int32_t> ids, std::vector<std::string> rowKeys) {
    rowKeys_ = std::move(rowKeys);
    list_ = new QTreeWidget(host());
    list_->setColumnCount(1);
    list_->setHeaderHidden(true);
    list_->setRootIsDecorated(false);
    list_->setIconSize(QSize(16, 16));
    list_->setSelectionMode(QAbstractItemView::NoSelection);
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

    QTreeWidgetItem* row = nullptr;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->data(0, kIdRole).toInt() == id) row = list_->topLevelItem(i);
    }
    if (!row) {
        row = new QTreeWidgetItem;
        row->setData(0, kIdRole, id);
        list_->insertTopLevelItem(std::min(static_cast<int>(index), list_->topLevelItemCount()), row);
    }
    row->setText(0, text);
    row->setIcon(0, faultIcon(leadingInteger(value)));
    row->setData(0, kValueRole, QString::fromStdString(value));
    row->setData(0, kNameRole, QString::fromStdString(calls.translate(name)));

    // Sort: greater value texts first, then names ascending. The rows move
    // only when the order changed.
    std::vector<QTreeWidgetItem*> rows;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) rows.push_back(list_->topLevelItem(i));
    const auto keyOf = [](const QTreeWidgetItem* item) {
        return FaultRowKey{item->data(0, kValueRole).toString().toStdString(),
                           item->data(0, kNameRole).toString().toStdString()};
    };
    std::vector<QTreeWidgetItem*> sorted = rows;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         return faultRowBefore(keyOf(a), keyOf(b));
                     });
    if (sorted != rows) {
        while (list_->topLevelItemCount() > 0) list_->takeTopLevelItem(0);
        for (QTreeWidgetItem* item : sorted) list_->addTopLevelItem(item);
    }
    list_->resizeColumnToContents(0);
}

std::vector<std::string> FaultList::rowTexts() const {
    std::vector<std::string> texts;
    if (!list_) return texts;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        texts.push_back(list_->topLevelItem(i)->text(0).toStdString());
    return texts;
}

}  // namespace views::elements
