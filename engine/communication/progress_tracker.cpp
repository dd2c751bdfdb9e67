#include "engine/communication/progress_tracker.h"

#include <algorithm>

namespace engine::communication {

void ProgressTracker::start(std::string title) {
    total_ = 0;
    outstanding_.clear();
    title_ = std::move(title);
    active_ = true;
    closing_ = false;
}

void ProgressTracker::track(CommandKey key) {
    if (!active_ || closing_) return;
    outstanding_.push_back(key);
    ++total_;
}

bool ProgressTracker::complete(CommandKey key) {
    if (!active_) return false;
    const auto found = std::find(outstanding_.begin(), outstanding_.end(), key);
    if (found == outstanding_.end()) return false;
    outstanding_.erase(found);
    return true;
}

void ProgressTracker::abandon() {
    outstanding_.clear();
    closing_ = true;
}

int32_t ProgressTracker::percent() {
    if (outstanding_.empty()) active_ = false;
    if (total_ < 1) return 100;
    const int64_t done = static_cast<int64_t>(total_) - static_cast<int64_t>(outstanding_.size());
    return static_cast<int32_t>(done * 100 / total_);
}

}  // namespace engine::communication
