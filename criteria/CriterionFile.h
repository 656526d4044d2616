// The file a criterion reads to test an entry (the contents and abilities tests), and its
// bytes in blocks.
//
// The file is opened for reading as raw bytes. When that fails, the framework's open is
// tried on the same path only to learn why: when it fails too, "Couldn't check " + path +
// "\nReason: " + the cause's name is shown (exclamation icon) and the entry does not match;
// when it succeeds there is nothing to tell, path + " could not be opened.\n Reason: Unknown."
// is shown (stop icon) and the command ends.
//
// The bytes are read a block at a time, at most as many as the folder listing gave the file
// (a file that grows meanwhile is not chased), with the end of the previous block kept in
// front of the new one so that a text across the border is seen whole. Cancel is polled
// before each block: often enough to be seen within a few milliseconds, rarely enough to cost
// nothing beside the read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"

class CProgressDlg;

enum class CriterionOpen {
    Opened,
    NotChecked,  // "Couldn't check" was shown: the entry does not match
    EndCommand,  // "Unknown" was shown: the command ends
};

CriterionOpen OpenFileToCheck(const std::string& path, platform::CFile& file);

// "Couldn't check " + path + "\nReason: " + the cause's name.
std::string CouldNotCheckText(const std::string& path, int cause);

class FileBlocks {
  public:
    // The bytes read in one block.
    static constexpr size_t kBlock = 256 * 1024;

    // At most `limit` bytes of the open `file` are read; at most `keep` bytes are kept in
    // front of each new block.
    FileBlocks(platform::CFile& file, uint64_t limit, size_t keep);

    // Keeps the bytes from the file offset `keepFrom` on (no more than `keep` of them), polls
    // Cancel, then reads the next block. False when Cancel was pressed.
    bool Next(uint64_t keepFrom, CProgressDlg& progress);

    // The bytes in hand: file offsets [Base(), End()).
    const unsigned char* Data() const { return m_buffer.data(); }
    uint64_t Base() const { return m_base; }
    uint64_t End() const { return m_base + m_held; }
    // No byte follows End(): the limit is reached, or the file ended before it.
    bool Finished() const { return m_finished; }

  private:
    platform::CFile& m_file;
    uint64_t m_limit;
    size_t m_keep;
    std::vector<unsigned char> m_buffer;
    uint64_t m_base = 0;
    size_t m_held = 0;
    bool m_finished = false;
};
