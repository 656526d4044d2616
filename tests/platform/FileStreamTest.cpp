// The buffered stream: exact bytes of text and binary modes, append, whole lines, one-byte
// reading and writing with put-back and positions, and write failures that are reported.
#include <signal.h>
#include <sys/resource.h>

#include "platform/File.h"
#include "tests/platform/PlatformFixture.h"

using namespace platform;

using Stream = PlatformTest;

TEST_F(Stream, TextModeWritesCrLfAndBinaryWritesAsIs) {
    CFile f;
    ASSERT_TRUE(f.Open("E:\\t.txt", "w"));
    EXPECT_TRUE(f.PutS("a\nb"));
    EXPECT_TRUE(f.PutC('\n'));
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(ReadHost(E("t.txt")), "a\r\nb\r\n");

    ASSERT_TRUE(f.Open("E:\\t.txt", "wt"));
    EXPECT_TRUE(f.PutS("x\r\n"));
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(ReadHost(E("t.txt")), "x\r\r\n");

    ASSERT_TRUE(f.Open("E:\\b.bin", "wb"));
    EXPECT_TRUE(f.PutS(std::string("a\nb\0\r\n", 6)));
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(ReadHost(E("b.bin")), std::string("a\nb\0\r\n", 6));
}

TEST_F(Stream, TextModeReadsCrLfAsLf) {
    WriteHost(E("r.txt"), "one\r\ntwo\rthree\r\r\nend\r");
    CFile f;
    ASSERT_TRUE(f.Open("E:\\r.txt", "r"));
    std::string all, line;
    while (f.ReadLine(line)) all += "[" + line + "]";
    EXPECT_EQ(all, "[one\n][two\rthree\r\n][end\r]");
    EXPECT_TRUE(f.AtEnd());
    f.Close();

    ASSERT_TRUE(f.Open("E:\\r.txt", "rb"));
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, "one\r\n");
}

TEST_F(Stream, CrLfSplitAcrossTheBufferStaysOnePair) {
    const size_t buffer = 64 * 1024;
    std::string bytes(buffer - 1, 'x');
    bytes += "\r\nz";
    WriteHost(E("edge.txt"), bytes);
    CFile f;
    ASSERT_TRUE(f.Open("E:\\edge.txt", "rt"));
    std::string line;
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line.size(), buffer);
    EXPECT_EQ(line.substr(buffer - 2), "x\n");
    EXPECT_EQ(f.Tell(), int64_t(buffer + 1));
    EXPECT_EQ(f.GetC(), 'z');
    EXPECT_EQ(f.GetC(), -1);
}

TEST_F(Stream, LongLinesAreReadWhole) {
    const std::string longLine(1000, 'q');
    WriteHost(E("long.txt"), longLine + "\r\n" + std::string(450, 'w') + "\r\nlast");
    CFile f;
    ASSERT_TRUE(f.Open("E:\\long.txt", "r"));
    std::string line;
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, longLine + "\n");
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, std::string(450, 'w') + "\n");
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(f.ReadLine(line));
    EXPECT_EQ(line, "");
}

TEST_F(Stream, AppendWritesAtTheEnd) {
    WriteHost(E("log.txt"), "start\r\n");
    CFile f;
    ASSERT_TRUE(f.Open("E:\\log.txt", "a"));
    EXPECT_TRUE(f.PutS("more\n"));
    EXPECT_TRUE(f.Close());
    ASSERT_TRUE(f.Open("E:\\log.txt", "a+b"));
    EXPECT_EQ(f.GetC(), 's');
    EXPECT_TRUE(f.Seek(0, SEEK_SET));
    EXPECT_TRUE(f.PutS("end"));
    EXPECT_EQ(f.Tell(), 16);
    EXPECT_EQ(f.Length(), 16);
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(ReadHost(E("log.txt")), "start\r\nmore\r\nend");
    // "a" makes a missing file.
    ASSERT_TRUE(f.Open("E:\\new.txt", "ab"));
    EXPECT_TRUE(f.Close());
    EXPECT_TRUE(HostExists(E("new.txt")));
}

