// The reader of whole files: regular files only, sized on the open file, and
// nothing that could keep it waiting (a pipe, a device, a socket) is read.
#include "read_file.h"
#include "session_file.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace vantel {
namespace {

// Runs read(path) while a helper opens the pipe for writing should the read
// still be waiting after three seconds: a reader that blocks fails the test
// instead of hanging it.
template <class Read> void withoutHanging(const std::string& fifo, Read read) {
    std::atomic<bool> done{false};
    std::thread rescue([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        while (!done) {
            std::ofstream(fifo) << "";
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    read();
    done = true;
    rescue.join();
}

TEST(ReadFile, ReadsRegularFilesWholeAndRefusesEverythingElseAtOnce) {
    const std::string dir = ::testing::TempDir() + "read_file_" + std::to_string(::getpid());
    ::mkdir(dir.c_str(), 0700);
    const std::string fifo = dir + "/x.vantel", socketPath = dir + "/s", big = dir + "/big",
                      small = dir + "/small", empty = dir + "/empty";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    std::ofstream(big) << std::string(101, 'b');
    std::ofstream(small) << std::string(100, 's');
    std::ofstream(empty) << "";

    const struct {
        std::string path;
        ReadFault fault;
        size_t bytes;
        const char* reason;
    } cases[] = {
        {small, ReadFault::None, 100, ""},
        {empty, ReadFault::None, 0, ""},
        {big, ReadFault::TooLarge, 0, "it is 101 bytes long, more than 100"},
        {dir, ReadFault::Folder, 0, "it is a folder"},
        {dir + "/none", ReadFault::Missing, 0, "the file cannot be read"},
        {small + "/under", ReadFault::Missing, 0, "the file cannot be read"},
        {fifo, ReadFault::NotAFile, 0, "it is not a regular file (a pipe, device or socket)"},
        {socketPath, ReadFault::NotAFile, 0, "it is not a regular file (a pipe, device or socket)"},
        {"/dev/zero", ReadFault::NotAFile, 0,
         "it is not a regular file (a pipe, device or socket)"},
        {"/dev/null", ReadFault::NotAFile, 0,
         "it is not a regular file (a pipe, device or socket)"},
    };
    for (const auto& c : cases) {
        withoutHanging(fifo, [&] {
            const FileRead r = readRegularFile(c.path, 100);
            EXPECT_EQ(r.fault, c.fault) << c.path;
            EXPECT_EQ(r.bytes.size(), c.bytes) << c.path;
            EXPECT_EQ(r.reason, c.reason) << c.path;
        });
    }
    // The window's Open session… on a pipe: one sentence, and no wait.
    withoutHanging(fifo, [&] {
        try {
            readSessionFile(fifo);
            ADD_FAILURE() << "a pipe opened as a session";
        } catch (const SessionFileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      fifo + ": not opened, it is not a regular file (a pipe, device or socket)");
        }
    });
    ::close(sock);
    for (const std::string& p : {fifo, socketPath, big, small, empty})
        std::remove(p.c_str());
    ::rmdir(dir.c_str());
}

} // namespace
} // namespace vantel
