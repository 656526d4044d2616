// The check pass's digests: the records ahead of the one being checked are read from the
// pass's working-copy stream and queued, in their order, on the digest pool; the record being
// checked is followed at the head of the pool. Before any message box or dialog the pass
// pauses the pool (its queue is dropped), and the record after it queues the records ahead
// again, so what is reported for a record is its file as it was about when the record was
// reached. A record that is not the pool's head (the working copy was rewritten, the pool was
// paused) sets the queue again from that record on. Also the icons of the records' file
// types, each extension looked up once a run.
#pragma once

#include <string>
#include <vector>

#include "check/DigestAhead.h"
#include "database/FileTypes.h"

class WorkCopyStream;

// The path (the text before the line's first 0x7F) and the 32 characters after it. False
// for a damaged line: no separator, or fewer than 32 characters before the line break;
// `path` then holds the line's text up to its first separator or its end.
bool SplitRecordStart(const std::string& line, std::string& path, std::string& digest);

class CheckDigests {
  public:
    explicit CheckDigests(const DigestAhead::Limits& limits = DigestAhead::ForThisMachine());
    ~CheckDigests();

    const Icon& TypeIcon(const std::string& path) { return m_icons.For(path); }

    // Starts on the record just read from `work` (its path and line); `recordsLeft` records
    // at most follow it in the pass.
    void Begin(const std::string& path, const std::string& line, const WorkCopyStream& work,
               long recordsLeft);
    // The record's file as known so far, and a wait for more of it (DigestAhead::Follow).
    const DigestAhead::Progress& File() const { return m_file; }
    void Follow() { m_pool.Follow(m_file); }
    // The record is done with.
    void End();
    // Nothing is read from now until the next record begins.
    void Pause();
    // The pass is over (or cancelled): the workers end.
    void Stop() { m_pool.Stop(); }

  private:
    void Restart(const std::string& path, const std::string& line, const WorkCopyStream& work,
                 long recordsLeft);
    void TopUp();

    DigestAhead m_pool;
    const size_t m_files;  // the pool's window
    FileTypeIconCache m_icons;
    DigestAhead::Progress m_file;
    // The feed: the stream it reads ahead in, where, and how many records it may still queue.
    const WorkCopyStream* m_stream = nullptr;
    size_t m_position = 0;
    long m_left = 0;
    bool m_fed = false;  // false once paused
    std::vector<DigestAhead::Entry> m_batch;
    std::string m_line, m_path, m_digest;
};
