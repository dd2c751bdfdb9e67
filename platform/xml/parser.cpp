#include "platform/xml/parser_p.h"

#include <libxml/SAX2.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "platform/xml/document.h"
#include "platform/xml/libxml_support_p.h"

namespace xml::detail {
namespace {

constexpr int kMaxEntityNesting = 16;

// Parser-context extras, reached through xmlParserCtxt::_private (which
// libxml2 copies into the contexts it makes for entity content).
struct ParseHooks {
    startElementNsSAX2Func start = nullptr;
    endElementNsSAX2Func end = nullptr;
    int depth = 0;
    bool tooDeep = false;
    long line = 0;
    long column = 0;
};

void hookStart(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
               int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
               const xmlChar** attributes)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    auto* hooks = static_cast<ParseHooks*>(ctxt->_private);
    if (++hooks->depth > kMaxNestingDepth) {
        if (!hooks->tooDeep) {
            hooks->tooDeep = true;
            hooks->line = ctxt->input ? ctxt->input->line : 0;
            hooks->column = ctxt->input ? ctxt->input->col : 0;
        }
        xmlStopParser(ctxt);
        return;
    }
    hooks->start(ctx, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes, nbDefaulted, attributes);
    if (ctxt->node != nullptr && ctxt->input != nullptr) {
        setSourcePosition(ctxt->node, ctxt->input->line, ctxt->input->col);
    }
}

void hookEnd(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    auto* hooks = static_cast<ParseHooks*>(ctxt->_private);
    --hooks->depth;
    hooks->end(ctx, localname, prefix, uri);
}

xmlParserInputPtr refuseEntity(void*, const xmlChar*, const xmlChar*) { return nullptr; }

ParseError makeError(ErrorCode code, long line, long column, std::string reason)
{
    ParseError e;
    e.code = code;
    e.line = line;
    e.column = column;
    e.reason = std::move(reason);
    return e;
}

// Upper bound of the text that an entity expands to, counted over its
// replacement text with nested references expanded; saturates above the limit.
class EntityMeter {
public:
    explicit EntityMeter(xmlDocPtr doc) : doc_(doc) {}

    // False when an entity nests too deeply or refers to itself.
    bool size(xmlEntityPtr entity, std::size_t& result, int nesting = 0)
    {
        if (entity->etype == XML_INTERNAL_PREDEFINED_ENTITY) {
            result = 1;
            return true;
        }
        if (auto known = sizes_.find(entity); known != sizes_.end()) {
            result = known->second;
            return true;
        }
        if (nesting > kMaxEntityNesting || !active_.insert(entity).second) {
            return false;
        }
        std::size_t total = 0;
        const char* text = cstr(entity->content);
        for (const char* p = text; *p != '\0';) {
            if (*p == '&' && p[1] != '#') {
                const char* semi = std::strchr(p, ';');
                if (semi == nullptr) {
                    break;
                }
                std::string name(p + 1, semi);
                xmlEntityPtr inner = xmlGetDocEntity(doc_, bad(name.c_str()));
                std::size_t innerSize = 0;
                if (inner != nullptr && !size(inner, innerSize, nesting + 1)) {
                    return false;
                }
                total = saturatingAdd(total, innerSize);
                p = semi + 1;
            } else {
                total = saturatingAdd(total, 1);
                ++p;
            }
        }
        active_.erase(entity);
        sizes_[entity] = total;
        result = total;
        return true;
    }

