#include "simulator/description_device.h"

#include <algorithm>

#include "simulator/hart_codes.h"
#include "simulator/write_check.h"

namespace simulator {
namespace {

constexpr std::uint8_t kResetConfigurationChanged = 38;
constexpr std::uint8_t kDeviceReset = 42;
constexpr std::uint8_t kWritePollingAddress = 6;
constexpr std::uint8_t kMaxPollingAddress = 63;

// Day, month, year - 1900, as a date item travels; false for 31 April and the like.
bool possibleDate(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != 3) return true;
    const int day = bytes[0];
    const int month = bytes[1];
    const int year = 1900 + bytes[2];
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

}  // namespace

DescriptionDevice::DescriptionDevice(DeviceMemory memory,
                                     std::unique_ptr<DeviceBehaviour> behaviour, Clock clock,
                                     DeviceOptions options)
    : memory_(std::move(memory)),
      behaviour_(behaviour ? std::move(behaviour) : std::make_unique<DeviceBehaviour>()),
      clock_(clock ? std::move(clock) : frozenClock()),
      options_(options) {
    lastMs_ = clock_();
    behaviour_->start(memory_, lastMs_);
}

void DescriptionDevice::catchUp() {
    lastMs_ = std::max(lastMs_, clock_());
    behaviour_->advance(memory_, lastMs_);
}

Answer DescriptionDevice::handle(std::uint8_t number, std::span<const std::uint8_t> request) {
    catchUp();
    const CommandInfo* command = description().command(number);
    if (command == nullptr) return finish(hart::kCommandNotImplemented, nullptr);
    if (!behaviour_->answers(*command, request, memory_)) {
        Answer silence;
        silence.kind = AnswerKind::NoAnswer;
        return silence;
    }
    // Polling addresses end at 63; a larger one is no selection of this device.
    if (number == kWritePollingAddress && !request.empty() && request[0] > kMaxPollingAddress)
        return finish(hart::kInvalidSelection, nullptr);
    if (const std::uint8_t refused = takeRequest(*command, request))
        return finish(refused, nullptr);
    if (number == kResetConfigurationChanged) configurationChanged_ = false;
    const std::uint8_t code = behaviour_->execute(*command, memory_);
    Answer answer =
        finish(code, code == hart::kSuccess || hart::isWarning(code) ? command : nullptr);
    // The device answers the reset first and restarts after it.
    if (number == kDeviceReset && code == hart::kSuccess) coldStart_ = true;
    return answer;
}

// Decodes the request items into a copy of memory and keeps it when the whole
// request is acceptable; answers the refusing response code otherwise.
std::uint8_t DescriptionDevice::takeRequest(const CommandInfo& command,
                                            std::span<const std::uint8_t> request) {
    if (request.size() < requestSize(command)) return hart::kTooFewDataBytes;
    DeviceMemory staged = memory_;
    std::vector<ReferenceId> written;
    std::size_t offset = 0;
    bool unknownPointerCode = false;
    for (const RequestItem& item : command.request) {
        const ReferenceId target = memory_.resolve(item.id, item.referenceType);
        const ParameterInfo& info = *description().parameter(target);
        const auto bytes = request.subspan(offset, info.size);
        if (info.kind == ValueKind::Date && !possibleDate(bytes)) return hart::kInvalidDate;
        if (info.kind == ValueKind::Pointer && !bytes.empty()) {
            int code = 0;
            for (std::uint8_t b : bytes) code = ((code << 8) | b) & 0x7fffffff;
            unknownPointerCode = unknownPointerCode || !description().parameterWithCode(code);
        }
        staged.decode(target, bytes);
        written.push_back(target);
        offset += info.size;
    }
    if (const std::uint8_t refused = behaviour_->admit(command, memory_, staged)) return refused;
    if (options_.checkWrites) {
        if (unknownPointerCode) return hart::kInvalidSelection;
        for (ReferenceId id : written) {
            if (const std::uint8_t refused = checkWrittenValue(staged, id)) return refused;
        }
    }
    for (ReferenceId id : written) {
        const ParameterInfo* info = description().parameter(id);
        if (info != nullptr && !info->dynamic && !memory_.sameValue(staged, id))
            configurationChanged_ = true;
    }
    memory_ = std::move(staged);
    return hart::kSuccess;
}

std::size_t DescriptionDevice::requestSize(const CommandInfo& command) const {
    std::size_t total = 0;
    for (const RequestItem& item : command.request) {
        total += description().parameter(memory_.resolve(item.id, item.referenceType))->size;
    }
    return total;
}

std::vector<std::uint8_t> DescriptionDevice::layOutReply(const CommandInfo& command) const {
    std::vector<std::uint8_t> data(command.replySize, 0);
    for (const ReplyItem& item : command.reply) {
        const Bytes bytes = memory_.encode(memory_.resolve(item.id, item.referenceType), item.size);
        std::copy(bytes.begin(), bytes.end(),
                  data.begin() + static_cast<std::ptrdiff_t>(item.position));
    }
    return data;
}

Answer DescriptionDevice::finish(std::uint8_t code, const CommandInfo* command) {
    Answer answer;
    answer.responseCode = code;
    if (command != nullptr) answer.data = layOutReply(*command);
    answer.deviceStatus = deviceStatus();
    coldStart_ = false;
    return answer;
}

std::uint8_t DescriptionDevice::deviceStatus() const {
    std::uint8_t status = behaviour_->statusBits(memory_);
    if (configurationChanged_) status |= hart::kConfigurationChanged;
    if (coldStart_) status |= hart::kColdStart;
    return status;
}

std::uint8_t DescriptionDevice::pollingAddress() const {
    const CommandInfo* command = description().command(kWritePollingAddress);
    if (command == nullptr || command->request.empty()) return 0;
    return static_cast<std::uint8_t>(memory_.integer(command->request.front().id) & 0x3F);
}

}  // namespace simulator
