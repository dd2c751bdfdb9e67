// Checks of the device description "Ravik.zor": every parameter and command
// the DTM and its panels use exists, every command's bytes are laid out
// consistently with the parameters' types, and every restriction resolves.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <regex>
#include <set>
#include <string>

#include "tests/devices/positioner/package.h"
#include "tests/devices/positioner/positioner_tables.h"

namespace devices_test {
namespace {

const Package& pkg() {
    return Package::get();
}

bool isUserParameter(int64_t id) {
    return std::find(std::begin(kUserParameterIds), std::end(kUserParameterIds), id) !=
           std::end(kUserParameterIds);
}

// The (command, index) pairs of one upload or download element, read like the engine reads them.
std::vector<std::pair<int, int>> commandsOf(std::string_view element) {
    std::vector<std::pair<int, int>> out;
    std::string token;
    auto flush = [&] {
        if (!token.empty() && token[0] >= '0' && token[0] <= '9') {
            int number = std::atoi(token.c_str());
            int index = 0;
            auto open = token.find('(');
            if (open != std::string::npos && token.find(')', open) != std::string::npos) {
                index = std::atoi(token.c_str() + open + 1);
            }
            out.emplace_back(number, index);
        }
        token.clear();
    };
    for (char c : element) {
        if (c == '[' || c == ']' || c == ' ' || c == ',')
            flush();
        else
            token += c;
    }
    flush();
    return out;
}

struct ScriptParts {
    std::vector<std::pair<int, int>> commands;
    std::vector<std::pair<int64_t, std::string>> assignments;
};

ScriptParts parseScript(std::string_view script) {
    ScriptParts parts;
    std::string s(script);
    while (!s.empty()) {
        auto close = s.find(']');
        bool transfer = s.rfind("upload", 0) == 0 || s.rfind("download", 0) == 0;
        if ((transfer || s.rfind("setvalue[", 0) == 0) && close != std::string::npos) {
            std::string element = s.substr(0, close + 1);
            if (transfer) {
                auto cmds = commandsOf(element);
                parts.commands.insert(parts.commands.end(), cmds.begin(), cmds.end());
            } else {
                auto eq = element.find('=');
                parts.assignments.emplace_back(std::strtoll(element.c_str() + 9, nullptr, 10),
                                               element.substr(eq + 1, element.size() - eq - 2));
            }
            s.erase(0, close + 1);
        } else {
            s.erase(0, 1);
        }
    }
    return parts;
}

// Whether the parameter takes the display text as a user value, as far as its
// range says (numeric limits and enumerations; other kinds accept any text).
::testing::AssertionResult accepts(const Parameter& p, const std::string& text) {
    auto entries = enumerationOf(p);
    if (!entries.empty()) {
        long v = std::strtol(text.c_str(), nullptr, 10);
        for (auto& [n, label] : entries) {
            if (n == v) return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << text << " is no entry of " << p.constant("range");
    }
    if (p.typeName == "bitmap") {
        bool bits = !text.empty() && text.find_first_not_of("01") == std::string::npos;
        if (bits && static_cast<int>(text.size()) <= 8 * p.sizeAttribute.value_or(0)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << text << " is no bit text for " << p.sizeAttribute.value_or(0) << " bytes";
    }
    auto limits = limitsOf(pkg(), p);
    if (!limits) return ::testing::AssertionSuccess();
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0')
        return ::testing::AssertionFailure() << text << " is not a number";
    if (v < limits->lower || v > limits->upper) {
        return ::testing::AssertionFailure()
               << text << " lies outside [" << limits->lower << " to " << limits->upper << "]";
    }
    return ::testing::AssertionSuccess();
}

TEST(PositionerDescription, LoadsWithoutDuplicates) {
    ASSERT_EQ(pkg().description.error(), "");
    EXPECT_TRUE(pkg().loadProblems.empty()) << pkg().loadProblems.front();
    EXPECT_NE(pkg().description.first("//user:device_interface[@bus_type='hart']"), nullptr);
    EXPECT_NE(pkg().description.first("//user:device_interface[@bus_type='internal']"), nullptr);
}

TEST(PositionerDescription, HoldsEveryNamedParameter) {
    for (int64_t id : kNamedParameterIds) EXPECT_NE(pkg().find(id), nullptr) << "parameter " << id;
    for (int64_t id : kFixedParameterIds) EXPECT_NE(pkg().find(id), nullptr) << "parameter " << id;
}

TEST(PositionerDescription, LeavesUserParametersToTheDtm) {
    for (int64_t id : kUserParameterIds) EXPECT_EQ(pkg().find(id), nullptr) << "parameter " << id;
    // The engine creates the short address itself.
    EXPECT_EQ(pkg().find(1), nullptr);
}

TEST(PositionerDescription, ScriptsNameExistingCommandsAndAcceptedValues) {
    for (std::string_view script : kScripts) {
        ScriptParts parts = parseScript(script);
        EXPECT_FALSE(parts.commands.empty() && parts.assignments.empty()) << script;
        for (auto [number, index] : parts.commands) {
            auto it = pkg().commands.find(number);
            ASSERT_NE(it, pkg().commands.end()) << "command " << number << " of " << script;
            EXPECT_EQ(it->second.index, index) << script;
        }
        for (auto& [id, value] : parts.assignments) {
            if (isUserParameter(id)) continue;
            const Parameter* p = pkg().find(id);
            ASSERT_NE(p, nullptr) << "parameter " << id << " of " << script;
            EXPECT_TRUE(accepts(*p, value)) << "parameter " << id << " of " << script;
        }
    }
}

TEST(PositionerDescription, HoldsEveryCommandTheDtmReactsTo) {
    for (int number : kReactedCommands)
        EXPECT_EQ(pkg().commands.count(number), 1u) << "command " << number;
}

TEST(PositionerDescription, ValuesTheWorkflowsWriteAreAccepted) {
    const struct {
        int64_t id;
        const char* value;
    } writes[] = {
        {91960530, "10"},       {355593108, "0"},      {1471241131, "1.0"}, {975363836, "0.0"},
        {1650953595, "100.0"},  {1316907256, "1"},     {538227773, "0"},    {596505115, "0"},
        {1674210272, "0"},      {441737182, "0"},      {896913603, "30"},   {2093141900, "3"},
        {2093141900, "2"},      {758096017, "0"},      {758096017, "1"},    {360852134, "0"},
        {360852134, "1"},       {299973559, "255"},    {590986998, "255"},  {1975135428, "36000"},
        {1525348713, "150"},    {62654756, "20"},      {1647644264, "120"}, {305006651, "2"},
        {1811011549, "999"},    {2062011447, "-1999"}, {2062011447, "999"}, {525996180, "20"},
        {1570121222, "255.00"},
    };
    for (auto& w : writes) {
        const Parameter* p = pkg().find(w.id);
        ASSERT_NE(p, nullptr) << w.id;
        // Integers accept a fraction of zeros ("255.00"), which strtod reads as the same number.
        EXPECT_TRUE(accepts(*p, w.value)) << "parameter " << w.id;
    }
}

TEST(PositionerDescription, CommandItemsFitTheirBytes) {
    for (int number : pkg().commandOrder) {
        const Command& c = pkg().commands.at(number);
        SCOPED_TRACE("command " + std::to_string(number));
        EXPECT_FALSE(c.description.empty());
        int requestBytes = 0;
        for (int64_t id : c.request) {
            const Parameter* p = pkg().find(id);
            ASSERT_NE(p, nullptr) << "request item " << id;
            auto size = wireSize(*p);
            ASSERT_TRUE(size.has_value()) << "request item " << id << " has no byte coding";
            EXPECT_EQ(p->interfaceName, "hart") << id;
            requestBytes += *size;
        }
        EXPECT_EQ(c.queryBytes.value_or(-1), requestBytes);
        int next = 0;
        for (const ReplyItem& item : c.reply) {
            const Parameter* p = pkg().find(item.id);
            ASSERT_NE(p, nullptr) << "reply item " << item.id;
            EXPECT_EQ(p->interfaceName, "hart") << item.id;
            EXPECT_EQ(item.referenceType, "") << item.id;
            EXPECT_EQ(item.position, next)
                << "reply item " << item.id << " leaves a gap or overlaps";
            EXPECT_EQ(std::optional<int>(item.size), wireSize(*p)) << "reply item " << item.id;
            next = item.position + item.size;
        }
        EXPECT_EQ(c.replyBytes.value_or(-1), next);
        EXPECT_LE(next, 255);
    }
}

struct Slot {
    int position;
    int size;
    int64_t id;
    const char* type;
};

void expectReply(int number, std::initializer_list<Slot> slots) {
    SCOPED_TRACE("command " + std::to_string(number));
    auto it = pkg().commands.find(number);
    ASSERT_NE(it, pkg().commands.end());
    ASSERT_EQ(it->second.reply.size(), slots.size());
    size_t i = 0;
    for (const Slot& s : slots) {
        const ReplyItem& item = it->second.reply[i++];
        EXPECT_EQ(item.position, s.position);
        EXPECT_EQ(item.size, s.size);
        if (s.id) {
            EXPECT_EQ(item.id, s.id);
        }
        const Parameter* p = pkg().find(item.id);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->typeName, s.type) << item.id;
    }
}

TEST(PositionerDescription, UniversalCommandsHaveTheStandardLayout) {
    expectReply(0, {{0, 1, 0, "unsigned8"},
                    {1, 1, 2024606965, "unsigned8"},
                    {2, 1, 965867385, "unsigned8"},
                    {3, 1, 1433626506, "unsigned8"},
                    {4, 1, 438775785, "unsigned8"},
                    {5, 1, 1340043404, "unsigned8"},
                    {6, 1, 1931717749, "unsigned8"},
                    {7, 1, 0, "bitmap"},
                    {8, 1, 1117277483, "unsigned8"},
                    {9, 3, 444726575, "unsigned24"}});
    expectReply(3, {{0, 4, 698020263, "float"},
                    {4, 1, 0, "unsigned8"},
                    {5, 4, 196666074, "float"},
                    {9, 1, 0, "unsigned8"},
                    {10, 4, 0, "float"},
                    {14, 1, 0, "unsigned8"},
                    {15, 4, 0, "float"},
                    {19, 1, 0, "unsigned8"},
                    {20, 4, 0, "float"}});
    expectReply(6, {{0, 1, 480012922, "unsigned8"}});
    expectReply(12, {{0, 24, 1031198652, "packed_ascii"}});
    expectReply(13, {{0, 6, 1122622930, "packed_ascii"},
                     {6, 12, 1331626720, "packed_ascii"},
                     {18, 3, 36205890, "date"}});
    expectReply(16, {{0, 3, 1085386367, "unsigned24"}});
    expectReply(17, {{0, 24, 1031198652, "packed_ascii"}});
    expectReply(18, {{0, 6, 1122622930, "packed_ascii"},
                     {6, 12, 1331626720, "packed_ascii"},
                     {18, 3, 36205890, "date"}});
    expectReply(19, {{0, 3, 1085386367, "unsigned24"}});
    expectReply(35,
                {{0, 1, 0, "unsigned8"}, {1, 4, 365794669, "float"}, {5, 4, 1904220959, "float"}});
    expectReply(38, {});
    expectReply(40, {{0, 4, 46460907, "float"}});
    expectReply(42, {});
    expectReply(108, {{0, 1, 441397865, "unsigned8"}});
    expectReply(109, {{0, 1, 266860845, "unsigned8"}});
    const struct {
        int number;
        std::vector<int64_t> request;
    } requests[] = {{0, {}},
                    {3, {}},
                    {6, {480012922}},
                    {13, {}},
                    {17, {1031198652}},
                    {18, {1122622930, 1331626720, 36205890}},
                    {19, {1085386367}},
                    {40, {46460907}},
                    {108, {441397865}},
                    {109, {266860845}}};
    for (auto& r : requests) EXPECT_EQ(pkg().commands.at(r.number).request, r.request) << r.number;
    // Command 35 sends the range unit code first, then the upper and the lower range value.
    auto& request35 = pkg().commands.at(35).request;
    ASSERT_EQ(request35.size(), 3u);
    EXPECT_EQ(pkg().find(request35[0])->typeName, "unsigned8");
    EXPECT_EQ((std::vector<int64_t>{request35[1], request35[2]}),
              (std::vector<int64_t>{365794669, 1904220959}));
}

TEST(PositionerDescription, DeviceSpecificCommandsCarryWhatTheWorkflowsRead) {
    const struct {
        int number;
        std::vector<int64_t> reply;  // ids that the reply must hold
        std::vector<int64_t> request;
    } rows[] = {
        {135, {1988910801}, {360852134}},
        {136, {380976253, 1974096750, 364446638, 986329577}, {}},
        {138, {}, {1196389098}},
        {139, {2145316696, 246925225, 1313870629, 1704165009, 1857816441}, {}},
        {155, {}, {2093141900, 1023235601, 758096017}},
        {160, {}, {877524290}},
        {172, {}, {802003863}},
        {184, {}, {1734770901}},
        {185, {}, {707049616, 711731265, 525996180}},
        {189, {}, {896913603, 1822474542}},
        {190, {}, {91960530, 355593108, 1471241131, 975363836, 1650953595, 1316907256, 2054511026}},
        {191, {988157535, 870778017, 264790405, 1571471286, 1045874997}, {625914617}},
        {192, {1277811141, 1270038270, 1271456638}, {625914617}},
        {200, {743187560, 2108846086, 1751090547}, {}},
        {201, {44816747, 573452228, 1263913321, 808165504}, {}},
        {207, {365794669, 1904220959}, {}},
        {210, {840707063, 1950661746, 261012777, 1581337199, 1340640597, 918008295}, {}},
        {216, {1054464796, 2062011447, 538227773, 596505115, 1674210272, 441737182}, {}},
        {249, {1988910801, 326335648}, {}},
        {251, {1417747975}, {}},
    };
    for (auto& row : rows) {
        const Command& c = pkg().commands.at(row.number);
        for (int64_t id : row.reply) {
            bool found = std::any_of(c.reply.begin(), c.reply.end(),
                                     [&](const ReplyItem& r) { return r.id == id; });
            EXPECT_TRUE(found) << "command " << row.number << " lacks reply item " << id;
        }
        for (int64_t id : row.request) {
            EXPECT_NE(std::find(c.request.begin(), c.request.end(), id), c.request.end())
                << "command " << row.number << " lacks request item " << id;
        }
    }
}

// Ids carried by a command item, with the components of complex and array items.
std::set<int64_t> travellingIds() {
    std::set<int64_t> ids;
    std::function<void(const Parameter*)> add = [&](const Parameter* p) {
        ids.insert(p->id);
        for (const Parameter* c : p->components) add(c);
    };
    for (auto& [number, c] : pkg().commands) {
        for (int64_t id : c.request) {
            if (auto p = pkg().find(id)) add(p);
        }
        for (auto& r : c.reply) {
            if (auto p = pkg().find(r.id)) add(p);
        }
    }
    return ids;
}

TEST(PositionerDescription, HartParametersTravelAndInternalOnesDoNot) {
    std::set<int64_t> travelling = travellingIds();
    for (auto& [id, p] : pkg().parameters) {
        bool component =
            p->parent != nullptr && (p->parent->isArray || p->parent->typeName == "complex");
        bool bitView = p->typeName == "bit_range";
        if (p->interfaceName == "internal") {
            EXPECT_EQ(travelling.count(id), 0u) << id << " is internal but travels";
        } else if (!bitView) {
            EXPECT_EQ(travelling.count(id), 1u) << id << " never travels";
        }
        if (p->codeHart && !component) {
            const Command* c =
                pkg().commands.count(*p->codeHart) ? &pkg().commands.at(*p->codeHart) : nullptr;
            ASSERT_NE(c, nullptr) << id << " names command " << *p->codeHart;
            bool carried = std::any_of(c->reply.begin(), c->reply.end(),
                                       [&](auto& r) { return r.id == id; }) ||
                           std::find(c->request.begin(), c->request.end(), id) != c->request.end();
            EXPECT_TRUE(carried) << id << " is not carried by its command " << *p->codeHart;
        }
    }
}

TEST(PositionerDescription, RestrictionPointersResolve) {
    for (auto& [id, p] : pkg().parameters) {
        for (auto& [kind, r] : p->restrictions) {
            if (r.pointer) {
                EXPECT_NE(pkg().find(*r.pointer), nullptr)
                    << id << " " << kind << " -> " << *r.pointer;
            }
            EXPECT_FALSE(r.constant && r.pointer)
                << id << " " << kind << " has a constant and a pointer";
        }
    }
}

TEST(PositionerDescription, UnitCodesResolveToTheirText) {
    int withUnit = 0;
    for (auto& [id, p] : pkg().parameters) {
        const Restriction* unit = p->restriction("unit");
        if (!unit) continue;
        ++withUnit;
        ASSERT_TRUE(unit->pointer.has_value())
            << id << ": units are HART codes of a unit parameter";
        const Parameter* code = pkg().find(*unit->pointer);
        ASSERT_NE(code, nullptr);
        std::string wanted = "{" + code->constant("default") + ",";
        EXPECT_NE(code->constant("range").find(wanted), std::string::npos)
            << id << ": unit parameter " << code->id << " has no text for its code";
    }
    EXPECT_GE(withUnit, 40);
    // Pressures follow the configured pressure unit, whose codes are psi, bar and kPa.
    EXPECT_EQ(pkg().find(44816747)->restriction("unit")->pointer,
              std::optional<int64_t>(918008295));
    for (const char* piece : {"{6,psi}", "{7,bar}", "{12,kPa}", "[6,psi]", "[7,bar]", "[12,kPa]"}) {
        EXPECT_NE(pkg().find(918008295)->constant("range").find(piece), std::string::npos) << piece;
    }
}

TEST(PositionerDescription, DefaultsLieInTheirRange) {
    for (auto& [id, p] : pkg().parameters) {
        std::string def = p->constant("default");
        if (def.empty()) {
            EXPECT_TRUE((!limitsOf(pkg(), *p) && enumerationOf(*p).empty()) ||
                        p->typeName == "date")
                << id << " has a range but no default";
            continue;
        }
        EXPECT_TRUE(accepts(*p, def)) << "default of " << id;
        if (p->typeName == "packed_ascii") {
            EXPECT_LE(def.size() * 3, 4u * p->sizeAttribute.value_or(0)) << id;
        }
        if (p->typeName == "string") {
            EXPECT_LE(def.size(), static_cast<size_t>(p->sizeAttribute.value_or(0))) << id;
        }
    }
}

TEST(PositionerDescription, SizedTypesMatchTheirTypeNames) {
    for (auto& [id, p] : pkg().parameters) {
        if (p->typeName == "bit_range" || p->typeName == "pointer") {
            EXPECT_FALSE(p->sizeAttribute.has_value()) << id;
            continue;
        }
        ASSERT_TRUE(p->sizeAttribute.has_value()) << id << " needs a size";
        EXPECT_EQ(p->sizeAttribute, wireSize(*p)) << id;
    }
}

TEST(PositionerDescription, BitRangesViewTheirParentsBits) {
    int views = 0;
    for (auto& [id, p] : pkg().parameters) {
        if (p->typeName != "bit_range") continue;
        ++views;
        ASSERT_NE(p->parent, nullptr) << id;
        ASSERT_TRUE(p->lowerBit && p->upperBit) << id;
        EXPECT_LE(*p->lowerBit, *p->upperBit) << id;
        EXPECT_LT(*p->upperBit, 8 * p->parent->sizeAttribute.value_or(0)) << id;
        for (const Parameter* sibling : p->parent->components) {
            if (sibling == p.get() || sibling->typeName != "bit_range") continue;
            bool apart = *sibling->upperBit < *p->lowerBit || *sibling->lowerBit > *p->upperBit;
            EXPECT_TRUE(apart) << id << " overlaps " << sibling->id;
        }
    }
    EXPECT_EQ(views, 10);
}

TEST(PositionerDescription, EnumerationsListTheirDefault) {
    for (int64_t id : kEnumerationIds) {
        const Parameter* p = pkg().find(id);
        ASSERT_NE(p, nullptr) << id;
        auto entries = enumerationOf(*p);
        ASSERT_FALSE(entries.empty()) << id << " is shown as an enumeration but has none";
        long def = std::strtol(p->constant("default").c_str(), nullptr, 10);
        EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](auto& e) {
            return e.first == def;
        })) << id;
    }
    // The state boxes of the signature panel test the values 0, 1 and 2.
    auto signature = enumerationOf(*pkg().find(625914617));
    ASSERT_EQ(signature.size(), 3u);
    EXPECT_EQ(signature[2].first, 2);
}

