#include "tests/devices/positioner/package.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xpathInternals.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace devices_test {

namespace {

const char* kRestrictionKinds[] = {"default",        "value",       "range",
                                   "scaling_factor", "lower_limit", "upper_limit",
                                   "offset",         "damping",     "unit"};

std::optional<int> toInt(const std::optional<std::string>& text) {
    if (!text || text->empty()) return std::nullopt;
    char* end = nullptr;
    long v = std::strtol(text->c_str(), &end, 10);
    if (*end != '\0') return std::nullopt;
    return static_cast<int>(v);
}

std::optional<double> toDouble(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (*end != '\0') return std::nullopt;
    return v;
}

std::string trim(std::string_view s, const char* blanks = " \t") {
    auto b = s.find_first_not_of(blanks);
    if (b == std::string_view::npos) return {};
    auto e = s.find_last_not_of(blanks);
    return std::string(s.substr(b, e - b + 1));
}

std::string unescapeLineBreaks(std::string s) {
    for (const char* seq : {"\\r\\n", "\\n"}) {
        std::string::size_type at = 0;
        while ((at = s.find(seq, at)) != std::string::npos) {
            s.replace(at, std::char_traits<char>::length(seq), "\n");
            ++at;
        }
    }
    return s;
}

}  // namespace

XmlFile::XmlFile(const std::string& path, const char* userNamespace) {
    xmlResetLastError();
    doc_.reset(xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET));
    if (!doc_) {
        const xmlError* e = xmlGetLastError();
        error_ = path + ": " + (e && e->message ? e->message : "cannot be parsed");
        return;
    }
    xpath_.reset(xmlXPathNewContext(doc_.get()));
    xmlXPathRegisterNs(xpath_.get(), BAD_CAST "user", BAD_CAST userNamespace);
}

std::vector<xmlNodePtr> XmlFile::select(const std::string& xpath, xmlNodePtr context) const {
    std::vector<xmlNodePtr> nodes;
    if (!xpath_) return nodes;
    xmlNodePtr from = context ? context : xmlDocGetRootElement(doc_.get());
    xmlXPathObjectPtr result = context
                                   ? xmlXPathNodeEval(from, BAD_CAST xpath.c_str(), xpath_.get())
                                   : xmlXPathEvalExpression(BAD_CAST xpath.c_str(), xpath_.get());
    if (result && result->nodesetval) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i)
            nodes.push_back(result->nodesetval->nodeTab[i]);
    }
    xmlXPathFreeObject(result);
    return nodes;
}

xmlNodePtr XmlFile::first(const std::string& xpath, xmlNodePtr context) const {
    auto nodes = select(xpath, context);
    return nodes.empty() ? nullptr : nodes.front();
}