    static std::size_t saturatingAdd(std::size_t a, std::size_t b)
    {
        const std::size_t cap = kMaxEntityExpansion + 1;
        return (a >= cap || b >= cap - a) ? cap : a + b;
    }

private:
    xmlDocPtr doc_;
    std::map<xmlEntityPtr, std::size_t> sizes_;
    std::set<xmlEntityPtr> active_;
};

// Refuses documents whose entity references would expand to more than
// kMaxEntityExpansion characters in total (the "billion laughs" shape).
ParseError checkEntityExpansion(xmlDocPtr doc)
{
    if (doc->intSubset == nullptr || doc->intSubset->entities == nullptr) {
        return {};
    }
    EntityMeter meter(doc);
    std::size_t total = 0;
    xmlNode* node = doc->children;
    while (node != nullptr) {
        if (node->type == XML_ENTITY_REF_NODE) {
            auto* entity = xmlGetDocEntity(doc, node->name);
            std::size_t size = 0;
            if (entity != nullptr && !meter.size(entity, size)) {
                long line = 0, column = 0;
                sourcePosition(node->parent, line, column);
                return makeError(ErrorCode::EntityExpansion, line, column,
                                 "Entity '" + str(node->name) + "' nests entities too deeply or refers to itself.");
            }
            total = EntityMeter::saturatingAdd(total, size);
            if (total > kMaxEntityExpansion) {
                long line = 0, column = 0;
                sourcePosition(node->parent, line, column);
                return makeError(ErrorCode::EntityExpansion, line, column,
                                 "Entity references expand to more than " + std::to_string(kMaxEntityExpansion) +
                                     " characters.");
            }
        }
        // Pre-order walk over elements and their attributes' values; entity
        // reference children are declarations, not owned content.
        xmlNode* next = nullptr;
        if (node->type == XML_ELEMENT_NODE && node->properties != nullptr) {
            for (xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
                for (xmlNode* part = attr->children; part != nullptr; part = part->next) {
                    if (part->type != XML_ENTITY_REF_NODE) {
                        continue;
                    }
                    auto* entity = xmlGetDocEntity(doc, part->name);
                    std::size_t size = 0;
                    if (entity != nullptr && !meter.size(entity, size)) {
                        size = kMaxEntityExpansion + 1;
                    }
                    total = EntityMeter::saturatingAdd(total, size);
                }
            }
            if (total > kMaxEntityExpansion) {
                long line = 0, column = 0;
                sourcePosition(node, line, column);
                return makeError(ErrorCode::EntityExpansion, line, column,
                                 "Entity references expand to more than " + std::to_string(kMaxEntityExpansion) +
                                     " characters.");
            }
        }
        if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
            next = node->children;
        } else {
            while (node != nullptr && node->next == nullptr) {
                node = node->parent;
                if (node == reinterpret_cast<xmlNode*>(doc)) {
                    node = nullptr;
                }
            }
            next = node ? node->next : nullptr;
        }
        node = next;
    }
    return {};
}

struct Declaration {
    bool present = false;
    bool namesEncoding = false;
};

// Looks at the XML declaration of the raw input (libxml2 keeps no node for it).
Declaration findDeclaration(std::string_view bytes, const xmlDoc* doc)
{
    Declaration d;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (bytes.size() >= 6 && bytes.substr(0, 5) == "<?xml" && isXmlSpace(bytes[5])) {
        d.present = true;
        const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
        d.namesEncoding = declaration.find("encoding") != std::string_view::npos;
        return d;
    }
    // UTF-16, with or without a byte order mark.
    static constexpr std::string_view le("<\0?\0x\0m\0l\0", 10);
    static constexpr std::string_view be("\0<\0?\0x\0m\0l", 10);
    if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
        bytes.remove_prefix(2);
    }
    d.present = bytes.substr(0, 10) == le || bytes.substr(0, 10) == be;
    d.namesEncoding = d.present && doc->encoding != nullptr;
    return d;
}

// Keeps the XML declaration as a leading "xml" processing instruction, as the
// DOM shows it; the data names UTF-8, the encoding every serialisation uses.
void keepDeclaration(xmlDocPtr doc, const Declaration& declaration)
{
    std::string data = "version=\"" + (doc->version ? str(doc->version) : std::string("1.0")) + "\"";
    if (declaration.namesEncoding) {
        data += " encoding=\"UTF-8\"";
    }
    if (doc->standalone == 1) {
        data += " standalone=\"yes\"";
    } else if (doc->standalone == 0) {
        data += " standalone=\"no\"";
    }
    xmlNode* pi = xmlNewDocPI(doc, bad("xml"), bad(data.c_str()));
    if (pi == nullptr) {
        return;
    }
    pi->parent = reinterpret_cast<xmlNode*>(doc);
    pi->next = doc->children;
    if (doc->children != nullptr) {
        doc->children->prev = pi;
    } else {
        doc->last = pi;
    }
    doc->children = pi;
}

}  // namespace

