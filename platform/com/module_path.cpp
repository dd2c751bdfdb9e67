#include "platform/com/module_path.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace com {

namespace {

// Loaded files carry a '/' in their names; the kernel's virtual object
// ("linux-vdso.so.1") has no file.
bool namesAFile(const char* name) { return name && std::string_view(name).find('/') != std::string_view::npos; }

std::filesystem::path fullPath(const char* name) {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(name, ec);
    if (ec) path = name;
    return path.lexically_normal();
}

struct Search {
    std::string_view wanted;
    bool byFullPath = false;
    bool first = true;  // the first object that dl_iterate_phdr reports is the executable
    std::optional<std::filesystem::path> found;
};

int visitModule(struct dl_phdr_info* info, size_t, void* data) {
    auto& search = *static_cast<Search*>(data);
    const bool isExecutable = std::exchange(search.first, false) && (!info->dlpi_name || !*info->dlpi_name);
    std::optional<std::filesystem::path> path;
    if (isExecutable) {
        path = executablePath();
    } else if (namesAFile(info->dlpi_name)) {
        path = fullPath(info->dlpi_name);
    }
    if (!path) return 0;
    const bool match = search.byFullPath ? *path == std::filesystem::path(search.wanted).lexically_normal()
                                         : path->filename() == search.wanted;
    if (!match) return 0;
    search.found = std::move(path);
    return 1;
}

}  // namespace

std::optional<std::filesystem::path> executablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return std::nullopt;
        if (static_cast<std::size_t>(n) < buffer.size()) return std::filesystem::path(std::string(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::filesystem::path> modulePathOf(const void* address) {
    if (!address) return std::nullopt;
    Dl_info info{};
    struct link_map* map = nullptr;
    if (::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0) return std::nullopt;
    // The executable's own entry carries no name (dladdr would give argv[0]).
    if (map && (!map->l_name || !*map->l_name)) return executablePath();
    const char* name = map ? map->l_name : info.dli_fname;
    if (!namesAFile(name)) return std::nullopt;
    return fullPath(name);
}

std::optional<std::filesystem::path> findLoadedModule(std::string_view fileName) {
    if (fileName.empty()) return std::nullopt;
    Search search;
    search.wanted = fileName;
    search.byFullPath = fileName.find('/') != std::string_view::npos;
    ::dl_iterate_phdr(&visitModule, &search);
    return search.found;
}

std::string directoryWithSeparator(const std::optional<std::filesystem::path>& modulePath) {
    if (!modulePath) return {};
    std::string directory = modulePath->parent_path().string();
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

}  // namespace com
