#pragma once
// What a package DTM knows of its package: its COM identity, the four
// description files in its own folder, the command lists of a whole-device
// transfer, the user parameters its panels need, and the request parameters
// through which a panel asks the DTM for device work. Each package DTM module
// defines thisPackage() in the source its CMake function generates.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/com/guid.h"

namespace package_dtm {

// A parameter the description does not hold (or one the DTM takes over):
// created at initialisation with its kind ("String", "Double", or empty for
// the unsigned kind) and its first value (empty: none). Its validity follows
// the online state, so that the buttons it enables work only online.
struct UserParameter {
    std::int32_t id = 0;
    std::string_view type{};
    std::string_view initialValue{};
};

// A parameter that a panel sets to ask for device work: when it becomes
// non-zero, the DTM sets it back to 0 and runs the script.
struct Request {
    std::int32_t id = 0;
    std::string_view script{};
};

// A status text that follows a device command: once the command has been
// transferred, the target parameter holds the n-th key of `keys` (comma
// separated, from 0) for the value n of the source parameter the reply
// brought, or the last key when n lies outside the list.
struct StatusText {
    std::int32_t targetId = 0;
    int command = 0;
    std::int32_t sourceId = 0;
    std::string_view keys{};
};

struct PackageDefinition {
    CLSID clsid{};
    const char* progId = nullptr;
    const char* versionIndependentProgId = nullptr;
    const char* description = nullptr;
    // File names in the module's own folder.
    std::string_view zorFile{};
    std::string_view descFile{};
    std::string_view iconFile{};
    std::string_view languageFile{};
    // Action scripts of a whole-device upload and download.
    std::string_view uploadList{};
    std::string_view downloadList{};
    std::span<const UserParameter> userParameters{};
    std::span<const Request> requests{};
    std::span<const StatusText> statusTexts{};
    // Universal command revisions ("5 6 7") of the devices the DTM serves
    // through the universal commands alone: its device identification then
    // declares generic support for any device of those revisions, so that a
    // frame prefers a device-specific DTM. Empty: the engine's identification
    // of the one device type the description names.
    std::string_view genericRevisions{};
    // Commands a device has only from a universal command revision on, as
    // "REVISION:COMMAND,COMMAND..." ("6:7,8,20,22"): while the universal
    // revision that command 0 last brought (parameter 438775785) is lower,
    // the DTM vetoes them, so that an older device is not asked for commands
    // it does not know. Empty: no veto.
    std::string_view laterCommands{};
};

// The package of the module that holds this code.
const PackageDefinition& thisPackage();

}  // namespace package_dtm
