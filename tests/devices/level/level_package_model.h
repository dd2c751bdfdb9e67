// Reads the files of the level device package into plain structures, with
// libxml2 directly, so that the package checks do not depend on the engine.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace level_package {

inline constexpr const char* kDeviceNamespace = "http://hartdtm.invalid/device_description";
inline constexpr const char* kDtmNamespace = "http://hartdtm.invalid/dtm_description";

std::string packageDir();
std::string packagePath(const std::string& fileName);

// One parameter or component of the device description.
struct Parameter {
    int id = 0;
    std::string label;
    std::string typeName;
    std::optional<int> sizedTypeSize;  // user:data_type/user:sized_type/@size
    std::optional<int> bitLower, bitUpper;
    bool isComponent = false;
    int parentId = 0;
    std::vector<int> components;
    bool writable = false;
    std::string busType;  // "hart" or "internal"
    std::optional<std::string> defaultValue, range, lowerLimit, upperLimit;
    std::optional<int> unitPointer, lowerLimitPointer, upperLimitPointer;
};

struct ReplyItem {
    int id = 0;
    int position = 0;
    int size = 0;
};

struct Command {
    int number = 0;
    int index = 0;
    std::vector<int> query;
    std::vector<ReplyItem> reply;
};

struct MenuEntry {
    bool separator = false;
    std::string label;
    int functionId = 0;
    bool hasGui = false;
};

struct DeviceDescription {
    std::string rootNamespace;
    int hartInterfaces = 0;
    int internalInterfaces = 0;
    std::map<int, Parameter> parameters;  // components included
    std::vector<int> duplicateIds;        // ids defined more than once
    std::map<int, Command> commands;      // by command number (index 0)
    std::vector<int> duplicateCommands;
};

struct DtmDescription {
    std::string rootNamespace;
    std::map<std::string, std::string> dtmVersion;
    std::map<std::string, std::string> deviceVersion;
    std::string deviceViewProgId;
    std::vector<MenuEntry> menus;
};

// Loads the file; a file that is missing or not well-formed fails the test
// that calls it (the error text names the file and libxml2's reason).
DeviceDescription loadDeviceDescription(const std::string& path, std::string& error);
DtmDescription loadDtmDescription(const std::string& path, std::string& error);
struct SimulatorProfile {
    std::map<std::string, std::string> attributes;  // of the root element
    std::map<int, std::string> values;              // display texts by reference id
};
SimulatorProfile loadSimulatorProfile(const std::string& path, std::string& error);

// Byte count of a parameter's data type as it travels in a HART frame;
// nullopt for types without bytes of their own (bit ranges) or unknown types.
std::optional<int> wireSize(const DeviceDescription& description, const Parameter& parameter);

// The language table for one language code, read as the engine reads a
// language file: "[...] key" lines start entries, "|xx|" lines give the
// text of language xx, other-language and comment lines are skipped, and
// the escapes \r\n and \n become line feeds.
std::map<std::string, std::string> readLanguageTable(const std::string& path,
                                                     const std::string& languageCode);

// Lines inside entries that are neither a language line nor empty; the
// package writes every text on its own marked line.
std::vector<std::string> unmarkedEntryLines(const std::string& path);

// Enumeration entries "[code,label]" of a range text, in order.
std::vector<std::pair<long, std::string>> enumerationEntries(const std::string& range);
// Value-label entries "[value=label]" of a range text, in order.
std::vector<std::pair<std::string, std::string>> valueLabelEntries(const std::string& range);
// Unit entries "{code,text}" of a range text.
std::map<long, std::string> unitEntries(const std::string& range);

// Command numbers and parameter ids that an action script names.
struct ScriptReferences {
    std::vector<int> commands;
    std::vector<int> setValueIds;
};
ScriptReferences scriptReferences(const std::string& script);

}  // namespace level_package
