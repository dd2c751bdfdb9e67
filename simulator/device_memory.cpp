#include "simulator/device_memory.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace simulator {
namespace {

// Composites nest only a few levels in practice; the cap keeps a description
// whose ids loop back on themselves from recursing without end.
constexpr int kMaxNesting = 16;

std::uint64_t widthMask(int width) {
    return width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
}

int bitWidth(const ParameterInfo& range) {
    return range.bitHigh - range.bitLow + 1;
}

Value clampInteger(const ParameterInfo& info, double value) {
    if (!std::isfinite(value)) value = 0;
    const double rounded = std::round(value);
    const int bits = static_cast<int>(std::clamp<std::size_t>(info.size, 1, 8) * 8);
    double lo = 0;
    double hi = 0;
    if (info.kind == ValueKind::Signed) {
        lo = -std::ldexp(1.0, bits - 1);
        hi = std::ldexp(1.0, bits - 1) - 1;
    } else {
        hi = std::ldexp(1.0, bits) - 1;
    }
    // Doubles above 2^63 cannot become an int64; such wide integers stay at 2^63 - 1.
    hi = std::min(hi, 9.2e18);
    lo = std::max(lo, -9.2e18);
    return static_cast<std::int64_t>(std::clamp(rounded, lo, hi));
}

}  // namespace

DeviceMemory::DeviceMemory(std::shared_ptr<const DeviceDescription> description)
    : description_(std::move(description)) {
    for (ReferenceId id : description_->parameterIds())
        values_[id] = zeroValue(*description_->parameter(id));
}

std::vector<std::string> DeviceMemory::applyDefaults() {
    std::vector<std::string> problems;
    for (ReferenceId id : description_->parameterIds()) {
        const ParameterInfo& p = *info(id);
        if (!p.defaultText) continue;
        if (!setText(id, *p.defaultText)) {
            problems.push_back("parameter " + std::to_string(id) + ": the default \"" +
                               *p.defaultText + "\" does not fit its type " + p.typeName);
        }
    }
    return problems;
}

Value DeviceMemory::stored(ReferenceId id) const {
    const auto it = values_.find(id);
    return it == values_.end() ? Value{} : it->second;
}

void DeviceMemory::store(const ParameterInfo& p, Value value) {
    if (p.kind == ValueKind::BitRange) {
        writeBits(p, static_cast<std::uint64_t>(integerOf(value)));
        return;
    }
    if (p.kind == ValueKind::Float && p.size != 8) {
        value = static_cast<double>(static_cast<float>(numberOf(value)));
    }
    // Texts keep what the device can hold: as many characters as fit, packed
    // ASCII in its 6-bit character set.
    if (auto* text = std::get_if<std::string>(&value)) {
        if (p.kind == ValueKind::String && text->size() > p.size) text->resize(p.size);
        if (p.kind == ValueKind::PackedAscii) *text = unpackAscii(packAscii(*text, p.size));
    }
    values_[p.id] = std::move(value);
}

std::uint64_t DeviceMemory::readBits(const ParameterInfo& range) const {
    if (!range.parent) return 0;
    const ParameterInfo* parent = info(*range.parent);
    if (parent == nullptr || parent->kind == ValueKind::BitRange) return 0;
    const Value whole = stored(parent->id);
    std::uint64_t raw = 0;
    if (const auto* bytes = std::get_if<Bytes>(&whole)) {
        for (int bit = bitWidth(range) - 1; bit >= 0; --bit) {
            const std::size_t index = static_cast<std::size_t>(range.bitLow + bit);
            const bool set = index / 8 < bytes->size() &&
                             ((*bytes)[bytes->size() - 1 - index / 8] >> (index % 8)) & 1u;
            raw = (raw << 1) | (set ? 1u : 0u);
        }
        return raw;
    }
    raw = static_cast<std::uint64_t>(integerOf(whole));
    return (raw >> range.bitLow) & widthMask(bitWidth(range));
}

void DeviceMemory::writeBits(const ParameterInfo& range, std::uint64_t bits) {
    if (!range.parent) return;
    const ParameterInfo* parent = info(*range.parent);
    if (parent == nullptr || parent->kind == ValueKind::BitRange) return;
    bits &= widthMask(bitWidth(range));
    Value& whole = values_[parent->id];
    if (auto* bytes = std::get_if<Bytes>(&whole)) {
        for (int bit = 0; bit < bitWidth(range); ++bit) {
            const std::size_t index = static_cast<std::size_t>(range.bitLow + bit);
            if (index / 8 >= bytes->size()) break;
            std::uint8_t& byte = (*bytes)[bytes->size() - 1 - index / 8];
            const auto mask = static_cast<std::uint8_t>(1u << (index % 8));
            byte = static_cast<std::uint8_t>((bits >> bit) & 1u ? byte | mask : byte & ~mask);
        }
        return;
    }
    if (!std::holds_alternative<std::int64_t>(whole)) return;
    const std::uint64_t mask = widthMask(bitWidth(range)) << range.bitLow;
    const auto raw = static_cast<std::uint64_t>(std::get<std::int64_t>(whole));
    const int parentBits = static_cast<int>(std::clamp<std::size_t>(parent->size, 1, 8) * 8);
    std::uint64_t merged =
        ((raw & ~mask) | ((bits << range.bitLow) & mask)) & widthMask(parentBits);
    if (parent->kind == ValueKind::Signed && parentBits < 64 && (merged >> (parentBits - 1)) & 1u) {
        merged |= ~widthMask(parentBits);
    }
    whole = static_cast<std::int64_t>(merged);
}

