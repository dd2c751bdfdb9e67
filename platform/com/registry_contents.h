#pragma once
// What the component registry holds, and its text form.
//
// The text is UTF-8, one item per line ("\n" or "\r\n"):
//
//   # comment: lines starting with '#' or ';', and blank lines, are ignored
//   [CLSID {8D96A00D-3623-451C-A11D-4B12BCD11232}]
//   Library=/opt/dtm/QadGenericDTM/QadGenericDTM.so
//   ThreadingModel=Apartment
//   ProgID=QadGenericDTM.QadGenericDTMObject.7
//   VersionIndependentProgID=QadGenericDTM.QadGenericDTMObject
//   Description=QadGenericDTMObject Class
//   TypeLib={0AC41F17-C8C6-4E7B-AC19-CBB1B12B6E12}
//
//   [ProgID QadGenericDTM.QadGenericDTMObject.7]
//   CLSID={8D96A00D-3623-451C-A11D-4B12BCD11232}
//   Description=QadGenericDTMObject Class
//
//   [ProgID QadGenericDTM.QadGenericDTMObject]
//   CLSID={8D96A00D-3623-451C-A11D-4B12BCD11232}
//   CurVer=QadGenericDTM.QadGenericDTMObject.7
//   Description=QadGenericDTMObject Class
//
// A key is the text before the first '=' without surrounding blanks; its value
// runs from the first non-blank character after '=' to the end of the line,
// so paths keep their inner and trailing spaces. Values never contain line
// breaks or other control characters. A later line for the same key wins.
// Sections and keys that this system does not know (including a CLSID section
// whose GUID is malformed) are kept and written back unchanged; malformed
// lines (no '=', a key before any section, an unterminated header, a
// malformed CLSID or TypeLib value) are dropped.

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/status.h"

namespace com {

// Key/value lines of a section that this system does not interpret, in file order.
using ExtraValues = std::vector<std::pair<std::string, std::string>>;

struct ClassEntry {
    CLSID clsid{};
    std::string library;                   // full path of the module file
    std::string threadingModel;            // "Apartment" for every class of this system
    std::string progId;                    // versioned, may be empty
    std::string versionIndependentProgId;  // may be empty
    std::string description;
    std::optional<GUID> typeLibrary;
    ExtraValues extra;
    friend bool operator==(const ClassEntry&, const ClassEntry&) = default;
};

struct ProgIdEntry {
    std::string progId;
    std::optional<CLSID> clsid;
    std::string curVer;  // set on a version-independent ProgID: the current versioned one
    std::string description;
    ExtraValues extra;
    friend bool operator==(const ProgIdEntry&, const ProgIdEntry&) = default;
};

struct OtherSection {
    std::string header;  // the text between the brackets
    ExtraValues values;
    friend bool operator==(const OtherSection&, const OtherSection&) = default;
};

// A ProgID as the registry accepts it: 1 to 255 characters, letters, digits,
// '.', '_' and '-', not beginning with a digit or '.'.
bool isValidProgId(std::string_view progId);

struct RegistryContents {
    std::map<CLSID, ClassEntry> classes;
    std::map<std::string, ProgIdEntry, std::less<>> progIds;
    std::vector<OtherSection> others;

    static RegistryContents parse(std::string_view text);
    // Classes first, then ProgIDs, each sorted, then the other sections in
    // their original order. parse(serialize()) gives back the same contents.
    std::string serialize() const;

    // Null when the class is not registered.
    const ClassEntry* findClass(const CLSID& clsid) const;
    // The CLSID a ProgID names; an entry without a CLSID of its own follows
    // its CurVer once. Nullopt when unknown.
    std::optional<CLSID> clsidFromProgId(std::string_view progId) const;

    // Registers the class: replaces any earlier entry of the same CLSID (and
    // the ProgIDs that named it) and writes ProgID entries for its versioned
    // and version-independent ProgIDs. E_INVALIDARG, and no change, when the
    // library path is empty, a ProgID is malformed, or a value holds a control
    // character.
    Status addClass(const ClassEntry& entry);
    // Removes the class and every ProgID entry that names it; false when there
    // was nothing to remove.
    bool removeClass(const CLSID& clsid);

    friend bool operator==(const RegistryContents&, const RegistryContents&) = default;
};

}  // namespace com
