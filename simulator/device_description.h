#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The simulator's own reading of a device description: the parameters with
// their data types, sizes and restrictions, and the HART commands with their
// request and reply items. It shares the description files with the DTM but
// none of its code, so that a fault in one reading shows up against the other.
namespace simulator {

using ReferenceId = std::uint32_t;

inline constexpr std::string_view kDescriptionNamespace =
    "http://hartdtm.invalid/device_description";

// How a parameter's value is kept and coded.
enum class ValueKind {
    Unsigned,     // unsigned8 ... unsigned32
    Signed,       // signed8 ... signed32
    Float,        // float, double
    String,       // string, custom, octet_string
    PackedAscii,  // packed_ascii
    Bitmap,       // bitmap: bytes kept in wire order
    Date,         // date: day, month, year - 1900
    Time,         // time: display text only, no bytes
    TimeDate,     // time_date: display text only, no bytes
    Pointer,      // pointer: designates another parameter
    BitRange,     // bit_range: bits of the parent parameter
    Complex,      // complex: its components in order
    Array,        // any type with array_type: its components in order
};

// A limit restriction: a constant text, or the parameter that holds the limit.
struct Limit {
    std::string constant;
    std::optional<ReferenceId> pointer;
    bool present() const { return !constant.empty() || pointer.has_value(); }
};

struct ParameterInfo {
    ReferenceId id = 0;
    std::string name;
    std::string label;
    std::string typeName;
    ValueKind kind = ValueKind::Unsigned;
    std::size_t size = 0;  // bytes on the wire (composites: the sum of their components)
    int bitLow = 0;        // bit range only
    int bitHigh = 0;
    std::optional<int> codeHart;  // user:addressing/user:code_hart
    bool inHartInterface = false;
    bool readable = false;
    bool writable = false;
    bool dynamic = false;
    std::optional<ReferenceId> parent;
    std::vector<ReferenceId> components;  // document order
    std::optional<std::string> defaultText;
    std::string rangeText;  // the "range" constant, e.g. "[0,Off][1,On]" or "[0 to 100]"
    Limit lowerLimit;
    Limit upperLimit;
    std::optional<ReferenceId> valuePointer;  // user:restriction/user:value/user:pointer

    bool isComposite() const { return kind == ValueKind::Complex || kind == ValueKind::Array; }
    bool isNumeric() const {
        return kind == ValueKind::Unsigned || kind == ValueKind::Signed ||
               kind == ValueKind::Float || kind == ValueKind::BitRange ||
               kind == ValueKind::Pointer;
    }
};

struct RequestItem {
    ReferenceId id = 0;
    std::string referenceType;
};

struct ReplyItem {
    ReferenceId id = 0;
    std::size_t position = 0;
    std::size_t size = 0;
    std::string referenceType;
};

struct CommandInfo {
    std::uint8_t number = 0;
    std::uint32_t index = 0;
    std::string name;
    std::string description;
    std::vector<RequestItem> request;  // bytes follow one another in this order
    std::vector<ReplyItem> reply;
    std::size_t replySize = 0;  // end of the last reply byte laid out
};

class DeviceDescription {
public:
    const std::string& deviceName() const { return deviceName_; }

    // Null when no parameter has the id.
    const ParameterInfo* parameter(ReferenceId id) const;
    // Every parameter and component in document order (a later duplicate id
    // replaces the earlier one and keeps the earlier place).
    const std::vector<ReferenceId>& parameterIds() const { return order_; }

    // The command with this number and the lowest addressing index; null when
    // the HART interface declares none.
    const CommandInfo* command(std::uint8_t number) const;
    const std::vector<CommandInfo>& commands() const { return commands_; }

    // Bytes that the command's request items take, each the size of the
    // parameter it names (a pointer item addressing its designated
    // parameter takes that one's size: see DescriptionDevice::requestSize).
    std::size_t requestSize(const CommandInfo& command) const;

    // The first HART-interface parameter addressed by this command number
    // (how a pointer value travels), if any.
    std::optional<ReferenceId> parameterWithCode(int codeHart) const;

private:
    friend class DescriptionBuilder;

    std::string deviceName_;
    std::unordered_map<ReferenceId, ParameterInfo> parameters_;
    std::vector<ReferenceId> order_;
    std::vector<CommandInfo> commands_;  // sorted by number, then index
    std::unordered_map<std::uint8_t, std::size_t> byNumber_;
};

// Outcome of loading a description: the model, or the reason it could not be
// built. Warnings name what was left out (items of unknown parameters, items
// beyond a HART frame) without stopping the load.
struct DescriptionLoad {
    std::shared_ptr<const DeviceDescription> description;
    std::string error;
    std::vector<std::string> warnings;
    explicit operator bool() const { return description != nullptr; }
};

DescriptionLoad loadDescriptionFile(const std::string& path);
DescriptionLoad loadDescriptionText(std::string_view xmlText);

// Reference ids and other decimal attributes are read as their leading
// digits, wrapping modulo 2^32; text without leading digits reads as 0.
std::uint32_t leadingDecimal(std::string_view text);

}  // namespace simulator
