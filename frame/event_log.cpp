#include "frame/event_log.h"

namespace frame {

std::string escapeLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::string formatEvent(const FrameEvent& event) {
    std::string line = "event " + event.kind;
    for (const std::string& field : event.fields) {
        line += ' ';
        line += escapeLineBreaks(field);
    }
    return line;
}

void EventLog::record(FrameEvent event) {
    events_.push_back(std::move(event));
    if (listener_) listener_(events_.back());
}

const FrameEvent* EventLog::find(std::string_view kind, std::string_view firstField,
                                 std::size_t from) const {
    for (std::size_t i = from; i < events_.size(); ++i) {
        const FrameEvent& e = events_[i];
        if (e.kind != kind) continue;
        if (firstField.empty() || (!e.fields.empty() && e.fields.front() == firstField)) return &e;
    }
    return nullptr;
}

std::size_t EventLog::count(std::string_view kind, std::size_t from) const {
    std::size_t n = 0;
    for (std::size_t i = from; i < events_.size(); ++i) n += events_[i].kind == kind ? 1 : 0;
    return n;
}

}  // namespace frame
