// The kernel copy of a range: the bytes land where asked across several chunks, every
// progress watcher in force hears of every chunk, and a source that ends early or a file
// that cannot be written is a failure with its errno.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/KernelCopy.h"

using namespace platform;

namespace {

class KernelCopyTest : public ::testing::Test {
  protected:
    // A temporary file holding `bytes`, open for reading and writing.
    int Temp(const std::string& bytes) {
        std::string name = ::testing::TempDir() + "kernel-copy-XXXXXX";
        const int fd = mkstemp(&name[0]);
        EXPECT_GE(fd, 0);
        unlink(name.c_str());
        EXPECT_EQ(pwrite(fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
        fds.push_back(fd);
        return fd;
    }
    std::string Contents(int fd) {
        std::string bytes(size_t(lseek(fd, 0, SEEK_END)), '\0');
        EXPECT_EQ(pread(fd, &bytes[0], bytes.size(), 0), ssize_t(bytes.size()));
        return bytes;
    }
    void TearDown() override {
        for (int fd : fds) close(fd);
    }
    std::vector<int> fds;
};

std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = char((i * 7919) >> 3);
    return bytes;
}

}  // namespace

TEST_F(KernelCopyTest, ARangeLandsAtItsPlaceChunkByChunk) {
    const int64_t length = 2 * kCopyChunk + 12345;
    const std::string source = Pattern(size_t(length) + 1000);
    const int in = Temp(source);
    const int out = Temp("head:");
    std::vector<std::string> told;
    CopyProgressScope outer(
        [&](int64_t bytes) { told.push_back("outer " + std::to_string(bytes)); });
    {
        CopyProgressScope inner(
            [&](int64_t bytes) { told.push_back("inner " + std::to_string(bytes)); });
        ASSERT_TRUE(CopyFileRange(in, 1000, out, 5, length));
    }
    EXPECT_EQ(Contents(out), "head:" + source.substr(1000));
    const std::string chunk = std::to_string(kCopyChunk);
    EXPECT_EQ(told, (std::vector<std::string>{"inner " + chunk, "outer " + chunk, "inner " + chunk,
                                              "outer " + chunk, "inner 12345", "outer 12345"}));
    // The inner watcher is gone; nothing to copy tells nobody.
    told.clear();
    ASSERT_TRUE(CopyFileRange(in, 0, out, 0, 3));
    ASSERT_TRUE(CopyFileRange(in, 0, out, 0, 0));
    EXPECT_EQ(told, std::vector<std::string>{"outer 3"});
}

TEST_F(KernelCopyTest, ASourceEndingEarlyOrAFileNotWritableFails) {
    const int in = Temp("only ten b");
    const int out = Temp("");
    errno = 0;
    EXPECT_FALSE(CopyFileRange(in, 4, out, 0, 100));
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(Contents(out), " ten b");  // what there was is copied

    std::string name = ::testing::TempDir() + "kernel-copy-ro-XXXXXX";
    const int made = mkstemp(&name[0]);
    ASSERT_GE(made, 0);
    close(made);
    const int readOnly = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    unlink(name.c_str());
    ASSERT_GE(readOnly, 0);
    fds.push_back(readOnly);
    errno = 0;
    EXPECT_FALSE(CopyFileRange(in, 0, readOnly, 0, 4));
    EXPECT_EQ(errno, EBADF);
}
