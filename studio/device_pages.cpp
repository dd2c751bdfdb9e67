#include "studio/device_pages.h"

#include <QHeaderView>
#include <QMessageBox>

namespace studio {
namespace {

QTableWidgetItem* readOnly(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

void setUp(QTableWidget& table, const QStringList& headers) {
    table.setColumnCount(static_cast<int>(headers.size()));
    table.setHorizontalHeaderLabels(headers);
    table.horizontalHeader()->setStretchLastSection(true);
    table.verticalHeader()->setVisible(false);
    table.setAlternatingRowColors(true);
}

}  // namespace

ParameterPage::ParameterPage(std::string tag, Writer write)
    : DevicePage(std::move(tag), QStringLiteral("Parameters")), write_(std::move(write)) {
    setUp(*this, {QStringLiteral("Name"), QStringLiteral("Value"), QStringLiteral("Unit"),
                  QStringLiteral("State")});
    connect(this, &QTableWidget::itemChanged, this, &ParameterPage::edited);
}

void ParameterPage::fill(const std::vector<ParameterRow>& rows) {
    filling_ = true;
    setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const ParameterRow& parameter = rows[static_cast<std::size_t>(row)];
        setItem(row, 0, readOnly(QString::fromStdString(parameter.name)));
        QTableWidgetItem* value =
            parameter.writable ? new QTableWidgetItem(QString::fromStdString(parameter.value))
                               : readOnly(QString::fromStdString(parameter.value));
        setItem(row, 1, value);
        setItem(row, 2, readOnly(QString::fromStdString(parameter.unit)));
        setItem(row, 3,
                readOnly(QString::fromStdString(
                    parameter.writable ? parameter.state : parameter.state + " read only")));
    }
    resizeColumnsToContents();
    filling_ = false;
}

void ParameterPage::edited(QTableWidgetItem* item) {
    if (filling_ || item->column() != 1) return;
    const std::string name = this->item(item->row(), 0)->text().toStdString();
    const QString error = write_(name, item->text().toStdString());
    if (!error.isEmpty()) QMessageBox::warning(this, QStringLiteral("Parameters"), error);
}

DevicePage* comparisonPage(const std::string& tag, const std::vector<Difference>& differences) {
    auto* page = new DevicePage(tag, QStringLiteral("Comparison"));
    setUp(*page, {QStringLiteral("Parameter"), QStringLiteral("Name"), QStringLiteral("Project"),
                  QStringLiteral("Device")});
    page->setRowCount(static_cast<int>(differences.size()));
    for (int row = 0; row < static_cast<int>(differences.size()); ++row) {
        const Difference& difference = differences[static_cast<std::size_t>(row)];
        page->setItem(row, 0, readOnly(QString::fromStdString(difference.parameter)));
        page->setItem(row, 1, readOnly(QString::fromStdString(difference.name)));
        page->setItem(row, 2, readOnly(QString::fromStdString(difference.projectValue)));
        page->setItem(row, 3, readOnly(QString::fromStdString(difference.deviceValue)));
    }
    page->resizeColumnsToContents();
    return page;
}

DevicePage* auditPage(const std::string& tag, const std::vector<AuditRecord>& entries) {
    auto* page = new DevicePage(tag, QStringLiteral("Audit trail"));
    setUp(*page, {QStringLiteral("Time (UTC)"), QStringLiteral("User"), QStringLiteral("Parameter"),
                  QStringLiteral("Old value"), QStringLiteral("New value")});
    page->setRowCount(static_cast<int>(entries.size()));
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        const AuditRecord& entry = entries[static_cast<std::size_t>(row)];
        page->setItem(row, 0, readOnly(entry.time.toUTC().toString(Qt::ISODate)));
        page->setItem(row, 1, readOnly(entry.user));
        page->setItem(row, 2, readOnly(entry.parameter));
        page->setItem(row, 3, readOnly(entry.oldValue));
        page->setItem(row, 4, readOnly(entry.newValue));
    }
    page->resizeColumnsToContents();
    return page;
}

}  // namespace studio