TEST(PositionerDescription, FaultListsShowAStateLabelForEveryValue) {
    std::regex entry(R"(\[(\d+)=([A-Za-z]+)\])");
    std::set<int64_t> all;
    for (const auto* list : {&kCurrentFaultIds, &kHistoricFaultIds}) {
        for (int64_t id : *list) {
            all.insert(id);
            const Parameter* p = pkg().find(id);
            ASSERT_NE(p, nullptr) << id;
            std::string range = p->constant("range");
            std::set<std::string> values;
            for (std::sregex_iterator it(range.begin(), range.end(), entry), end; it != end; ++it) {
                values.insert((*it)[1].str());
            }
            EXPECT_EQ(values, (std::set<std::string>{"0", "1"})) << id << ": " << range;
            EXPECT_EQ(p->constant("default"), "0") << id;
            EXPECT_EQ(wireSize(*p), std::optional<int>(1)) << id;
        }
    }
    EXPECT_EQ(all.size(), 78u);
    // All of them, current list first, travel in one reply, so one upload refreshes both lists.
    const Command& faults = pkg().commands.at(136);
    for (size_t i = 0; i < 39; ++i) {
        EXPECT_EQ(faults.reply[i].id, kCurrentFaultIds[i]);
        EXPECT_EQ(faults.reply[39 + i].id, kHistoricFaultIds[i]);
    }
}

