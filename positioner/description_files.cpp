#include "positioner/description_files.h"

#include "platform/com/module_path.h"

namespace positioner {

namespace {

// An object of this module: its address names the module's file.
const char kModuleAnchor = 0;

std::string inDirectory(std::string_view directory, std::string_view file) {
    std::string path(directory);
    path += file;
    return path;
}

}  // namespace

DescriptionFiles descriptionFilesIn(std::string_view directory) {
    return {inDirectory(directory, kZorFile), inDirectory(directory, kDescFile),
            inDirectory(directory, kIconFile), inDirectory(directory, kLanguageFile)};
}

std::optional<std::string> moduleDirectory() {
    const std::optional<std::filesystem::path> module = com::modulePathOf(&kModuleAnchor);
    if (!module) return std::nullopt;
    std::string directory = com::directoryWithSeparator(module);
    if (directory.empty()) return std::nullopt;
    return directory;
}

}  // namespace positioner
