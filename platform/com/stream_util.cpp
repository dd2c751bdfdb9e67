#include "platform/com/stream_util.h"

#include <algorithm>
#include <array>
#include <new>

namespace com {

namespace {

constexpr ULONG kChunk = 64 * 1024;

LARGE_INTEGER offset(std::int64_t value) { return LARGE_INTEGER{value}; }

}  // namespace

HRESULT copyStreamRange(IStream& source, IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* read,
                        ULARGE_INTEGER* written) {
    std::uint64_t totalRead = 0;
    std::uint64_t totalWritten = 0;
    const auto report = [&](HRESULT hr) {
        if (read) read->QuadPart = totalRead;
        if (written) written->QuadPart = totalWritten;
        return hr;
    };
    if (!target) return report(E_POINTER);
    std::array<std::uint8_t, kChunk> chunk;
    while (totalRead < cb.QuadPart) {
        const ULONG wanted = static_cast<ULONG>(std::min<std::uint64_t>(kChunk, cb.QuadPart - totalRead));
        ULONG got = 0;
        const HRESULT readResult = source.Read(chunk.data(), wanted, &got);
        if (FAILED(readResult)) return report(readResult);
        totalRead += got;
        ULONG put = 0;
        if (got > 0) {
            const HRESULT writeResult = target->Write(chunk.data(), got, &put);
            totalWritten += put;
            if (FAILED(writeResult)) return report(writeResult);
            if (put < got) return report(STG_E_MEDIUMFULL);
        }
        if (got < wanted) break;
    }
    return report(S_OK);
}

HRESULT readStreamBytes(IStream* stream, std::vector<std::uint8_t>& out) {
    out.clear();
    if (!stream) return E_POINTER;
    ULARGE_INTEGER saved{};
    if (HRESULT hr = stream->Seek(offset(0), STREAM_SEEK_CUR, &saved); FAILED(hr)) return hr;
    if (HRESULT hr = stream->Seek(offset(0), STREAM_SEEK_SET, nullptr); FAILED(hr)) return hr;
    HRESULT result = S_OK;
    try {
        std::array<std::uint8_t, kChunk> chunk;
        for (;;) {
            ULONG got = 0;
            result = stream->Read(chunk.data(), kChunk, &got);
            if (FAILED(result)) break;
            out.insert(out.end(), chunk.begin(), chunk.begin() + got);
            if (got < kChunk) break;
        }
    } catch (const std::bad_alloc&) {
        result = E_OUTOFMEMORY;
    }
    const HRESULT restored = stream->Seek(offset(static_cast<std::int64_t>(saved.QuadPart)), STREAM_SEEK_SET, nullptr);
    if (FAILED(result) || FAILED(restored)) {
        out.clear();
        return FAILED(result) ? result : restored;
    }
    return S_OK;
}

}  // namespace com
