#pragma once
// The frame's data-set files: what a DTM writes through IPersistStreamInit,
// framed so that a damaged or foreign file is recognised before a DTM sees it.
//
// Layout: the line "hartdtm data set 1", the line "class {CLSID}" of the DTM
// class that saved it, the line "bytes N crc32 XXXXXXXX", then the N bytes of
// the stream. Files are replaced atomically: an interrupted save leaves the
// previous file whole.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/interfaces.h"
#include "platform/com/status.h"

namespace frame {

struct DataSetImage {
    CLSID classId = GUID_NULL;
    std::vector<std::uint8_t> stream;  // the DTM's stream bytes
};

// The file text of an image.
std::string formatDataSetFile(const DataSetImage& image);
// Reads a file text; a failure names what is damaged (E_FAIL).
com::Status parseDataSetFile(std::string_view text, DataSetImage& image);

// The DTM's data set in memory: IPersistStreamInit::Save (clearing its dirty
// flag). Fails, with the image unchanged, when the DTM fails or writes nothing
// (a refused data-set lock) or writes a malformed stream.
com::Status captureDataSet(IUnknown& dtm, DataSetImage& image);
// Loads an image into the DTM through IPersistStreamInit::Load; an image of
// another DTM class is refused and the DTM not touched.
com::Status restoreDataSet(IUnknown& dtm, const DataSetImage& image);

// Saves the DTM's data set: IPersistStreamInit::Save (clearing its dirty
// flag) into memory, then the file replaced atomically. Nothing is written
// when the DTM fails or writes nothing (a refused data-set lock).
com::Status saveDataSet(IUnknown& dtm, const std::filesystem::path& file);
// Loads a file into the DTM through IPersistStreamInit::Load. The file is
// checked completely first (framing, checksum, the stream's own length field,
// the DTM's class): a damaged file is reported and the DTM is not touched.
com::Status loadDataSet(IUnknown& dtm, const std::filesystem::path& file);

}  // namespace frame
