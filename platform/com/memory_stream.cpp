#include "platform/com/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "platform/com/object.h"
#include "platform/com/stream_util.h"

namespace com {

namespace {

using Bytes = std::vector<std::uint8_t>;

// origin + move, or false when the result would be negative or beyond 2^64 - 1.
bool seekTarget(std::uint64_t origin, std::int64_t move, std::uint64_t& out) {
    if (move >= 0) {
        const auto forward = static_cast<std::uint64_t>(move);
        if (forward > std::numeric_limits<std::uint64_t>::max() - origin) return false;
        out = origin + forward;
    } else {
        const std::uint64_t backward = static_cast<std::uint64_t>(-(move + 1)) + 1;
        if (backward > origin) return false;
        out = origin - backward;
    }
    return true;
}

class MemoryStream : public ComObjectRoot, public IStream {
public:
    static std::span<const InterfaceEntry> interfaces() {
        static constexpr InterfaceEntry table[] = {
            entry<MemoryStream, IStream>(),
            entryAs<MemoryStream, IStream>(ISequentialStream::iid),
        };
        return table;
    }

    MemoryStream(std::shared_ptr<Bytes> bytes, std::uint64_t position)
        : bytes_(std::move(bytes)), position_(position) {}

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (pcbRead) *pcbRead = 0;
        if (!pv && cb > 0) return E_POINTER;
        const std::uint64_t size = bytes_->size();
        const std::uint64_t available = position_ < size ? size - position_ : 0;
        const auto count = static_cast<ULONG>(std::min<std::uint64_t>(cb, available));
        if (count > 0) std::memcpy(pv, bytes_->data() + position_, count);
        position_ += count;
        if (pcbRead) *pcbRead = count;
        return count < cb ? S_FALSE : S_OK;
    }

    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
        if (pcbWritten) *pcbWritten = 0;
        if (cb == 0) return S_OK;
        if (!pv) return E_POINTER;
        if (position_ > kMaxMemoryStreamSize || cb > kMaxMemoryStreamSize - position_) return STG_E_MEDIUMFULL;
        const std::uint64_t end = position_ + cb;
        if (end > bytes_->size()) {
            if (HRESULT hr = resize(end); FAILED(hr)) return hr;
        }
        std::memcpy(bytes_->data() + position_, pv, cb);
        position_ = end;
        if (pcbWritten) *pcbWritten = cb;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        std::uint64_t base = 0;
        switch (origin) {
            case STREAM_SEEK_SET: base = 0; break;
            case STREAM_SEEK_CUR: base = position_; break;
            case STREAM_SEEK_END: base = bytes_->size(); break;
            default: return STG_E_INVALIDFUNCTION;
        }
        std::uint64_t target = 0;
        if (!seekTarget(base, move.QuadPart, target)) return STG_E_INVALIDFUNCTION;
        position_ = target;
        if (newPosition) newPosition->QuadPart = position_;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER size) override {
        if (size.QuadPart > kMaxMemoryStreamSize) return STG_E_MEDIUMFULL;
        return resize(size.QuadPart);
    }

    HRESULT CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override {
        return copyStreamRange(*this, target, cb, read, written);
    }

    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }

    HRESULT Stat(STATSTG* stat, DWORD) override {
        if (!stat) return E_POINTER;
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = bytes_->size();
        return S_OK;
    }

    HRESULT Clone(IStream** clone) override {
        if (!clone) return E_POINTER;
        *clone = nullptr;
        try {
            return ComInstance<MemoryStream>::create(nullptr, IStream::iid, reinterpret_cast<void**>(clone), bytes_,
                                                     position_);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

private:
    HRESULT resize(std::uint64_t size) {
        try {
            bytes_->resize(static_cast<std::size_t>(size));
        } catch (const std::bad_alloc&) {
            return STG_E_MEDIUMFULL;
        } catch (const std::length_error&) {
            return STG_E_MEDIUMFULL;
        }
        return S_OK;
    }

    std::shared_ptr<Bytes> bytes_;
    std::uint64_t position_;
};

}  // namespace

HRESULT createMemoryStream(IStream** stream) { return createMemoryStream({}, stream); }

HRESULT createMemoryStream(std::span<const std::uint8_t> initial, IStream** stream) {
    if (!stream) return E_POINTER;
    *stream = nullptr;
    if (initial.size() > kMaxMemoryStreamSize) return STG_E_MEDIUMFULL;
    try {
        auto bytes = std::make_shared<Bytes>(initial.begin(), initial.end());
        return ComInstance<MemoryStream>::create(nullptr, IStream::iid, reinterpret_cast<void**>(stream),
                                                 std::move(bytes), std::uint64_t{0});
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace com
