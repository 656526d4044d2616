// The rows of the file analysis as texts and marks. A row covers R bytes (128 in the text
// display, 32 in the hex display); its "Offset" text is the offset of its first byte ("%lu" in
// the text display, "%X" in the hex display), its "ASCII" text one character a byte (the byte
// when printable, else "."), its "Bytes [Hex]" text two upper-case digits and a blank a byte.
// A row of the file now is marked by comparing its comparison text (the "ASCII" text in the
// text display, the "Bytes [Hex]" text in the hex display) with the text of the backup's row
// at the same place; here that is done on the bytes, a block of rows at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kTextRowBytes = 128;
constexpr size_t kHexRowBytes = 32;

// The row icons, by index.
enum AnalysisIcon : int {
    kNoIcon = -1,
    kIconSame = 0,         // the row equals the backup copy's row
    kIconDifferent = 1,    // it differs
    kIconNotBackedUp = 2,  // stands beside "File was not backed up."
    kIconNoBackup = 3,     // there is no backup copy to compare with
};

std::string AnalysisOffsetText(uint64_t offset, bool hex);
std::string AnalysisAsciiText(const uint8_t* bytes, size_t length);
std::string AnalysisHexText(const uint8_t* bytes, size_t length);

// How many rows `shown` bytes make. A list that ended with the byte that reached its length
// limit (the backup copy's length) ends with that byte's row: ceil(shown / R) rows, and one
// empty row for a limit of 0. A list that ended at the end of its bytes or at a Cancel ends
// with a row holding what was left, which may be nothing: floor(shown / R) + 1 rows.
uint64_t AnalysisRowCount(uint64_t shown, size_t rowBytes, bool endedAtLimit);

// Whether two rows show the same comparison text: the same bytes in the hex display; in the
// text display the same characters, so non-printable bytes and "." are all alike.
bool SameAnalysisRow(const uint8_t* now, size_t nowLength, const uint8_t* backup,
                     size_t backupLength, bool hex);

// The marks of a list's rows, one bit a row: set when the row differs.
class RowMarks {
  public:
    void Clear();
    uint64_t Count() const { return m_count; }
    bool Differs(uint64_t row) const { return (m_bits[row / 64] >> (row % 64)) & 1; }
    void Append(bool differs);
    // `count` rows that equal their backup rows.
    void AppendSame(uint64_t count);

    // The rows of a block of the file now, `now` (its rows from the block's first byte on),
    // against the backup's bytes at the same place, `backup` (fewer, or none, where the
    // backup copy ends): one mark for each row that holds a byte of `now`.
    void MarkBlock(const uint8_t* now, size_t nowLength, const uint8_t* backup, size_t backupLength,
                   size_t rowBytes, bool hex);

  private:
    std::vector<uint64_t> m_bits;
    uint64_t m_count = 0;
};
