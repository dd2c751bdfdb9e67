#include "platform/xml/serializer_p.h"

#include <libxml/xmlsave.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/xml/libxml_support_p.h"

namespace xml::detail {
namespace {

const std::string kXmlNamespace = reinterpret_cast<const char*>(XML_XML_NAMESPACE);

void escapeText(std::string_view text, std::string& out)
{
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\r': out += "&#13;"; break;
        default: out += c; break;
        }
    }
}

void escapeAttribute(std::string_view text, std::string& out)
{
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        case '\t': out += "&#9;"; break;
        default: out += c; break;
        }
    }
}

struct Binding {
    std::string prefix;  // "" for the default namespace
    std::string href;
};

// Namespace bindings in scope while walking down the tree.
class Scope {
public:
    Scope() { bindings_.push_back({"xml", kXmlNamespace}); }

    const std::string* lookup(std::string_view prefix) const
    {
        for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
            if (it->prefix == prefix) {
                return &it->href;
            }
        }
        return nullptr;
    }
    std::string hrefOf(std::string_view prefix) const
    {
        const std::string* href = lookup(prefix);
        return href ? *href : std::string();
    }
    void push(const std::vector<Binding>& added)
    {
        marks_.push_back(bindings_.size());
        bindings_.insert(bindings_.end(), added.begin(), added.end());
    }
    void pop()
    {
        bindings_.resize(marks_.back());
        marks_.pop_back();
    }
    // A non-default prefix currently bound to `href`, or "".
    std::string prefixFor(const std::string& href) const
    {
        for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
            if (!it->prefix.empty() && it->href == href && hrefOf(it->prefix) == href) {
                return it->prefix;
            }
        }
        return {};
    }

private:
    std::vector<Binding> bindings_;
    std::vector<std::size_t> marks_;
};

class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}

    void node(const xmlNode* top)
    {
        if (top->type == XML_ATTRIBUTE_NODE) {
            out_ += qualifiedName(top);
            out_ += "=\"";
            attributeValue(top);
            out_ += '"';
            return;
        }
        const xmlNode* n = top;
        for (;;) {
            const bool entered = enter(n);
            if (entered && n->children != nullptr) {
                n = n->children;
                continue;
            }
            if (entered) {
                out_ += "/>";
                scope_.pop();
            }
            while (n != top && n->next == nullptr) {
                n = n->parent;
                leave(n);
            }
            if (n == top) {
                return;
            }
            n = n->next;
        }
    }

