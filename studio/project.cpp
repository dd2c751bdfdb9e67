#include "studio/project.h"

#include <QFileInfo>
#include <algorithm>

namespace studio {

Project::Project(frame::SessionLoop& loop, frame::FrameOptions options,
                 const StudioSettings& settings)
    : loop_(loop), options_(std::move(options)), settings_(settings) {}

Project::~Project() {
    // Views and DTMs go before the frame sessions that hold them.
    for (auto& device : devices_) device->release();
}

const LineRecord& Project::addLine(const QString& spec) {
    for (const LineRecord& line : lines_) {
        if (line.spec == spec) return line;
    }
    qint64 id = 1;
    for (const LineRecord& line : lines_) id = std::max(id, line.id + 1);
    lines_.push_back({id, spec});
    modified_ = true;
    return lines_.back();
}

const LineRecord* Project::line(qint64 id) const {
    for (const LineRecord& line : lines_) {
        if (line.id == id) return &line;
    }
    return nullptr;
}

DeviceSession* Project::device(const QString& tag) const {
    for (const auto& device : devices_) {
        if (QString::fromStdString(device->identity().tag) == tag) return device.get();
    }
    return nullptr;
}

qint64 Project::lineOf(const DeviceSession& device) const {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (devices_[i].get() == &device) return deviceLines_[i];
    }
    return 0;
}

DeviceSession* Project::startDevice(const DeviceRecord& record, const frame::DataSetImage* saved,
                                    QString& error) {
    const LineRecord* onLine = line(record.lineId);
    if (!onLine) {
        error = "device " + record.tag + " names no line of the project";
        return nullptr;
    }
    auto session = std::make_unique<DeviceSession>(
        loop_,
        DeviceSession::Identity{record.tag.toStdString(), record.progId.toStdString(),
                                onLine->spec.toStdString(), record.address},
        options_);
    DeviceSession* raw = session.get();
    session->setEventListener([this, raw](const frame::FrameEvent& event) {
        if (eventListener_) eventListener_(*raw, event);
    });
    session->setAuditListener([this, raw](const AuditChange& change) {
        AuditRecord entry{QString::fromStdString(raw->identity().tag),
                          QDateTime::currentDateTimeUtc(),
                          settings_.user,
                          QString::fromStdString(change.parameter),
                          QString::fromStdString(change.oldValue),
                          QString::fromStdString(change.newValue),
                          false};
        audit_.push_back(entry);
        modified_ = true;
        if (auditListener_) auditListener_(entry);
    });
    if (asker_) session->frame().dialog().setAsker(asker_);
    const frame::CommandResult started =
        session->start(saved, settings_.userLevel, settings_.languageId);
    if (!started.ok) {
        error = QString::fromStdString("cannot start the DTM " + record.progId.toStdString() +
                                       " of " + record.tag.toStdString() + ": " + started.error);
        session->release();
        return nullptr;
    }
    devices_.push_back(std::move(session));
    deviceLines_.push_back(record.lineId);
    return raw;
}

DeviceSession* Project::addDevice(const QString& tag, const QString& progId, qint64 lineId,
                                  int address, QString& error) {
    if (tag.trimmed().isEmpty()) {
        error = "a device needs a tag";
        return nullptr;
    }
    const bool dormant = std::any_of(dormant_.begin(), dormant_.end(),
                                     [&](const DeviceRecord& record) { return record.tag == tag; });
    if (device(tag) || dormant) {
        error = "the project has a device " + tag + " already";
        return nullptr;
    }
    DeviceSession* added = startDevice({tag, progId, lineId, address, {}}, nullptr, error);
    if (added) modified_ = true;
    return added;
}

void Project::removeDevice(const QString& tag) {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (QString::fromStdString(devices_[i]->identity().tag) != tag) continue;
        devices_[i]->release();
        devices_.erase(devices_.begin() + static_cast<std::ptrdiff_t>(i));
        deviceLines_.erase(deviceLines_.begin() + static_cast<std::ptrdiff_t>(i));
        // The audit trail is history: it keeps the removed device's entries.
        modified_ = true;
        return;
    }
}

std::vector<AuditRecord> Project::audit(const QString& tag) const {
    std::vector<AuditRecord> entries;
    std::copy_if(audit_.begin(), audit_.end(), std::back_inserter(entries),
                 [&](const AuditRecord& entry) { return entry.tag == tag; });
    return entries;
}

ProjectResult Project::save(const QString& path) {
    ProjectData data;
    data.lines = lines_;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        DeviceSession& device = *devices_[i];
        if (const frame::CommandResult captured = device.capture(); !captured.ok)
            return ProjectResult::failure(
                "the project was not saved: the data set of " +
                QString::fromStdString(device.identity().tag) +
                " cannot be taken: " + QString::fromStdString(captured.error));
        const std::string file = frame::formatDataSetFile(*device.dataSet());
        data.devices.push_back({QString::fromStdString(device.identity().tag),
                                QString::fromStdString(device.identity().progId), deviceLines_[i],
                                device.identity().address,
                                QByteArray(file.data(), static_cast<qsizetype>(file.size()))});
    }
    data.devices.insert(data.devices.end(), dormant_.begin(), dormant_.end());
    // A project saved under a new name carries its whole trail.
    const bool sameFile = !path_.isEmpty() && QFileInfo(path_) == QFileInfo(path);
    data.audit = audit_;
    if (!sameFile) {
        for (AuditRecord& entry : data.audit) entry.saved = false;
    }
    if (ProjectResult written = writeProject(path, data, !sameFile); !written) return written;
    for (AuditRecord& entry : audit_) entry.saved = true;
    path_ = path;
    modified_ = false;
    return ProjectResult::success();
}

ProjectResult Project::read(const QString& path, ProjectData& data,
                            std::vector<std::optional<frame::DataSetImage>>& images) {
    ProjectData read;
    if (ProjectResult result = readProject(path, read); !result) return result;
    std::vector<std::optional<frame::DataSetImage>> decoded;
    for (const DeviceRecord& record : read.devices) {
        std::optional<frame::DataSetImage> image;
        if (!record.dataSet.isEmpty()) {
            image.emplace();
            const com::Status parsed = frame::parseDataSetFile(
                std::string_view(record.dataSet.constData(),
                                 static_cast<std::size_t>(record.dataSet.size())),
                *image);
            if (!parsed)
                return ProjectResult::failure(
                    QFileInfo(path).fileName() + " is damaged: the data set of " + record.tag +
                    " is unusable (" + QString::fromStdString(parsed.reason) + ").");
        }
        decoded.push_back(std::move(image));
    }
    data = std::move(read);
    images = std::move(decoded);
    return ProjectResult::success();
}

ProjectResult Project::open(const QString& path) {
    ProjectData data;
    std::vector<std::optional<frame::DataSetImage>> images;
    if (ProjectResult read = Project::read(path, data, images); !read) return read;
    lines_ = data.lines;
    audit_ = data.audit;
    QString problems;
    for (std::size_t i = 0; i < data.devices.size(); ++i) {
        QString error;
        if (!startDevice(data.devices[i], images[i] ? &*images[i] : nullptr, error)) {
            // Kept as saved, so that the next save does not lose it.
            dormant_.push_back(data.devices[i]);
            problems += error + "\n";
        }
    }
    path_ = path;
    modified_ = false;
    if (!problems.isEmpty()) return ProjectResult::failure(problems.trimmed());
    return ProjectResult::success();
}

void Project::applyLanguage(long languageId) {
    for (auto& device : devices_) device->setLanguage(languageId);
}

}  // namespace studio
