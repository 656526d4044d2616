// The contents criterion: the size bound, the open, the exact-size case, and the scan of
// the file in blocks with its start-of-file and end-of-file cases.
#include "criteria/ContentsCriterion.h"

#include <algorithm>
#include <vector>

#include "criteria/ByteSearch.h"
#include "criteria/CriterionFile.h"
#include "criteria/FolderWalk.h"
#include "database/ListView.h"

namespace {

using Verdict = Criterion::Verdict;

const unsigned char* Bytes(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// A file of exactly the typed text's length: one comparison of its whole content.
Verdict ExactSize(platform::CFile& file, const ContentsQuery& q) {
    std::vector<unsigned char> content(q.bare.size());
    if (file.Read(content.data(), content.size()) != content.size())
        return Verdict::NoMatch;
    if (q.textFilesOnly && !IsTextByte(content[0]))
        return Verdict::NoMatch;
    return BytesEqual(content.data(), Bytes(q.bare), content.size(), q.matchCase)
               ? Verdict::Match
               : Verdict::NoMatch;
}

// The scan of the positions 0 to S - 1.
class Scan {
  public:
    Scan(platform::CFile& file, uint64_t size, const ContentsQuery& q)
        : m_q(q),
          m_size(size),
          m_n(q.bare.size()),
          m_finder(q.pattern, q.matchCase),
          m_blocks(file, size, std::max(q.pattern.size(), q.bare.size() + 1)),
          m_stop(size) {}

    Verdict Run(CProgressDlg& progress) {
        uint64_t keepFrom = 0;
        while (true) {
            if (!m_blocks.Next(keepFrom, progress))
                return Verdict::Cancelled;
            FindStop();
            if (StartOfFile() || Anywhere())
                return Verdict::Match;
            if (m_blocks.Finished())
                break;
            // Stopped by a byte that is no text byte: no position is left, nor the end case.
            if (m_next >= m_stop)
                return Verdict::NoMatch;
            // What is kept holds the windows still to come, and with whole word (w = n + 2)
            // the file's last n + 1 bytes for its end.
            keepFrom = m_next;
        }
        return EndOfFile() ? Verdict::Match : Verdict::NoMatch;
    }

  private:
    const unsigned char* At(uint64_t offset) const {
        return m_blocks.Data() + (offset - m_blocks.Base());
    }

    // With text files only: the first position that is no text byte, or has no byte.
    void FindStop() {
        if (!m_q.textFilesOnly || m_stop < m_size)
            return;
        const uint64_t end = m_blocks.End();
        const size_t found = FirstNonTextByte(At(m_checked), size_t(end - m_checked));
        if (found < end - m_checked)
            m_stop = m_checked + found;
        else if (m_blocks.Finished() && end < m_size)
            m_stop = end;  // the file shrank: the missing byte stops the scan
        m_checked = end;
    }

    // Position 0 with whole word: the file starts with the text and a blank.
    bool StartOfFile() {
        if (!m_q.wholeWord || m_startTried)
            return false;
        m_startTried = true;
        return m_stop > 0 && m_blocks.End() >= m_n + 1 &&
               BytesEqual(At(0), Bytes(m_q.start), m_n + 1, m_q.matchCase);
    }

    // The positions whose window of w bytes is in hand and that come before the stop.
    bool Anywhere() {
        const uint64_t end = m_blocks.End();
        const uint64_t w = m_finder.Length();
        const uint64_t to = std::min(end >= w ? end - w + 1 : 0, m_stop);
        if (to <= m_next)
            return false;
        const uint64_t base = m_blocks.Base();
        const size_t found =
            m_finder.Find(m_blocks.Data(), size_t(m_next - base), size_t(to - base));
        m_next = to;
        return found != kNotFound;
    }

    // With whole word, after every position was visited: the file ends with a blank and the
    // text (the bytes are all there: a file that shrank has a missing byte, which matches
    // nothing).
    bool EndOfFile() const {
        if (!m_q.wholeWord || m_stop < m_size || m_blocks.End() < m_size || m_size < m_n + 1)
            return false;
        return BytesEqual(At(m_size - (m_n + 1)), Bytes(m_q.end), m_n + 1, m_q.matchCase);
    }

    const ContentsQuery& m_q;
    const uint64_t m_size;
    const size_t m_n;
    TextFinder m_finder;
    FileBlocks m_blocks;
    uint64_t m_stop;         // positions from here on are not visited
    uint64_t m_checked = 0;  // bytes looked at for the stop
    uint64_t m_next = 0;     // the first position not yet decided
    bool m_startTried = false;
};

}  // namespace

ContentsQuery ContentsQuery::FromView(const CListview& view) {
    ContentsQuery q;
    q.pattern = view.m_critSearchText;
    q.bare = view.m_critBareText;
    q.start = view.m_critStartText;
    q.end = view.m_critEndText;
    q.matchCase = view.m_critMatchCase == 1;
    q.wholeWord = view.m_critWholeWord == 1;
    q.textFilesOnly = view.m_critTextFilesOnly == 1;
    return q;
}

Criterion::Verdict TestFileContents(const std::string& path, uint64_t size,
                                    const ContentsQuery& query, CProgressDlg& progress) {
    const size_t n = query.bare.size();
    const size_t w = query.pattern.size();
    // An empty text with whole word off names nothing to find.
    if (n == 0 && !query.wholeWord)
        return Verdict::NoMatch;
    if (w >= 2 && size < w - 2)
        return Verdict::NoMatch;
    platform::CFile file;
    switch (OpenFileToCheck(path, file)) {
        case CriterionOpen::Opened:
            break;
        case CriterionOpen::NotChecked:
            return Verdict::NoMatch;
        case CriterionOpen::EndCommand:
            return Verdict::EndCommand;
    }
    if (size == 0)
        return Verdict::NoMatch;
    if (size == n)
        return ExactSize(file, query);
    return Scan(file, size, query).Run(progress);
}

Criterion::Verdict ContentsCriterion::Test(const WalkEntry& entry, CriterionContext& context) {
    return TestFileContents(WalkFilePath(entry), entry.find.Size(), m_query, context.progress);
}
