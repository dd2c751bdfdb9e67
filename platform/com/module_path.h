#pragma once
// Where loaded modules live: the file of the module that holds an address,
// and the file of a loaded module found by its file name. Paths are full
// (absolute, normalised) and have no length limit.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace com {

// The running executable's file.
std::optional<std::filesystem::path> executablePath();

// The file of the module (shared library or the executable) whose mapping
// holds `address`, e.g. a function or a static object of that module;
// nullopt when no loaded module maps it.
std::optional<std::filesystem::path> modulePathOf(const void* address);

// The file of a loaded module whose file name equals `fileName` exactly
// ("ZorDTMView.so"); a name holding a '/' is compared as a full path.
// Nullopt when no such module is loaded in the process.
std::optional<std::filesystem::path> findLoadedModule(std::string_view fileName);

// The directory part of a module path with its trailing separator
// ("/opt/dtm/VarnholtRavikHARTDTM/"); empty for nullopt.
std::string directoryWithSeparator(const std::optional<std::filesystem::path>& modulePath);

}  // namespace com
