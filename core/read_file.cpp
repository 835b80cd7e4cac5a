#include "read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace vantel {

namespace {

FileRead fault(ReadFault f, std::string reason) {
    FileRead r;
    r.fault = f;
    r.reason = std::move(reason);
    return r;
}

FileRead unreadable() {
    return fault(ReadFault::Unreadable, "the file cannot be read");
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

} // namespace

FileRead readRegularFile(const std::string& path, uint64_t maxBytes) {
    // O_NONBLOCK: opening a pipe with no writer, or a device, returns at once
    // instead of waiting; O_NOCTTY: a terminal never becomes ours.
    Descriptor d{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (d.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return fault(ReadFault::Missing, "the file cannot be read");
        if (errno == EISDIR) return fault(ReadFault::Folder, "it is a folder");
        // A socket cannot be opened at all (ENXIO).
        if (errno == ENXIO)
            return fault(ReadFault::NotAFile,
                         "it is not a regular file (a pipe, device or socket)");
        return unreadable();
    }
    struct stat st {};
    if (::fstat(d.fd, &st) != 0) return unreadable();
    if (S_ISDIR(st.st_mode)) return fault(ReadFault::Folder, "it is a folder");
    if (!S_ISREG(st.st_mode))
        return fault(ReadFault::NotAFile, "it is not a regular file (a pipe, device or socket)");
    const auto tooLarge = [&](uint64_t size) {
        FileRead r =
            fault(ReadFault::TooLarge, "it is " + std::to_string(size) + " bytes long, more than " +
                                           std::to_string(maxBytes));
        r.size = size;
        return r;
    };
    const auto size = static_cast<uint64_t>(st.st_size);
    if (size > maxBytes) return tooLarge(size);

    // Read to the end, whatever the size said: a file may grow or shrink
    // while it is read, and it is never taken past maxBytes.
    FileRead r;
    r.bytes.resize(static_cast<size_t>(size) + 1);
    size_t got = 0;
    for (;;) {
        if (got == r.bytes.size()) {
            if (got > maxBytes) return tooLarge(got);
            r.bytes.resize(std::min<uint64_t>(maxBytes + 1, uint64_t{got} * 2 + 4096));
        }
        const ssize_t n = ::read(d.fd, &r.bytes[got], r.bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return unreadable();
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (got > maxBytes) return tooLarge(got);
    r.bytes.resize(got);
    r.size = got;
    return r;
}

} // namespace vantel
