// A list of the file analysis: columns, rows made when asked for, cell texts and icons.
#include "check/AnalysisList.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "check/AnalysisSource.h"

namespace {

constexpr size_t kWindowBytes = 64 * 1024;  // a multiple of both row lengths

const AnalysisList::Column kTextColumns[] = {{"Offset", 60}, {"ASCII", 825}};
const AnalysisList::Column kHexColumns[] = {{"Offset", 60}, {"Bytes [Hex]", 515}, {"ASCII", 215}};

size_t WindowDigest(const uint8_t* data, size_t length) {
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(data), length));
}

const char* const kNotBackedUpTexts[] = {
    "File was not backed up.",
    "",
    "To enable comparison in future, change your settings with the 'Configuration' menu.",
};

}  // namespace

const char* const AnalysisList::kChangedNote =
    "This file has changed since it was compared: press Text Display or Hex Display again.";

void AnalysisList::StartComparing() {
    m_comparing = true;
    m_comparedWindows.clear();
    m_changed = false;
}

// Blocks come whole windows at a time, but for the last one.
void AnalysisList::Compared(uint64_t offset, const uint8_t* data, size_t length) {
    for (size_t at = 0; at < length; at += kWindowBytes) {
        if ((offset + at) / kWindowBytes != m_comparedWindows.size()) {
            m_changed = true;  // not whole windows in order: nothing can be held to them
            return;
        }
        m_comparedWindows.push_back(WindowDigest(data + at, std::min(kWindowBytes, length - at)));
    }
}

bool AnalysisList::ChangedSinceCompared() const {
    if (m_comparing && !m_changed && m_source && !m_source->Unchanged())
        m_changed = true;
    return m_changed;
}

void AnalysisList::Clear() {
    m_columns.clear();
    m_notBackedUp = false;
    m_source.reset();
    m_shown = 0;
    m_rows = 0;
    m_marking = Marking::None;
    m_marks.Clear();
    m_window.clear();
    m_window.shrink_to_fit();
    m_windowStart = 0;
    m_comparing = false;
    m_comparedWindows.clear();
    m_comparedWindows.shrink_to_fit();
    m_changed = false;
}

void AnalysisList::InsertColumns(bool hex) {
    m_hex = hex;
    if (hex)
        m_columns.assign(std::begin(kHexColumns), std::end(kHexColumns));
    else
        m_columns.assign(std::begin(kTextColumns), std::end(kTextColumns));
}

void AnalysisList::ShowBytes(std::shared_ptr<AnalysisSource> source, uint64_t shown,
                             uint64_t rows) {
    if (source != m_source) {
        m_window.clear();
        m_source = std::move(source);
    }
    m_notBackedUp = false;
    m_shown = shown;
    m_rows = rows;
}

void AnalysisList::ShowNotBackedUp() {
    m_source.reset();
    m_window.clear();
    m_notBackedUp = true;
    m_shown = 0;
    m_rows = std::size(kNotBackedUpTexts);
}

std::string AnalysisList::RowBytesOf(uint64_t row) const {
    const uint64_t offset = row * RowBytes();
    if (!m_source || offset >= m_shown)
        return std::string();
    const size_t length = size_t(std::min<uint64_t>(RowBytes(), m_shown - offset));
    const bool inside =
        offset >= m_windowStart && offset + length <= m_windowStart + m_window.size();
    if (!inside) {
        m_windowStart = offset - offset % kWindowBytes;
        m_window.resize(size_t(std::min<uint64_t>(kWindowBytes, m_shown - m_windowStart)));
        m_window.resize(m_source->ReadAt(m_windowStart, m_window.data(), m_window.size()));
        const size_t index = size_t(m_windowStart / kWindowBytes);
        if (m_comparing &&
            (index >= m_comparedWindows.size() ||
             m_comparedWindows[index] != WindowDigest(m_window.data(), m_window.size())))
            m_changed = true;
    }
    // A source that gives fewer bytes than it gave when the rows were made shows what it has.
    const uint64_t at = offset - m_windowStart;
    if (at >= m_window.size())
        return std::string();
    const size_t n = std::min<size_t>(length, m_window.size() - size_t(at));
    return std::string(reinterpret_cast<const char*>(m_window.data()) + at, n);
}

std::string AnalysisList::CellText(uint64_t row, size_t column) const {
    if (row >= m_rows || column >= m_columns.size())
        return std::string();
    if (m_notBackedUp)
        return column == 1 ? kNotBackedUpTexts[row] : std::string();
    if (column == 0)
        return AnalysisOffsetText(row * RowBytes(), m_hex);
    const std::string bytes = RowBytesOf(row);
    if (ChangedSinceCompared())
        return column == 1 ? kChangedNote : std::string();
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (m_hex && column == 1)
        return AnalysisHexText(data, bytes.size());
    return AnalysisAsciiText(data, bytes.size());
}

int AnalysisList::RowIcon(uint64_t row) const {
    if (row >= m_rows)
        return kNoIcon;
    if (m_notBackedUp)
        return row == 0 ? kIconNotBackedUp : kNoIcon;
    switch (m_marking) {
        case Marking::NoBackup:
        case Marking::Compared:
            // A mark stands only beside the bytes it was made from.
            RowBytesOf(row);
            if (ChangedSinceCompared())
                return kNoIcon;
            if (m_marking == Marking::NoBackup)
                return kIconNoBackup;
            if (row < m_marks.Count())
                return m_marks.Differs(row) ? kIconDifferent : kIconSame;
            return kNoIcon;
        case Marking::None:
            break;
    }
    return kNoIcon;
}

int AnalysisList::CellIcon(uint64_t row, size_t column) const {
    if (column >= m_columns.size())
        return kNoIcon;
    // The warning stands beside its text; the Offset cells of those rows have none.
    if (m_notBackedUp)
        return column == 1 ? RowIcon(row) : kNoIcon;
    return RowIcon(row);
}
