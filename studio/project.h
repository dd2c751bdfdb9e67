#pragma once
// A project of the studio: its lines, the devices on them (each a running
// DTM in its own frame session) and the audit trail, with saving to and
// opening from the project file. Knows no widgets.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "frame/user_dialog.h"
#include "studio/device_session.h"
#include "studio/project_database.h"

namespace studio {

struct StudioSettings {
    std::string userLevel =
        "maintenance";  // "planningEngineer", "maintenance", "operator", "observer"
    long languageId = 0x0409;
    QString user;  // who changes data sets, for the audit trail
};

class Project {
public:
    using EventListener =
        std::function<void(DeviceSession& device, const frame::FrameEvent& event)>;
    using AuditListener = std::function<void(const AuditRecord& entry)>;

    Project(frame::SessionLoop& loop, frame::FrameOptions options, const StudioSettings& settings);
    // Releases every DTM.
    ~Project();

    void setEventListener(EventListener listener) { eventListener_ = std::move(listener); }
    void setAuditListener(AuditListener listener) { auditListener_ = std::move(listener); }
    // Answers the user messages of every DTM started afterwards.
    void setAsker(frame::UserDialog::Asker asker) { asker_ = std::move(asker); }

    const QString& path() const { return path_; }
    bool modified() const { return modified_; }

    // The line of that name, added when the project has none yet.
    const LineRecord& addLine(const QString& spec);
    const std::vector<LineRecord>& lines() const { return lines_; }
    const LineRecord* line(qint64 id) const;

    // Creates the DTM of a new device on the line and starts it; on failure
    // the device is not added and `error` says why.
    DeviceSession* addDevice(const QString& tag, const QString& progId, qint64 lineId, int address,
                             QString& error);
    // Releases the device's DTM and removes it; its audit entries stay.
    void removeDevice(const QString& tag);
    const std::vector<std::unique_ptr<DeviceSession>>& devices() const { return devices_; }
    // Devices of the opened file whose DTM could not be started; saved as they were.
    const std::vector<DeviceRecord>& dormantDevices() const { return dormant_; }
    DeviceSession* device(const QString& tag) const;
    qint64 lineOf(const DeviceSession& device) const;

    // The audit trail of one device, oldest first.
    std::vector<AuditRecord> audit(const QString& tag) const;

    // Captures every device's data set and writes the project into `path`
    // in one transaction. Nothing is written when a data set cannot be captured.
    ProjectResult save(const QString& path);
    // Reads a project file and starts its devices. A file that is damaged,
    // foreign, or holds a damaged data set is refused before anything starts.
    ProjectResult open(const QString& path);
    // Reads and checks a project file (the file and every data set in it)
    // without starting anything.
    static ProjectResult read(const QString& path, ProjectData& data,
                              std::vector<std::optional<frame::DataSetImage>>& images);

    // Lets every DTM hear the language.
    void applyLanguage(long languageId);
    void markModified() { modified_ = true; }

private:
    DeviceSession* startDevice(const DeviceRecord& record, const frame::DataSetImage* saved,
                               QString& error);

    frame::SessionLoop& loop_;
    frame::FrameOptions options_;
    const StudioSettings& settings_;
    QString path_;
    bool modified_ = false;
    std::vector<LineRecord> lines_;
    std::vector<std::unique_ptr<DeviceSession>> devices_;
    std::vector<qint64> deviceLines_;  // parallel to devices_
    std::vector<AuditRecord> audit_;
    std::vector<DeviceRecord> dormant_;
    EventListener eventListener_;
    AuditListener auditListener_;
    frame::UserDialog::Asker asker_;
};

}  // namespace studio
