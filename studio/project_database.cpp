#include "studio/project_database.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <functional>

namespace studio {
namespace {

// One named Qt SQL connection, removed when the guard ends (after every query
// on it is gone, as Qt requires).
class Connection {
public:
    Connection(const QString& path, bool readOnly) {
        static std::atomic<int> serial{0};
        name_ = QStringLiteral("dtmstudio-%1").arg(++serial);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        if (readOnly) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        opened_ = db.open();
        if (!opened_) error_ = db.lastError().text();
    }
    ~Connection() {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool opened() const { return opened_; }
    const QString& error() const { return error_; }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
    bool opened_ = false;
    QString error_;
};

// The single value a statement yields; invalid when it fails (`error` then
// says why) or yields none.
QVariant scalar(const QSqlDatabase& db, const QString& statement, QString* error = nullptr) {
    QSqlQuery query(db);
    if (!query.exec(statement)) {
        if (error) *error = query.lastError().databaseText();
        return {};
    }
    if (!query.next()) return {};
    return query.value(0);
}

const char* const kSchema[] = {
    "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
    "CREATE TABLE lines (id INTEGER PRIMARY KEY, spec TEXT NOT NULL)",
    "CREATE TABLE devices (tag TEXT PRIMARY KEY, prog_id TEXT NOT NULL, "
    "line_id INTEGER NOT NULL REFERENCES lines(id), address INTEGER NOT NULL, data_set BLOB)",
    "CREATE TABLE audit (id INTEGER PRIMARY KEY, tag TEXT NOT NULL, time TEXT NOT NULL, "
    "user TEXT NOT NULL, parameter TEXT NOT NULL, old_value TEXT, new_value TEXT)",
};

// Whether the open database is a sound project file of this studio.
ProjectResult checkProject(const QSqlDatabase& db, const QString& path) {
    const QString file = QFileInfo(path).fileName();
    QString why;
    const QVariant integrity = scalar(db, QStringLiteral("PRAGMA quick_check"), &why);
    if (!integrity.isValid())
        return ProjectResult::failure(file + " is not a project file, or it is damaged: " + why);
    if (integrity.toString() != QLatin1String("ok"))
        return ProjectResult::failure(file + " is damaged: " + integrity.toString());
    if (scalar(db, QStringLiteral("PRAGMA application_id")).toInt() != kApplicationId)
        return ProjectResult::failure(
            file + " is an SQLite database of another program, not a project file.");
    const QVariant format =
        scalar(db, QStringLiteral("SELECT value FROM meta WHERE key = 'format'"));
    if (!format.isValid())
        return ProjectResult::failure(file + " is damaged: its format entry is missing.");
    if (format.toInt() != kFormatVersion)
        return ProjectResult::failure(file + " has project format " + format.toString() +
                                      "; this studio reads format " +
                                      QString::number(kFormatVersion) + ".");
    for (const char* table : {"lines", "devices", "audit"}) {
        if (!scalar(db, QStringLiteral("SELECT count(*) FROM ") + table).isValid())
            return ProjectResult::failure(file + " is damaged: its table " + table +
                                          " cannot be read.");
    }
    return ProjectResult::success();
}

ProjectResult readTables(const QSqlDatabase& db, const QString& path, ProjectData& out) {
    ProjectData data;
    const auto failed = [&](const QSqlQuery& query) {
        return ProjectResult::failure(QFileInfo(path).fileName() +
                                      " cannot be read: " + query.lastError().text());
    };
    QSqlQuery lines(db);
    if (!lines.exec(QStringLiteral("SELECT id, spec FROM lines ORDER BY id"))) return failed(lines);
    while (lines.next())
        data.lines.push_back({lines.value(0).toLongLong(), lines.value(1).toString()});
    QSqlQuery devices(db);
    if (!devices.exec(QStringLiteral(
            "SELECT tag, prog_id, line_id, address, data_set FROM devices ORDER BY rowid")))
        return failed(devices);
    while (devices.next()) {
        data.devices.push_back({devices.value(0).toString(), devices.value(1).toString(),
                                devices.value(2).toLongLong(), devices.value(3).toInt(),
                                devices.value(4).toByteArray()});
    }
    QSqlQuery audit(db);
    if (!audit.exec(QStringLiteral(
            "SELECT tag, time, user, parameter, old_value, new_value FROM audit ORDER BY id")))
        return failed(audit);
    while (audit.next()) {
        AuditRecord entry{audit.value(0).toString(),
                          QDateTime::fromString(audit.value(1).toString(), Qt::ISODateWithMs),
                          audit.value(2).toString(),
                          audit.value(3).toString(),
                          audit.value(4).toString(),
                          audit.value(5).toString(),
                          true};
        data.audit.push_back(std::move(entry));
    }
    out = std::move(data);
    return ProjectResult::success();
}

// Runs the statements of `fill` in one transaction; nothing stays of a failure.
ProjectResult inTransaction(QSqlDatabase db, const QString& path,
                            const std::function<QString(QSqlDatabase&)>& fill) {
    if (!db.transaction())
        return ProjectResult::failure("cannot write " + QFileInfo(path).fileName() + ": " +
                                      db.lastError().text());
    const QString error = fill(db);
    if (!error.isEmpty()) {
        db.rollback();
        return ProjectResult::failure("cannot save " + QFileInfo(path).fileName() + ": " + error);
    }
    if (!db.commit()) {
        const QString why = db.lastError().text();
        db.rollback();
        return ProjectResult::failure("cannot save " + QFileInfo(path).fileName() + ": " + why);
    }
    return ProjectResult::success();
}

QString createSchema(QSqlDatabase& db) {
    QSqlQuery query(db);
    for (const char* statement : kSchema) {
        if (!query.exec(QString::fromLatin1(statement))) return query.lastError().text();
    }
    if (!query.exec(
            QStringLiteral("INSERT INTO meta VALUES ('format', '%1')").arg(kFormatVersion)) ||
        !query.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId)))
        return query.lastError().text();
    return {};
}

QString replaceContents(QSqlDatabase& db, const ProjectData& data, bool replaceAudit) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("DELETE FROM devices")) ||
        !query.exec(QStringLiteral("DELETE FROM lines")))
        return query.lastError().text();
    if (replaceAudit && !query.exec(QStringLiteral("DELETE FROM audit")))
        return query.lastError().text();
    query.prepare(QStringLiteral("INSERT INTO lines (id, spec) VALUES (?, ?)"));
    for (const LineRecord& line : data.lines) {
        query.addBindValue(line.id);
        query.addBindValue(line.spec);
        if (!query.exec()) return query.lastError().text();
    }
    query.prepare(QStringLiteral(
        "INSERT INTO devices (tag, prog_id, line_id, address, data_set) VALUES (?, ?, ?, ?, ?)"));
    for (const DeviceRecord& device : data.devices) {
        query.addBindValue(device.tag);
        query.addBindValue(device.progId);
        query.addBindValue(device.lineId);
        query.addBindValue(device.address);
        query.addBindValue(device.dataSet);
        if (!query.exec()) return query.lastError().text();
    }
    query.prepare(
        QStringLiteral("INSERT INTO audit (tag, time, user, parameter, old_value, new_value) "
                       "VALUES (?, ?, ?, ?, ?, ?)"));
    for (const AuditRecord& entry : data.audit) {
        if (entry.saved && !replaceAudit) continue;
        query.addBindValue(entry.tag);
        query.addBindValue(entry.time.toUTC().toString(Qt::ISODateWithMs));
        query.addBindValue(entry.user);
        query.addBindValue(entry.parameter);
        query.addBindValue(entry.oldValue);
        query.addBindValue(entry.newValue);
        if (!query.exec()) return query.lastError().text();
    }
    return {};
}

}  // namespace

