#pragma once
// The tabs that show a device's data rather than a DTM view: the offline
// parameter table (edits written back through SetParameters), the comparison
// of the project's data set with the device's, and the audit trail.

#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

#include "studio/device_session.h"
#include "studio/project_database.h"

namespace studio {

// A tab that belongs to one device; `kind` names what it shows.
class DevicePage : public QTableWidget {
public:
    DevicePage(std::string tag, QString kind) : tag_(std::move(tag)), kind_(std::move(kind)) {}
    const std::string& tag() const { return tag_; }
    const QString& kind() const { return kind_; }

private:
    std::string tag_;
    QString kind_;
};

// Name, value, unit, state; the value cell of a writable parameter is
// editable and an edit is handed to `write` (name, new value), which answers
// an error text or an empty one. The table is filled again afterwards.
class ParameterPage : public DevicePage {
public:
    using Writer = std::function<QString(const std::string& name, const std::string& value)>;
    ParameterPage(std::string tag, Writer write);
    void fill(const std::vector<ParameterRow>& rows);

private:
    void edited(QTableWidgetItem* item);

    Writer write_;
    bool filling_ = false;
};

DevicePage* comparisonPage(const std::string& tag, const std::vector<Difference>& differences);
DevicePage* auditPage(const std::string& tag, const std::vector<AuditRecord>& entries);

}  // namespace studio
