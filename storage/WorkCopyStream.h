// A database's working copy as a stream of record lines, read from memory: what a check
// walks record after record (the frame keeps it so that the close handlers can end it). It
// holds its own copy of the plaintext, locked and wiped when the stream goes. Also the split
// of a plaintext into its lines.
#pragma once

#include <string>
#include <vector>

#include "storage/SecureText.h"

// The whole line of `plain` at `pos` (its line break included), `pos` then past it; false at
// the end.
inline bool NextLine(const SecureText& plain, size_t& pos, std::string& line) {
    if (pos >= plain.size())
        return false;
    size_t end = plain.find('\n', pos);
    end = end == SecureText::npos ? plain.size() : end + 1;
    line.assign(plain.data() + pos, end - pos);
    pos = end;
    return true;
}

class WorkCopyStream {
  public:
    explicit WorkCopyStream(const SecureText& plain) : m_plain(plain) {}
    ~WorkCopyStream() { WipeText(m_plain); }
    WorkCopyStream(const WorkCopyStream&) = delete;
    WorkCopyStream& operator=(const WorkCopyStream&) = delete;

    // The next whole line, its line break included; false at the end.
    bool ReadLine(std::string& line) { return NextLine(m_plain, m_pos, line); }
    bool AtEnd() const { return m_pos >= m_plain.size(); }

    // Where the next ReadLine starts, and a look ahead that leaves the stream where it is:
    // the whole line at `pos`, `pos` then past it; false at the end.
    size_t Position() const { return m_pos; }
    bool PeekLine(size_t& pos, std::string& line) const { return NextLine(m_plain, pos, line); }

  private:
    SecureText m_plain;
    size_t m_pos = 0;
};

// Every line of a plaintext, its line break included (a last line without one too).
inline std::vector<std::string> LinesOf(const SecureText& plain) {
    std::vector<std::string> lines;
    size_t pos = 0;
    for (std::string line; NextLine(plain, pos, line);) lines.push_back(line);
    return lines;
}
