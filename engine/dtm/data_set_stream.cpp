#include "engine/dtm/data_set_stream.h"

#include <algorithm>
#include <vector>

#include "platform/com/bstr.h"

namespace engine {

namespace {

constexpr std::uint32_t kChunkBytes = 64 * 1024;

// Reads exactly `count` bytes; false on a short read or a failing stream.
bool readExactly(IStream& stream, void* buffer, ULONG count) {
    ULONG read = 0;
    const HRESULT hr = stream.Read(buffer, count, &read);
    return SUCCEEDED(hr) && read == count;
}

HRESULT writeAll(IStream& stream, const void* data, ULONG count) {
    ULONG written = 0;
    const HRESULT hr = stream.Write(data, count, &written);
    if (FAILED(hr)) return hr;
    return written == count ? S_OK : STG_E_MEDIUMFULL;
}

}  // namespace

DataSetStreamRead readDataSetStream(IStream& stream) {
    DataSetStreamRead out;
    unsigned char prefix[4];
    if (!readExactly(stream, prefix, sizeof prefix)) return {E_FAIL, {}};
    const std::uint32_t count = std::uint32_t{prefix[0]} | (std::uint32_t{prefix[1]} << 8) |
                                (std::uint32_t{prefix[2]} << 16) | (std::uint32_t{prefix[3]} << 24);
    if (count == 0) return out;
    if (count % 2 != 0) return {E_FAIL, {}};
    if (count > kMaxDataSetStreamBytes) return {E_OUTOFMEMORY, {}};
    // Read in chunks, so that a count larger than what the stream holds fails
    // on the short read instead of allocating the whole claimed size first.
    std::vector<unsigned char> bytes;
    for (std::uint32_t done = 0; done < count;) {
        const std::uint32_t piece = std::min(kChunkBytes, count - done);
        bytes.resize(done + piece);
        if (!readExactly(stream, bytes.data() + done, piece)) return {E_FAIL, {}};
        done += piece;
    }
    std::u16string text;
    text.reserve(count / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    }
    if (const auto end = text.find(u'\0'); end != std::u16string::npos) text.resize(end);
    out.text = com::utf16ToUtf8(text);
    return out;
}

HRESULT writeDataSetStream(IStream& stream, std::string_view text) {
    const std::u16string wide = com::utf8ToUtf16(text);
    const std::size_t byteCount = (wide.size() + 1) * 2;
    if (byteCount > kMaxDataSetStreamBytes) return E_OUTOFMEMORY;
    std::vector<unsigned char> bytes(4 + byteCount, 0);
    const auto count = static_cast<std::uint32_t>(byteCount);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(count >> (8 * i));
    for (std::size_t i = 0; i < wide.size(); ++i) {
        bytes[4 + 2 * i] = static_cast<unsigned char>(wide[i] & 0xFF);
        bytes[4 + 2 * i + 1] = static_cast<unsigned char>(wide[i] >> 8);
    }
    return writeAll(stream, bytes.data(), static_cast<ULONG>(bytes.size()));
}

}  // namespace engine
