#pragma once

#include <string>
#include <string_view>

namespace engine {

// The namespaces of the two description documents; the XPath prefix "user"
// is bound to one of them in each document.
inline constexpr std::string_view kDeviceDescriptionNamespace =
    "http://hartdtm.invalid/device_description";
inline constexpr std::string_view kDtmDescriptionNamespace =
    "http://hartdtm.invalid/dtm_description";

// The "SelectionNamespaces" value that binds "user" to namespaceUri.
inline std::string userSelectionNamespaces(std::string_view namespaceUri) {
    std::string value = "xmlns:user='";
    value += namespaceUri;
    value += '\'';
    return value;
}

}  // namespace engine
