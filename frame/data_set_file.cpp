#include "frame/data_set_file.h"

#include <zlib.h>

#include <charconv>
#include <cstdio>

#include "frame/hresult_text_p.h"
#include "platform/com/comptr.h"
#include "platform/com/file_io.h"
#include "platform/com/memory_stream.h"

namespace frame {
namespace {

constexpr std::string_view kMagicLine = "hartdtm data set 1";
constexpr std::uint64_t kMaxStreamBytes = std::uint64_t{256} * 1024 * 1024;

std::uint32_t checksum(const std::vector<std::uint8_t>& bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 30);
        crc = crc32(crc, bytes.data() + done, static_cast<uInt>(chunk));
        done += chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

std::string hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

com::Status damaged(const std::string& why) {
    return com::Status::failure(E_FAIL, "damaged data-set file: " + why);
}

// Takes the next line (without its line feed) off the front of text.
bool takeLine(std::string_view& text, std::string_view& line) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return false;
    line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

template <class Number>
bool parseNumber(std::string_view text, Number& value, int base) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The stream's own framing: a 32-bit little-endian count N, then N bytes of
// UTF-16LE text ending in its terminating zero (N = 0: an empty text).
com::Status checkStream(const std::vector<std::uint8_t>& stream) {
    if (stream.size() < 4) return damaged("the data set is shorter than its length field");
    const std::uint32_t n = std::uint32_t{stream[0]} | (std::uint32_t{stream[1]} << 8) |
                            (std::uint32_t{stream[2]} << 16) | (std::uint32_t{stream[3]} << 24);
    if (std::uint64_t{n} + 4 != stream.size())
        return damaged("the data set's length field does not match");
    if (n == 0) return com::Status::ok();
    if (n % 2 != 0 || stream[stream.size() - 1] != 0 || stream[stream.size() - 2] != 0)
        return damaged("the data-set text is not terminated");
    return com::Status::ok();
}

com::Status readStream(IStream& stream, std::vector<std::uint8_t>& bytes) {
    LARGE_INTEGER start{0};
    if (FAILED(stream.Seek(start, STREAM_SEEK_SET, nullptr)))
        return com::Status::failure(E_FAIL, "cannot rewind");
    std::uint8_t chunk[4096];
    for (;;) {
        ULONG read = 0;
        const HRESULT hr = stream.Read(chunk, sizeof chunk, &read);
        if (FAILED(hr)) return com::Status::failure(hr, "cannot read the saved data set");
        bytes.insert(bytes.end(), chunk, chunk + read);
        if (read < sizeof chunk) return com::Status::ok();
    }
}

com::ComPtr<IPersistStreamInit> persistenceOf(IUnknown& dtm) {
    com::ComPtr<IPersistStreamInit> persist;
    dtm.QueryInterface(IPersistStreamInit::iid, persist.putVoid());
    return persist;
}

}  // namespace

std::string formatDataSetFile(const DataSetImage& image) {
    std::string text(kMagicLine);
    text += "\nclass " + com::formatGuid(image.classId) + "\n";
    text += "bytes " + std::to_string(image.stream.size()) + " crc32 " +
            hex8(checksum(image.stream)) + "\n";
    text.append(image.stream.begin(), image.stream.end());
    return text;
}

com::Status parseDataSetFile(std::string_view text, DataSetImage& image) {
    std::string_view line;
    if (!takeLine(text, line) || line != kMagicLine)
        return damaged("it is not a data-set file of this frame");
    if (!takeLine(text, line) || !line.starts_with("class ")) return damaged("no class line");
    const std::optional<GUID> classId = com::parseGuid(line.substr(6));
    if (!classId) return damaged("the class is not a CLSID");
    if (!takeLine(text, line) || !line.starts_with("bytes ")) return damaged("no size line");
    line.remove_prefix(6);
    const std::size_t crcAt = line.find(" crc32 ");
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    if (crcAt == std::string_view::npos || !parseNumber(line.substr(0, crcAt), size, 10) ||
        !parseNumber(line.substr(crcAt + 7), crc, 16) || line.substr(crcAt + 7).size() != 8)
        return damaged("the size line cannot be read");
    if (size > kMaxStreamBytes) return damaged("the data set is too large");
    if (text.size() != size)
        return damaged("it holds " + std::to_string(text.size()) + " data-set bytes, not " +
                       std::to_string(size));
    DataSetImage read;
    read.classId = *classId;
    read.stream.assign(text.begin(), text.end());
    if (checksum(read.stream) != crc) return damaged("the checksum does not match");
    if (com::Status stream = checkStream(read.stream); !stream) return stream;
    image = std::move(read);
    return com::Status::ok();
}

com::Status saveDataSet(IUnknown& dtm, const std::filesystem::path& file) {
    const com::ComPtr<IPersistStreamInit> persist = persistenceOf(dtm);
    if (!persist)
        return com::Status::failure(E_NOINTERFACE, "the DTM offers no IPersistStreamInit");
    DataSetImage image;
    if (FAILED(persist->GetClassID(&image.classId))) image.classId = GUID_NULL;
    com::ComPtr<IStream> stream;
    if (FAILED(com::createMemoryStream(stream.put())))
        return com::Status::failure(E_OUTOFMEMORY, "no memory stream");
    if (const HRESULT hr = persist->Save(stream.get(), TRUE); FAILED(hr)) {
        const std::string why = hr == E_ACCESSDENIED ? "its data-set lock was refused"
                                : hr == E_UNEXPECTED ? "it has no data set before Environment"
                                                     : "it failed to save its data set";
        return com::Status::failure(hr, "the DTM wrote no data set: " + why + " (" +
                                            hresultText(hr) + ")");
    }
    if (com::Status read = readStream(*stream.get(), image.stream); !read) return read;
    if (image.stream.empty())
        return com::Status::failure(E_FAIL,
                                    "the DTM wrote no data set (was its data-set lock refused?)");
    if (com::Status checked = checkStream(image.stream); !checked)
        return com::Status::failure(E_FAIL, "the DTM wrote a malformed data set");
    com::Status written = com::writeFileAtomically(file, formatDataSetFile(image));
    if (!written)
        return com::Status::failure(written.code,
                                    "cannot write " + file.string() + ": " + written.reason);
    return com::Status::ok();
}

com::Status loadDataSet(IUnknown& dtm, const std::filesystem::path& file) {
    const com::ComPtr<IPersistStreamInit> persist = persistenceOf(dtm);
    if (!persist)
        return com::Status::failure(E_NOINTERFACE, "the DTM offers no IPersistStreamInit");
    com::FileContent content;
    if (com::Status read = com::readWholeFile(file, content); !read)
        return com::Status::failure(read.code, "cannot read " + file.string() + ": " + read.reason);
    if (!content.exists)
        return com::Status::failure(STG_E_FILENOTFOUND, "no file " + file.string());
    DataSetImage image;
    if (com::Status parsed = parseDataSetFile(content.bytes, image); !parsed)
        return com::Status::failure(parsed.code, file.string() + ": " + parsed.reason);
    CLSID dtmClass = GUID_NULL;
    if (SUCCEEDED(persist->GetClassID(&dtmClass)) && dtmClass != image.classId) {
        return com::Status::failure(E_FAIL, file.string() + " holds a data set of class " +
                                                com::formatGuid(image.classId) + ", the DTM is " +
                                                com::formatGuid(dtmClass));
    }
    com::ComPtr<IStream> stream;
    if (FAILED(com::createMemoryStream(image.stream, stream.put())))
        return com::Status::failure(E_OUTOFMEMORY, "no memory stream");
    if (const HRESULT hr = persist->Load(stream.get()); FAILED(hr))
        return com::Status::failure(hr, "the DTM refused the data set (" + hresultText(hr) + ")");
    return com::Status::ok();
}

}  // namespace frame
