#pragma once
// Whole-file reads, atomic replacement and an advisory lock file: the storage
// primitives of the registry.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/status.h"

namespace com {

// Identifies one version of a file: a replacement by rename changes the inode,
// an edit in place changes the size or the modification time.
struct FileSignature {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    friend bool operator==(const FileSignature&, const FileSignature&) = default;
};

// The signature of the file now at `file`; nullopt when there is none (or it
// cannot be examined).
std::optional<FileSignature> fileSignature(const std::filesystem::path& file);

struct FileContent {
    bool exists = false;
    std::string bytes;
    FileSignature signature;  // of the version that was read
};

// Reads the whole file. A missing file is a success with `exists` false; any
// other failure (permissions, a directory, I/O) is a failure and `out` is left
// empty.
Status readWholeFile(const std::filesystem::path& file, FileContent& out);

// Replaces `file` with `content` so that a reader sees either the old file or
// the new one, never a mix: the content goes to a temporary file in the same
// directory, is flushed to disk, and is renamed over the target. Missing
// directories are created. The new file keeps the old one's permission bits
// (0644 for a new file). On failure the target is untouched and the temporary
// file is removed.
Status writeFileAtomically(const std::filesystem::path& file, std::string_view content);

// An exclusive advisory lock (flock) on a lock file, held until destruction.
// Serialises read-modify-write cycles between processes and between threads
// that open the lock file separately.
class FileLock {
public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();

    // Creates the lock file (and its directory) if needed and blocks until the
    // lock is granted.
    static Status acquire(const std::filesystem::path& lockFile, FileLock& out);
    bool held() const { return fd_ >= 0; }

private:
    void release() noexcept;
    int fd_ = -1;
};

}  // namespace com
