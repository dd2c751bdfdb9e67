#include "platform/xml/schema_cache.h"

#include <algorithm>
#include <set>

#include "platform/xml/document.h"
#include "platform/xml/libxml_support_p.h"
#include "platform/xml/xdr_schema_p.h"

namespace xml {
namespace {

using detail::str;
using Content = ElementTypeDecl::Content;

const std::string kXmlNs = detail::cstr(XML_XML_NAMESPACE);

struct Invalid {
    ParseError error;
};

// Walks a document once and stops at the first fault, in document order.
class Validator {
public:
    explicit Validator(const SchemaCache& cache) : cache_(cache) {}

    void element(const xmlNode* el, int depth)
    {
        guardDepth(el, depth);
        const std::string ns = detail::namespaceOf(el);
        const XdrSchema* schema = cache_.find(ns);
        if (schema == nullptr) {
            passOver(el, depth);
            return;
        }
        auto decl = schema->elements.find(str(el->name));
        if (decl == schema->elements.end()) {
            fail(el, "Element '" + detail::qualifiedName(el) + "' is not declared in schema '" + ns + "'.");
        }
        checkDeclared(el, *schema, decl->second, depth);
    }

private:
    [[noreturn]] void fail(const xmlNode* at, std::string reason)
    {
        Invalid invalid;
        invalid.error.code = ErrorCode::Validation;
        detail::sourcePosition(at, invalid.error.line, invalid.error.column);
        invalid.error.reason = std::move(reason);
        throw invalid;
    }

    void guardDepth(const xmlNode* el, int depth)
    {
        if (depth > kMaxNestingDepth) {
            fail(el, "Element '" + detail::qualifiedName(el) + "' is nested deeper than " +
                         std::to_string(kMaxNestingDepth) + " levels.");
        }
    }

    // An element without a schema: its attributes of known namespaces and its
    // children are still checked.
    void passOver(const xmlNode* el, int depth)
    {
        for (const xmlAttr* a = el->properties; a != nullptr; a = a->next) {
            const std::string ns = a->ns ? str(a->ns->href) : std::string();
            if (!ns.empty() && ns != kXmlNs) {
                if (const XdrSchema* schema = cache_.find(ns)) {
                    checkGlobalAttribute(el, a, *schema);
                }
            }
        }
        for (const xmlNode* c = el->children; c != nullptr; c = c->next) {
            if (c->type == XML_ELEMENT_NODE) {
                element(c, depth + 1);
            }
        }
    }

    std::string value(const xmlAttr* a) { return detail::nodeText(reinterpret_cast<const xmlNode*>(a), false); }

    std::string attributeName(const xmlAttr* a) { return detail::qualifiedName(reinterpret_cast<const xmlNode*>(a)); }

    void checkValue(const xmlNode* el, const xmlAttr* a, const AttributeTypeDecl& type)
    {
        std::string why;
        const std::string v = value(a);
        if (!xml::checkValue(type.type, v, why)) {
            fail(el, "Attribute '" + attributeName(a) + "' of element '" + detail::qualifiedName(el) + "' has the value '" +
                         v + "', which " + why + ".");
        }
    }

    void checkGlobalAttribute(const xmlNode* el, const xmlAttr* a, const XdrSchema& schema)
    {
        auto type = schema.attributes.find(str(a->name));
        if (type == schema.attributes.end()) {
            fail(el, "Attribute '" + attributeName(a) + "' is not declared in schema '" + schema.namespaceURI + "'.");
        }
        checkValue(el, a, type->second);
    }

    const AttributeTypeDecl& typeOf(const xmlNode* el, const XdrSchema& schema, const ElementTypeDecl& decl,
                                    const AttributeUse& use)
    {
        switch (use.source) {
        case AttributeUse::Source::Local:
            return decl.localAttributeTypes.find(use.typeName.local)->second;
        case AttributeUse::Source::Global:
            return schema.attributes.find(use.typeName.local)->second;
        case AttributeUse::Source::Foreign:
            break;
        }
        const XdrSchema* foreign = cache_.find(use.typeName.ns);
        if (foreign == nullptr) {
            fail(el, "Element type '" + decl.name + "' of schema '" + schema.namespaceURI + "' uses attribute type '" +
                         use.typeName.local + "' of namespace '" + use.typeName.ns +
                         "', whose schema is not in the cache.");
        }
        auto type = foreign->attributes.find(use.typeName.local);
        if (type == foreign->attributes.end()) {
            fail(el, "Attribute type '" + use.typeName.local + "' is not declared in schema '" + use.typeName.ns +
                         "' (used by element type '" + decl.name + "').");
        }
        return type->second;
    }

