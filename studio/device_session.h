#pragma once
// One device of a project: its DTM in a frame session of its own (the
// frame's container, event sink, user dialog and HART line), driven the way
// the studio needs it: started new or from a saved data set, connected,
// uploaded and downloaded, its data set captured for the project, its
// parameters read and written through the parameter document, and every
// change of its data set turned into audit changes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/data_set_file.h"
#include "frame/frame_session.h"

namespace studio {

// One entry of a DTM's functions document.
struct FunctionEntry {
    enum class Kind { Group, Function, Document, Separator };
    Kind kind = Kind::Function;
    std::string label;
    long functionId = 0;  // 0 for groups, separators and documents
    bool hasGui = false;
    bool enabled = true;
    std::vector<FunctionEntry> children;
};

// The entries below the functions document's root Functions element; empty
// for a document that cannot be read.
std::vector<FunctionEntry> parseFunctions(std::string_view document);

// The "[key=value]" items of a data-set text in their order.
std::vector<std::pair<std::string, std::string>> dataSetItems(std::string_view text);
// The data-set text a saved image holds (its UTF-16 stream decoded).
std::string dataSetText(const frame::DataSetImage& image);

// A parameter of the offline table: the parameter document's variable joined
// with what the private interface tells of the parameter of that label.
struct ParameterRow {
    std::string name;
    std::string value;
    std::string unit;
    std::string state;  // "changed" when the parameter is changed, else empty
    bool writable = false;
};

// A parameter whose value in the project's data set differs from the device's.
struct Difference {
    std::string parameter;  // reference id
    std::string name;
    std::string projectValue;
    std::string deviceValue;
};

struct AuditChange {
    std::string parameter;  // reference id, or "tag"
    std::string oldValue;
    std::string newValue;
};

class DeviceSession {
public:
    struct Identity {
        std::string tag;
        std::string progId;
        std::string lineSpec;
        int address = 0;
    };
    using EventListener = std::function<void(const frame::FrameEvent&)>;
    using AuditListener = std::function<void(const AuditChange&)>;

    DeviceSession(frame::SessionLoop& loop, Identity identity, frame::FrameOptions options);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    const Identity& identity() const { return identity_; }
    frame::Frame& frame() { return frame_; }
    void setEventListener(EventListener listener) { eventListener_ = std::move(listener); }
    void setAuditListener(AuditListener listener) { auditListener_ = std::move(listener); }

    // Creates the DTM and takes it to its configured state: Environment with
    // the tag, then the saved data set (or InitNew and the polling address),
    // Config with the user level and the language.
    frame::CommandResult start(const frame::DataSetImage* saved, std::string_view userLevel,
                               long languageId);
    bool started() const { return frame_.hasDtm(); }
    bool online() const { return online_; }
    bool connected() const { return communicationSet_; }

    frame::CommandResult connect();
    frame::CommandResult disconnect();
    // Uploads; afterwards the differences between the project's data set and
    // the device's are in lastComparison() and the data set is captured.
    frame::CommandResult upload();
    frame::CommandResult download();
    frame::CommandResult setLanguage(long languageId);
    // Disconnects when connected, then releases the DTM.
    frame::CommandResult release();

    // Captures the DTM's data set for the project (through its persistence
    // interface, under the frame's data-set lock); the changes it reports
    // reach the audit listener.
    frame::CommandResult capture();
    // The data set last captured or loaded; none before the first capture.
    const std::optional<frame::DataSetImage>& dataSet() const { return image_; }

    std::vector<FunctionEntry> functions();
    std::vector<ParameterRow> parameters();
    // Writes one value through SetParameters (only that variable of the
    // parameter document), then captures the data set.
    frame::CommandResult setParameter(const std::string& name, const std::string& value);
    const std::vector<Difference>& lastComparison() const { return comparison_; }

private:
    void onEvent(const frame::FrameEvent& event);
    void recordChanges(std::string_view changedItems);
    std::string valueOf(std::int32_t id);
    std::string nameOf(std::int32_t id);
    std::string unitOf(std::int32_t id);
    bool isChanged(std::int32_t id);

    Identity identity_;
    frame::Frame frame_;
    EventListener eventListener_;
    AuditListener auditListener_;
    std::optional<frame::DataSetImage> image_;
    // The project's values by item key ("tag" or a reference id), in data-set order.
    std::vector<std::pair<std::string, std::string>> values_;
    bool baseline_ = false;
    bool online_ = false;
    bool communicationSet_ = false;
    std::vector<Difference> comparison_;
};

}  // namespace studio
