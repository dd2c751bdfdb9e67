#include <set>

#include "platform/xml/libxml_support_p.h"
#include "platform/xml/xdr_schema_p.h"

namespace xml {
namespace {

using detail::str;
using Content = ElementTypeDecl::Content;
using Order = ElementTypeDecl::Order;

struct SchemaFault {
    SourcePos pos;
    std::string reason;
};

SourcePos positionOf(const xmlNode* node)
{
    SourcePos pos;
    detail::sourcePosition(node, pos.line, pos.column);
    return pos;
}

[[noreturn]] void fault(const xmlNode* node, std::string reason) { throw SchemaFault{positionOf(node), std::move(reason)}; }

bool isXdr(const xmlNode* node, std::string_view local = {})
{
    return node->type == XML_ELEMENT_NODE && detail::namespaceOf(node) == kXdrNamespace &&
           (local.empty() || str(node->name) == local);
}

std::optional<std::string> attribute(const xmlNode* node, const char* name, std::string_view ns = {})
{
    for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
        const std::string aNs = a->ns ? str(a->ns->href) : std::string();
        if (str(a->name) == name && aNs == ns) {
            return detail::nodeText(reinterpret_cast<const xmlNode*>(a), false);
        }
    }
    return std::nullopt;
}

std::optional<std::string> dtAttribute(const xmlNode* node, const char* name)
{
    return attribute(node, name, kXdrTypesNamespace);
}

std::vector<std::string> splitTokens(std::string_view s)
{
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && detail::isXmlSpace(s[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < s.size() && !detail::isXmlSpace(s[i])) {
            ++i;
        }
        if (i > start) {
            tokens.emplace_back(s.substr(start, i - start));
        }
    }
    return tokens;
}

struct Particle {
    bool isElement = false;
    QualifiedName name;
    std::string written;  // the type reference as the schema writes it
    Order order = Order::Seq;
    bool optional = false;
    bool repeat = false;
    std::vector<Particle> children;
};

class Compiler {
public:
    Compiler(std::string_view ns, XdrSchema& out) : ns_(ns), out_(out) {}

    void run(const xmlNode* root)
    {
        if (!isXdr(root, "Schema")) {
            fault(root, "The root element must be 'Schema' in namespace '" + std::string(kXdrNamespace) + "'.");
        }
        out_.namespaceURI = ns_;
        std::vector<const xmlNode*> elementTypes;
        for (const xmlNode* c = root->children; c != nullptr; c = c->next) {
            if (c->type != XML_ELEMENT_NODE || !isXdr(c)) {
                continue;  // annotations of other namespaces
            }
            const std::string kind = str(c->name);
            if (kind == "ElementType") {
                const std::string name = requiredName(c);
                if (!declaredElements_.insert(name).second) {
                    fault(c, "ElementType '" + name + "' is declared twice.");
                }
                elementTypes.push_back(c);
            } else if (kind == "AttributeType") {
                AttributeTypeDecl decl = attributeType(c);
                const std::string name = decl.name;
                if (!out_.attributes.emplace(name, std::move(decl)).second) {
                    fault(c, "AttributeType '" + name + "' is declared twice.");
                }
            } else if (kind != "description") {
                fault(c, "Unsupported schema element '" + kind + "'.");
            }
        }
        for (const xmlNode* c : elementTypes) {
            ElementTypeDecl decl = elementType(c);
            const std::string name = decl.name;
            out_.elements.emplace(name, std::move(decl));
        }
    }

private:
    std::string requiredName(const xmlNode* node)
    {
        auto name = attribute(node, "name");
        if (!name || name->empty()) {
            fault(node, str(node->name) + " has no name.");
        }
        return *name;
    }

    bool yesNo(const xmlNode* node, const char* attr, bool fallback)
    {
        auto value = attribute(node, attr);
        if (!value) {
            return fallback;
        }
        if (*value == "yes") {
            return true;
        }
        if (*value == "no") {
            return false;
        }
        fault(node, std::string("The value of '") + attr + "' must be 'yes' or 'no', not '" + *value + "'.");
    }

