// The kernel copy of a range: the bytes land where asked across several chunks, every
// progress watcher in force hears of every chunk, and a source that ends early or a file
// that cannot be written is a failure with its errno.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/KernelCopy.h"

using namespace platform;

namespace {

// A temporary file holding `bytes`, opened with `flags`; gone once closed.
int Temp(const std::string& bytes, int flags = O_RDWR) {
    std::string name = ::testing::TempDir() + "kernel-copy-XXXXXX";
    const int made = mkstemp(&name[0]);
    EXPECT_EQ(pwrite(made, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    close(made);
    const int fd = open(name.c_str(), flags | O_CLOEXEC);
    unlink(name.c_str());
    return fd;
}

std::string Contents(int fd) {
    std::string bytes(size_t(lseek(fd, 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(fd, &bytes[0], bytes.size(), 0), ssize_t(bytes.size()));
    return bytes;
}

}  // namespace

TEST(KernelCopy, ARangeLandsAtItsPlaceChunkByChunkAndEveryWatcherHears) {
    const int64_t length = 2 * kCopyChunk + 12345;
    std::string source(size_t(length) + 1000, '\0');
    for (size_t i = 0; i < source.size(); ++i) source[i] = char((i * 7919) >> 3);
    const int in = Temp(source), out = Temp("head:");
    std::vector<std::string> told;
    CopyProgressScope outer([&](int64_t n) { told.push_back("outer " + std::to_string(n)); });
    {
        CopyProgressScope inner([&](int64_t n) { told.push_back("inner " + std::to_string(n)); });
        ASSERT_TRUE(CopyFileRange(in, 1000, out, 5, length));
    }
    EXPECT_EQ(Contents(out), "head:" + source.substr(1000));
    const std::string chunk = std::to_string(kCopyChunk);
    EXPECT_EQ(told, (std::vector<std::string>{"inner " + chunk, "outer " + chunk, "inner " + chunk,
                                              "outer " + chunk, "inner 12345", "outer 12345"}));
    told.clear();  // the inner watcher is gone; nothing to copy tells nobody
    ASSERT_TRUE(CopyFileRange(in, 0, out, 0, 3));
    ASSERT_TRUE(CopyFileRange(in, 0, out, 0, 0));
    EXPECT_EQ(told, std::vector<std::string>{"outer 3"});
    close(in);
    close(out);
}

TEST(KernelCopy, ASourceEndingEarlyOrAFileNotWritableFails) {
    const int in = Temp("only ten b"), out = Temp(""), readOnly = Temp("", O_RDONLY);
    errno = 0;
    EXPECT_FALSE(CopyFileRange(in, 4, out, 0, 100));
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(Contents(out), " ten b");  // what there was is copied
    errno = 0;
    EXPECT_FALSE(CopyFileRange(in, 0, readOnly, 0, 4));
    EXPECT_EQ(errno, EBADF);
    for (int fd : {in, out, readOnly}) close(fd);
}
