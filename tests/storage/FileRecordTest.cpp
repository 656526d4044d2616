// The database record line: the shared known lines and attribute codes, the size and time
// fields at their limits, the reader on good and damaged lines, and the recordable paths.
#include <gtest/gtest.h>

#include "storage/FileRecord.h"
#include "tests/storage/JsonVectors.h"
#include "tests/storage/StorageHelpers.h"

namespace {

TEST(FileRecord, SharedKnownLines) {
    kat::Value vectors = kat::Load("records.json");
    const kat::Value& records = vectors["records"];
    ASSERT_EQ(records.items.size(), 4u);
    for (const kat::Value& v : records.items) {
        FileRecord r = MakeFileRecord(
            v["path"].text, v["digest"].text, FormatAddedSizeField(uint32_t(v["size"].U64())),
            uint32_t(v["attributes"].U64()), U64ToFileTime(v["last_write"].U64()),
            U64ToFileTime(v["creation"].U64()));
        std::string line = BuildFileRecordLine(r) + "\r\n";
        EXPECT_EQ(kat::ToHex(line), v["line_hex"].text) << v["path"].text;

        FileRecord back;
        ASSERT_TRUE(ParseFileRecordLine(kat::FromHex(v["line_hex"].text), back));
        EXPECT_EQ(back.path, v["path"].text);
        EXPECT_EQ(back.digest, v["digest"].text);
        EXPECT_EQ(back.SizeValue(), double(uint32_t(v["size"].U64())));
        EXPECT_EQ(back.AttributeByte(), AttributeCode(uint32_t(v["attributes"].U64())));
        EXPECT_EQ(FileTimeToU64(back.LastWriteTime()), v["last_write"].U64());
        EXPECT_EQ(FileTimeToU64(back.CreationTime()), v["creation"].U64());
    }
}

TEST(AttributeCode, SharedKnownCodes) {
    kat::Value vectors = kat::Load("records.json");
    const kat::Value& codes = vectors["attribute_codes"];
    ASSERT_EQ(codes.members.size(), 30u);
    for (const auto& [word, code] : codes.members) {
        uint32_t a = uint32_t(std::stoul(word, nullptr, 16));
        EXPECT_EQ(int(AttributeCode(a)), int(code.U64())) << word;
    }
}

TEST(AttributeCode, CompressedAndEncryptedLetters) {
    const uint32_t low[] = {0x00, 0x01, 0x02, 0x03, 0x20, 0x21, 0x22, 0x23};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(AttributeCode(0x800 | low[i]), 'd' + i);
        EXPECT_EQ(AttributeCode(0x2800 | low[i]), 'd' + i);
        EXPECT_EQ(AttributeCode(0x4000 | low[i]), 'l' + i);
        EXPECT_EQ(AttributeCode(0x6000 | low[i]), 'l' + i);
    }
}

TEST(AttributeCode, OutsideTheLettersTableAndNeverALineBreakingByte) {
    // Outside the table the higher bits are dropped; a low byte of 0, of a line feed, of a
    // carriage return or of the field separator becomes 0x08.
    const struct {
        uint32_t word;
        int code;
    } cases[] = {{0x2020, 0x20}, {0x804, 0x04}, {0x4804, 0x04}, {0x810, 0x10},
                 {0x4800, 0x08},  // compressed and encrypted: low byte 0
                 {0, 0x08},      {0x100, 0x08}, {0x2000, 0x08}, {0x10000, 0x08},
                 {0x180, 0x80},  {0x80, 0x80},  {0x10, 0x10},   {0x0A, 0x08},
                 {0x0D, 0x08},   {0x7F, 0x08},  {0x90A, 0x08},  {0x200D, 0x08},
                 {0x47F, 0x08},  {0x09, 0x09},  {0x0B, 0x0B},   {0x0E, 0x0E},
                 {0x7E, 0x7E},   {0xFF, 0xFF}};
    for (const auto& c : cases) EXPECT_EQ(int(AttributeCode(c.word)), c.code) << std::hex << c.word;
}

TEST(FileRecord, SizeFieldIsTwelveCharacters) {
    EXPECT_EQ(FormatAddedSizeField(0), "           0");
    EXPECT_EQ(FormatAddedSizeField(512), "         512");
    EXPECT_EQ(FormatAddedSizeField(500), "         500");
    EXPECT_EQ(FormatAddedSizeField(4294967295u), "  4294967295");
    // A file one byte larger than 4294967295 keeps only its low 32 bits: 0.
    EXPECT_EQ(FormatAddedSizeField(uint32_t(4294967296ull)), "           0");
}

