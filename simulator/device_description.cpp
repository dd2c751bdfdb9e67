#include "simulator/device_description.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <unordered_set>

#include "simulator/hart_codes.h"
#include "simulator/xml_reading_p.h"

namespace simulator {

using xmlread::attribute;
using xmlread::firstChild;
using xmlread::isElement;

std::uint32_t leadingDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    return value;
}

const ParameterInfo* DeviceDescription::parameter(ReferenceId id) const {
    const auto it = parameters_.find(id);
    return it == parameters_.end() ? nullptr : &it->second;
}

const CommandInfo* DeviceDescription::command(std::uint8_t number) const {
    const auto it = byNumber_.find(number);
    return it == byNumber_.end() ? nullptr : &commands_[it->second];
}

std::size_t DeviceDescription::requestSize(const CommandInfo& command) const {
    std::size_t total = 0;
    for (const RequestItem& item : command.request) {
        if (const ParameterInfo* info = parameter(item.id)) total += info->size;
    }
    return total;
}

std::optional<ReferenceId> DeviceDescription::parameterWithCode(int codeHart) const {
    for (ReferenceId id : order_) {
        const ParameterInfo& info = parameters_.at(id);
        if (info.inHartInterface && !info.parent && info.codeHart == codeHart) return id;
    }
    return std::nullopt;
}

namespace {

// Raised inside the builder for a description that cannot be used at all.
struct LoadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr std::string_view kNs = kDescriptionNamespace;

struct TypeEntry {
    std::string_view name;
    ValueKind kind;
    std::size_t naturalSize;
};

constexpr TypeEntry kTypes[] = {
    {"unsigned8", ValueKind::Unsigned, 1},  {"unsigned16", ValueKind::Unsigned, 2},
    {"unsigned24", ValueKind::Unsigned, 3}, {"unsigned32", ValueKind::Unsigned, 4},
    {"signed8", ValueKind::Signed, 1},      {"signed16", ValueKind::Signed, 2},
    {"signed24", ValueKind::Signed, 3},     {"signed32", ValueKind::Signed, 4},
    {"string", ValueKind::String, 0},       {"custom", ValueKind::String, 0},
    {"octet_string", ValueKind::String, 0}, {"packed_ascii", ValueKind::PackedAscii, 0},
    {"double", ValueKind::Float, 4},        {"float", ValueKind::Float, 4},
    {"bitmap", ValueKind::Bitmap, 0},       {"complex", ValueKind::Complex, 0},
    {"bit_range", ValueKind::BitRange, 1},  {"date", ValueKind::Date, 3},
    {"time_date", ValueKind::TimeDate, 0},  {"time", ValueKind::Time, 0},
    {"pointer", ValueKind::Pointer, 1},
};

const TypeEntry* findType(std::string_view name) {
    for (const TypeEntry& entry : kTypes) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

std::string constantOf(const xmlNode* restriction, const char* kind) {
    const xmlNode* holder = firstChild(restriction, kind, kNs);
    const xmlNode* constant = firstChild(holder, "constant", kNs);
    return constant != nullptr ? std::string(xmlread::trim(xmlread::text(constant)))
                               : std::string();
}

std::optional<ReferenceId> pointerOf(const xmlNode* restriction, const char* kind) {
    const xmlNode* holder = firstChild(restriction, kind, kNs);
    const xmlNode* pointer = firstChild(holder, "pointer", kNs);
    if (pointer == nullptr) return std::nullopt;
    return leadingDecimal(attribute(pointer, "reference_id"));
}

Limit limitOf(const xmlNode* restriction, const char* kind) {
    return Limit{constantOf(restriction, kind), pointerOf(restriction, kind)};
}

bool flag(const xmlNode* node, const char* element, const char* attr) {
    return attribute(firstChild(node, element, kNs), attr) == "true";
}

std::string itemWhere(const CommandInfo& command, std::size_t index, const char* list) {
    return "command " + std::to_string(command.number) + " " + list + " item " +
           std::to_string(index + 1);
}

}  // namespace

// Fills a DeviceDescription from the parsed document.
class DescriptionBuilder {
    struct PendingCommand {
        CommandInfo command;
        std::vector<std::size_t> replyIndex;  // document position of each kept reply item
        std::optional<std::size_t> queryByteCount;
        std::optional<std::size_t> replyByteCount;
    };

public:
    explicit DescriptionBuilder(std::vector<std::string>& warnings) : warnings_(warnings) {}

