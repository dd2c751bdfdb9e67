#include "tests/devices/level/level_package_model.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

namespace level_package {
namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextFree {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct ObjectFree {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;
using ContextPtr = std::unique_ptr<xmlXPathContext, ContextFree>;

// An XML file with the prefix "user" bound to one namespace.
class XmlFile {
public:
    XmlFile(const std::string& path, const char* userNamespace, std::string& error) {
        doc_.reset(xmlReadFile(path.c_str(), nullptr,
                               XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
        if (!doc_) {
            const xmlError* last = xmlGetLastError();
            error = "cannot read " + path + ": " + (last && last->message ? last->message : "?");
            return;
        }
        context_.reset(xmlXPathNewContext(doc_.get()));
        if (userNamespace)
            xmlXPathRegisterNs(context_.get(), BAD_CAST "user", BAD_CAST userNamespace);
    }
    explicit operator bool() const { return doc_ != nullptr; }
    xmlNode* root() const { return xmlDocGetRootElement(doc_.get()); }

    std::vector<xmlNode*> select(const std::string& xpath, xmlNode* from = nullptr) const {
        context_->node = from ? from : reinterpret_cast<xmlNode*>(doc_.get());
        std::unique_ptr<xmlXPathObject, ObjectFree> result(
            xmlXPathEvalExpression(BAD_CAST xpath.c_str(), context_.get()));
        std::vector<xmlNode*> nodes;
        if (result && result->nodesetval) {
            for (int i = 0; i < result->nodesetval->nodeNr; ++i)
                nodes.push_back(result->nodesetval->nodeTab[i]);
        }
        return nodes;
    }
    std::optional<std::string> text(const std::string& xpath, xmlNode* from = nullptr) const {
        auto nodes = select(xpath, from);
        if (nodes.empty()) return std::nullopt;
        xmlChar* content = xmlNodeGetContent(nodes.front());
        std::string value = content ? reinterpret_cast<const char*>(content) : "";
        xmlFree(content);
        return value;
    }

private:
    DocPtr doc_;
    ContextPtr context_;
};

std::string attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

int leadingNumber(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

std::optional<int> optionalNumber(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return leadingNumber(*text);
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
    return text;
}

// Lines end at CR or LF, as the engine reads a language file.
std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    std::vector<std::string> lines;
    std::string line;
    for (char ch : content.str()) {
        if (ch == '\r' || ch == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += ch;
        }
    }
    lines.push_back(line);
    return lines;
}

bool isKeyLine(const std::string& line) {
    return !line.empty() && line[0] == '[' && line.find(']', 1) != std::string::npos;
}

void readParameter(const XmlFile& file, xmlNode* node, const std::string& busType, int parentId,
                   bool parentWritable, DeviceDescription& out) {
    Parameter p;
    p.id = leadingNumber(attribute(node, "reference_id"));
    p.label = attribute(node, "label");
    p.typeName = file.text("user:data_type/@type_name", node).value_or("");
    p.sizedTypeSize = optionalNumber(file.text("user:data_type/user:sized_type/@size", node));
    p.bitLower = optionalNumber(file.text("user:data_type/user:bit_range_type/@lower_index", node));
    p.bitUpper = optionalNumber(file.text("user:data_type/user:bit_range_type/@upper_index", node));
    p.isComponent = parentId != 0;
    p.parentId = parentId;
    p.busType = busType;
    p.writable = p.isComponent ? parentWritable
                               : !file.select("user:access[@writable='true']", node).empty();
    p.defaultValue = file.text("user:restriction/user:default/user:constant", node);
    p.range = file.text("user:restriction/user:range/user:constant", node);
    p.lowerLimit = file.text("user:restriction/user:lower_limit/user:constant", node);
    p.upperLimit = file.text("user:restriction/user:upper_limit/user:constant", node);
    p.unitPointer =
        optionalNumber(file.text("user:restriction/user:unit/user:pointer/@reference_id", node));
    p.lowerLimitPointer = optionalNumber(
        file.text("user:restriction/user:lower_limit/user:pointer/@reference_id", node));
    p.upperLimitPointer = optionalNumber(
        file.text("user:restriction/user:upper_limit/user:pointer/@reference_id", node));
    for (xmlNode* component : file.select("user:component", node)) {
        p.components.push_back(leadingNumber(attribute(component, "reference_id")));
        readParameter(file, component, busType, p.id, p.writable, out);
    }
    if (out.parameters.count(p.id)) out.duplicateIds.push_back(p.id);
    out.parameters[p.id] = p;
}

void readCommand(const XmlFile& file, xmlNode* node, DeviceDescription& out) {
    Command c;
    c.number = leadingNumber(file.text("user:addressing/user:code_hart", node).value_or(""));
    c.index = leadingNumber(file.text("user:addressing/user:index", node).value_or("0"));
    for (xmlNode* item : file.select("user:query/user:action_item", node))
        c.query.push_back(leadingNumber(attribute(item, "referenced_parameter")));
    for (xmlNode* item : file.select("user:reply/user:action_item", node)) {
        c.reply.push_back({leadingNumber(attribute(item, "referenced_parameter")),
                           leadingNumber(attribute(item, "position")),
                           leadingNumber(attribute(item, "size"))});
    }
    if (out.commands.count(c.number)) out.duplicateCommands.push_back(c.number);
    out.commands[c.number] = c;
}

}  // namespace

std::string packageDir() {
    return std::string(HARTDTM_SOURCE_ROOT) + "/devices/level";
}

std::string packagePath(const std::string& fileName) {
    return packageDir() + "/" + fileName;
}

DeviceDescription loadDeviceDescription(const std::string& path, std::string& error) {
    DeviceDescription out;
    XmlFile file(path, kDeviceNamespace, error);
    if (!file) return out;
    out.rootNamespace = file.root()->ns ? reinterpret_cast<const char*>(file.root()->ns->href) : "";
    for (const char* busType : {"hart", "internal"}) {
        const std::string interfacePath =
            std::string("//user:device_interface[@bus_type='") + busType + "']";
        auto interfaces = file.select(interfacePath);
        (std::string(busType) == "hart" ? out.hartInterfaces : out.internalInterfaces) =
            static_cast<int>(interfaces.size());
        for (xmlNode* interfaceNode : interfaces) {
            for (xmlNode* node :
                 file.select("user:block/user:parameter | user:parameter", interfaceNode))
                readParameter(file, node, busType, 0, false, out);
            for (xmlNode* node : file.select("user:block/user:action_hart", interfaceNode))
                readCommand(file, node, out);
        }
    }
    return out;
}

DtmDescription loadDtmDescription(const std::string& path, std::string& error) {
    DtmDescription out;
    XmlFile file(path, kDtmNamespace, error);
    if (!file) return out;
    out.rootNamespace = file.root()->ns ? reinterpret_cast<const char*>(file.root()->ns->href) : "";
    const char* names[] = {"name", "vendor", "version", "date", "descriptor"};
    for (auto [xpath, target] : {std::pair{"//user:DTMVersion", &out.dtmVersion},
                                 std::pair{"//user:DeviceVersion", &out.deviceVersion}}) {
        auto nodes = file.select(xpath);
        if (nodes.empty()) continue;
        for (const char* name : names) {
            if (xmlHasProp(nodes.front(), BAD_CAST name))
                (*target)[name] = attribute(nodes.front(), name);
        }
    }
    out.deviceViewProgId = file.text("//user:DeviceView/@activex_prog_id").value_or("");
    for (xmlNode* menu : file.select("//user:Menu")) {
        MenuEntry entry;
        entry.separator = attribute(menu, "separator") == "true";
        entry.label = attribute(menu, "label");
        entry.functionId = leadingNumber(file.text("user:Function/@id", menu).value_or("0"));
        entry.hasGui = attribute(menu, "hasGUI") == "true";
        out.menus.push_back(entry);
    }
    return out;
}

SimulatorProfile loadSimulatorProfile(const std::string& path, std::string& error) {
    SimulatorProfile profile;
    XmlFile file(path, nullptr, error);
    if (!file) return profile;
    for (xmlAttr* a = file.root()->properties; a; a = a->next)
        profile.attributes[reinterpret_cast<const char*>(a->name)] =
            attribute(file.root(), reinterpret_cast<const char*>(a->name));
    for (xmlNode* node : file.select("/simulator_profile/value")) {
        xmlChar* content = xmlNodeGetContent(node);
        profile.values[leadingNumber(attribute(node, "reference_id"))] =
            content ? reinterpret_cast<const char*>(content) : "";
        xmlFree(content);
    }
    return profile;
}

std::optional<int> wireSize(const DeviceDescription& description, const Parameter& parameter) {
    static const std::map<std::string, int> fixed = {
        {"unsigned8", 1}, {"unsigned16", 2}, {"unsigned24", 3}, {"unsigned32", 4},
        {"signed8", 1},   {"signed16", 2},   {"signed24", 3},   {"signed32", 4},
        {"float", 4},     {"double", 8},     {"date", 3}};
    if (auto it = fixed.find(parameter.typeName); it != fixed.end()) return it->second;
    if (parameter.typeName == "packed_ascii" || parameter.typeName == "string" ||
        parameter.typeName == "octet_string")
        return parameter.sizedTypeSize;
    if (parameter.typeName == "complex") {
        int total = 0;
        for (int id : parameter.components) {
            auto it = description.parameters.find(id);
            if (it == description.parameters.end()) return std::nullopt;
            auto size = wireSize(description, it->second);
            if (!size) return std::nullopt;
            total += *size;
        }
        return total;
    }
    return std::nullopt;
}

std::map<std::string, std::string> readLanguageTable(const std::string& path,
                                                     const std::string& languageCode) {
    std::map<std::string, std::string> table;
    const std::string marker = "|" + languageCode + "|";
    std::string key;
    bool haveKey = false, ownSeen = false, otherSeen = false, ended = false;
    std::string text;
    for (std::string line : fileLines(path)) {
        line = trim(line);
        if (line.empty()) continue;
        if (isKeyLine(line)) {
            key = trim(line.substr(line.find(']') + 1));
            haveKey = true;
            ownSeen = otherSeen = ended = false;
            text.clear();
            continue;
        }
        if (!haveKey) continue;
        line = replaceAll(line, "\"", "");
        auto unescape = [](const std::string& s) {
            return replaceAll(replaceAll(s, "\\r\\n", "\n"), "\\n", "\n");
        };
        if (line.find(marker) != std::string::npos) {
            text = unescape(trim(line.substr(std::min(marker.size(), line.size()))));
            ownSeen = true;
            table[key] = text;
        } else if (line.find('|') != std::string::npos || line.find("/*") != std::string::npos ||
                   line.find("//") != std::string::npos) {
            (ownSeen ? ended : otherSeen) = true;
        } else if ((!otherSeen && !ownSeen) || (ownSeen && !ended)) {
            std::string piece = unescape(line);
            if (!text.empty() && text.back() != ' ' && piece.front() != ' ') text += ' ';
            text += piece;
            table[key] = text;
        }
    }
    return table;
}

std::vector<std::string> unmarkedEntryLines(const std::string& path) {
    static const std::regex languageLine(R"(^\|[a-z]{2}\| .*)");
    std::vector<std::string> bad;
    bool inEntry = false;
    for (std::string line : fileLines(path)) {
        line = trim(line);
        if (isKeyLine(line)) {
            inEntry = true;
        } else if (inEntry && !line.empty() && line.rfind("//", 0) != 0 &&
                   !std::regex_match(line, languageLine)) {
            bad.push_back(line);
        }
    }
    return bad;
}

std::vector<std::pair<long, std::string>> enumerationEntries(const std::string& range) {
    static const std::regex entry(R"(\[(-?\d+),([^\]\[]+)\])");
    std::vector<std::pair<long, std::string>> out;
    for (std::sregex_iterator it(range.begin(), range.end(), entry), end; it != end; ++it)
        out.emplace_back(std::stol((*it)[1]), (*it)[2]);
    return out;
}

std::vector<std::pair<std::string, std::string>> valueLabelEntries(const std::string& range) {
    static const std::regex entry(R"(\[([^\]\[=]+)=([^\]\[]+)\])");
    std::vector<std::pair<std::string, std::string>> out;
    for (std::sregex_iterator it(range.begin(), range.end(), entry), end; it != end; ++it)
        out.emplace_back((*it)[1], (*it)[2]);
    return out;
}

std::map<long, std::string> unitEntries(const std::string& range) {
    static const std::regex entry(R"(\{(\d+),([^{}]+)\})");
    std::map<long, std::string> out;
    for (std::sregex_iterator it(range.begin(), range.end(), entry), end; it != end; ++it)
        out[std::stol((*it)[1])] = (*it)[2];
    return out;
}

ScriptReferences scriptReferences(const std::string& script) {
    ScriptReferences refs;
    std::string rest = script;
    while (!(rest = trim(rest)).empty()) {
        const auto close = rest.find(']');
        if (rest.rfind("upload", 0) == 0 || rest.rfind("download", 0) == 0) {
            const std::string element =
                rest.substr(0, close == std::string::npos ? rest.size() : close + 1);
            std::string token;
            for (char ch : element + " ") {
                if (ch == '[' || ch == ']' || ch == ' ' || ch == ',') {
                    if (!token.empty() && std::isdigit(static_cast<unsigned char>(token[0])))
                        refs.commands.push_back(leadingNumber(token));
                    token.clear();
                } else {
                    token += ch;
                }
            }
            rest.erase(0, element.size());
        } else if (rest.rfind("setvalue[", 0) == 0) {
            refs.setValueIds.push_back(leadingNumber(rest.substr(9)));
            rest.erase(0, close == std::string::npos ? rest.size() : close + 1);
        } else {
            rest.erase(0, 1);
        }
    }
    return refs;
}

}  // namespace level_package
