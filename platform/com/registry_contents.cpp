#include "platform/com/registry_contents.h"

#include <algorithm>
#include <cstdint>

namespace com {

namespace {

constexpr std::string_view kClsidPrefix = "CLSID ";
constexpr std::string_view kProgIdPrefix = "ProgID ";

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view trimLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

void setExtra(ExtraValues& extra, std::string_view key, std::string_view value) {
    for (auto& [k, v] : extra) {
        if (k == key) {
            v = value;
            return;
        }
    }
    extra.emplace_back(key, value);
}

void applyClassKey(ClassEntry& entry, std::string_view key, std::string_view value) {
    if (key == "Library") {
        entry.library = value;
    } else if (key == "ThreadingModel") {
        entry.threadingModel = value;
    } else if (key == "ProgID") {
        entry.progId = value;
    } else if (key == "VersionIndependentProgID") {
        entry.versionIndependentProgId = value;
    } else if (key == "Description") {
        entry.description = value;
    } else if (key == "TypeLib") {
        if (auto guid = parseGuid(trim(value))) entry.typeLibrary = *guid;
    } else {
        setExtra(entry.extra, key, value);
    }
}

void applyProgIdKey(ProgIdEntry& entry, std::string_view key, std::string_view value) {
    if (key == "CLSID") {
        if (auto guid = parseGuid(trim(value))) entry.clsid = *guid;
    } else if (key == "CurVer") {
        entry.curVer = value;
    } else if (key == "Description") {
        entry.description = value;
    } else {
        setExtra(entry.extra, key, value);
    }
}

// Where the key lines that follow a header go.
struct Cursor {
    ClassEntry* classEntry = nullptr;
    ProgIdEntry* progIdEntry = nullptr;
    std::size_t otherIndex = SIZE_MAX;
};

Cursor openSection(RegistryContents& contents, std::string_view header) {
    Cursor cursor;
    if (header.starts_with(kClsidPrefix)) {
        if (auto clsid = parseGuid(trim(header.substr(kClsidPrefix.size())))) {
            ClassEntry& entry = contents.classes[*clsid];
            entry.clsid = *clsid;
            cursor.classEntry = &entry;
            return cursor;
        }
    } else if (header.starts_with(kProgIdPrefix)) {
        const std::string_view name = trim(header.substr(kProgIdPrefix.size()));
        if (isValidProgId(name)) {
            auto [it, inserted] = contents.progIds.try_emplace(std::string(name));
            it->second.progId = name;
            cursor.progIdEntry = &it->second;
            return cursor;
        }
    }
    contents.others.push_back(OtherSection{std::string(header), {}});
    cursor.otherIndex = contents.others.size() - 1;
    return cursor;
}

void writeLine(std::string& out, std::string_view key, std::string_view value) {
    if (value.empty()) return;
    out.append(key).append("=").append(value).append("\n");
}

void writeExtra(std::string& out, const ExtraValues& extra) {
    for (const auto& [key, value] : extra) out.append(key).append("=").append(value).append("\n");
}

}  // namespace

bool isValidProgId(std::string_view progId) {
    if (progId.empty() || progId.size() > 255) return false;
    const char first = progId.front();
    if ((first >= '0' && first <= '9') || first == '.') return false;
    return std::all_of(progId.begin(), progId.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '_' || c == '-';
    });
}

RegistryContents RegistryContents::parse(std::string_view text) {
    RegistryContents contents;
    Cursor cursor;
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const std::string_view trimmed = trim(line);
        if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == ';') continue;
        if (trimmed.front() == '[') {
            inSection = trimmed.size() >= 2 && trimmed.back() == ']';
            cursor = inSection ? openSection(contents, trimmed.substr(1, trimmed.size() - 2)) : Cursor{};
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        const std::string_view key = trim(line.substr(0, equals));
        const std::string_view value = trimLeft(line.substr(equals + 1));
        if (key.empty()) continue;
        if (cursor.classEntry) {
            applyClassKey(*cursor.classEntry, key, value);
        } else if (cursor.progIdEntry) {
            applyProgIdKey(*cursor.progIdEntry, key, value);
        } else if (cursor.otherIndex < contents.others.size()) {
            setExtra(contents.others[cursor.otherIndex].values, key, value);
        }
    }
    return contents;
}

