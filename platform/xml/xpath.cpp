#include "platform/xml/xpath_p.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/xml/libxml_support_p.h"
#include "platform/xml/text_check_p.h"

namespace xml::detail {
namespace {

// Bound on evaluation steps, so that a pathological expression cannot stall
// the caller.
constexpr unsigned long kXPathOperationLimit = 50'000'000;

struct ContextFree {
    void operator()(xmlXPathContext* c) const { xmlXPathFreeContext(c); }
};
struct CompFree {
    void operator()(xmlXPathCompExpr* c) const { xmlXPathFreeCompExpr(c); }
};
struct ObjectFree {
    void operator()(xmlXPathObject* o) const { xmlXPathFreeObject(o); }
};

using Prefixes = std::vector<std::pair<std::string, std::string>>;

// One XPath context and the compiled expressions, kept between evaluations:
// a fresh context registers every XPath function anew, which costs more than
// most of the small selections the callers make. Compiled expressions do not
// depend on the document or on the prefix bindings (those are resolved when
// evaluating). Guarded by a lock: documents may be used on several threads.
struct EvaluationCache {
    static constexpr std::size_t kMaxCompiled = 512;

    std::mutex lock;
    std::unique_ptr<xmlXPathContext, ContextFree> context;
    Prefixes boundPrefixes;
    std::unordered_map<std::string, std::unique_ptr<xmlXPathCompExpr, CompFree>> compiled;
};

EvaluationCache& evaluationCache()
{
    static EvaluationCache cache;
    return cache;
}

[[noreturn]] void fail(const std::string& what)
{
    throw Error(ErrorKind::InvalidArgument, "SelectionNamespaces: " + what);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parseSelectionNamespaces(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> result;
    std::size_t i = 0;
    auto skipSpace = [&] {
        while (i < text.size() && isXmlSpace(text[i])) {
            ++i;
        }
    };
    for (skipSpace(); i < text.size(); skipSpace()) {
        if (text.substr(i, 5) != "xmlns") {
            fail("expected 'xmlns' at position " + std::to_string(i + 1));
        }
        i += 5;
        std::string prefix;
        if (i < text.size() && text[i] == ':') {
            const std::size_t start = ++i;
            while (i < text.size() && text[i] != '=' && !isXmlSpace(text[i])) {
                ++i;
            }
            prefix = std::string(text.substr(start, i - start));
            if (!isNcName(prefix)) {
                fail("'" + prefix + "' is not a valid prefix");
            }
        }
        skipSpace();
        if (i >= text.size() || text[i] != '=') {
            fail("expected '=' after xmlns" + (prefix.empty() ? std::string() : ":" + prefix));
        }
        ++i;
        skipSpace();
        if (i >= text.size() || (text[i] != '\'' && text[i] != '"')) {
            fail("expected a quoted namespace URI for " + (prefix.empty() ? std::string("xmlns") : prefix));
        }
        const char quote = text[i++];
        const std::size_t close = text.find(quote, i);
        if (close == std::string_view::npos) {
            fail("unterminated namespace URI");
        }
        std::string uri(text.substr(i, close - i));
        requireCharData(uri, "SelectionNamespaces URI");
        i = close + 1;
        if (i < text.size() && !isXmlSpace(text[i])) {
            fail("expected white space after the namespace URI");
        }
        if (!prefix.empty() && uri.empty()) {
            fail("prefix '" + prefix + "' has an empty namespace URI");
        }
        result.emplace_back(std::move(prefix), std::move(uri));
    }
    return result;
}

std::vector<xmlNode*> evaluateNodes(xmlDocPtr doc, xmlNode* context, std::string_view expression,
                                    const std::vector<std::pair<std::string, std::string>>& prefixes)
{
    ErrorSink sink;
    QuietScope quiet(&sink);
    const std::string expr(expression);
    if (expr.find('\0') != std::string::npos) {
        throw Error(ErrorKind::XPath, "XPath expression contains a NUL character.");
    }
    EvaluationCache& cache = evaluationCache();
    std::lock_guard guard(cache.lock);
    if (!cache.context) {
        cache.context.reset(xmlXPathNewContext(nullptr));
        cache.boundPrefixes.clear();
        if (!cache.context) {
            throw Error(ErrorKind::OutOfMemory, "Out of memory while creating an XPath context.");
        }
    }
    xmlXPathContext* ctx = cache.context.get();
    ctx->doc = doc;
    ctx->node = context;
    ctx->error = ErrorSink::toCurrentScope;
    ctx->opLimit = kXPathOperationLimit;
    ctx->opCount = 0;
    if (cache.boundPrefixes != prefixes) {
        xmlXPathRegisteredNsCleanup(ctx);
        cache.boundPrefixes.clear();
        for (const auto& [prefix, uri] : prefixes) {
            if (!prefix.empty() && xmlXPathRegisterNs(ctx, bad(prefix.c_str()), bad(uri.c_str())) != 0) {
                xmlXPathRegisteredNsCleanup(ctx);
                throw Error(ErrorKind::OutOfMemory, "Cannot bind the XPath prefix '" + prefix + "'.");
            }
        }
        cache.boundPrefixes = prefixes;
    }
    auto describe = [&](const char* what) {
        return std::string(what) + " '" + expr + "'" + (sink.seen ? ": " + sink.message : std::string()) + ".";
    };
    auto known = cache.compiled.find(expr);
    if (known == cache.compiled.end()) {
        std::unique_ptr<xmlXPathCompExpr, CompFree> compiled(xmlXPathCtxtCompile(ctx, bad(expr.c_str())));
        if (!compiled) {
            throw Error(ErrorKind::XPath, describe("Invalid XPath expression"));
        }
        if (cache.compiled.size() >= EvaluationCache::kMaxCompiled) cache.compiled.clear();
        known = cache.compiled.emplace(expr, std::move(compiled)).first;
    }
    std::unique_ptr<xmlXPathObject, ObjectFree> result(xmlXPathCompiledEval(known->second.get(), ctx));
    // The context keeps no node of this document beyond the evaluation.
    ctx->doc = nullptr;
    ctx->node = nullptr;
    if (!result || sink.seen) {
        throw Error(ErrorKind::XPath, describe("Cannot evaluate the XPath expression"));
    }
    if (result->type != XPATH_NODESET) {
        throw Error(ErrorKind::XPath, "The XPath expression '" + expr + "' does not select nodes.");
    }
    std::vector<xmlNode*> nodes;
    if (result->nodesetval != nullptr) {
        nodes.reserve(static_cast<std::size_t>(result->nodesetval->nodeNr));
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
            xmlNode* n = result->nodesetval->nodeTab[i];
            if (n == nullptr) {
                continue;
            }
            switch (n->type) {
            case XML_ELEMENT_NODE:
            case XML_ATTRIBUTE_NODE:
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
            case XML_COMMENT_NODE:
            case XML_PI_NODE:
            case XML_DOCUMENT_NODE:
                nodes.push_back(n);
                break;
            default:
                break;  // namespace nodes are copies owned by the result
            }
        }
    }
    return nodes;
}

}  // namespace xml::detail
