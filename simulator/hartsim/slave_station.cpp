#include "simulator/hartsim/slave_station.h"

#include <charconv>

namespace simulator {
namespace {

constexpr std::uint8_t kIdentityCommand = 0;
constexpr std::uint8_t kWritePollingAddress = 6;

std::optional<std::uint64_t> number(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<LineFault> parseLineFault(const std::string& text, std::string& error) {
    std::vector<std::string_view> parts;
    std::string_view rest = text;
    for (;;) {
        const std::size_t colon = rest.find(':');
        parts.push_back(rest.substr(0, colon));
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    LineFault fault;
    std::string_view kind = parts[0];
    if (kind.starts_with("commerror=")) {
        const auto status = number(kind.substr(10));
        if (!status || *status < 0x80 || *status > 0xFF) {
            error = "commerror=BYTE needs a byte with bit 7 set (0x80 to 0xFF)";
            return std::nullopt;
        }
        fault.status = static_cast<std::uint8_t>(*status);
        kind = "commerror";
    }
    if (kind == "silence") {
        fault.kind = LineFault::Kind::Silence;
    } else if (kind == "badcheck") {
        fault.kind = LineFault::Kind::BadCheckByte;
    } else if (kind == "commerror") {
        fault.kind = LineFault::Kind::CommunicationError;
    } else if (kind == "close") {
        fault.kind = LineFault::Kind::CloseSession;
    } else {
        error = "unknown line fault '" + std::string(kind) + "' (silence, badcheck, commerror, close)";
        return std::nullopt;
    }
    if (parts.size() > 3) {
        error = "a line fault is KIND[:FROM[:COUNT]]";
        return std::nullopt;
    }
    if (parts.size() > 1) {
        const auto from = number(parts[1]);
        if (!from || *from == 0) {
            error = "FROM counts requests from 1";
            return std::nullopt;
        }
        fault.from = *from;
    }
    if (parts.size() > 2) {
        const auto count = number(parts[2]);
        if (!count) {
            error = "COUNT is a number (0: every request from FROM on)";
            return std::nullopt;
        }
        fault.count = *count;
    }
    return fault;
}

bool SlaveStation::add(std::string name, std::unique_ptr<SimulatedPackage> package,
                       std::optional<std::uint8_t> pollingAddress, std::string& error) {
    DeviceApplication& device = package->slave().application();
    if (pollingAddress) {
        if (*pollingAddress > ::hart::kMaxPollingAddress) {
            error = name + ": polling address " + std::to_string(*pollingAddress) + " is above 63";
            return false;
        }
        const CommandInfo* command = package->device().description().command(kWritePollingAddress);
        if (!command) {
            error = name + ": the device has no command 6 to set its polling address";
            return false;
        }
        std::vector<std::uint8_t> request(package->device().requestSize(*command), 0);
        if (request.empty()) request.resize(1);
        request[0] = *pollingAddress;
        if (request.size() > 1) request[1] = 1;  // loop current stays enabled
        if (device.handle(kWritePollingAddress, request).responseCode != 0) {
            if (request.size() > 1) request[1] = 0;
            const Answer second = device.handle(kWritePollingAddress, request);
            if (second.responseCode != 0) {
                error = name + ": command 6 answered response code " + std::to_string(second.responseCode);
                return false;
            }
        }
    }
    const Answer identify = device.handle(kIdentityCommand, {});
    const ::hart::IdentityRead identity = ::hart::decodeIdentity(identify.data);
    if (!identity) {
        error = name + ": " + identity.reason;
        return false;
    }
    const std::uint8_t polling = package->device().pollingAddress();
    for (const Device& other : devices_) {
        if (other.package->device().pollingAddress() == polling) {
            error = name + ": polling address " + std::to_string(polling) + " is taken by " + other.name;
            return false;
        }
        if (other.identity.uniqueAddress() == identity.identity->uniqueAddress()) {
            error = name + ": its long address is the same as " + other.name + "'s";
            return false;
        }
    }
    devices_.push_back({std::move(name), std::move(package), *identity.identity});
    return true;
}

std::string SlaveStation::describe() const {
    std::string text;
    for (const Device& device : devices_) {
        text += device.name + " at polling address " +
                std::to_string(device.package->device().pollingAddress()) + ", " +
                device.identity.longAddress().text() + "\n";
    }
    return text;
}

SlaveStation::Device* SlaveStation::addressed(const ::hart::Address& address) {
    for (Device& device : devices_) {
        if (address.isLong ? device.identity.uniqueAddress() == ::hart::Address::longForm(address.unique).unique
                           : device.package->device().pollingAddress() == address.pollingAddress)
            return &device;
    }
    return nullptr;
}

StationReply SlaveStation::handle(const ::hart::Frame& request) {
    StationReply reply;
    Device* device = addressed(request.address);
    // A short frame carries only command 0.
    if (!device || (!request.address.isLong && request.command != kIdentityCommand)) return reply;
    const std::uint64_t number = ++requests_;
    const LineFault* fault = nullptr;
    for (const LineFault& candidate : faults_) {
        if (candidate.hits(number)) {
            fault = &candidate;
            break;
        }
    }
    if (fault && fault->kind == LineFault::Kind::Silence) return reply;
    if (fault && fault->kind == LineFault::Kind::CloseSession) {
        reply.closeSession = true;
        return reply;
    }
    ::hart::Frame answer;
    answer.type = ::hart::FrameType::Reply;
    answer.address = request.address;
    answer.command = request.command;
    if (fault && fault->kind == LineFault::Kind::CommunicationError) {
        answer.responseCode = fault->status;
    } else {
        const Answer result = device->package->slave().transact(request.command, request.data);
        if (result.kind != AnswerKind::Reply) return reply;  // the device's own programmed silence
        answer.responseCode = result.responseCode;
        answer.deviceStatus = result.deviceStatus;
        answer.data = result.data;
        if (answer.data.size() > ::hart::kMaxReplyData) answer.data.resize(::hart::kMaxReplyData);
    }
    std::optional<std::vector<std::uint8_t>> bytes = ::hart::encodeFrame(answer);
    if (!bytes) return reply;
    if (fault && fault->kind == LineFault::Kind::BadCheckByte) bytes->back() ^= 0x5A;
    reply.answered = true;
    reply.frame = std::move(*bytes);
    reply.preambles = std::max<unsigned>(device->identity.replyPreambles, ::hart::kMinPreambles);
    return reply;
}

}  // namespace simulator
