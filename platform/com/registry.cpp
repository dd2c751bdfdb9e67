#include "platform/com/registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace com {

namespace {

std::filesystem::path homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_dir) {
        return result->pw_dir;
    }
    return ".";
}

std::filesystem::path lockFileOf(const std::filesystem::path& file) {
    std::filesystem::path lock = file;
    lock += ".lock";
    return lock;
}

}  // namespace

std::filesystem::path registryPath() {
    if (const char* explicitPath = std::getenv("HARTDTM_REGISTRY"); explicitPath && *explicitPath) {
        return explicitPath;
    }
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        config = xdg;
    } else {
        config = homeDirectory() / ".config";
    }
    return config / "hartdtm" / "registry";
}

Registry::Registry(std::filesystem::path file)
    : file_(std::move(file)), contents_(std::make_shared<const RegistryContents>()) {}

Status Registry::refresh() {
    const std::optional<FileSignature> now = fileSignature(file_);
    if (loaded_ && now == signature_) return Status::ok();
    if (!now) {
        contents_ = std::make_shared<const RegistryContents>();
        signature_.reset();
        loaded_ = true;
        return Status::ok();
    }
    FileContent content;
    if (Status s = readWholeFile(file_, content); !s) {
        // Forget the cached contents: a registry that cannot be read is not
        // reported as its last good version.
        contents_ = std::make_shared<const RegistryContents>();
        loaded_ = false;
        return Status::failure(REGDB_E_READREGDB, s.reason);
    }
    contents_ = std::make_shared<const RegistryContents>(RegistryContents::parse(content.bytes));
    signature_ = content.exists ? std::optional<FileSignature>(content.signature) : std::nullopt;
    loaded_ = true;
    return Status::ok();
}

Status Registry::snapshot(std::shared_ptr<const RegistryContents>& out) {
    const std::lock_guard guard(mutex_);
    Status s = refresh();
    out = contents_;
    return s;
}

Status Registry::update(const std::function<Status(RegistryContents&)>& change) {
    FileLock lock;
    if (Status s = FileLock::acquire(lockFileOf(file_), lock); !s) {
        return Status::failure(REGDB_E_WRITEREGDB, s.reason);
    }
    // Read afresh under the lock: the cache may predate another writer's change.
    FileContent current;
    if (Status s = readWholeFile(file_, current); !s) return Status::failure(REGDB_E_READREGDB, s.reason);
    RegistryContents contents = RegistryContents::parse(current.bytes);

    Status changed = change(contents);
    if (!changed || changed.code == S_FALSE) return changed;
    const std::string text = contents.serialize();
    if (Status s = writeFileAtomically(file_, text); !s) return Status::failure(REGDB_E_WRITEREGDB, s.reason);

    // Still under the lock, so the file now at the path is the one just written.
    const std::lock_guard guard(mutex_);
    contents_ = std::make_shared<const RegistryContents>(std::move(contents));
    signature_ = fileSignature(file_);
    loaded_ = signature_.has_value();
    return Status::ok();
}

Status Registry::registerClasses(std::span<const ClassEntry> entries) {
    return update([entries](RegistryContents& contents) {
        for (const ClassEntry& entry : entries) {
            if (Status s = contents.addClass(entry); !s) return s;
        }
        return Status::ok();
    });
}

Status Registry::unregisterClasses(std::span<const CLSID> clsids) {
    return update([clsids](RegistryContents& contents) {
        bool removed = false;
        for (const CLSID& clsid : clsids) removed = contents.removeClass(clsid) || removed;
        return removed ? Status::ok() : Status{S_FALSE, {}};
    });
}

std::shared_ptr<Registry> processRegistry() {
    static std::mutex mutex;
    static std::shared_ptr<Registry> current;
    const std::filesystem::path path = registryPath();
    const std::lock_guard guard(mutex);
    if (!current || current->file() != path) current = std::make_shared<Registry>(path);
    return current;
}

}  // namespace com