    void checkAttributes(const xmlNode* el, const XdrSchema& schema, const ElementTypeDecl& decl)
    {
        std::set<const AttributeUse*> present;
        for (const xmlAttr* a = el->properties; a != nullptr; a = a->next) {
            const QualifiedName name{a->ns ? str(a->ns->href) : std::string(), str(a->name)};
            if (name.ns == kXmlNs) {
                continue;
            }
            const AttributeUse* use = nullptr;
            for (const auto& candidate : decl.attributes) {
                if (candidate.instanceName == name) {
                    use = &candidate;
                }
            }
            if (use != nullptr) {
                present.insert(use);
                const AttributeTypeDecl& type = typeOf(el, schema, decl, *use);
                checkValue(el, a, type);
                const bool required = use->required.value_or(type.required);
                const auto& fixed = use->defaultValue ? use->defaultValue : type.defaultValue;
                if (required && fixed && value(a) != *fixed) {
                    fail(el, "Attribute '" + attributeName(a) + "' of element '" + detail::qualifiedName(el) +
                                 "' must have the value '" + *fixed + "'.");
                }
            } else if (name.ns.empty() || name.ns == schema.namespaceURI) {
                fail(el, "Attribute '" + attributeName(a) + "' is not declared for element '" +
                             detail::qualifiedName(el) + "'.");
            } else if (!decl.open) {
                fail(el, "Attribute '" + attributeName(a) + "' is not allowed on element '" + detail::qualifiedName(el) +
                             "', whose content model is closed.");
            } else if (const XdrSchema* foreign = cache_.find(name.ns)) {
                checkGlobalAttribute(el, a, *foreign);
            }
        }
        for (const auto& use : decl.attributes) {
            if (present.count(&use) != 0) {
                continue;
            }
            const AttributeTypeDecl& type = typeOf(el, schema, decl, use);
            if (use.required.value_or(type.required)) {
                fail(el, "Element '" + detail::qualifiedName(el) + "' lacks the required attribute '" +
                             (use.instanceName.ns.empty() ? use.instanceName.local : use.typeName.local) + "'" +
                             (use.instanceName.ns.empty() ? std::string() : " of namespace '" + use.instanceName.ns + "'") +
                             ".");
            }
        }
    }

    using StateSet = std::vector<char>;

    void closure(const ContentAutomaton& a, StateSet& states)
    {
        std::vector<int> stack;
        for (std::size_t i = 0; i < states.size(); ++i) {
            if (states[i]) {
                stack.push_back(static_cast<int>(i));
            }
        }
        while (!stack.empty()) {
            const int s = stack.back();
            stack.pop_back();
            for (const auto& edge : a.edges[static_cast<std::size_t>(s)]) {
                if (edge.label < 0 && !states[static_cast<std::size_t>(edge.to)]) {
                    states[static_cast<std::size_t>(edge.to)] = 1;
                    stack.push_back(edge.to);
                }
            }
        }
    }

    std::string expected(const ContentAutomaton& a, const StateSet& states)
    {
        std::vector<std::string> names;
        for (std::size_t s = 0; s < states.size(); ++s) {
            if (!states[s]) {
                continue;
            }
            for (const auto& edge : a.edges[s]) {
                if (edge.label >= 0) {
                    const std::string& text = a.labelText[static_cast<std::size_t>(edge.label)];
                    if (std::find(names.begin(), names.end(), text) == names.end()) {
                        names.push_back(text);
                    }
                }
            }
        }
        std::string out;
        for (const auto& n : names) {
            out += out.empty() ? "'" : ", '";
            out += n + "'";
        }
        if (states[static_cast<std::size_t>(a.accept)]) {
            out += out.empty() ? "the end of the element" : " or the end of the element";
        }
        return out.empty() ? "nothing" : out;
    }

    bool isBlank(std::string_view text) { return detail::trimXmlSpace(text).empty(); }

