// The DTMs a frame session holds besides the current one: switching by
// system tag and listing them.

#include <algorithm>

#include "frame/frame_session.h"

namespace frame {

void Frame::parkCurrent() {
    if (!dtm_) return;
    others_.push_back(HeldDtm{std::move(dtm_), std::move(progId_), std::move(systemTag_),
                              communicationSet_, serial_});
    dtm_.reset();
    progId_.clear();
    systemTag_.clear();
    communicationSet_ = false;
    serial_ = 0;
}

void Frame::makeCurrent(HeldDtm held) {
    dtm_ = std::move(held.dtm);
    progId_ = std::move(held.progId);
    systemTag_ = std::move(held.systemTag);
    communicationSet_ = held.communicationSet;
    serial_ = held.serial;
}

bool Frame::tagTaken(std::string_view systemTag) const {
    return std::any_of(others_.begin(), others_.end(),
                       [&](const HeldDtm& held) { return held.systemTag == systemTag; });
}

CommandResult Frame::use(std::string_view systemTag) {
    if (systemTag.empty()) return CommandResult::failure("use needs a system tag");
    if (dtm_ && systemTag_ == systemTag) return CommandResult::success(systemTag_);
    const auto found = std::find_if(others_.begin(), others_.end(), [&](const HeldDtm& held) {
        return !held.systemTag.empty() && held.systemTag == systemTag;
    });
    if (found == others_.end())
        return CommandResult::failure("no DTM with system tag " + std::string(systemTag));
    HeldDtm chosen = std::move(*found);
    others_.erase(found);
    parkCurrent();
    makeCurrent(std::move(chosen));
    return CommandResult::success(systemTag_);
}

CommandResult Frame::list() const {
    struct Row {
        std::uint64_t serial;
        bool current;
        const std::string* tag;
        const std::string* progId;
    };
    std::vector<Row> rows;
    if (dtm_) rows.push_back({serial_, true, &systemTag_, &progId_});
    for (const HeldDtm& held : others_) rows.push_back({held.serial, false, &held.systemTag, &held.progId});
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.serial < b.serial; });
    std::string text;
    for (const Row& row : rows) {
        if (!text.empty()) text += '\n';
        text += row.current ? "* " : "  ";
        text += row.tag->empty() ? std::string("-") : *row.tag;
        text += ' ';
        text += *row.progId;
    }
    if (rows.empty()) text = "no DTM";
    return CommandResult::success(std::move(text));
}

}  // namespace frame
