#pragma once
// What the frame saw of a DTM: every call of its event sink and of its user
// dialog, kept in order and handed to a listener as it happens.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace frame {

// One event. Kinds and their fields:
//   parameters-changed TEXT        error TEXT              progress TITLE PERCENT SHOW
//   upload-finished ID SUCCESS     download-finished ID SUCCESS
//   application-closed ID          functions-changed       online-state ONLINE
//   prepared-to-release            prepared-to-release-communication
//   close-application ID FUNCTION  message TYPE BUTTONS TEXT
//   message-answer BUTTON HOW      message-unreadable REASON
//   action-finished PARA_ID        error-box CAPTION TEXT
// Booleans are written TRUE or FALSE.
struct FrameEvent {
    std::string kind;
    std::vector<std::string> fields;
    std::string systemTag;  // the DTM's tag when the call carried one, else empty
};

// "event KIND FIELD...": fields separated by one blank; line breaks inside a
// field are written as the two characters \n (and CR as \r), so that one event
// is always one line.
std::string formatEvent(const FrameEvent& event);
std::string escapeLineBreaks(std::string_view text);

inline std::string boolText(bool value) {
    return value ? "TRUE" : "FALSE";
}

class EventLog {
public:
    using Listener = std::function<void(const FrameEvent&)>;

    // The listener is called for every event recorded after it was set, after
    // the event was stored; it must not record events itself.
    void setListener(Listener listener) { listener_ = std::move(listener); }

    void record(FrameEvent event);

    const std::vector<FrameEvent>& events() const { return events_; }
    std::size_t size() const { return events_.size(); }
    // The first event at or after index `from` of that kind whose first field
    // is `firstField` (any first field when empty); null when none.
    const FrameEvent* find(std::string_view kind, std::string_view firstField = {},
                           std::size_t from = 0) const;
    std::size_t count(std::string_view kind, std::size_t from = 0) const;

private:
    std::vector<FrameEvent> events_;
    Listener listener_;
};

}  // namespace frame