TEST(PositionerDescription, SimulatorProfileNamesParametersWithAcceptedValues) {
    XmlFile profile(pkg().path("simulator-profile.xml"), kDeviceNamespace);
    ASSERT_EQ(profile.error(), "");
    xmlNodePtr root = profile.first("/simulator_profile");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(attributeOr(root, "manufacturer_id"), pkg().find(2024606965)->constant("default"));
    EXPECT_EQ(attributeOr(root, "device_type"), pkg().find(965867385)->constant("default"));
    auto values = profile.select("/simulator_profile/value");
    EXPECT_GT(values.size(), 40u);
    for (xmlNodePtr v : values) {
        int64_t id = std::strtoll(attributeOr(v, "reference_id").c_str(), nullptr, 10);
        const Parameter* p = pkg().find(id);
        ASSERT_NE(p, nullptr) << id;
        EXPECT_EQ(attributeOr(v, "label"), p->label) << id;
        EXPECT_EQ(p->interfaceName, "hart") << id << " never travels, so the device cannot hold it";
        EXPECT_TRUE(accepts(*p, textOf(v))) << id;
    }
}

TEST(PositionerDescription, ComponentsShareTheirParentsAccess) {
    // The engine answers readable, writable and dynamic of a component from its
    // parent, so a differing flag on a component would only mislead.
    for (auto& [id, p] : pkg().parameters) {
        if (!p->parent) continue;
        EXPECT_EQ(p->writable, p->parent->writable) << id;
        EXPECT_EQ(p->dynamic, p->parent->dynamic) << id;
    }
    // The custom characteristic is edited point by point on the positioning panel.
    EXPECT_TRUE(pkg().find(802003863)->writable);
}

