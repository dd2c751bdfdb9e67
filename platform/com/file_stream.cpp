#include "platform/com/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <new>
#include <utility>

#include "platform/com/object.h"
#include "platform/com/status.h"
#include "platform/com/stream_util.h"

namespace com {

namespace {

constexpr std::uint64_t kMaxFileOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());

class FileStream : public ComObjectRoot, public IStream {
public:
    static std::span<const InterfaceEntry> interfaces() {
        static constexpr InterfaceEntry table[] = {
            entry<FileStream, IStream>(),
            entryAs<FileStream, IStream>(ISequentialStream::iid),
        };
        return table;
    }

    // Takes over *fd (leaving -1 there), so the caller knows who closes it.
    FileStream(int* fd, std::filesystem::path file, bool writable)
        : fd_(std::exchange(*fd, -1)), file_(std::move(file)), writable_(writable) {}
    ~FileStream() override { ::close(fd_); }

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (pcbRead) *pcbRead = 0;
        if (!pv && cb > 0) return E_POINTER;
        auto* bytes = static_cast<char*>(pv);
        ULONG total = 0;
        HRESULT result = S_OK;
        while (total < cb && position_ + total < kMaxFileOffset) {
            const ssize_t n = ::pread(fd_, bytes + total, cb - total, static_cast<off_t>(position_ + total));
            if (n < 0) {
                if (errno == EINTR) continue;
                result = STG_E_READFAULT;
                break;
            }
            if (n == 0) break;
            total += static_cast<ULONG>(n);
        }
        position_ += total;
        if (pcbRead) *pcbRead = total;
        if (FAILED(result)) return result;
        return total < cb ? S_FALSE : S_OK;
    }

    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
        if (pcbWritten) *pcbWritten = 0;
        if (!writable_) return STG_E_ACCESSDENIED;
        if (cb == 0) return S_OK;
        if (!pv) return E_POINTER;
        if (position_ > kMaxFileOffset || cb > kMaxFileOffset - position_) return STG_E_MEDIUMFULL;
        const auto* bytes = static_cast<const char*>(pv);
        ULONG total = 0;
        HRESULT result = S_OK;
        while (total < cb) {
            const ssize_t n = ::pwrite(fd_, bytes + total, cb - total, static_cast<off_t>(position_ + total));
            if (n < 0) {
                if (errno == EINTR) continue;
                result = hresultFromErrno(errno, STG_E_WRITEFAULT);
                break;
            }
            total += static_cast<ULONG>(n);
        }
        position_ += total;
        if (pcbWritten) *pcbWritten = total;
        return result;
    }

    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        std::int64_t base = 0;
        switch (origin) {
            case STREAM_SEEK_SET: base = 0; break;
            case STREAM_SEEK_CUR: base = static_cast<std::int64_t>(position_); break;
            case STREAM_SEEK_END: {
                struct stat st {};
                if (::fstat(fd_, &st) != 0) return STG_E_INVALIDFUNCTION;
                base = st.st_size;
                break;
            }
            default: return STG_E_INVALIDFUNCTION;
        }
        std::int64_t target = 0;
        if (__builtin_add_overflow(base, move.QuadPart, &target) || target < 0) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<std::uint64_t>(target);
        if (newPosition) newPosition->QuadPart = position_;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER size) override {
        if (!writable_) return STG_E_ACCESSDENIED;
        if (size.QuadPart > kMaxFileOffset) return STG_E_MEDIUMFULL;
        while (::ftruncate(fd_, static_cast<off_t>(size.QuadPart)) != 0) {
            if (errno != EINTR) return hresultFromErrno(errno, STG_E_WRITEFAULT);
        }
        return S_OK;
    }

    HRESULT CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override {
        return copyStreamRange(*this, target, cb, read, written);
    }

    HRESULT Commit(DWORD) override {
        if (writable_ && ::fdatasync(fd_) != 0) return hresultFromErrno(errno, STG_E_WRITEFAULT);
        return S_OK;
    }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }

    HRESULT Stat(STATSTG* statstg, DWORD flags) override {
        if (!statstg) return E_POINTER;
        *statstg = STATSTG{};
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return STG_E_ACCESSDENIED;
        statstg->type = STGTY_STREAM;
        statstg->cbSize.QuadPart = static_cast<std::uint64_t>(st.st_size);
        if (!(flags & STATFLAG_NONAME)) {
            statstg->pwcsName = allocBstr(file_.filename().string());
            if (!statstg->pwcsName) return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    HRESULT Clone(IStream** clone) override {
        if (clone) *clone = nullptr;
        return E_NOTIMPL;
    }

private:
    const int fd_;
    const std::filesystem::path file_;
    const bool writable_;
    std::uint64_t position_ = 0;
};

int openFlags(FileStreamMode mode) {
    switch (mode) {
        case FileStreamMode::read: return O_RDONLY;
        case FileStreamMode::readWrite: return O_RDWR;
        case FileStreamMode::create: return O_RDWR | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

}  // namespace

HRESULT createFileStream(const std::filesystem::path& file, FileStreamMode mode, IStream** stream) {
    if (!stream) return E_POINTER;
    *stream = nullptr;
    if (file.empty()) return STG_E_FILENOTFOUND;
    int fd = ::open(file.c_str(), openFlags(mode) | O_CLOEXEC, 0644);
    if (fd < 0) {
        // Opening a directory for writing fails with EISDIR.
        return errno == EISDIR ? STG_E_ACCESSDENIED : hresultFromErrno(errno, STG_E_ACCESSDENIED);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return STG_E_ACCESSDENIED;
    }
    HRESULT hr = E_OUTOFMEMORY;
    try {
        hr = ComInstance<FileStream>::create(nullptr, IStream::iid, reinterpret_cast<void**>(stream), &fd,
                                             std::filesystem::path(file), mode != FileStreamMode::read);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    if (fd >= 0) ::close(fd);  // the stream was never built
    return hr;
}

}  // namespace com
