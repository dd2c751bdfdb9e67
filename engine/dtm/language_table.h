#pragma once
// The language table: translation keys to display texts, read from a device
// package's language file for one language code ("en", "de", "sp", "fr", "it").
//
// File format, line by line (CR or LF end a line; blanks around a line are ignored):
//   [anything]KEY          starts the entry KEY
//   |de| text              the entry's text in language "de"; "\n" and "\r\n" become line feeds
//   plain text             continues the text (joined with one blank)
//   lines holding "|", "/*" or "//" without the own marker belong to another
//   language or are comments
// Double quotes are dropped from every text line.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace engine {

class LanguageTable {
public:
    // Loads the table for the language code from the file. An empty file name or
    // code keeps the one already known; when neither changes nothing is re-read.
    // Returns false when the file cannot be read; the table is then empty.
    // Tables read from the same unchanged file for the same code are shared
    // by every instance of the module.
    bool load(const std::string& fileName, const std::string& languageCode);

    // Replaces the table with the entries of `contents` for the current language code.
    void parse(std::string_view contents);

    // The display text of the key, or the key itself when the table has none.
    std::string translate(std::string_view key) const;
    bool contains(std::string_view key) const { return texts_->count(std::string(key)) != 0; }
    std::size_t size() const { return texts_->size(); }

    const std::string& fileName() const { return fileName_; }
    const std::string& languageCode() const { return languageCode_; }
    void setLanguageCode(std::string code) { languageCode_ = std::move(code); }

    // The language code of a Windows language id: its primary language (low 8 bits)
    // 7 gives "de", 10 "sp", 12 "fr", 16 "it", anything else "en".
    static std::string codeForLanguageId(std::int32_t languageId);

    using Texts = std::unordered_map<std::string, std::string>;

private:
    // The texts of `contents` for the language code.
    static Texts parseTexts(std::string_view contents, const std::string& languageCode);

    std::string fileName_;
    std::string languageCode_;
    std::shared_ptr<const Texts> texts_ = std::make_shared<const Texts>();
};

}  // namespace engine
