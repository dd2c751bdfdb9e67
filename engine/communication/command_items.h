#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/communication/command_key.h"
#include "engine/description/reference_id.h"
#include "platform/xml/node.h"

namespace engine {
class DeviceObject;
}

// The request and reply layout of the HART commands that the description
// declares ("user:action_hart" elements of the root container's command map),
// and the two byte operations built on it: the request bytes of a command and
// the distribution of reply bytes over parameters.
namespace engine::communication {

// One "user:query/user:action_item": its bytes follow those of the previous item.
struct RequestItem {
    ParameterId referencedParameter = 0;
    std::string referenceType;  // always empty: requests address pointer targets
};

// One "user:reply/user:action_item"; position and size count bytes.
struct ReplyItem {
    ParameterId referencedParameter = 0;
    int32_t position = 0;
    int32_t size = 0;
    std::string referenceType;
};

// The items of a command element, in document order; empty for a null node.
std::vector<RequestItem> requestItemsOf(const xml::Node& command);
std::vector<ReplyItem> replyItemsOf(const xml::Node& command);

// The items of the command that key names; empty when the key is not in the map.
std::vector<RequestItem> requestItems(const DeviceObject& device, CommandKey key);
std::vector<ReplyItem> replyItems(const DeviceObject& device, CommandKey key);

// The "byteArray" of a command's request.
struct RequestBytes {
    // Concatenated wire texts of the request items; nullopt when the command
    // has no request items (the request then carries no CommunicationData).
    std::optional<std::string> byteArray;
    // The first item whose parameter is marked inconsistent; building stopped
    // there and the command must not be sent.
    std::optional<ParameterId> inconsistentParameter;
};
RequestBytes buildRequestBytes(const DeviceObject& device, CommandKey key);

// What became of a reply's byte text.
struct ReplyDistribution {
    bool commandKnown = false;  // the key is in the command map
    size_t decoded = 0;         // items handed to their parameters
    size_t skipped = 0;         // items lying past the end of the bytes (or malformed)
};

// Hands each reply item's part of byteArray (two characters per byte) to its
// parameter as a wire text. The walk stops after the last item or when the
// previous item's position (0 before the first) lies at or beyond the end of
// the bytes; an item whose bytes do not all lie inside the text, or that has a
// negative position or size, is skipped and the others are still decoded.
// Unknown reference ids are passed over by the parameter model.
ReplyDistribution distributeReply(DeviceObject& device, CommandKey key, std::string_view byteArray);

}  // namespace engine::communication
