#include "engine/description/description_node.h"

#include <vector>

namespace engine::description {
namespace {

// Compared in place, without copying names: the local name first (short and
// mostly different), the namespace only for the candidates.
bool matches(const xml::Node& node, std::string_view localName, std::string_view ns) {
    return node.isElementNamed(localName, ns);
}

xml::Node descend(const xml::Node& from, const std::string_view* step, const std::string_view* end,
                  std::string_view ns) {
    if (step == end) return from;
    for (xml::Node child = from.firstChild(); child; child = child.nextSibling()) {
        if (!matches(child, *step, ns)) continue;
        xml::Node found = descend(child, step + 1, end, ns);
        if (found) return found;
    }
    return {};
}

}  // namespace

xml::Node firstElement(const xml::Node& from, std::string_view localName, std::string_view ns,
                       std::string_view attribute, std::string_view value) {
    if (!from) return {};
    if (matches(from, localName, ns) &&
        (attribute.empty() || from.getAttribute(attribute) == std::optional<std::string>(value)))
        return from;
    for (xml::Node child = from.firstChild(); child; child = child.nextSibling()) {
        if (child.nodeType() != xml::NodeType::Element) continue;
        if (xml::Node found = firstElement(child, localName, ns, attribute, value)) return found;
    }
    return {};
}

xml::Node firstPath(const xml::Node& from, std::initializer_list<std::string_view> path) {
    if (!from) return {};
    return descend(from, path.begin(), path.end(), from.namespaceURI());
}

xml::Node firstPathFrom(const xml::NodeList& starts, std::initializer_list<std::string_view> path) {
    if (starts.empty()) return {};
    const std::string ns = starts.front().namespaceURI();
    for (const xml::Node& start : starts) {
        if (xml::Node found = descend(start, path.begin(), path.end(), ns)) return found;
    }
    return {};
}

xml::NodeList childElements(const xml::Node& parent, std::string_view localName) {
    xml::NodeList found;
    if (!parent) return found;
    const std::string ns = parent.namespaceURI();
    for (xml::Node child = parent.firstChild(); child; child = child.nextSibling()) {
        if (matches(child, localName, ns)) found.push_back(child);
    }
    return found;
}

std::optional<std::string> pathText(const xml::Node& from,
                                    std::initializer_list<std::string_view> path) {
    const xml::Node found = firstPath(from, path);
    if (!found) return std::nullopt;
    return found.text();
}

xml::Node restrictionConstant(const xml::Node& node, std::string_view kind) {
    return firstPath(node, {"restriction", kind, "constant"});
}

std::optional<ParameterId> restrictionPointer(const xml::Node& node, std::string_view kind) {
    const xml::Node pointer = firstPath(node, {"restriction", kind, "pointer"});
    if (!pointer) return std::nullopt;
    return referenceIdOf(pointer);
}

bool hasTrueFlag(const xml::Node& node, std::string_view element, std::string_view attribute) {
    for (const xml::Node& child : childElements(node, element)) {
        if (child.getAttribute(attribute) == std::optional<std::string>("true")) return true;
    }
    return false;
}

ParameterId referenceIdOf(const xml::Node& node) {
    const std::optional<std::string> text = node.getAttribute("reference_id");
    return text ? parseLeadingDecimal(*text) : 0;
}

}  // namespace engine::description