    std::shared_ptr<DeviceDescription> build(const xmlNode* root) {
        model_ = std::make_shared<DeviceDescription>();
        model_->deviceName_ = attribute(root, "name");
        if (model_->deviceName_.empty()) model_->deviceName_ = attribute(root, "device");
        const xmlNode* hart = findInterface(root, "hart");
        if (hart == nullptr) throw LoadFailure("the description has no HART device interface");
        readInterface(hart, true);
        if (const xmlNode* internal = findInterface(root, "internal"))
            readInterface(internal, false);
        indexCommands();
        return model_;
    }

private:
    static const xmlNode* findInterface(const xmlNode* node, std::string_view busType) {
        for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            if (isElement(child, "device_interface", kNs) &&
                attribute(child, "bus_type") == busType)
                return child;
            if (const xmlNode* found = findInterface(child, busType)) return found;
        }
        return nullptr;
    }

    void readInterface(const xmlNode* iface, bool hart) {
        for (const xmlNode* child = iface->children; child != nullptr; child = child->next) {
            if (isElement(child, "block", kNs)) {
                readBlock(child, hart);
            } else if (!hart && isElement(child, "parameter", kNs)) {
                readParameter(child, std::nullopt, false, {});
            }
        }
    }

    void readBlock(const xmlNode* block, bool hart) {
        for (const xmlNode* child = block->children; child != nullptr; child = child->next) {
            if (isElement(child, "parameter", kNs)) readParameter(child, std::nullopt, hart, {});
        }
        if (!hart) return;
        for (const xmlNode* child = block->children; child != nullptr; child = child->next) {
            if (isElement(child, "action_hart", kNs)) readCommand(child);
        }
    }