std::string RegistryContents::serialize() const {
    std::string out = "# Component registry: written by the modules' registration; one section per class and ProgID.\n";
    for (const auto& [clsid, entry] : classes) {
        out.append("\n[").append(kClsidPrefix).append(formatGuid(clsid)).append("]\n");
        writeLine(out, "Library", entry.library);
        writeLine(out, "ThreadingModel", entry.threadingModel);
        writeLine(out, "ProgID", entry.progId);
        writeLine(out, "VersionIndependentProgID", entry.versionIndependentProgId);
        writeLine(out, "Description", entry.description);
        if (entry.typeLibrary) writeLine(out, "TypeLib", formatGuid(*entry.typeLibrary));
        writeExtra(out, entry.extra);
    }
    for (const auto& [name, entry] : progIds) {
        out.append("\n[").append(kProgIdPrefix).append(name).append("]\n");
        if (entry.clsid) writeLine(out, "CLSID", formatGuid(*entry.clsid));
        writeLine(out, "CurVer", entry.curVer);
        writeLine(out, "Description", entry.description);
        writeExtra(out, entry.extra);
    }
    for (const OtherSection& section : others) {
        out.append("\n[").append(section.header).append("]\n");
        writeExtra(out, section.values);
    }
    return out;
}

const ClassEntry* RegistryContents::findClass(const CLSID& clsid) const {
    const auto it = classes.find(clsid);
    return it == classes.end() ? nullptr : &it->second;
}

std::optional<CLSID> RegistryContents::clsidFromProgId(std::string_view progId) const {
    const auto it = progIds.find(progId);
    if (it == progIds.end()) return std::nullopt;
    if (it->second.clsid) return it->second.clsid;
    if (it->second.curVer.empty() || it->second.curVer == progId) return std::nullopt;
    const auto current = progIds.find(it->second.curVer);
    if (current == progIds.end()) return std::nullopt;
    return current->second.clsid;
}

Status RegistryContents::addClass(const ClassEntry& entry) {
    if (entry.library.empty())
        return Status::failure(E_INVALIDARG, "class " + formatGuid(entry.clsid) + " has no library path");
    for (std::string_view value : {std::string_view(entry.library), std::string_view(entry.threadingModel),
                                   std::string_view(entry.description)}) {
        if (hasControlCharacter(value))
            return Status::failure(E_INVALIDARG, "class " + formatGuid(entry.clsid) + " has a value with a control character");
    }
    for (const std::string& progId : {entry.progId, entry.versionIndependentProgId}) {
        if (!progId.empty() && !isValidProgId(progId))
            return Status::failure(E_INVALIDARG, "malformed ProgID \"" + progId + "\"");
    }
    for (const auto& [key, value] : entry.extra) {
        if (key.empty() || key.find('=') != std::string::npos || hasControlCharacter(key) || hasControlCharacter(value))
            return Status::failure(E_INVALIDARG, "class " + formatGuid(entry.clsid) + " has a malformed extra value");
    }

    removeClass(entry.clsid);
    classes[entry.clsid] = entry;
    if (!entry.progId.empty()) {
        progIds[entry.progId] = ProgIdEntry{entry.progId, entry.clsid, "", entry.description, {}};
    }
    const std::string& independent = entry.versionIndependentProgId;
    if (!independent.empty() && independent != entry.progId) {
        progIds[independent] = ProgIdEntry{independent, entry.clsid, entry.progId, entry.description, {}};
    }
    return Status::ok();
}

bool RegistryContents::removeClass(const CLSID& clsid) {
    bool removed = classes.erase(clsid) > 0;
    for (auto it = progIds.begin(); it != progIds.end();) {
        if (it->second.clsid == clsid) {
            it = progIds.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

}  // namespace com
