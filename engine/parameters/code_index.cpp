#include "engine/parameters/code_index.h"

#include "engine/description/description_node.h"

namespace engine {
namespace {

xml::Node topElement(xml::Node node) {
    for (xml::Node parent = node.parentNode(); parent && parent.nodeType() == xml::NodeType::Element;
         parent = parent.parentNode()) {
        node = parent;
    }
    return node;
}

// Device interfaces at or below `from`, in document order, not inside one another.
void collectInterfaces(const xml::Node& from, const std::string& ns, std::vector<xml::Node>& found) {
    if (from.isElementNamed("device_interface", ns)) {
        found.push_back(from);
        return;
    }
    for (xml::Node child = from.firstChild(); child; child = child.nextSibling()) {
        if (child.nodeType() == xml::NodeType::Element) collectInterfaces(child, ns, found);
    }
}

template <class Map>
std::optional<std::string> lookup(const Map& map, std::string_view key) {
    const auto found = map.find(std::string(key));
    if (found == map.end()) return std::nullopt;
    return found->second;
}

}  // namespace

CodeIndex::CodeIndex(const xml::Node& anyNode) {
    const xml::Node root = topElement(anyNode);
    std::vector<xml::Node> interfaces;
    collectInterfaces(root, root.namespaceURI(), interfaces);
    for (const xml::Node& deviceInterface : interfaces) addInterface(deviceInterface);
}

void CodeIndex::addInterface(const xml::Node& deviceInterface) {
    const bool hart = deviceInterface.getAttribute("bus_type") == std::optional<std::string>("hart");
    for (const xml::Node& block : description::childElements(deviceInterface, "block")) {
        for (const xml::Node& parameter : description::childElements(block, "parameter")) {
            const std::optional<std::string> reference = parameter.getAttribute("reference_id");
            bool first = true;
            for (const xml::Node& addressing : description::childElements(parameter, "addressing")) {
                for (const xml::Node& code : description::childElements(addressing, "code_hart")) {
                    const std::string text = code.text();
                    if (first && reference) codeOfReference_.try_emplace(*reference, text);
                    first = false;
                    if (hart && reference) hartReferenceOfCode_.try_emplace(text, *reference);
                }
            }
        }
    }
}

std::optional<std::string> CodeIndex::codeOfParameter(std::string_view referenceId) const {
    return lookup(codeOfReference_, referenceId);
}

std::optional<std::string> CodeIndex::parameterOfCode(std::string_view code) const {
    return lookup(hartReferenceOfCode_, code);
}

}  // namespace engine