    std::size_t count(const xmlNode* node, const char* name, const std::string& text)
    {
        std::size_t value = 0;
        if (text.empty() || text.size() > 9) {
            fault(node, std::string("dt:") + name + " must be a number, not '" + text + "'.");
        }
        for (char c : text) {
            if (c < '0' || c > '9') {
                fault(node, std::string("dt:") + name + " must be a number, not '" + text + "'.");
            }
            value = value * 10 + static_cast<std::size_t>(c - '0');
        }
        return value;
    }

    DataType dataType(const xmlNode* node)
    {
        DataType type;
        if (auto name = dtAttribute(node, "type")) {
            type.name = *name;
            if (!dataTypeKind(*name, type.kind)) {
                fault(node, "Unknown data type '" + *name + "'.");
            }
        }
        if (auto values = dtAttribute(node, "values")) {
            type.values = splitTokens(*values);
        }
        if ((type.kind == DataType::Kind::Enumeration || type.kind == DataType::Kind::Notation) && type.values.empty()) {
            fault(node, "Data type '" + type.name + "' needs dt:values.");
        }
        if (auto max = dtAttribute(node, "maxLength")) {
            type.maxLength = count(node, "maxLength", *max);
        }
        if (auto min = dtAttribute(node, "minLength")) {
            type.minLength = count(node, "minLength", *min);
        }
        return type;
    }

    AttributeTypeDecl attributeType(const xmlNode* node)
    {
        AttributeTypeDecl decl;
        decl.pos = positionOf(node);
        decl.name = requiredName(node);
        decl.type = dataType(node);
        decl.required = yesNo(node, "required", false);
        decl.defaultValue = attribute(node, "default");
        if (decl.defaultValue) {
            std::string why;
            if (!checkValue(decl.type, *decl.defaultValue, why)) {
                fault(node, "The default '" + *decl.defaultValue + "' of AttributeType '" + decl.name + "' " + why + ".");
            }
        }
        return decl;
    }

    // "p:name" → the namespace bound to p in the schema document; "name" → this schema.
    QualifiedName reference(const xmlNode* node, const std::string& written)
    {
        const auto colon = written.find(':');
        if (colon == std::string::npos) {
            return {ns_, written};
        }
        const std::string prefix = written.substr(0, colon);
        xmlNs* bound = xmlSearchNs(node->doc, const_cast<xmlNode*>(node), detail::bad(prefix.c_str()));
        if (bound == nullptr) {
            fault(node, "The prefix '" + prefix + "' of '" + written + "' is not declared in the schema.");
        }
        return {str(bound->href), written.substr(colon + 1)};
    }

    void occurrence(const xmlNode* node, Particle& p)
    {
        if (auto min = attribute(node, "minOccurs")) {
            if (*min != "0" && *min != "1") {
                fault(node, "minOccurs must be '0' or '1', not '" + *min + "'.");
            }
            p.optional = *min == "0";
        }
        if (auto max = attribute(node, "maxOccurs")) {
            if (*max != "1" && *max != "*") {
                fault(node, "maxOccurs must be '1' or '*', not '" + *max + "'.");
            }
            p.repeat = *max == "*";
        }
    }

    Order order(const xmlNode* node, Order fallback)
    {
        auto value = attribute(node, "order");
        if (!value) {
            return fallback;
        }
        if (*value == "seq") {
            return Order::Seq;
        }
        if (*value == "one") {
            return Order::One;
        }
        if (*value == "many") {
            return Order::Many;
        }
        fault(node, "order must be 'seq', 'one' or 'many', not '" + *value + "'.");
    }

    Particle elementParticle(const xmlNode* node)
    {
        Particle p;
        p.isElement = true;
        auto type = attribute(node, "type");
        if (!type || type->empty()) {
            fault(node, "element has no type.");
        }
        p.written = *type;
        p.name = reference(node, *type);
        if (p.name.ns == ns_ && declaredElements_.count(p.name.local) == 0) {
            fault(node, "ElementType '" + *type + "' is not declared.");
        }
        occurrence(node, p);
        return p;
    }

    Particle group(const xmlNode* node)
    {
        Particle p;
        p.order = order(node, Order::Seq);
        occurrence(node, p);
        for (const xmlNode* c = node->children; c != nullptr; c = c->next) {
            if (!isXdr(c)) {
                continue;
            }
            const std::string kind = str(c->name);
            if (kind == "element") {
                p.children.push_back(elementParticle(c));
            } else if (kind == "group") {
                p.children.push_back(group(c));
            } else if (kind != "description") {
                fault(c, "Unsupported element '" + kind + "' in a group.");
            }
        }
        return p;
    }

