#pragma once
// Read-only view of the positioner package for the check tests: the device
// description and the DTM description parsed with libxml2, the parameters and
// HART commands of the description, and the language file read for one
// language the way the DTM reads it.

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devices_test {

inline constexpr const char* kDeviceNamespace = "http://hartdtm.invalid/device_description";
inline constexpr const char* kDtmNamespace = "http://hartdtm.invalid/dtm_description";

// An XML file with the prefix "user" bound to one namespace for XPath.
class XmlFile {
public:
    XmlFile(const std::string& path, const char* userNamespace);
    XmlFile(const XmlFile&) = delete;
    XmlFile& operator=(const XmlFile&) = delete;

    // Parse error text, empty when the file loaded.
    const std::string& error() const { return error_; }
    // Nodes selected by the XPath expression, relative to `context` (the document when null).
    std::vector<xmlNodePtr> select(const std::string& xpath, xmlNodePtr context = nullptr) const;
    xmlNodePtr first(const std::string& xpath, xmlNodePtr context = nullptr) const;

private:
    struct DocFree {
        void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
    };
    struct ContextFree {
        void operator()(xmlXPathContext* c) const { xmlXPathFreeContext(c); }
    };
    std::unique_ptr<xmlDoc, DocFree> doc_;
    std::unique_ptr<xmlXPathContext, ContextFree> xpath_;
    std::string error_;
};

// The attribute's text, or nullopt when the element lacks it.
std::optional<std::string> attribute(xmlNodePtr node, const char* name);
std::string attributeOr(xmlNodePtr node, const char* name, std::string fallback = "");
std::string textOf(xmlNodePtr node);

// A restriction of one kind: a constant text or a pointer to another parameter.
struct Restriction {
    std::optional<std::string> constant;
    std::optional<int64_t> pointer;
};

struct Parameter {
    int64_t id = 0;
    std::string label;
    std::string typeName;
    std::string interfaceName;  // "hart" or "internal"
    std::optional<int> sizeAttribute;
    bool isArray = false;
    bool writable = false;
    bool dynamic = false;
    std::optional<int> codeHart;
    std::optional<int> lowerBit;
    std::optional<int> upperBit;
    std::map<std::string, Restriction> restrictions;  // by kind
    const Parameter* parent = nullptr;
    std::vector<const Parameter*> components;

    const Restriction* restriction(const std::string& kind) const;
    std::string constant(const std::string& kind) const;
};

struct ReplyItem {
    int64_t id = 0;
    int position = -1;
    int size = -1;
    std::string referenceType;
};

struct Command {
    int number = -1;
    int index = 0;
    std::optional<int> queryBytes;
    std::optional<int> replyBytes;
    std::vector<int64_t> request;
    std::vector<ReplyItem> reply;
    std::string description;
};

// A language file read for one language code, with what the reader noticed.
struct LanguageTable {
    std::map<std::string, std::string> texts;
    std::vector<std::string> keysInOrder;
    std::vector<std::string> problems;  // lines the format cannot carry as intended
};
LanguageTable readLanguageFile(std::string_view contents, const std::string& code);

class Package {
public:
    static const Package& get();

    std::string directory;
    XmlFile description;
    XmlFile dtm;
    std::map<int64_t, std::unique_ptr<Parameter>> parameters;
    std::vector<std::string> loadProblems;  // e.g. an id that appears twice
    std::map<int, Command> commands;
    std::vector<int> commandOrder;
    std::string languageBytes;
    LanguageTable english;
    LanguageTable german;

    const Parameter* find(int64_t id) const;
    std::string path(const std::string& file) const { return directory + "/" + file; }

private:
    Package();
    void loadParameters();
    void addParameter(xmlNodePtr node, const std::string& interfaceName, Parameter* parent);
    void loadCommands();
};

// Bytes a parameter of this kind fills on the wire, nullopt for kinds without a
// byte coding of their own (bit ranges, time, pointers).
std::optional<int> wireSize(const Parameter& p);

// The numeric limits of "[lo to hi]" ranges, following limit pointers to the
// target's default; nullopt when the parameter has no such range.
struct Limits {
    double lower;
    double upper;
};
std::optional<Limits> limitsOf(const Package& pkg, const Parameter& p);

// The (number, text) entries of a "[n,text]" enumeration range.
std::vector<std::pair<long, std::string>> enumerationOf(const Parameter& p);

// Reads a whole file as bytes; empty when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace devices_test