std::int64_t DeviceMemory::integer(ReferenceId id) const {
    const double value = number(id);
    if (!std::isfinite(value)) return 0;
    return static_cast<std::int64_t>(std::clamp(value, -9.2e18, 9.2e18));
}

double DeviceMemory::number(ReferenceId id) const {
    const ParameterInfo* p = info(id);
    if (p == nullptr) return 0;
    if (p->kind == ValueKind::BitRange) return static_cast<double>(readBits(*p));
    return numberOf(stored(id));
}

void DeviceMemory::setNumber(ReferenceId id, double value) {
    const ParameterInfo* p = info(id);
    if (p == nullptr) return;
    switch (p->kind) {
        case ValueKind::Unsigned:
        case ValueKind::Signed:
            store(*p, clampInteger(*p, value));
            break;
        case ValueKind::Float:
            store(*p, std::isfinite(value) ? value : 0.0);
            break;
        case ValueKind::BitRange:
            writeBits(*p, value > 0
                              ? static_cast<std::uint64_t>(std::llround(std::min(value, 9.2e18)))
                              : 0u);
            break;
        case ValueKind::Bitmap:
            store(*p, bigEndian(value > 0 ? static_cast<std::uint64_t>(
                                                std::llround(std::min(value, 9.2e18)))
                                          : 0u,
                                p->size));
            break;
        case ValueKind::Pointer:
            if (value >= 0 && value <= 4294967295.0 && has(static_cast<ReferenceId>(value))) {
                store(*p, static_cast<std::int64_t>(value));
            }
            break;
        default:
            break;
    }
}

std::string DeviceMemory::text(ReferenceId id) const {
    const ParameterInfo* p = info(id);
    if (p == nullptr) return {};
    if (p->kind == ValueKind::BitRange) return std::to_string(readBits(*p));
    return displayText(*p, stored(id), *description_);
}

bool DeviceMemory::setText(ReferenceId id, std::string_view text) {
    const ParameterInfo* p = info(id);
    if (p == nullptr) return false;
    auto value = parseDisplayText(*p, text, *description_);
    if (!value) return false;
    store(*p, std::move(*value));
    return true;
}

Bytes DeviceMemory::encode(ReferenceId id, std::size_t n) const {
    const ParameterInfo* p = info(id);
    return p == nullptr ? Bytes(n, 0) : encodeAt(*p, n, 0);
}

Bytes DeviceMemory::encodeAt(const ParameterInfo& p, std::size_t n, int depth) const {
    if (p.kind == ValueKind::BitRange)
        return encodeValue(p, static_cast<std::int64_t>(readBits(p)), n, *description_);
    if (!p.isComposite() || p.components.empty())
        return encodeValue(p, stored(p.id), n, *description_);
    Bytes out;
    out.reserve(n);
    if (depth < kMaxNesting) {
        for (ReferenceId component : p.components) {
            if (out.size() >= n) break;
            const ParameterInfo* c = info(component);
            if (c == nullptr) continue;
            const Bytes part = encodeAt(*c, c->size, depth + 1);
            out.insert(out.end(), part.begin(), part.end());
        }
    }
    out.resize(n, 0);
    return out;
}

void DeviceMemory::decode(ReferenceId id, std::span<const std::uint8_t> bytes) {
    if (const ParameterInfo* p = info(id)) decodeAt(*p, bytes, 0);
}

void DeviceMemory::decodeAt(const ParameterInfo& p, std::span<const std::uint8_t> bytes,
                            int depth) {
    if (p.kind == ValueKind::BitRange) {
        if (!bytes.empty())
            writeBits(
                p, static_cast<std::uint64_t>(integerOf(decodeValue(p, bytes, {}, *description_))));
        return;
    }
    if (!p.isComposite() || p.components.empty()) {
        store(p, decodeValue(p, bytes, stored(p.id), *description_));
        return;
    }
    if (depth >= kMaxNesting) return;
    std::size_t offset = 0;
    for (ReferenceId component : p.components) {
        const ParameterInfo* c = info(component);
        if (c == nullptr) continue;
        if (c->size > bytes.size() - offset) break;
        decodeAt(*c, bytes.subspan(offset, c->size), depth + 1);
        offset += c->size;
    }
}

ReferenceId DeviceMemory::resolve(ReferenceId id, std::string_view referenceType) const {
    const ParameterInfo* p = info(id);
    if (p == nullptr || p->kind != ValueKind::Pointer || referenceType == "pointer_value")
        return id;
    const auto target = static_cast<ReferenceId>(integerOf(stored(id)));
    return has(target) ? target : id;
}

bool DeviceMemory::sameValue(const DeviceMemory& other, ReferenceId id) const {
    const ParameterInfo* p = info(id);
    if (p == nullptr) return true;
    if (p->kind == ValueKind::String || p->kind == ValueKind::PackedAscii ||
        p->kind == ValueKind::Time || p->kind == ValueKind::TimeDate) {
        return text(id) == other.text(id);
    }
    const std::size_t n = std::max<std::size_t>(p->size, 8);
    return encode(id, n) == other.encode(id, n);
}

}  // namespace simulator