    AttributeUse attributeUse(const xmlNode* node, const ElementTypeDecl& decl)
    {
        AttributeUse use;
        use.pos = positionOf(node);
        auto type = attribute(node, "type");
        if (!type || type->empty()) {
            fault(node, "attribute has no type.");
        }
        const QualifiedName ref = reference(node, *type);
        const bool prefixed = type->find(':') != std::string::npos;
        const AttributeTypeDecl* known = nullptr;
        if (!prefixed) {
            use.instanceName = {"", *type};
            if (auto local = decl.localAttributeTypes.find(*type); local != decl.localAttributeTypes.end()) {
                use.source = AttributeUse::Source::Local;
                known = &local->second;
            } else if (auto global = out_.attributes.find(*type); global != out_.attributes.end()) {
                use.source = AttributeUse::Source::Global;
                known = &global->second;
            } else {
                fault(node, "AttributeType '" + *type + "' is not declared.");
            }
            use.typeName = {ns_, *type};
        } else {
            use.instanceName = ref;
            use.typeName = ref;
            if (ref.ns == ns_) {
                auto global = out_.attributes.find(ref.local);
                if (global == out_.attributes.end()) {
                    fault(node, "AttributeType '" + *type + "' is not declared.");
                }
                use.source = AttributeUse::Source::Global;
                known = &global->second;
            } else {
                use.source = AttributeUse::Source::Foreign;
            }
        }
        if (attribute(node, "required")) {
            use.required = yesNo(node, "required", false);
        }
        use.defaultValue = attribute(node, "default");
        if (use.defaultValue && known != nullptr) {
            std::string why;
            if (!checkValue(known->type, *use.defaultValue, why)) {
                fault(node, "The default '" + *use.defaultValue + "' of attribute '" + *type + "' " + why + ".");
            }
        }
        for (const auto& other : decl.attributes) {
            if (other.instanceName == use.instanceName) {
                fault(node, "Attribute '" + *type + "' is listed twice.");
            }
        }
        return use;
    }

    ElementTypeDecl elementType(const xmlNode* node)
    {
        ElementTypeDecl decl;
        decl.pos = positionOf(node);
        decl.name = requiredName(node);
        auto content = attribute(node, "content");
        if (!content) {
            decl.content = Content::Mixed;
        } else if (*content == "empty") {
            decl.content = Content::Empty;
        } else if (*content == "textOnly") {
            decl.content = Content::TextOnly;
        } else if (*content == "eltOnly") {
            decl.content = Content::EltOnly;
        } else if (*content == "mixed") {
            decl.content = Content::Mixed;
        } else {
            fault(node, "content must be 'empty', 'textOnly', 'eltOnly' or 'mixed', not '" + *content + "'.");
        }
        if (dtAttribute(node, "type")) {
            if (content && decl.content != Content::TextOnly) {
                fault(node, "ElementType '" + decl.name + "' has a data type, so its content must be 'textOnly'.");
            }
            decl.content = Content::TextOnly;
            decl.textType = dataType(node);
        }
        decl.order = order(node, decl.content == Content::Mixed ? Order::Many : Order::Seq);
        if (decl.content == Content::Mixed && decl.order != Order::Many) {
            fault(node, "ElementType '" + decl.name + "' has mixed content, which needs order 'many'.");
        }
        if (auto model = attribute(node, "model")) {
            if (*model != "open" && *model != "closed") {
                fault(node, "model must be 'open' or 'closed', not '" + *model + "'.");
            }
            decl.open = *model == "open";
        }

        for (const xmlNode* c = node->children; c != nullptr; c = c->next) {
            if (isXdr(c, "AttributeType")) {
                AttributeTypeDecl local = attributeType(c);
                const std::string name = local.name;
                if (!decl.localAttributeTypes.emplace(name, std::move(local)).second) {
                    fault(c, "AttributeType '" + name + "' is declared twice in '" + decl.name + "'.");
                }
            }
        }
        Particle top;
        top.order = decl.order;
        for (const xmlNode* c = node->children; c != nullptr; c = c->next) {
            if (!isXdr(c)) {
                continue;
            }
            const std::string kind = str(c->name);
            if (kind == "attribute") {
                decl.attributes.push_back(attributeUse(c, decl));
            } else if (kind == "element" || kind == "group") {
                if (decl.content == Content::Empty || decl.content == Content::TextOnly) {
                    fault(c, "ElementType '" + decl.name + "' cannot hold elements with content '" +
                                 (decl.content == Content::Empty ? "empty" : "textOnly") + "'.");
                }
                top.children.push_back(kind == "element" ? elementParticle(c) : group(c));
            } else if (kind == "datatype") {
                if (decl.content != Content::TextOnly && content) {
                    fault(c, "ElementType '" + decl.name + "' has a data type, so its content must be 'textOnly'.");
                }
                decl.content = Content::TextOnly;
                decl.textType = dataType(c);
            } else if (kind != "AttributeType" && kind != "description") {
                fault(c, "Unsupported element '" + kind + "' in ElementType '" + decl.name + "'.");
            }
        }
        if (decl.content == Content::TextOnly && !top.children.empty()) {
            fault(node, "ElementType '" + decl.name + "' has a data type and elements.");
        }
        auto [start, end] = build(decl.model, top, false);
        decl.model.start = start;
        decl.model.accept = end;
        return decl;
    }