TEST_F(Stream, GetCUngetCSeekAndTell) {
    WriteHost(E("s.txt"), "ab\r\ncd");
    CFile f;
    ASSERT_TRUE(f.Open("E:\\s.txt", "r"));
    EXPECT_EQ(f.GetC(), 'a');
    EXPECT_EQ(f.GetC(), 'b');
    EXPECT_EQ(f.Tell(), 2);
    EXPECT_EQ(f.GetC(), '\n');
    EXPECT_EQ(f.Tell(), 4);
    EXPECT_TRUE(f.UngetC());
    EXPECT_EQ(f.Tell(), 2);
    EXPECT_EQ(f.GetC(), '\n');
    EXPECT_TRUE(f.Seek(-1, SEEK_END));
    EXPECT_EQ(f.GetC(), 'd');
    EXPECT_TRUE(f.AtEnd());
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_TRUE(f.Seek(1, SEEK_SET));
    EXPECT_EQ(f.GetC(), 'b');
    EXPECT_FALSE(f.Seek(-10, SEEK_CUR));
    EXPECT_EQ(f.Length(), 6);

    char buf[8] = {};
    ASSERT_TRUE(f.Open("E:\\s.txt", "rb"));
    EXPECT_EQ(f.Read(buf, sizeof buf), 6u);
    EXPECT_EQ(std::string(buf, 6), "ab\r\ncd");
    EXPECT_TRUE(f.UngetC());
    EXPECT_EQ(f.GetC(), 'd');
}

TEST_F(Stream, ReadAndWriteOnOneStream) {
    WriteHost(E("rw.bin"), "0123456789");
    CFile f;
    ASSERT_TRUE(f.Open("E:\\rw.bin", "r+b"));
    EXPECT_EQ(f.GetC(), '0');
    EXPECT_EQ(f.GetC(), '1');
    EXPECT_TRUE(f.PutC('X'));
    EXPECT_EQ(f.GetC(), '3');
    EXPECT_TRUE(f.Seek(0, SEEK_END));
    EXPECT_TRUE(f.PutS("AB"));
    EXPECT_EQ(f.Length(), 12);
    EXPECT_TRUE(f.Seek(9, SEEK_SET));
    EXPECT_EQ(f.GetC(), '9');
    EXPECT_EQ(f.GetC(), 'A');
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(ReadHost(E("rw.bin")), "01X3456789AB");

    // "w+" empties, "r" cannot write and "w" cannot read.
    ASSERT_TRUE(f.Open("E:\\rw.bin", "w+b"));
    EXPECT_EQ(f.Length(), 0);
    EXPECT_TRUE(f.PutS("new"));
    EXPECT_TRUE(f.Seek(0, SEEK_SET));
    EXPECT_EQ(f.GetC(), 'n');
    ASSERT_TRUE(f.Open("E:\\rw.bin", "rb"));
    EXPECT_FALSE(f.PutC('z'));
    ASSERT_TRUE(f.Open("E:\\rw.bin", "wb"));
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(ReadHost(E("rw.bin")), "");
}

TEST_F(Stream, ManyBytesOneAtATime) {
    CFile f;
    ASSERT_TRUE(f.Open("E:\\big.bin", "wb"));
    const size_t n = 300000;
    for (size_t i = 0; i < n; ++i) ASSERT_TRUE(f.PutC(int(i * 7 % 251)));
    EXPECT_EQ(f.Tell(), int64_t(n));
    ASSERT_TRUE(f.Close());
    ASSERT_TRUE(f.Open("E:\\big.bin", "rb"));
    for (size_t i = 0; i < n; ++i) ASSERT_EQ(f.GetC(), int(i * 7 % 251)) << i;
    EXPECT_EQ(f.GetC(), -1);
    std::string copy(n, '\0');
    ASSERT_TRUE(f.Seek(0, SEEK_SET));
    EXPECT_EQ(f.Read(&copy[0], n), n);
    EXPECT_EQ(copy, ReadHost(E("big.bin")));
}

TEST_F(Stream, AFailedWriteIsReportedByClose) {
    // A child process whose files may not grow past 1000 bytes.
    EXPECT_EQ(ChildExitCode([] {
                  signal(SIGXFSZ, SIG_IGN);
                  const struct rlimit limit = {1000, 1000};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  CFile f;
                  if (!f.Open("E:\\full.bin", "wb"))
                      return 2;
                  for (int i = 0; i < 5000; ++i) f.PutC('x');
                  return f.Close() ? 0 : 1;
              }),
              1);
}
