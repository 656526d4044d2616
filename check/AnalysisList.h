// One report list of the file analysis as a model: its columns (none, the text display's or
// the hex display's), its rows and the texts and icons of their cells. Rows over bytes are made
// when they are asked for, from the list's source, so a list of any length is ready at once;
// a window of the source's bytes is kept, so a screenful of rows is read once. The marks of a
// compared list are kept one bit a row.
//
// The list of the file now shows what was compared: a digest of each window of the bytes as
// they were compared is kept, and when a row is drawn from bytes that differ from them, or the
// file has changed since (its size, its times, or the file its path names), every row shows a
// note instead of bytes, and no mark.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "check/AnalysisRows.h"

class AnalysisSource;

class AnalysisList {
  public:
    struct Column {
        const char* title;
        int width;  // pixels
    };
    enum class Marking {
        None,      // the backup list: no icons
        Compared,  // the file now: the tick or the cross by its marks
        NoBackup,  // the file now without a backup copy: the question mark everywhere
    };

    // No rows and no columns.
    void Clear();
    // The columns of a display: "Offset" and "ASCII" (text), or "Offset", "Bytes [Hex]" and
    // "ASCII" (hex).
    void InsertColumns(bool hex);
    const std::vector<Column>& Columns() const { return m_columns; }
    bool Hex() const { return m_hex; }
    size_t RowBytes() const { return m_hex ? kHexRowBytes : kTextRowBytes; }

    // `rows` rows of R bytes each from the source's first byte, showing `shown` bytes of it.
    void ShowBytes(std::shared_ptr<AnalysisSource> source, uint64_t shown, uint64_t rows);
    // The rows of a file that has no backup copy.
    void ShowNotBackedUp();
    void SetMarking(Marking marking) { m_marking = marking; }
    RowMarks& Marks() { return m_marks; }

    // The rows are compared from here on: each block of bytes compared is given, in order
    // from the source's first byte, and the rows drawn later are held to them.
    void StartComparing();
    void Compared(uint64_t offset, const uint8_t* data, size_t length);
    // Whether the rows now show the note: the bytes drawn are not those compared.
    bool ChangedSinceCompared() const;
    static const char* const kChangedNote;

    uint64_t RowCount() const { return m_rows; }
    uint64_t ShownBytes() const { return m_shown; }
    // The text of a cell; "" for a column the list does not have.
    std::string CellText(uint64_t row, size_t column) const;
    // The icon of a cell (an AnalysisIcon).
    int CellIcon(uint64_t row, size_t column) const;
    // The row's image: its mark's icon, or the icon beside "File was not backed up.".
    int RowIcon(uint64_t row) const;

  private:
    // The bytes of a row of a list over bytes.
    std::string RowBytesOf(uint64_t row) const;

    std::vector<Column> m_columns;
    bool m_hex = false;
    bool m_notBackedUp = false;
    std::shared_ptr<AnalysisSource> m_source;
    uint64_t m_shown = 0;
    uint64_t m_rows = 0;
    Marking m_marking = Marking::None;
    RowMarks m_marks;

    mutable std::vector<uint8_t> m_window;
    mutable uint64_t m_windowStart = 0;

    bool m_comparing = false;
    std::vector<size_t> m_comparedWindows;  // a digest of each window's bytes as compared
    mutable bool m_changed = false;
};