    static void link(ContentAutomaton& a, int from, int to, int label = -1)
    {
        a.edges[static_cast<std::size_t>(from)].push_back({label, to});
    }

    static int labelOf(ContentAutomaton& a, const Particle& p)
    {
        for (std::size_t i = 0; i < a.labels.size(); ++i) {
            if (a.labels[i] == p.name) {
                return static_cast<int>(i);
            }
        }
        a.labels.push_back(p.name);
        a.labelText.push_back(p.written);
        return static_cast<int>(a.labels.size()) - 1;
    }

    // Thompson construction; members of a "many" group repeat freely, so their
    // own occurrence bounds are not applied.
    static std::pair<int, int> build(ContentAutomaton& a, const Particle& p, bool insideMany)
    {
        int s = a.addState();
        int e = a.addState();
        if (p.isElement) {
            link(a, s, e, labelOf(a, p));
        } else if (p.order == Order::Seq) {
            int current = s;
            for (const auto& c : p.children) {
                auto [cs, ce] = build(a, c, false);
                link(a, current, cs);
                current = ce;
            }
            link(a, current, e);
        } else if (p.order == Order::One) {
            for (const auto& c : p.children) {
                auto [cs, ce] = build(a, c, false);
                link(a, s, cs);
                link(a, ce, e);
            }
            if (p.children.empty()) {
                link(a, s, e);
            }
        } else {
            const int hub = a.addState();
            link(a, s, hub);
            link(a, hub, e);
            for (const auto& c : p.children) {
                auto [cs, ce] = build(a, c, true);
                link(a, hub, cs);
                link(a, ce, hub);
            }
        }
        if (insideMany || (!p.optional && !p.repeat)) {
            return {s, e};
        }
        const int outerStart = a.addState();
        const int outerEnd = a.addState();
        link(a, outerStart, s);
        link(a, e, outerEnd);
        if (p.optional) {
            link(a, outerStart, outerEnd);
        }
        if (p.repeat) {
            link(a, e, s);
        }
        return {outerStart, outerEnd};
    }

    std::string ns_;
    XdrSchema& out_;
    std::set<std::string> declaredElements_;
};

}  // namespace

bool ContentAutomaton::mentions(const QualifiedName& name) const
{
    for (const auto& label : labels) {
        if (label == name) {
            return true;
        }
    }
    return false;
}

ParseError compileXdrSchema(const xmlNode* root, std::string_view namespaceURI, XdrSchema& out)
{
    try {
        Compiler compiler(namespaceURI, out);
        compiler.run(root);
    } catch (const SchemaFault& f) {
        ParseError e;
        e.code = ErrorCode::InvalidSchema;
        e.line = f.pos.line;
        e.column = f.pos.column;
        e.reason = f.reason;
        return e;
    }
    return {};
}

}  // namespace xml
