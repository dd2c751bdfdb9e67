// Feeds arbitrary language files to the language table: the first byte
// chooses the language code, the rest is the file. Every key the file
// starts is translated, and a few that it may not hold.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/dtm/language_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const char* const kCodes[] = {"en", "de", "sp", "fr", "it"};
    engine::LanguageTable table;
    table.setLanguageCode(kCodes[data[0] % 5]);
    const std::string_view contents(reinterpret_cast<const char*>(data) + 1, size - 1);
    table.parse(contents);
    for (const char* key : {"DTM_Name", "", "|en|", "[x]"}) table.translate(key);
    // Keys as the file writes them: the words after "]" on a line.
    for (std::size_t at = contents.find(']'); at != std::string_view::npos;
         at = contents.find(']', at + 1)) {
        const std::size_t end = contents.find_first_of("\r\n", at);
        table.translate(contents.substr(at + 1, end == std::string_view::npos ? end : end - at - 1));
    }
    return 0;
}