ProjectResult readProject(const QString& path, ProjectData& data) {
    const QFileInfo info(path);
    if (!info.exists()) return ProjectResult::failure("there is no file " + path + ".");
    if (!info.isFile() || !info.isReadable())
        return ProjectResult::failure(path + " cannot be read.");
    const Connection connection(path, true);
    if (!connection.opened())
        return ProjectResult::failure(info.fileName() + " cannot be opened: " + connection.error());
    const QSqlDatabase db = connection.db();
    if (ProjectResult checked = checkProject(db, path); !checked) return checked;
    return readTables(db, path, data);
}

ProjectResult writeProject(const QString& path, ProjectData& data, bool replaceAudit) {
    const bool existed = QFileInfo::exists(path);
    if (existed) {
        // Never write into a file that is not a sound project of ours.
        const Connection check(path, true);
        if (!check.opened())
            return ProjectResult::failure(QFileInfo(path).fileName() +
                                          " cannot be opened: " + check.error());
        if (ProjectResult checked = checkProject(check.db(), path); !checked) return checked;
    }
    ProjectResult result = ProjectResult::success();
    {
        const Connection connection(path, false);
        if (!connection.opened())
            return ProjectResult::failure("cannot write " + path + ": " + connection.error());
        result = inTransaction(connection.db(), path, [&](QSqlDatabase& db) {
            if (!existed) {
                if (QString error = createSchema(db); !error.isEmpty()) return error;
            }
            return replaceContents(db, data, replaceAudit);
        });
    }
    // A new file that could not be filled is not left behind half made.
    if (!result && !existed) QFile::remove(path);
    if (result) {
        for (AuditRecord& entry : data.audit) entry.saved = true;
    }
    return result;
}

}  // namespace studio
