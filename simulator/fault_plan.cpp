#include "simulator/fault_plan.h"

#include <charconv>

namespace simulator {
namespace {

std::optional<std::uint8_t> byteOf(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

}  // namespace

std::optional<Fault> parseFault(std::string_view text) {
    if (text == "noanswer") return Fault::noAnswer();
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = text.substr(0, equals);
    const std::string_view value = text.substr(equals + 1);
    if (key == "commerror") return Fault::communicationError(std::string(value));
    const auto number = byteOf(value);
    if (!number) return std::nullopt;
    if (key == "rc")
        return *number < 128 ? std::optional<Fault>(Fault::responseCode(*number)) : std::nullopt;
    if (key == "status") return Fault::communicationStatus(*number);
    return std::nullopt;
}

void FaultPlan::onCommand(std::uint8_t command, Fault fault, unsigned times) {
    perCommand_[command] = Rule{std::move(fault), times};
}

void FaultPlan::clearCommand(std::uint8_t command) {
    perCommand_.erase(command);
}

void FaultPlan::onNextRequests(unsigned count, Fault fault) {
    for (unsigned i = 0; i < count; ++i) next_.push_back(fault);
}

void FaultPlan::clear() {
    next_.clear();
    perCommand_.clear();
}

std::optional<Fault> FaultPlan::take(std::uint8_t command) {
    if (!next_.empty()) {
        Fault fault = std::move(next_.front());
        next_.pop_front();
        return fault;
    }
    const auto it = perCommand_.find(command);
    if (it == perCommand_.end()) return std::nullopt;
    Fault fault = it->second.fault;
    if (it->second.remaining != kUntilCleared && --it->second.remaining == 0) perCommand_.erase(it);
    return fault;
}

}  // namespace simulator
