#include "platform/com/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace com {

namespace {

// Closes a descriptor on scope exit unless released.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Hands the descriptor to the caller.
    int release() { return std::exchange(fd_, -1); }
    // Closes now and reports close's own failure, which can carry a delayed write error.
    int closeNow() {
        const int fd = std::exchange(fd_, -1);
        return fd >= 0 ? ::close(fd) : 0;
    }

private:
    int fd_;
};

// Removes the named file on scope exit unless committed.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!committed_) ::unlink(path_.c_str());
    }
    const std::string& path() const { return path_; }
    void commit() { committed_ = true; }

private:
    std::string path_;
    bool committed_ = false;
};

FileSignature signatureOf(const struct stat& st) {
    FileSignature s;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return s;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

Status ensureDirectory(const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return Status::failure(hresultFromErrno(ec.value(), E_FAIL),
                                   "cannot create directory " + dir.string() + ": " + ec.message());
    return Status::ok();
}

std::filesystem::path directoryOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Makes the rename itself durable; file systems that cannot sync a directory
// are not an error.
void syncDirectory(const std::filesystem::path& dir) {
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

std::optional<FileSignature> fileSignature(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return std::nullopt;
    return signatureOf(st);
}

Status readWholeFile(const std::filesystem::path& file, FileContent& out) {
    out = FileContent{};
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) return Status::ok();
        const int error = errno;
        return Status::failure(hresultFromErrno(error, STG_E_READFAULT), errnoReason("cannot open " + file.string(), error));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        const int error = errno;
        return Status::failure(STG_E_READFAULT, errnoReason("cannot examine " + file.string(), error));
    }
    if (!S_ISREG(st.st_mode)) return Status::failure(STG_E_READFAULT, file.string() + " is not a regular file");
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            return Status::failure(STG_E_READFAULT, errnoReason("cannot read " + file.string(), error));
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    out.exists = true;
    out.bytes = std::move(bytes);
    out.signature = signatureOf(st);
    return Status::ok();
}

Status writeFileAtomically(const std::filesystem::path& file, std::string_view content) {
    const std::filesystem::path dir = directoryOf(file);
    if (Status s = ensureDirectory(dir); !s) return s;

    std::string pattern = (dir / ("." + file.filename().string() + ".XXXXXX")).string();
    UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        return Status::failure(hresultFromErrno(error, STG_E_WRITEFAULT),
                               errnoReason("cannot create a temporary file in " + dir.string(), error));
    }
    TemporaryFile temporary(pattern);

    struct stat old {};
    const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const auto fail = [&](const std::string& what) {
        const int error = errno;
        return Status::failure(hresultFromErrno(error, STG_E_WRITEFAULT), errnoReason(what + " " + temporary.path(), error));
    };
    if (::fchmod(fd.get(), mode) != 0) return fail("cannot set permissions of");
    if (!writeAll(fd.get(), content)) return fail("cannot write");
    if (::fsync(fd.get()) != 0) return fail("cannot flush");
    if (fd.closeNow() != 0) return fail("cannot close");
    if (::rename(temporary.path().c_str(), file.c_str()) != 0) {
        const int error = errno;
        return Status::failure(hresultFromErrno(error, STG_E_WRITEFAULT),
                               errnoReason("cannot replace " + file.string(), error));
    }
    temporary.commit();
    syncDirectory(dir);
    return Status::ok();
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileLock::~FileLock() { release(); }

void FileLock::release() noexcept {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

Status FileLock::acquire(const std::filesystem::path& lockFile, FileLock& out) {
    out.release();
    if (Status s = ensureDirectory(directoryOf(lockFile)); !s) return s;
    UniqueFd fd(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        const int error = errno;
        return Status::failure(hresultFromErrno(error, E_FAIL), errnoReason("cannot open lock file " + lockFile.string(), error));
    }
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        return Status::failure(E_FAIL, errnoReason("cannot lock " + lockFile.string(), error));
    }
    out.fd_ = fd.release();
    return Status::ok();
}

}  // namespace com
