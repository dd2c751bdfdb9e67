#include "engine/dtm/language_table.h"

#include <fstream>
#include <utility>
#include <vector>

#include "engine/description/shared_registry.h"

namespace engine {

namespace {

constexpr std::size_t kChunkSize = 1000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

std::string unescape(std::string_view line) {
    std::string text(line);
    replaceAll(text, "\\r\\n", "\n");
    replaceAll(text, "\\n", "\n");
    return text;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra;
        if (c < 0x80) {
            extra = 0;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += extra + 1;
    }
    return true;
}

// Language files are 8-bit text; files that are not UTF-8 are read as Latin-1.
std::string toUtf8(std::string bytes) {
    if (isValidUtf8(bytes)) return bytes;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Splits text into lines at CR or LF, dropping empty ones. Reading in fixed
// chunks joins a line that a chunk end cuts with the start of the next chunk.
std::vector<std::string> splitLines(std::string_view contents) {
    std::vector<std::string> lines;
    std::string pending;
    for (std::size_t start = 0; start < contents.size(); start += kChunkSize) {
        const std::string_view chunk = contents.substr(start, kChunkSize);
        for (char c : chunk) {
            if (c == '\r' || c == '\n') {
                if (!pending.empty()) lines.push_back(std::move(pending));
                pending.clear();
            } else {
                pending += c;
            }
        }
    }
    if (!pending.empty()) lines.push_back(std::move(pending));
    return lines;
}

// The state of the entry being read.
struct Entry {
    std::string key;
    std::string text;
    bool hasKey = false;
    bool ownLanguageSeen = false;  // a line with the own marker gave the text
    bool otherLineSeen = false;    // another language's line or a comment came first
    bool ended = false;            // another language's line followed the own text
};

}  // namespace

std::string LanguageTable::codeForLanguageId(std::int32_t languageId) {
    switch (languageId & 0xFF) {
        case 7: return "de";
        case 10: return "sp";
        case 12: return "fr";
        case 16: return "it";
        default: return "en";
    }
}

bool LanguageTable::load(const std::string& fileName, const std::string& languageCode) {
    const bool fileChanged = !fileName.empty() && fileName != fileName_;
    const bool codeChanged = !languageCode.empty() && languageCode != languageCode_;
    if (fileChanged) fileName_ = fileName;
    if (codeChanged) languageCode_ = languageCode;
    if (!fileChanged && !codeChanged) return true;
    if (fileName_.empty() || languageCode_.empty()) return true;
    texts_ = std::make_shared<const Texts>();
    const FileStamp stamp = stampOf(fileName_);
    if (!stamp.exists) return false;
    static SharedRegistry<std::pair<std::string, std::string>, FileStamp, Texts> shared;
    struct Unreadable {};
    try {
        texts_ = shared.get({fileName_, languageCode_}, stamp, [&] {
            std::ifstream in(fileName_, std::ios::binary);
            if (!in) throw Unreadable{};  // nothing is kept for it
            std::string bytes;
            std::vector<char> chunk(kChunkSize);
            while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
                bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
            }
            return std::make_shared<const Texts>(parseTexts(toUtf8(std::move(bytes)), languageCode_));
        });
    } catch (const Unreadable&) {
        return false;
    }
    return true;
}

void LanguageTable::parse(std::string_view contents) {
    texts_ = std::make_shared<const Texts>(parseTexts(contents, languageCode_));
}

LanguageTable::Texts LanguageTable::parseTexts(std::string_view contents, const std::string& languageCode) {
    Texts texts;
    const std::string marker = "|" + languageCode + "|";
    Entry entry;
    for (const std::string& rawLine : splitLines(contents)) {
        std::string_view line = trim(rawLine);
        if (line.empty()) continue;
        if (line.front() == '[' && line.find(']', 1) != std::string_view::npos) {
            entry = Entry{};
            entry.hasKey = true;
            entry.key = std::string(trimLeft(line.substr(line.find(']', 1) + 1)));
            continue;
        }
        if (!entry.hasKey) continue;
        std::string unquoted;
        for (char c : line) {
            if (c != '"') unquoted += c;
        }
        if (unquoted.find(marker) != std::string::npos) {
            const std::string_view rest =
                unquoted.size() > marker.size() ? std::string_view(unquoted).substr(marker.size()) : std::string_view();
            entry.text = unescape(trimLeft(rest));
            entry.ownLanguageSeen = true;
            entry.ended = false;
            texts[entry.key] = entry.text;
            continue;
        }
        const bool foreign = unquoted.find('|') != std::string::npos || unquoted.find("/*") != std::string::npos ||
                             unquoted.find("//") != std::string::npos;
        if (foreign) {
            if (entry.ownLanguageSeen) {
                entry.ended = true;
            } else {
                entry.otherLineSeen = true;
            }
            continue;
        }
        // A plain line continues the default text (before any other language) or
        // the own-language text (until another language's line ends it).
        const bool counts = entry.ownLanguageSeen ? !entry.ended : !entry.otherLineSeen;
        if (!counts) continue;
        const std::string piece = unescape(unquoted);
        if (!entry.text.empty() && entry.text.back() != ' ' && !piece.empty() && piece.front() != ' ') {
            entry.text += ' ';
        }
        entry.text += piece;
        texts[entry.key] = entry.text;
    }
    return texts;
}

std::string LanguageTable::translate(std::string_view key) const {
    const auto it = texts_->find(std::string(key));
    return it == texts_->end() ? std::string(key) : it->second;
}

}  // namespace engine