    // Returns the id of the parameter read; `ancestors` guards against a
    // component that repeats the id of a parameter it belongs to.
    ReferenceId readParameter(const xmlNode* node, std::optional<ReferenceId> parent, bool hart,
                              std::vector<ReferenceId> ancestors) {
        bool hasId = false;
        const std::string idText = attribute(node, "reference_id", &hasId);
        ParameterInfo info;
        info.id = leadingDecimal(idText);
        const std::string where =
            "parameter " + (hasId ? idText : std::string("without reference_id"));
        if (std::find(ancestors.begin(), ancestors.end(), info.id) != ancestors.end()) {
            throw LoadFailure(where + " repeats the id of a parameter it belongs to");
        }
        info.name = attribute(node, "name");
        info.label = attribute(node, "label");
        info.parent = parent;
        info.inHartInterface = hart;
        readType(node, info, where);
        info.readable = flag(node, "access", "readable");
        info.writable = flag(node, "access", "writable");
        info.dynamic = flag(node, "storage", "dynamic");
        if (const xmlNode* code =
                firstChild(firstChild(node, "addressing", kNs), "code_hart", kNs)) {
            info.codeHart = static_cast<int>(leadingDecimal(xmlread::text(code)) & 0x7fffffffu);
        }
        readRestrictions(node, info);

        const ReferenceId id = info.id;
        reservePlace(id);
        ancestors.push_back(id);
        for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (isElement(child, "component", kNs)) {
                info.components.push_back(readParameter(child, info.id, hart, ancestors));
            }
        }
        if (info.isComposite() && !info.components.empty()) {
            info.size = 0;
            for (ReferenceId component : info.components)
                info.size += model_->parameters_.at(component).size;
        }
        model_->parameters_[id] = std::move(info);
        return id;
    }

    static void readType(const xmlNode* node, ParameterInfo& info, const std::string& where) {
        const xmlNode* dataType = firstChild(node, "data_type", kNs);
        bool hasName = false;
        info.typeName = attribute(dataType, "type_name", &hasName);
        if (dataType == nullptr || !hasName) throw LoadFailure(where + " has no data type");
        const TypeEntry* type = findType(info.typeName);
        if (type == nullptr)
            throw LoadFailure(where + " has the unknown data type \"" + info.typeName + "\"");
        info.kind =
            firstChild(dataType, "array_type", kNs) != nullptr ? ValueKind::Array : type->kind;
        bool hasSize = false;
        const std::string sizeText =
            attribute(firstChild(dataType, "sized_type", kNs), "size", &hasSize);
        info.size = hasSize ? std::min<std::size_t>(leadingDecimal(sizeText), hart::kMaxDataBytes)
                            : type->naturalSize;
        if (info.kind == ValueKind::Date) info.size = 3;
        if (info.kind == ValueKind::Time || info.kind == ValueKind::TimeDate) info.size = 0;
        if (const xmlNode* bits = firstChild(dataType, "bit_range_type", kNs)) {
            info.bitLow = static_cast<int>(
                std::min<std::uint32_t>(leadingDecimal(attribute(bits, "lower_index")), 63));
            info.bitHigh = static_cast<int>(
                std::min<std::uint32_t>(leadingDecimal(attribute(bits, "upper_index")), 63));
            if (info.bitHigh < info.bitLow) std::swap(info.bitLow, info.bitHigh);
        }
    }

    static void readRestrictions(const xmlNode* node, ParameterInfo& info) {
        const xmlNode* restriction = firstChild(node, "restriction", kNs);
        if (restriction == nullptr) return;
        if (firstChild(firstChild(restriction, "default", kNs), "constant", kNs) != nullptr) {
            info.defaultText = constantOf(restriction, "default");
        }
        info.rangeText = constantOf(restriction, "range");
        info.lowerLimit = limitOf(restriction, "lower_limit");
        info.upperLimit = limitOf(restriction, "upper_limit");
        info.valuePointer = pointerOf(restriction, "value");
    }

    // Document order of first appearance (a parameter before its components),
    // which is also the order in which defaults are applied.
    void reservePlace(ReferenceId id) {
        if (!seen_.insert(id).second) {
            warnings_.push_back("parameter " + std::to_string(id) +
                                " is declared twice; the later one is used");
            return;
        }
        model_->order_.push_back(id);
    }

    void readCommand(const xmlNode* node) {
        const xmlNode* addressing = firstChild(node, "addressing", kNs);
        const xmlNode* code = firstChild(addressing, "code_hart", kNs);
        const std::string name = attribute(node, "name");
        if (code == nullptr) {
            warnings_.push_back("command \"" + name + "\" has no code_hart and is left out");
            return;
        }
        const std::uint32_t number = leadingDecimal(xmlread::text(code));
        if (number > 255) {
            warnings_.push_back("command number " + std::to_string(number) +
                                " is not a HART command and is left out");
            return;
        }
        PendingCommand pending;
        CommandInfo& command = pending.command;
        command.number = static_cast<std::uint8_t>(number);
        const xmlNode* index = firstChild(addressing, "index", kNs);
        command.index = index != nullptr ? leadingDecimal(xmlread::text(index)) % 256u : 0u;
        command.name = name;
        command.description =
            std::string(xmlread::trim(xmlread::text(firstChild(node, "description", kNs))));
        const xmlNode* query = firstChild(node, "query", kNs);
        const xmlNode* reply = firstChild(node, "reply", kNs);
        pending.queryByteCount = byteCount(query);
        pending.replyByteCount = byteCount(reply);
        readRequest(query, command);
        readReply(reply, pending);
        pending_.push_back(std::move(pending));
    }

    // The optional "byte_count" that a query or reply may declare.
    static std::optional<std::size_t> byteCount(const xmlNode* list) {
        bool present = false;
        const std::string text = attribute(list, "byte_count", &present);
        if (!present) return std::nullopt;
        return leadingDecimal(text);
    }

    void readRequest(const xmlNode* query, CommandInfo& command) {
        if (query == nullptr) return;
        for (const xmlNode* item = query->children; item != nullptr; item = item->next) {
            if (!isElement(item, "action_item", kNs)) continue;
            command.request.push_back(
                RequestItem{leadingDecimal(attribute(item, "referenced_parameter")),
                            attribute(item, "reference_type")});
        }
    }

    void readReply(const xmlNode* replyNode, PendingCommand& pending) {
        if (replyNode == nullptr) return;
        CommandInfo& command = pending.command;
        std::size_t n = 0;
        for (const xmlNode* item = replyNode->children; item != nullptr; item = item->next) {
            if (!isElement(item, "action_item", kNs)) continue;
            const std::size_t index = n++;
            bool hasPosition = false;
            bool hasSize = false;
            const std::string position = attribute(item, "position", &hasPosition);
            const std::string size = attribute(item, "size", &hasSize);
            if (!hasPosition || !hasSize) {
                warnings_.push_back(itemWhere(command, index, "reply") +
                                    " lacks its position or size and is left out");
                continue;
            }
            ReplyItem reply{leadingDecimal(attribute(item, "referenced_parameter")),
                            leadingDecimal(position), leadingDecimal(size),
                            attribute(item, "reference_type")};
            if (reply.position > hart::kMaxReplyDataBytes ||
                reply.size > hart::kMaxReplyDataBytes - reply.position) {
                warnings_.push_back(itemWhere(command, index, "reply") +
                                    " lies beyond a HART frame and is left out");
                continue;
            }
            command.replySize = std::max(command.replySize, reply.position + reply.size);
            command.reply.push_back(std::move(reply));
            pending.replyIndex.push_back(index);
        }
    }

    // Items are checked once every parameter is known: an item may name a
    // parameter that a later block declares.
    void checkItems(PendingCommand& pending) {
        CommandInfo& command = pending.command;
        std::vector<RequestItem> known;
        for (std::size_t i = 0; i < command.request.size(); ++i) {
            if (model_->parameter(command.request[i].id) != nullptr) {
                known.push_back(command.request[i]);
            } else {
                warnings_.push_back(
                    itemWhere(command, i, "request") + " names the unknown parameter " +
                    std::to_string(command.request[i].id) + " and carries no bytes");
            }
        }
        command.request = std::move(known);
        for (std::size_t i = 0; i < command.reply.size(); ++i) {
            if (model_->parameter(command.reply[i].id) == nullptr) {
                warnings_.push_back(itemWhere(command, pending.replyIndex[i], "reply") +
                                    " names the unknown parameter " +
                                    std::to_string(command.reply[i].id) + " and is sent as zeros");
            }
        }
        const std::string where = "command " + std::to_string(command.number);
        if (pending.queryByteCount && *pending.queryByteCount != model_->requestSize(command)) {
            warnings_.push_back(where + " declares " + std::to_string(*pending.queryByteCount) +
                                " request bytes, its items take " +
                                std::to_string(model_->requestSize(command)));
        }
        if (pending.replyByteCount && *pending.replyByteCount != command.replySize) {
            warnings_.push_back(where + " declares " + std::to_string(*pending.replyByteCount) +
                                " reply bytes, its items end at " +
                                std::to_string(command.replySize));
        }
    }

    void indexCommands() {
        for (PendingCommand& pending : pending_) checkItems(pending);
        // A later element with the same number and index replaces the earlier one.
        std::vector<CommandInfo> unique;
        for (PendingCommand& pending : pending_) {
            CommandInfo& command = pending.command;
            auto same = std::find_if(unique.begin(), unique.end(), [&](const CommandInfo& c) {
                return c.number == command.number && c.index == command.index;
            });
            if (same != unique.end()) {
                *same = std::move(command);
            } else {
                unique.push_back(std::move(command));
            }
        }
        std::stable_sort(unique.begin(), unique.end(),
                         [](const CommandInfo& a, const CommandInfo& b) {
                             return a.number != b.number ? a.number < b.number : a.index < b.index;
                         });
        model_->commands_ = std::move(unique);
        for (std::size_t i = 0; i < model_->commands_.size(); ++i) {
            model_->byNumber_.emplace(model_->commands_[i].number, i);
        }
    }

    std::vector<std::string>& warnings_;
    std::shared_ptr<DeviceDescription> model_;
    std::unordered_set<ReferenceId> seen_;
    std::vector<PendingCommand> pending_;
};

namespace {

DescriptionLoad buildFrom(xmlread::DocPtr doc, const std::string& parseError) {
    DescriptionLoad result;
    if (!doc) {
        result.error = parseError;
        return result;
    }
    try {
        DescriptionBuilder builder(result.warnings);
        result.description = builder.build(xmlDocGetRootElement(doc.get()));
    } catch (const LoadFailure& failure) {
        result.error = failure.what();
    }
    return result;
}

}  // namespace

DescriptionLoad loadDescriptionFile(const std::string& path) {
    std::string error;
    xmlread::DocPtr doc = xmlread::parseFile(path, error);
    return buildFrom(std::move(doc), error);
}

DescriptionLoad loadDescriptionText(std::string_view xmlText) {
    std::string error;
    xmlread::DocPtr doc = xmlread::parseText(xmlText, error);
    return buildFrom(std::move(doc), error);
}

}  // namespace simulator
