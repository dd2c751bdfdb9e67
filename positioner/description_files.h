#pragma once
// The four description files that ship beside the positioner DTM's module
// and that it hands to the engine.

#include <optional>
#include <string>
#include <string_view>

namespace positioner {

inline constexpr std::string_view kZorFile = "Ravik.zor";
inline constexpr std::string_view kDescFile = "Varnholt Ravik HART Device Description.xml";
inline constexpr std::string_view kIconFile = "Ravik_PROGRAM_DTM.ico";
inline constexpr std::string_view kLanguageFile = "Ravik_HART.dct";

struct DescriptionFiles {
    std::string zorFile;
    std::string descFile;
    std::string iconFile;
    std::string languageFile;
};

// The four files in directory, which ends with its separator; the paths keep
// every character of the directory (blanks included).
DescriptionFiles descriptionFilesIn(std::string_view directory);

// The directory of the module that holds this code, as a full path with its
// trailing separator, of any length; nullopt when the module's file cannot
// be found.
std::optional<std::string> moduleDirectory();

}  // namespace positioner