TEST(PositionerDescription, PointerParameterDesignatesAReadableParameter) {
    const Parameter* pointer = pkg().find(663404560);
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(pointer->typeName, "pointer");
    ASSERT_NE(pointer->restriction("value"), nullptr);
    EXPECT_EQ(pointer->restriction("value")->pointer, std::optional<int64_t>(441397865));
    // Its default is a command number; some parameter of the HART blocks must name it.
    std::string xpath =
        "//user:device_interface[attribute::bus_type='hart']/user:block/user:parameter"
        "[user:addressing[user:code_hart=\"" +
        pointer->constant("default") + "\"]]/@reference_id";
    EXPECT_FALSE(pkg().description.select(xpath).empty());
}

TEST(PositionerDescription, IdsDoNotCollideWithActionIds) {
    for (auto& [number, c] : pkg().commands) {
        int64_t actionId =
            static_cast<int32_t>(static_cast<uint32_t>(number) << 24 | (c.index & 0xFF));
        EXPECT_EQ(pkg().find(actionId), nullptr) << "command " << number;
    }
    for (auto& [id, p] : pkg().parameters) {
        EXPECT_GT(id, 1) << "ids must be positive and leave 1 to the short address";
        EXPECT_LE(id, INT32_MAX) << id;
    }
}

