// A database's working copy as a stream of record lines, read from memory: what a check
// walks record after record (the frame keeps it so that the close handlers can end it). It
// holds its own copy of the plaintext, locked and wiped when the stream goes. Also the split
// of a plaintext into its lines.
#pragma once

#include <string>
#include <vector>

#include "storage/SecureText.h"

class WorkCopyStream {
  public:
    explicit WorkCopyStream(const SecureText& plain) : m_plain(plain) {}
    ~WorkCopyStream() { WipeText(m_plain); }
    WorkCopyStream(const WorkCopyStream&) = delete;
    WorkCopyStream& operator=(const WorkCopyStream&) = delete;

    // The next whole line, its line break included; false at the end.
    bool ReadLine(std::string& line) {
        if (m_pos >= m_plain.size())
            return false;
        size_t end = m_plain.find('\n', m_pos);
        end = end == SecureText::npos ? m_plain.size() : end + 1;
        line.assign(m_plain.data() + m_pos, end - m_pos);
        m_pos = end;
        return true;
    }
    bool AtEnd() const { return m_pos >= m_plain.size(); }

    // Where the next ReadLine starts, and a look ahead that leaves the stream where it is:
    // the whole line at `pos`, `pos` then past it; false at the end.
    size_t Position() const { return m_pos; }
    bool PeekLine(size_t& pos, std::string& line) const {
        if (pos >= m_plain.size())
            return false;
        size_t end = m_plain.find('\n', pos);
        end = end == SecureText::npos ? m_plain.size() : end + 1;
        line.assign(m_plain.data() + pos, end - pos);
        pos = end;
        return true;
    }

  private:
    SecureText m_plain;
    size_t m_pos = 0;
};

// Every line of a plaintext, its line break included (a last line without one too).
inline std::vector<std::string> LinesOf(const SecureText& plain) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < plain.size()) {
        size_t end = plain.find('\n', start);
        end = end == SecureText::npos ? plain.size() : end + 1;
        lines.emplace_back(plain.data() + start, end - start);
        start = end;
    }
    return lines;
}
