#pragma once

// Internal helpers shared by the files of platform/xml. Not for other folders.

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <string>
#include <string_view>

namespace xml::detail {

// Initialises libxml2 once per process. Safe to call often.
void ensureLibxml();

struct ErrorSink;

// While alive, libxml2 reports nothing to stderr on this thread, errors go to
// `sink` (when given), and every external entity or DTD that a parse would
// open is refused. The scope swaps process-wide libxml2 handlers, so parses
// run on the apartment thread, one scope stack at a time.
class QuietScope {
public:
    explicit QuietScope(ErrorSink* sink = nullptr);
    ~QuietScope();
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    xmlStructuredErrorFunc savedHandler_;
    void* savedContext_;
    xmlGenericErrorFunc savedGeneric_;
    void* savedGenericContext_;
    ErrorSink* savedSink_;
    xmlExternalEntityLoader savedLoader_;
};

// Collects the first error (level error or fatal) that libxml2 reports
// through a structured error callback; warnings are dropped.
struct ErrorSink {
    bool seen = false;
    int line = 0;
    int column = 0;
    int code = 0;
    std::string message;

    void record(const xmlError* error);
    // Structured error callback that records into the sink of the innermost
    // QuietScope of this thread (its data argument is ignored, because
    // libxml2 hands nested parser contexts their own data pointer).
    static void toCurrentScope(void* unused, xmlErrorPtr error);
};

inline std::string str(const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }
inline const char* cstr(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : ""; }
inline const xmlChar* bad(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

// Qualified name of an element or attribute as written ("fdt:tag").
std::string qualifiedName(const xmlNode* node);
// Namespace URI of an element or attribute; empty when none.
std::string namespaceOf(const xmlNode* node);

// Text of a node as MSXML's text property reads it: for elements and the
// document the text of every descendant (entity references expanded from
// their parsed content), optionally trimmed at both ends; for attributes
// their value; for other nodes their content.
std::string nodeText(const xmlNode* node, bool trim);
// Appends the expanded text of the children of `parent` (element,
// attribute or entity) to `out`.
void appendChildText(const xmlNode* parent, std::string& out);

bool isXmlSpace(char c);
std::string_view trimXmlSpace(std::string_view s);

// Source position recorded while parsing (1-based), 0/0 for built nodes.
void setSourcePosition(xmlNode* node, long line, long column);
void sourcePosition(const xmlNode* node, long& line, long& column);

}  // namespace xml::detail