std::optional<std::string> attribute(xmlNodePtr node, const char* name) {
    if (!node) return std::nullopt;
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    if (!value) return std::nullopt;
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::string attributeOr(xmlNodePtr node, const char* name, std::string fallback) {
    return attribute(node, name).value_or(std::move(fallback));
}

std::string textOf(xmlNodePtr node) {
    if (!node) return {};
    xmlChar* value = xmlNodeGetContent(node);
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

const Restriction* Parameter::restriction(const std::string& kind) const {
    auto it = restrictions.find(kind);
    return it == restrictions.end() ? nullptr : &it->second;
}

std::string Parameter::constant(const std::string& kind) const {
    const Restriction* r = restriction(kind);
    return r && r->constant ? *r->constant : std::string();
}

LanguageTable readLanguageFile(std::string_view contents, const std::string& code) {
    LanguageTable table;
    const std::string marker = "|" + code + "|";
    std::string key;
    bool ownText = false;
    bool otherSeen = false;
    std::istringstream in{std::string(contents)};
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        std::string line = trim(raw, " \t\r");
        if (line.empty()) continue;
        if (line[0] == '[' && line.find(']', 1) != std::string::npos) {
            key = trim(line.substr(line.find(']', 1) + 1));
            ownText = otherSeen = false;
            if (table.texts.count(key)) table.problems.push_back("key defined twice: " + key);
            table.keysInOrder.push_back(key);
            continue;
        }
        if (key.empty()) {
            if (line.rfind("//", 0) != 0)
                table.problems.push_back("text before the first key, line " +
                                         std::to_string(lineNo));
            continue;
        }
        if (line.find('"') != std::string::npos) table.problems.push_back("double quote in " + key);
        line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
        if (line.rfind(marker, 0) == 0) {
            if (line.find('|', marker.size()) != std::string::npos ||
                line.find("//") != std::string::npos || line.find("/*") != std::string::npos) {
                table.problems.push_back("text of " + key + " holds a reserved sequence");
            }
            table.texts[key] = unescapeLineBreaks(trim(line.substr(marker.size())));
            ownText = true;
            continue;
        }
        bool foreign = line.find('|') != std::string::npos ||
                       line.find("/*") != std::string::npos || line.find("//") != std::string::npos;
        if (foreign) {
            otherSeen = true;
            continue;
        }
        // A plain continuation line: the files of this package have none, so a
        // plain line means a text was broken by accident.
        table.problems.push_back("plain line in entry " + key + ", line " + std::to_string(lineNo));
        if (ownText || !otherSeen) table.texts[key] += " " + unescapeLineBreaks(line);
    }
    return table;
}

const Package& Package::get() {
    static const Package package;
    return package;
}

Package::Package()
    : directory(std::string(HARTDTM_SOURCE_ROOT) + "/devices/positioner"),
      description(directory + "/Ravik.zor", kDeviceNamespace),
      dtm(directory + "/Varnholt Ravik HART Device Description.xml", kDtmNamespace) {
    loadParameters();
    loadCommands();
    languageBytes = readFile(path("Ravik_HART.dct"));
    english = readLanguageFile(languageBytes, "en");
    german = readLanguageFile(languageBytes, "de");
}

const Parameter* Package::find(int64_t id) const {
    auto it = parameters.find(id);
    return it == parameters.end() ? nullptr : it->second.get();
}

void Package::loadParameters() {
    for (const char* intf : {"hart", "internal"}) {
        std::string base = std::string("//user:device_interface[@bus_type='") + intf + "']";
        for (xmlNodePtr node : description.select(base + "/user:block/user:parameter"))
            addParameter(node, intf, nullptr);
        for (xmlNodePtr node : description.select(base + "/user:parameter"))
            addParameter(node, intf, nullptr);
    }
}

void Package::addParameter(xmlNodePtr node, const std::string& interfaceName, Parameter* parent) {
    auto p = std::make_unique<Parameter>();
    p->id = std::strtoll(attributeOr(node, "reference_id").c_str(), nullptr, 10);
    p->label = attributeOr(node, "label");
    p->interfaceName = interfaceName;
    p->parent = parent;
    xmlNodePtr dataType = description.first("user:data_type", node);
    p->typeName = attributeOr(dataType, "type_name");
    p->sizeAttribute =
        toInt(attribute(description.first("user:data_type/user:sized_type", node), "size"));
    p->isArray = description.first("user:data_type/user:array_type", node) != nullptr;
    if (xmlNodePtr bits = description.first("user:data_type/user:bit_range_type", node)) {
        p->lowerBit = toInt(attribute(bits, "lower_index"));
        p->upperBit = toInt(attribute(bits, "upper_index"));
    }
    p->writable = description.first("user:access[@writable='true']", node) != nullptr;
    p->dynamic = description.first("user:storage[@dynamic='true']", node) != nullptr;
    if (xmlNodePtr code = description.first("user:addressing/user:code_hart", node))
        p->codeHart = toInt(textOf(code));
    for (const char* kind : kRestrictionKinds) {
        Restriction r;
        std::string path = std::string("user:restriction/user:") + kind;
        if (xmlNodePtr c = description.first(path + "/user:constant", node)) r.constant = textOf(c);
        if (xmlNodePtr ptr = description.first(path + "/user:pointer", node)) {
            r.pointer = std::strtoll(attributeOr(ptr, "reference_id").c_str(), nullptr, 10);
        }
        if (r.constant || r.pointer) p->restrictions[kind] = r;
    }
    Parameter* raw = p.get();
    if (parameters.count(raw->id))
        loadProblems.push_back("reference id used twice: " + std::to_string(raw->id));
    parameters[raw->id] = std::move(p);
    if (parent) parent->components.push_back(raw);
    for (xmlNodePtr child : description.select("user:component", node))
        addParameter(child, interfaceName, raw);
}

void Package::loadCommands() {
    for (xmlNodePtr node : description.select(
             "//user:device_interface[@bus_type='hart']/user:block/user:action_hart")) {
        Command c;
        c.number =
            toInt(textOf(description.first("user:addressing/user:code_hart", node))).value_or(-1);
        c.index = toInt(textOf(description.first("user:addressing/user:index", node))).value_or(0);
        c.description = textOf(description.first("user:description", node));
        c.queryBytes = toInt(attribute(description.first("user:query", node), "byte_count"));
        c.replyBytes = toInt(attribute(description.first("user:reply", node), "byte_count"));
        for (xmlNodePtr item : description.select("user:query/user:action_item", node)) {
            c.request.push_back(
                std::strtoll(attributeOr(item, "referenced_parameter").c_str(), nullptr, 10));
        }
        for (xmlNodePtr item : description.select("user:reply/user:action_item", node)) {
            ReplyItem r;
            r.id = std::strtoll(attributeOr(item, "referenced_parameter").c_str(), nullptr, 10);
            r.position = toInt(attribute(item, "position")).value_or(-1);
            r.size = toInt(attribute(item, "size")).value_or(-1);
            r.referenceType = attributeOr(item, "reference_type", "<absent>");
            c.reply.push_back(r);
        }
        if (commands.count(c.number))
            loadProblems.push_back("command declared twice: " + std::to_string(c.number));
        commandOrder.push_back(c.number);
        commands[c.number] = c;
    }
}

std::optional<int> wireSize(const Parameter& p) {
    static const std::map<std::string, int> integerWidth = {
        {"unsigned8", 1}, {"unsigned16", 2}, {"unsigned24", 3}, {"unsigned32", 4},
        {"signed8", 1},   {"signed16", 2},   {"signed24", 3},   {"signed32", 4}};
    if (p.isArray || p.typeName == "complex") {
        int sum = 0;
        for (const Parameter* c : p.components) {
            auto s = wireSize(*c);
            if (!s) return std::nullopt;
            sum += *s;
        }
        return sum;
    }
    if (auto it = integerWidth.find(p.typeName); it != integerWidth.end()) return it->second;
    if (p.typeName == "float") return 4;
    if (p.typeName == "date") return 3;
    if (p.typeName == "packed_ascii" || p.typeName == "string" || p.typeName == "octet_string" ||
        p.typeName == "custom" || p.typeName == "bitmap") {
        return p.sizeAttribute;
    }
    return std::nullopt;
}

namespace {

std::optional<double> limitValue(const Package& pkg, const Parameter& p, const std::string& kind) {
    const Restriction* r = p.restriction(kind);
    if (!r) return std::nullopt;
    if (r->constant) return toDouble(*r->constant);
    const Parameter* target = r->pointer ? pkg.find(*r->pointer) : nullptr;
    return target ? toDouble(target->constant("default")) : std::nullopt;
}

}  // namespace

std::optional<Limits> limitsOf(const Package& pkg, const Parameter& p) {
    auto lo = limitValue(pkg, p, "lower_limit");
    auto hi = limitValue(pkg, p, "upper_limit");
    if (lo && hi) return Limits{*lo, *hi};
    double a = 0, b = 0;
    std::string range = p.constant("range");
    char rest = 0;
    if (!range.empty() && std::sscanf(range.c_str(), "[%lf to %lf]%c", &a, &b, &rest) == 2)
        return Limits{a, b};
    return std::nullopt;
}

std::vector<std::pair<long, std::string>> enumerationOf(const Parameter& p) {
    std::vector<std::pair<long, std::string>> entries;
    std::string range = p.constant("range");
    std::string::size_type open = 0;
    while ((open = range.find('[', open)) != std::string::npos) {
        auto close = range.find(']', open);
        if (close == std::string::npos) break;
        std::string piece = range.substr(open + 1, close - open - 1);
        auto comma = piece.find(',');
        char* end = nullptr;
        long number = std::strtol(piece.c_str(), &end, 10);
        if (comma != std::string::npos && end == piece.c_str() + comma) {
            entries.emplace_back(number, piece.substr(comma + 1));
        }
        open = close;
    }
    return entries;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace devices_test
