#pragma once
// The component registry: a text file of CLSID and ProgID entries (format in
// registry_contents.h) that modules write when they register and that
// activation reads.
//
// Location: the file named by the environment variable HARTDTM_REGISTRY; when
// that is unset or empty, $XDG_CONFIG_HOME/hartdtm/registry (an absolute
// XDG_CONFIG_HOME only), else ~/.config/hartdtm/registry.
//
// Readers never lock: every change replaces the file atomically, so a reader
// sees either the old file or the new one. Writers serialise their
// read-modify-write cycles on the lock file "<registry>.lock".

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>

#include "platform/com/file_io.h"
#include "platform/com/registry_contents.h"
#include "platform/com/status.h"

namespace com {

// The registry file this process uses now (see above).
std::filesystem::path registryPath();

class Registry {
public:
    explicit Registry(std::filesystem::path file);
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    const std::filesystem::path& file() const { return file_; }

    // The current contents. The file is read again whenever it changed since
    // the previous call (in this or another process); a missing file is an
    // empty registry. REGDB_E_READREGDB when the file exists but cannot be
    // read; `out` is then empty.
    Status snapshot(std::shared_ptr<const RegistryContents>& out);

    // Registers classes in one atomic change (see RegistryContents::addClass).
    // Nothing is written when any entry is invalid.
    Status registerClasses(std::span<const ClassEntry> entries);
    // Removes classes and the ProgIDs that name them in one atomic change.
    // Classes that are not registered are skipped; nothing is written when
    // none of them is.
    Status unregisterClasses(std::span<const CLSID> clsids);

    // Runs `change` on the newest contents under the registry lock and writes
    // the result atomically. A failure of `change` writes nothing and is the
    // result; S_FALSE from it means "nothing changed" and also writes nothing.
    // REGDB_E_READREGDB when the existing file cannot be read (it is never
    // overwritten then), REGDB_E_WRITEREGDB when it cannot be replaced.
    Status update(const std::function<Status(RegistryContents&)>& change);

private:
    // Called with mutex_ held.
    Status refresh();

    const std::filesystem::path file_;
    std::mutex mutex_;
    std::optional<FileSignature> signature_;  // of the version in contents_; nullopt: no file
    bool loaded_ = false;
    std::shared_ptr<const RegistryContents> contents_;
};

// The process's registry object for registryPath(); a new object replaces the
// old one when the path changes (tests point HARTDTM_REGISTRY elsewhere).
std::shared_ptr<Registry> processRegistry();

}  // namespace com