private:
    // Writes the node, or an element's start tag without its end; true when
    // an element was opened.
    bool enter(const xmlNode* n)
    {
        switch (n->type) {
        case XML_ELEMENT_NODE:
            startTag(n);
            return true;
        case XML_TEXT_NODE:
            escapeText(cstr(n->content), out_);
            return false;
        case XML_CDATA_SECTION_NODE:
            cdata(cstr(n->content));
            return false;
        case XML_ENTITY_REF_NODE:
            out_ += '&';
            out_ += cstr(n->name);
            out_ += ';';
            return false;
        case XML_COMMENT_NODE:
            out_ += "<!--";
            out_ += cstr(n->content);
            out_ += "-->";
            return false;
        case XML_PI_NODE:
            out_ += "<?";
            out_ += cstr(n->name);
            if (n->content != nullptr && *n->content != '\0') {
                out_ += ' ';
                out_ += cstr(n->content);
            }
            out_ += "?>";
            return false;
        case XML_DTD_NODE:
            dtd(n);
            return false;
        default:
            return false;
        }
    }

    void leave(const xmlNode* element)
    {
        out_ += "</";
        out_ += names_.back();
        out_ += '>';
        names_.pop_back();
        scope_.pop();
    }

    void cdata(std::string_view text)
    {
        out_ += "<![CDATA[";
        for (std::size_t pos; (pos = text.find("]]>")) != std::string_view::npos;) {
            out_.append(text.substr(0, pos + 2));
            out_ += "]]><![CDATA[";
            text.remove_prefix(pos + 2);
        }
        out_.append(text);
        out_ += "]]>";
    }

    void dtd(const xmlNode* n)
    {
        xmlBufferPtr buffer = xmlBufferCreate();
        if (buffer == nullptr) {
            return;
        }
        xmlNodeDump(buffer, n->doc, const_cast<xmlNode*>(n), 0, 0);
        out_.append(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                    static_cast<std::size_t>(xmlBufferLength(buffer)));
        xmlBufferFree(buffer);
    }

    void attributeValue(const xmlNode* attr)
    {
        for (const xmlNode* part = attr->children; part != nullptr; part = part->next) {
            if (part->type == XML_ENTITY_REF_NODE) {
                out_ += '&';
                out_ += cstr(part->name);
                out_ += ';';
            } else {
                escapeAttribute(cstr(part->content), out_);
            }
        }
    }

    static const std::string* find(const std::vector<Binding>& list, std::string_view prefix)
    {
        for (const auto& b : list) {
            if (b.prefix == prefix) {
                return &b.href;
            }
        }
        return nullptr;
    }

    std::string freshPrefix(const std::vector<Binding>& decls) const
    {
        for (int i = 0;; ++i) {
            std::string candidate = "ns" + std::to_string(i);
            if (scope_.lookup(candidate) == nullptr && find(decls, candidate) == nullptr) {
                return candidate;
            }
        }
    }

    void startTag(const xmlNode* n)
    {
        std::vector<Binding> decls;
        for (const xmlNs* ns = n->nsDef; ns != nullptr; ns = ns->next) {
            decls.push_back({str(ns->prefix), str(ns->href)});
        }
        auto inScope = [&](std::string_view prefix) {
            const std::string* href = find(decls, prefix);
            return href ? *href : scope_.hrefOf(prefix);
        };

        const std::string elementPrefix = n->ns ? str(n->ns->prefix) : std::string();
        const std::string elementHref = n->ns ? str(n->ns->href) : std::string();
        if (inScope(elementPrefix) != elementHref && find(decls, elementPrefix) == nullptr) {
            decls.push_back({elementPrefix, elementHref});
        }

        std::vector<std::string> attributePrefixes;
        for (const xmlAttr* a = n->properties; a != nullptr; a = a->next) {
            std::string prefix;
            if (a->ns != nullptr) {
                const std::string href = str(a->ns->href);
                prefix = str(a->ns->prefix);
                if (href == kXmlNamespace) {
                    prefix = "xml";
                } else {
                    if (prefix.empty()) {
                        prefix = inScopePrefix(decls, href);
                    }
                    if (prefix.empty() || (inScope(prefix) != href && find(decls, prefix) != nullptr)) {
                        prefix = freshPrefix(decls);
                    }
                    if (inScope(prefix) != href) {
                        decls.push_back({prefix, href});
                    }
                }
            }
            attributePrefixes.push_back(std::move(prefix));
        }

        std::string name = elementPrefix.empty() ? str(n->name) : elementPrefix + ":" + str(n->name);
        out_ += '<';
        out_ += name;
        for (const auto& d : decls) {
            out_ += d.prefix.empty() ? " xmlns" : " xmlns:" + d.prefix;
            out_ += "=\"";
            escapeAttribute(d.href, out_);
            out_ += '"';
        }
        std::size_t index = 0;
        for (const xmlAttr* a = n->properties; a != nullptr; a = a->next, ++index) {
            out_ += ' ';
            if (!attributePrefixes[index].empty()) {
                out_ += attributePrefixes[index];
                out_ += ':';
            }
            out_ += cstr(a->name);
            out_ += "=\"";
            attributeValue(reinterpret_cast<const xmlNode*>(a));
            out_ += '"';
        }
        scope_.push(decls);
        if (n->children != nullptr) {
            out_ += '>';
            names_.push_back(std::move(name));
        }
    }

    std::string inScopePrefix(const std::vector<Binding>& decls, const std::string& href) const
    {
        for (const auto& d : decls) {
            if (!d.prefix.empty() && d.href == href) {
                return d.prefix;
            }
        }
        return scope_.prefixFor(href);
    }

    std::string& out_;
    Scope scope_;
    std::vector<std::string> names_;
};

}  // namespace

std::string serializeNode(const xmlNode* node)
{
    std::string out;
    if (node == nullptr) {
        return out;
    }
    if (node->type == XML_DOCUMENT_NODE) {
        return serializeDocument(reinterpret_cast<const xmlDoc*>(node));
    }
    Writer writer(out);
    writer.node(node);
    return out;
}

std::string serializeDocument(const xmlDoc* doc)
{
    std::string out;
    for (const xmlNode* n = doc->children; n != nullptr; n = n->next) {
        Writer writer(out);
        writer.node(n);
        out += '\n';
    }
    return out;
}

}  // namespace xml::detail
