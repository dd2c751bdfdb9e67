#pragma once
// A stream over a file.
//
// Reads and writes go straight to the file at the stream's own seek pointer;
// a short read at the end gives S_FALSE, a write past the end leaves a gap
// of zeros. Commit flushes written data to disk. Stat reports the file's
// size and, unless STATFLAG_NONAME, its file name. Clone is not supported
// (E_NOTIMPL), nor are region locks (STG_E_INVALIDFUNCTION). A stream opened
// for reading refuses Write and SetSize with STG_E_ACCESSDENIED.

#include <filesystem>

#include "platform/com/interfaces.h"

namespace com {

enum class FileStreamMode {
    read,       // an existing file, read only
    readWrite,  // an existing file, read and write
    create,     // created, or emptied when it exists; read and write
};

// Opens the file; *stream receives the caller's reference. STG_E_FILENOTFOUND
// for a missing file (or directory on the way), STG_E_ACCESSDENIED when
// permissions refuse or the path is a directory.
HRESULT createFileStream(const std::filesystem::path& file, FileStreamMode mode, IStream** stream);

}  // namespace com
