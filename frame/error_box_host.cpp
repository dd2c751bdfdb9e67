#include "frame/error_box_host.h"

#include <iostream>

namespace frame {
namespace {

EventLog*& errorBoxLog() {
    static EventLog* log = nullptr;
    return log;
}

}  // namespace

void setErrorBoxLog(EventLog* log) {
    errorBoxLog() = log;
}

int showHostErrorBox(const char* text, const char* caption, unsigned) {
    const std::string body = text ? text : "";
    const std::string title = caption ? caption : "";
    if (EventLog* log = errorBoxLog()) {
        log->record({"error-box", {title, body}, {}});
    } else {
        std::cerr << title << ": " << body << '\n';
    }
    return 1;
}

}  // namespace frame
