#include "frame/lines/bus_scan.h"

namespace frame {
namespace {

constexpr std::uint8_t kReadIdentity = 0;
constexpr std::uint8_t kReadTag = 13;
constexpr std::uint8_t kReadLongTag = 20;
constexpr std::size_t kLongTagBytes = 32;

std::string trimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
}

}  // namespace

std::string unpackAscii(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t group = (static_cast<std::uint32_t>(bytes[i]) << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) {
            const auto code = static_cast<char>((group >> shift) & 0x3F);
            text += code < 32 ? static_cast<char>(code + 64) : code;
        }
    }
    return trimRight(text);
}

BusScan::BusScan(HartBackend& line, std::uint8_t first, std::uint8_t last, Done done)
    : line_(line), address_(first), last_(last), done_(std::move(done)) {}

void BusScan::start() {
    probe();
}

void BusScan::probe() {
    if (address_ > last_) {
        line_.disconnect();
        finished_ = true;
        done_(std::move(devices_), std::move(problems_));
        return;
    }
    line_.probe(static_cast<std::uint8_t>(address_), [this](LineConnect result) {
        if (!result.answered) {
            next();
            return;
        }
        if (!result.identity.empty()) {
            identified(result.identity);
            return;
        }
        // A line that only found the device reads its identity now.
        line_.send(kReadIdentity, {}, [this](LineAnswer answer) {
            if (answer.kind != LineAnswer::Kind::Reply || answer.responseCode != 0) {
                problems_.push_back("polling address " + std::to_string(address_) +
                                    ": command 0 failed" + (answer.reason.empty() ? "" : ": " + answer.reason));
                next();
                return;
            }
            identified(answer.data);
        });
    });
}

void BusScan::identified(const std::vector<std::uint8_t>& data) {
    const hart::IdentityRead identity = hart::decodeIdentity(data);
    if (!identity) {
        problems_.push_back("polling address " + std::to_string(address_) + ": " + identity.reason);
        next();
        return;
    }
    ScannedDevice device;
    device.pollingAddress = static_cast<std::uint8_t>(address_);
    device.identity = *identity.identity;
    devices_.push_back(device);
    readTag();
}

void BusScan::readTag() {
    line_.send(kReadTag, {}, [this](LineAnswer answer) {
        if (answer.kind == LineAnswer::Kind::Reply && answer.responseCode == 0 && answer.data.size() >= 6) {
            devices_.back().tag = unpackAscii(std::span(answer.data).first(6));
        } else {
            problems_.push_back("polling address " + std::to_string(address_) + ": command 13 failed");
        }
        if (devices_.back().identity.universalRevision >= 6) {
            readLongTag();
        } else {
            next();
        }
    });
}

void BusScan::readLongTag() {
    line_.send(kReadLongTag, {}, [this](LineAnswer answer) {
        if (answer.kind == LineAnswer::Kind::Reply && answer.responseCode == 0 &&
            answer.data.size() >= kLongTagBytes) {
            devices_.back().longTag =
                trimRight(std::string(answer.data.begin(), answer.data.begin() + kLongTagBytes));
        }
        next();
    });
}

void BusScan::next() {
    ++address_;
    probe();
}

}  // namespace frame