    void checkDeclared(const xmlNode* el, const XdrSchema& schema, const ElementTypeDecl& decl, int depth)
    {
        checkAttributes(el, schema, decl);
        const std::string name = detail::qualifiedName(el);
        const ContentAutomaton& model = decl.model;
        StateSet states(model.edges.size(), 0);
        states[static_cast<std::size_t>(model.start)] = 1;
        closure(model, states);

        for (const xmlNode* c = el->children; c != nullptr; c = c->next) {
            if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE || c->type == XML_ENTITY_REF_NODE) {
                const std::string text = detail::nodeText(c, false);
                if (!isBlank(text) && (decl.content == Content::Empty || decl.content == Content::EltOnly)) {
                    fail(el, "Element '" + name + "' may not contain text" +
                                 (decl.content == Content::Empty ? " (it must be empty)." : "; it holds elements only."));
                }
                continue;
            }
            if (c->type != XML_ELEMENT_NODE) {
                continue;
            }
            const QualifiedName childName{detail::namespaceOf(c), str(c->name)};
            const std::string child = detail::qualifiedName(c);
            const bool foreign = childName.ns != schema.namespaceURI;
            if (decl.content == Content::Empty) {
                fail(c, "Element '" + name + "' must be empty, but holds element '" + child + "'.");
            }
            if (decl.content == Content::TextOnly || !model.mentions(childName)) {
                if (decl.open && foreign) {
                    element(c, depth + 1);
                    continue;
                }
                if (decl.content == Content::TextOnly) {
                    fail(c, "Element '" + name + "' may contain only text, but holds element '" + child + "'.");
                }
                fail(c, "Element '" + child + "' is not allowed in element '" + name + "'; expected " +
                            expected(model, states) + ".");
            }
            StateSet next(model.edges.size(), 0);
            bool moved = false;
            for (std::size_t s = 0; s < states.size(); ++s) {
                if (!states[s]) {
                    continue;
                }
                for (const auto& edge : model.edges[s]) {
                    if (edge.label >= 0 && model.labels[static_cast<std::size_t>(edge.label)] == childName) {
                        next[static_cast<std::size_t>(edge.to)] = 1;
                        moved = true;
                    }
                }
            }
            if (!moved) {
                fail(c, "Element '" + child + "' is not expected here in element '" + name + "'; expected " +
                            expected(model, states) + ".");
            }
            closure(model, next);
            states.swap(next);
            checkReferenced(c, schema, decl, childName, depth + 1);
        }
        if ((decl.content == Content::EltOnly || decl.content == Content::Mixed) &&
            !states[static_cast<std::size_t>(model.accept)]) {
            fail(el, "Element '" + name + "' is incomplete; expected " + expected(model, states) + ".");
        }
        if (decl.textType) {
            const std::string text(detail::trimXmlSpace(detail::nodeText(el, false)));
            std::string why;
            if (!xml::checkValue(*decl.textType, text, why)) {
                fail(el, "The text '" + text + "' of element '" + name + "' " + why + ".");
            }
        }
    }

    // A child named by the content model: its element type must be found,
    // also when it lives in another schema.
    void checkReferenced(const xmlNode* c, const XdrSchema& schema, const ElementTypeDecl& parent,
                         const QualifiedName& childName, int depth)
    {
        guardDepth(c, depth);
        const XdrSchema* target = childName.ns == schema.namespaceURI ? &schema : cache_.find(childName.ns);
        if (target == nullptr) {
            fail(c, "Element type '" + parent.name + "' of schema '" + schema.namespaceURI + "' refers to element '" +
                        childName.local + "' of namespace '" + childName.ns + "', whose schema is not in the cache.");
        }
        auto decl = target->elements.find(childName.local);
        if (decl == target->elements.end()) {
            fail(c, "Element '" + detail::qualifiedName(c) + "' is not declared in schema '" + childName.ns + "'.");
        }
        checkDeclared(c, *target, decl->second, depth);
    }

    const SchemaCache& cache_;
};

}  // namespace

SchemaCache::SchemaCache() = default;
SchemaCache::~SchemaCache() = default;
SchemaCache::SchemaCache(SchemaCache&&) noexcept = default;
SchemaCache& SchemaCache::operator=(SchemaCache&&) noexcept = default;

ParseError SchemaCache::add(std::string_view namespaceURI, const Document& schema)
{
    const Node root = schema.documentElement();
    if (!root) {
        ParseError e;
        e.code = ErrorCode::InvalidSchema;
        e.reason = "The schema document is empty.";
        return e;
    }
    auto compiled = std::make_shared<XdrSchema>();
    ParseError e = compileXdrSchema(root.raw(), namespaceURI, *compiled);
    if (e.failed()) {
        return e;
    }
    schemas_[std::string(namespaceURI)] = std::move(compiled);
    return {};
}

void SchemaCache::remove(std::string_view namespaceURI)
{
    if (auto it = schemas_.find(namespaceURI); it != schemas_.end()) {
        schemas_.erase(it);
    }
}

bool SchemaCache::contains(std::string_view namespaceURI) const { return schemas_.find(namespaceURI) != schemas_.end(); }

std::size_t SchemaCache::length() const { return schemas_.size(); }

std::vector<std::string> SchemaCache::namespaces() const
{
    std::vector<std::string> list;
    for (const auto& [ns, schema] : schemas_) {
        list.push_back(ns);
    }
    return list;
}

const XdrSchema* SchemaCache::find(std::string_view namespaceURI) const
{
    auto it = schemas_.find(namespaceURI);
    return it == schemas_.end() ? nullptr : it->second.get();
}

ParseError SchemaCache::validate(const Document& document) const
{
    const Node root = document.documentElement();
    if (!root) {
        ParseError e;
        e.code = ErrorCode::Empty;
        e.reason = "The document has no root element.";
        return e;
    }
    try {
        Validator validator(*this);
        validator.element(root.raw(), 1);
    } catch (const Invalid& invalid) {
        return invalid.error;
    }
    return {};
}

}  // namespace xml