ParseOutcome parseBytes(std::string_view bytes, const ParseOptions& options)
{
    ParseOutcome outcome;
    if (bytes.size() > kMaxDocumentBytes) {
        outcome.error = makeError(ErrorCode::TooLarge, 0, 0,
                                  "The document is larger than " + std::to_string(kMaxDocumentBytes / (1024 * 1024)) +
                                      " MiB.");
        return outcome;
    }
    ErrorSink sink;
    QuietScope quiet(&sink);
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt == nullptr) {
        outcome.error = makeError(ErrorCode::Syntax, 0, 0, "Out of memory while creating the parser.");
        return outcome;
    }
    ParseHooks hooks;
    hooks.start = ctxt->sax->startElementNs;
    hooks.end = ctxt->sax->endElementNs;
    ctxt->_private = &hooks;
    ctxt->sax->startElementNs = hookStart;
    ctxt->sax->endElementNs = hookEnd;
    ctxt->sax->serror = ErrorSink::toCurrentScope;
    ctxt->sax->resolveEntity = refuseEntity;
    ctxt->sax->externalSubset = nullptr;

    int flags = XML_PARSE_NONET;
    if (!options.preserveWhiteSpace) {
        flags |= XML_PARSE_NOBLANKS;
    }
    if (options.ignoreDeclaredEncoding) {
        flags |= XML_PARSE_IGNORE_ENC;
    }
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), options.url,
                                      options.ignoreDeclaredEncoding ? "UTF-8" : nullptr, flags);
    const bool wellFormed = ctxt->wellFormed != 0 && ctxt->nsWellFormed != 0;
    xmlFreeParserCtxt(ctxt);

    if (hooks.tooDeep) {
        xmlFreeDoc(doc);
        outcome.error = makeError(ErrorCode::TooDeep, hooks.line, hooks.column,
                                  "Elements are nested deeper than " + std::to_string(kMaxNestingDepth) + " levels.");
        return outcome;
    }
    if (doc == nullptr || !wellFormed || sink.seen) {
        xmlFreeDoc(doc);
        outcome.error = makeError(ErrorCode::Syntax, sink.line, sink.column,
                                  sink.seen ? sink.message : std::string("The document is not well-formed."));
        return outcome;
    }
    if (ParseError entities = checkEntityExpansion(doc); entities.failed()) {
        xmlFreeDoc(doc);
        outcome.error = std::move(entities);
        return outcome;
    }
    if (const Declaration declaration = findDeclaration(bytes, doc); declaration.present) {
        keepDeclaration(doc, declaration);
    }
    outcome.doc = doc;
    return outcome;
}

ParseError readFile(const std::string& path, std::string& out)
{
    out.clear();
    if (path.find('\0') != std::string::npos) {
        return makeError(ErrorCode::FileNotFound, 0, 0, "The file name contains a NUL character.");
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return makeError(ErrorCode::FileNotFound, 0, 0,
                         "Cannot open the file '" + path + "': " + std::strerror(errno) + ".");
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            ::close(fd);
            return makeError(ErrorCode::FileRead, 0, 0, "'" + path + "' is a directory, not a file.");
        }
        if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > kMaxDocumentBytes) {
            ::close(fd);
            return makeError(ErrorCode::TooLarge, 0, 0,
                             "The file '" + path + "' is larger than " +
                                 std::to_string(kMaxDocumentBytes / (1024 * 1024)) + " MiB.");
        }
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            ::close(fd);
            out.clear();
            return makeError(ErrorCode::FileRead, 0, 0,
                             "Cannot read the file '" + path + "': " + std::strerror(err) + ".");
        }
        if (n == 0) {
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > kMaxDocumentBytes) {
            ::close(fd);
            out.clear();
            return makeError(ErrorCode::TooLarge, 0, 0,
                             "The file '" + path + "' is larger than " +
                                 std::to_string(kMaxDocumentBytes / (1024 * 1024)) + " MiB.");
        }
    }
    ::close(fd);
    return {};
}

}  // namespace xml::detail