TEST(PositionerDescription, LabelsAreUnique) {
    std::set<std::string> labels;
    for (auto& [id, p] : pkg().parameters) {
        EXPECT_FALSE(p->label.empty()) << id;
        EXPECT_TRUE(labels.insert(p->label).second)
            << "label " << p->label << " of " << id << " is used twice";
    }
}

// The slope rules the DTM applies before it sends the custom characteristic.
std::string characteristicFault(std::vector<std::pair<double, double>> pts) {
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            if (pts[i].first >= 255 || pts[i + 1].first >= 255) break;
            if (pts[i].first > pts[i + 1].first) {
                std::swap(pts[i], pts[i + 1]);
                swapped = true;
            }
        }
    }
    double previous = 0;
    for (size_t q = 0; q < pts.size(); ++q) {
        auto start = q == 0 ? std::pair<double, double>{0, 0} : pts[q - 1];
        if (start.first >= 255) continue;
        if (start.first == pts[q].first) return "InvalidSegmentSameX";
        double slope = (pts[q].second - start.second) / (pts[q].first - start.first);
        if (q == 0) previous = slope;
        if (slope < 0.08) return "InvalidSegmentLowSlope";
        if (slope > 12) return "InvalidSegmentHighSlope";
        if (slope / previous > 3) return "InvalidSegmentSlopeChangeTooMuch";
        if (slope / previous < 0.3) return "InvalidSegmentSlopeChangeTooSlow";
        previous = slope;
    }
    return "";
}