TEST(FileRecord, TimeHalvesAreSigned32Bit) {
    EXPECT_EQ(FormatTimeHalf(0), "0");
    EXPECT_EQ(FormatTimeHalf(0x7FFFFFFF), "2147483647");
    EXPECT_EQ(FormatTimeHalf(0x80000000u), "-2147483648");
    EXPECT_EQ(FormatTimeHalf(0xFFFFFFFFu), "-1");

    FILETIME t;
    t.dwHighDateTime = 0x01DA1234;
    t.dwLowDateTime = 0xB2C3D4E5;  // top bit set: a negative text
    FileRecord r =
        MakeFileRecord("C:\\a", std::string(32, '0'), FormatAddedSizeField(1), 0x20, t, t);
    EXPECT_EQ(r.lastWriteLow, "-1295788827");
    FileRecord back;
    ASSERT_TRUE(ParseFileRecordLine(BuildFileRecordLine(r) + "\r\n", back));
    EXPECT_EQ(back.LastWriteTime().dwLowDateTime, 0xB2C3D4E5u);
    EXPECT_EQ(back.LastWriteTime().dwHighDateTime, 0x01DA1234u);
    EXPECT_EQ(back.CreationTime().dwLowDateTime, 0xB2C3D4E5u);
}

TEST(FileRecord, ReaderKeepsFieldTextsAndToleratesLineEnds) {
    std::string line =
        Seps("C:\\Data\\A b.TXT|" + std::string(32, 'a') + "|         512| |1|-2|3|-4|");
    for (const char* end : {"", "\n", "\r\n"}) {
        FileRecord r;
        ASSERT_TRUE(ParseFileRecordLine(line + end, r));
        EXPECT_EQ(r.path, "C:\\Data\\A b.TXT");
        EXPECT_EQ(r.size, "         512");
        EXPECT_EQ(r.attributes, " ");
        EXPECT_EQ(r.lastWriteHigh, "1");
        EXPECT_EQ(r.lastWriteLow, "-2");
        EXPECT_EQ(r.creationHigh, "3");
        EXPECT_EQ(r.creationLow, "-4");
        EXPECT_EQ(r.SizeValue(), 512.0);
    }
}

TEST(FileRecord, ReaderRefusesShortLinesButReadsWhatTheyHold) {
    FileRecord r;
    EXPECT_FALSE(ParseFileRecordLine("", r));
    EXPECT_FALSE(ParseFileRecordLine("C:\\no separators at all\r\n", r));
    EXPECT_FALSE(ParseFileRecordLine(Seps("a|b|c|d|e|f|g|h\r\n"), r));  // seven separators
    // What the line holds is read all the same.
    EXPECT_EQ(r.path, "a");
    EXPECT_EQ(r.lastWriteLow, "f");
    EXPECT_EQ(r.creationLow, "h");
    EXPECT_FALSE(ParseFileRecordLine(Seps("C:\\only a path|"), r));
    EXPECT_EQ(r.path, "C:\\only a path");
    EXPECT_EQ(r.digest, "");
    EXPECT_EQ(r.creationLow, "");
    EXPECT_TRUE(ParseFileRecordLine(Seps("a|b|c|d|e|f|g|h|"), r));
    // Cut right after the digest: path and digest whole, the line break in neither.
    const std::string digest(32, 'd');
    for (const char* end : {"", "\n", "\r\n"}) {
        EXPECT_FALSE(ParseFileRecordLine(Seps("C:\\a.txt|") + digest + end, r));
        EXPECT_EQ(r.path, "C:\\a.txt");
        EXPECT_EQ(r.digest, digest);
        EXPECT_EQ(r.size, "");
    }
}

TEST(FileRecord, SplitFields) {
    std::vector<std::string> f;
    SplitFields(Seps("a||c|\r\n"), f);
    EXPECT_EQ(f, (std::vector<std::string>{"a", "", "c", ""}));
    SplitFields("no separator\n", f);
    EXPECT_EQ(f, (std::vector<std::string>{"no separator"}));
    SplitFields("", f);
    EXPECT_EQ(f, (std::vector<std::string>{""}));
    SplitFields(Seps("x|y"), f);
    EXPECT_EQ(f, (std::vector<std::string>{"x", "y"}));
}

TEST(FileRecord, RecordablePaths) {
    EXPECT_TRUE(IsRecordablePath("C:\\Data\\ordinary name.txt"));
    EXPECT_TRUE(IsRecordablePath("C:\\Data\\\xe4\xf6\xfc.txt"));
    EXPECT_FALSE(IsRecordablePath(Seps("C:\\Data\\a|b")));
    EXPECT_FALSE(IsRecordablePath("C:\\Data\\a\rb"));
    EXPECT_FALSE(IsRecordablePath("C:\\Data\\a\nb"));
    EXPECT_FALSE(IsRecordablePath(std::string("C:\\Data\\a\0b", 11)));
    EXPECT_EQ(UnrecordablePathMessage("C:\\x\ny"),
              "C:\\x\ny cannot be recorded: its name holds a line break, a zero byte or the byte "
              "0x7F.");
}

}  // namespace
