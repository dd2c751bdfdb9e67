#pragma once
// The project file: one SQLite database (through Qt SQL) holding the lines,
// the devices with their data sets and the audit trail of data-set changes.
//
// A file is the studio's when its SQLite application id is kApplicationId and
// its "meta" table names format kFormatVersion. Reading opens the file read
// only and checks it completely (integrity, application id, format, tables)
// before anything is taken from it, so a damaged or foreign file is refused
// with a reason and never changed. Writing replaces the project's lines and
// devices and appends the audit entries not yet saved, all in one
// transaction: a failed save leaves the file as it was.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <vector>

namespace studio {

inline constexpr std::int32_t kApplicationId = 0x44544D53;  // "DTMS"
inline constexpr int kFormatVersion = 1;

struct LineRecord {
    qint64 id = 0;  // unique within the project
    QString spec;   // the frame's line name: "sim:positioner", "serial:/dev/ttyUSB0", ...
};

struct DeviceRecord {
    QString tag;  // the system tag, unique within the project
    QString progId;
    qint64 lineId = 0;
    int address = 0;     // HART polling address
    QByteArray dataSet;  // the frame's data-set file text; empty: none saved yet
};

struct AuditRecord {
    QString tag;
    QDateTime time;  // UTC
    QString user;
    QString parameter;  // reference id, or "tag"
    QString oldValue;
    QString newValue;
    bool saved = false;  // already in the file
};

struct ProjectData {
    std::vector<LineRecord> lines;
    std::vector<DeviceRecord> devices;
    std::vector<AuditRecord> audit;
};

struct ProjectResult {
    bool ok = false;
    QString error;  // for the user: what is wrong and with which file
    explicit operator bool() const { return ok; }
    static ProjectResult success() { return {true, {}}; }
    static ProjectResult failure(QString why) { return {false, std::move(why)}; }
};

// Reads a project file; `data` is replaced only on success.
ProjectResult readProject(const QString& path, ProjectData& data);

// Writes the project into `path` (a new file, or a project file of the
// studio, which is checked as readProject does first). The file's audit
// trail is replaced by `data`'s when `replaceAudit` is set (a project saved
// over another one), else the entries not yet saved are appended. On success
// every audit entry of `data` is marked saved.
ProjectResult writeProject(const QString& path, ProjectData& data, bool replaceAudit = false);

}  // namespace studio