TEST(PositionerDescription, DefaultCustomCharacteristicPassesTheCheck) {
    const int64_t xs[] = {1570121222, 1642690049, 75928973,  166289277, 324028029,
                          1090349340, 491837807,  680500556, 1816895289};
    const int64_t ys[] = {311946000,  1281159135, 1820867403, 1601695445, 995245775,
                          1476157951, 521555290,  357865394,  673790068};
    std::vector<std::pair<double, double>> pts;
    for (int i = 0; i < 9; ++i) {
        pts.emplace_back(std::atof(pkg().find(xs[i])->constant("default").c_str()),
                         std::atof(pkg().find(ys[i])->constant("default").c_str()));
    }
    EXPECT_EQ(characteristicFault(pts), "");
    // The rules themselves: a second segment four times as steep as the first is refused.
    EXPECT_EQ(characteristicFault({{10, 10}, {20, 50}, {255, 255}}),
              "InvalidSegmentSlopeChangeTooMuch");
    const Parameter* table = pkg().find(802003863);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->components.size(), 20u);
    EXPECT_EQ(table->components[18]->id, 299973559);
    EXPECT_EQ(table->components[19]->id, 590986998);
}

TEST(PositionerDescription, SignatureCurvesAreArraysOfNineSamples) {
    const struct {
        int command;
        std::vector<int64_t> samples;
    } curves[] = {{191,
                   {1257955650, 2006705916, 1538038866, 1877250209, 329031993, 1902680132,
                    2071691722, 868821061, 2006912251}},
                  {192,
                   {23596714, 863836998, 2120075375, 956237430, 1831923196, 216016939, 941128682,
                    510599933, 1090383352}}};
    for (auto& curve : curves) {
        const Command& c = pkg().commands.at(curve.command);
        auto array = std::find_if(c.reply.begin(), c.reply.end(), [](const ReplyItem& r) {
            return Package::get().find(r.id)->isArray;
        });
        ASSERT_NE(array, c.reply.end()) << curve.command;
        const Parameter* p = pkg().find(array->id);
        std::vector<int64_t> ids;
        for (const Parameter* s : p->components) ids.push_back(s->id);
        EXPECT_EQ(ids, curve.samples);
    }
}

}  // namespace
}  // namespace devices_test
