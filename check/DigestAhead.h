// The pool that digests listed files ahead of the check's pass: one worker thread per core
// takes the queued files in their order, never more than a bounded distance ahead of the file
// the pass follows (the head): in files (the queue) and in bytes (the recorded sizes of the
// files from the head to the one a worker would start). The pass follows the head as it is
// read (its open, the bytes so far, its end with the digest or the cause of a failure) and
// takes the results in queue order. Clear drops every queued file, so nothing is read while
// the pass shows a dialog; reads under way stop at their next piece. Without workers, or when
// no worker has taken the head yet, the pass's own thread reads the head itself.
//
// Only the pass's thread changes the queue. It reads the queue and the head's progress without
// the lock; workers take files in batches under the lock and publish their progress through
// atomics, waking the pass only while it waits for that file. Core code: threads of the
// standard library, nothing of the screen.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "check/ListedFileRead.h"

class DigestAhead {
  public:
    struct Limits {
        unsigned workers = 0;           // 0: the caller's thread reads every file
        size_t files = 512;             // files queued, the head included
        uint64_t bytes = 128ull << 20;  // recorded bytes beyond the head a worker may reach
        size_t piece = 256 * 1024;      // one read
    };
    // One worker per core this process may run on; none on a single core, where a worker
    // would only take turns with the caller.
    static Limits ForThisMachine();
    // What ForThisMachine gives from now on (tests run several workers on any machine);
    // nullptr gives the machine's own again.
    static void SetLimitsForThisMachine(const Limits* limits);

    // What the pass knows of the head file.
    struct Progress {
        enum State { Waiting, Reading, Done, Failed } state = Waiting;
        bool opened = false;
        int cause = 0;       // Failed: the file-exception cause
        int64_t length = 0;  // at the open
        uint64_t bytes = 0;  // read and digested so far
        std::string digest;  // Done: 32 lower-case hexadecimal characters
        // Done: the file's stamp at the end of the read, and whether the file kept it from
        // the open to the end (the digest is then that of one state of the file).
        FileStamp stamp;
        bool steady = false;
    };

    // A file to queue: `key` names it to the caller, `sizeHint` is its recorded size.
    struct Entry {
        std::string key, hostPath;
        uint64_t sizeHint = 0;
    };

    explicit DigestAhead(const Limits& limits);
    ~DigestAhead();  // Stop
    DigestAhead(const DigestAhead&) = delete;
    DigestAhead& operator=(const DigestAhead&) = delete;

    // From the caller's thread only. How many more files the queue takes, and a batch of
    // them (the idle workers are woken once for the batch).
    size_t Room() const;
    void Push(std::vector<Entry>& batch);
    bool HeadIs(const std::string& key) const;
    // Waits until the head has more to show than `seen` (opened, further bytes, its end) and
    // updates `seen`; reads the head's next piece itself when no worker has it. The queue
    // must not be empty.
    void Follow(Progress& seen);
    void PopHead();
    void Clear();
    // Clears and ends the workers; each stops within one piece.
    void Stop();

  private:
    struct Job;
    using JobPtr = std::shared_ptr<Job>;
    void Work();
    // Under the lock: the next files in order that a worker may start, a few small ones at a
    // time; false when there are none.
    bool Claim(std::vector<JobPtr>& mine);
    // Reads a job to its end (or until it is dropped), publishing after every piece.
    void Run(Job& job, unsigned char* buffer, ListedFolder& folder);
    void Step(Job& job, unsigned char* buffer, ListedFolder& folder);
    void Publish(Job& job, const Progress& now);
    Job& Head() const { return *m_queue[size_t(m_headSeq.load() - m_frontSeq)]; }
    void DropConsumed(bool all);

    const Limits m_limits;
    mutable std::mutex m_mutex;
    std::condition_variable m_work;  // workers wait here for a file they may start
    std::condition_variable m_head;  // the pass waits here for the head's progress
    // The queue: m_queue[0] has the number m_frontSeq; files before the head are done with
    // and dropped a few at a time. Changed by the caller under the lock.
    std::deque<JobPtr> m_queue;
    uint64_t m_frontSeq = 0;
    uint64_t m_pushedBytes = 0;  // recorded bytes of every file ever queued
    uint64_t m_nextClaim = 0;    // under the lock
    std::atomic<uint64_t> m_headSeq{0};
    std::atomic<uint64_t> m_headEnd{0};  // m_pushedBytes as it was after the head was queued
    std::atomic<bool> m_passWaiting{false};
    std::atomic<bool> m_workersWaiting{false};
    unsigned m_idle = 0;  // under the lock
    bool m_stop = false;  // under the lock
    std::vector<std::thread> m_threads;
    std::unique_ptr<unsigned char[]> m_ownBuffer;  // the caller's, for the files it reads
    std::unique_ptr<ListedFolder> m_ownFolder;
};
