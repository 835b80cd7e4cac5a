#pragma once

// Reads a whole file that must be a regular one, without ever waiting on it:
// the file is opened non-blocking, and what it is and how long it is are read
// from the open descriptor, so a pipe, a device or a socket is refused at once
// instead of read, and a file swapped in after a check is never read by
// mistake. Plain C++17 and POSIX; no Qt.
#include <cstdint>
#include <string>

namespace vantel {

// Why a file was not read.
enum class ReadFault {
    None,       // read whole
    Missing,    // no such file, or a folder on its path is missing
    Folder,     // the path is a folder
    NotAFile,   // a pipe, device or socket: never read, it could wait for ever
    TooLarge,   // longer than the reader takes
    Unreadable, // no permission, or the read itself failed
};

struct FileRead {
    ReadFault fault = ReadFault::None;
    std::string bytes; // the whole file when fault is None
    uint64_t size = 0; // the file's size when known (TooLarge)
    // What is wrong, as the end of a sentence that names the file first:
    // "it is a folder", "it is not a regular file (a pipe, device or socket)",
    // "it is 9000000 bytes long, more than 8388608", "the file cannot be read".
    std::string reason;

    bool ok() const { return fault == ReadFault::None; }
};

// The whole of the regular file at path, when it is at most maxBytes long.
FileRead readRegularFile(const std::string& path, uint64_t maxBytes);

} // namespace vantel
