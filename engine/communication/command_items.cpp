#include "engine/communication/command_items.h"

#include "engine/description/description_node.h"
#include "engine/parameters/device_object.h"

namespace engine::communication {
namespace {

const xml::Node* commandNode(const DeviceObject& device, CommandKey key) {
    const ActionEntry* entry = device.findAction(key);
    return entry == nullptr ? nullptr : &entry->node;
}

int32_t decimalAttribute(const xml::Node& item, std::string_view name) {
    return parseLeadingDecimal(item.getAttribute(name).value_or(std::string()));
}

// "user:<list>/user:action_item" below the command, in document order.
xml::NodeList actionItems(const xml::Node& command, std::string_view list) {
    xml::NodeList items;
    for (const xml::Node& group : description::childElements(command, list)) {
        for (const xml::Node& item : description::childElements(group, "action_item")) {
            items.push_back(item);
        }
    }
    return items;
}

}  // namespace

std::vector<RequestItem> requestItemsOf(const xml::Node& command) {
    std::vector<RequestItem> items;
    if (command.isNull()) return items;
    for (const xml::Node& node : actionItems(command, "query")) {
        items.push_back(RequestItem{decimalAttribute(node, "referenced_parameter"), {}});
    }
    return items;
}

std::vector<ReplyItem> replyItemsOf(const xml::Node& command) {
    std::vector<ReplyItem> items;
    if (command.isNull()) return items;
    for (const xml::Node& node : actionItems(command, "reply")) {
        items.push_back(ReplyItem{decimalAttribute(node, "referenced_parameter"),
                                  decimalAttribute(node, "position"),
                                  decimalAttribute(node, "size"),
                                  node.getAttribute("reference_type").value_or(std::string())});
    }
    return items;
}

std::vector<RequestItem> requestItems(const DeviceObject& device, CommandKey key) {
    const xml::Node* command = commandNode(device, key);
    return command == nullptr ? std::vector<RequestItem>() : requestItemsOf(*command);
}

std::vector<ReplyItem> replyItems(const DeviceObject& device, CommandKey key) {
    const xml::Node* command = commandNode(device, key);
    return command == nullptr ? std::vector<ReplyItem>() : replyItemsOf(*command);
}

RequestBytes buildRequestBytes(const DeviceObject& device, CommandKey key) {
    RequestBytes result;
    const std::vector<RequestItem> items = requestItems(device, key);
    if (items.empty()) return result;
    std::string bytes;
    for (const RequestItem& item : items) {
        if (device.inconsistency(item.referencedParameter)) {
            result.inconsistentParameter = item.referencedParameter;
            return result;
        }
        bytes += device.wireValue(item.referencedParameter, item.referenceType);
    }
    result.byteArray = std::move(bytes);
    return result;
}

ReplyDistribution distributeReply(DeviceObject& device, CommandKey key,
                                  std::string_view byteArray) {
    ReplyDistribution result;
    const xml::Node* command = commandNode(device, key);
    if (command == nullptr) return result;
    result.commandKnown = true;
    const std::vector<ReplyItem> items = replyItemsOf(*command);
    const int64_t length = static_cast<int64_t>(byteArray.size());
    int64_t previousPosition = 0;
    for (const ReplyItem& item : items) {
        if (2 * previousPosition >= length) break;
        previousPosition = item.position;
        const int64_t offset = 2 * static_cast<int64_t>(item.position);
        const int64_t count = 2 * static_cast<int64_t>(item.size);
        if (offset < 0 || count < 0 || offset + count > length) {
            ++result.skipped;
            continue;
        }
        device.setWireValue(
            item.referencedParameter, item.referenceType,
            byteArray.substr(static_cast<size_t>(offset), static_cast<size_t>(count)));
        ++result.decoded;
    }
    return result;
}

}  // namespace engine::communication
