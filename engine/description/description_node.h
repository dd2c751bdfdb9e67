#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "engine/description/reference_id.h"
#include "platform/xml/node.h"

// Reading a parameter's description element. A relative path such as
// "user:restriction/user:range/user:constant" is followed through child
// elements with those local names in the namespace of the element itself
// (the namespace that "user" names), answering the first match in document
// order, as the XPath selection does.
namespace engine::description {

// The first element at the end of the path of local names below from, or a
// null node. A null from gives a null node.
xml::Node firstPath(const xml::Node& from, std::initializer_list<std::string_view> path);

// The first element at or below from, in document order, with that local
// name in namespace ns and, when attribute is not empty, that attribute's
// value: "//user:name[@attribute='value']" without building the node set of
// the whole document. A null from gives a null node.
xml::Node firstElement(const xml::Node& from, std::string_view localName, std::string_view ns,
                       std::string_view attribute = {}, std::string_view value = {});

// firstPath from each of `starts` in turn (elements of one namespace): the
// first match, as firstPath from their parent finds it when `starts` are all
// its children of the path's first name.
xml::Node firstPathFrom(const xml::NodeList& starts, std::initializer_list<std::string_view> path);

// Child elements of parent with that local name, in document order.
xml::NodeList childElements(const xml::Node& parent, std::string_view localName);

// The text of the element at the end of path, or nullopt when there is none.
std::optional<std::string> pathText(const xml::Node& from,
                                    std::initializer_list<std::string_view> path);

// "user:restriction/user:<kind>/user:constant" of node.
xml::Node restrictionConstant(const xml::Node& node, std::string_view kind);
// The reference id of "user:restriction/user:<kind>/user:pointer", or nullopt
// when node has no such pointer (a pointer without the attribute names id 0).
std::optional<ParameterId> restrictionPointer(const xml::Node& node, std::string_view kind);

// True when node has a child "user:<element>" whose attribute has the value "true".
bool hasTrueFlag(const xml::Node& node, std::string_view element, std::string_view attribute);

// The reference id of an element ("reference_id", leading digits; 0 without).
ParameterId referenceIdOf(const xml::Node& node);

}  // namespace engine::description
