// The digest pool: the queue of files in record order (changed by the caller alone), the
// workers that claim the next files in order within the bounds, a few small ones per claim,
// and the head that the caller follows piece by piece without taking the lock while the head
// moves on. A worker publishes a file's progress through its atomics after every piece and
// takes the lock only to wake the caller when the caller waits.
#include "check/DigestAhead.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <system_error>

#include "check/ListedFileRead.h"
#include "storage/SecureText.h"

namespace {

enum Owner { kNobody, kWorker, kCaller };
constexpr size_t kMostPerClaim = 16;
constexpr uint64_t kClaimBytes = 1 << 20;  // small files are claimed together up to this
constexpr uint64_t kDropEvery = 64;        // files done with, dropped from the queue at once

bool g_limitsSet = false;
DigestAhead::Limits g_limits;

}  // namespace

struct DigestAhead::Job {
    Entry entry;
    uint64_t seq = 0;  // its number in the queue
    uint64_t end = 0;  // m_pushedBytes once it was queued
    std::atomic<int> owner{kNobody};
    std::atomic<bool> dropped{false};
    // Written by the owner before it stores the state; read by the caller after it loads it.
    bool opened = false;
    int64_t length = 0;
    int cause = 0;
    std::string digest;
    FileStamp stamp;
    bool steady = false;
    std::atomic<uint64_t> bytes{0};
    std::atomic<int> state{Progress::Waiting};
    ListedFileRead read;  // the owner's

    ~Job() {
        WipeText(entry.key);
        WipeText(entry.hostPath);
    }
};

DigestAhead::Limits DigestAhead::ForThisMachine() {
    if (g_limitsSet)
        return g_limits;
    Limits limits;
    cpu_set_t cores;
    CPU_ZERO(&cores);
    const int count = sched_getaffinity(0, sizeof cores, &cores) == 0 ? CPU_COUNT(&cores) : 1;
    limits.workers = count > 1 ? unsigned(count) : 0;
    return limits;
}

void DigestAhead::SetLimitsForThisMachine(const Limits* limits) {
    g_limitsSet = limits != nullptr;
    if (limits)
        g_limits = *limits;
}

DigestAhead::DigestAhead(const Limits& limits) : m_limits(limits) {
    for (unsigned i = 0; i < m_limits.workers; ++i) {
        try {
            m_threads.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;  // fewer workers, or none: the caller reads what they do not
        }
    }
}

DigestAhead::~DigestAhead() {
    Stop();
}

size_t DigestAhead::Room() const {
    const size_t queued = m_queue.size() - size_t(m_headSeq.load() - m_frontSeq);
    return queued < m_limits.files ? m_limits.files - queued : 0;
}

void DigestAhead::Push(std::vector<Entry>& batch) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool wasEmpty = m_headSeq.load() == m_frontSeq + m_queue.size();
    for (Entry& entry : batch) {
        auto job = std::make_shared<Job>();
        job->seq = m_frontSeq + m_queue.size();
        m_pushedBytes += entry.sizeHint;
        job->end = m_pushedBytes;
        job->entry = std::move(entry);
        m_queue.push_back(std::move(job));
    }
    batch.clear();
    if (wasEmpty && !m_queue.empty())
        m_headEnd.store(Head().end);
    if (m_idle > 0)
        m_work.notify_all();
}

bool DigestAhead::HeadIs(const std::string& key) const {
    return m_headSeq.load() < m_frontSeq + m_queue.size() && Head().entry.key == key;
}

void DigestAhead::Follow(Progress& seen) {
    if (seen.state == Progress::Done || seen.state == Progress::Failed)
        return;
    Job& job = Head();
    while (true) {
        const int state = job.state.load(std::memory_order_acquire);
        const uint64_t bytes = job.bytes.load(std::memory_order_acquire);
        if (state != seen.state || bytes != seen.bytes) {
            seen.state = Progress::State(state);
            seen.bytes = bytes;
            // Each written before the store that published it, and never again.
            seen.opened = job.opened;
            seen.length = job.length;
            if (state == Progress::Failed)
                seen.cause = job.cause;
            if (state == Progress::Done) {
                seen.digest = std::move(job.digest);  // read once, at its end
                seen.stamp = job.stamp;
                seen.steady = job.steady;
            }
            return;
        }
        int owner = kNobody;
        if (job.owner.compare_exchange_strong(owner, kCaller) || owner == kCaller) {
            if (!m_ownBuffer) {
                m_ownBuffer.reset(new unsigned char[m_limits.piece]);
                m_ownFolder = std::make_unique<ListedFolder>();
            }
            Step(job, m_ownBuffer.get(), *m_ownFolder);
            continue;
        }
        // A worker reads it: wait for its next piece.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_passWaiting.store(true);
        if (job.state.load() == state && job.bytes.load() == bytes)
            m_head.wait(lock);
        m_passWaiting.store(false);
    }
}

void DigestAhead::PopHead() {
    const uint64_t end = m_frontSeq + m_queue.size();
    uint64_t head = m_headSeq.load();
    if (head >= end)
        return;
    Head().dropped.store(true);
    ++head;
    m_headSeq.store(head);
    m_headEnd.store(head < end ? m_queue[size_t(head - m_frontSeq)]->end : m_pushedBytes);
    // A worker held back by the bytes bound may go on now.
    if (m_workersWaiting.exchange(false)) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_work.notify_all();
    }
    if (head - m_frontSeq >= kDropEvery)
        DropConsumed(false);
}

void DigestAhead::Clear() {
    DropConsumed(true);
}

void DigestAhead::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_work.notify_all();
    }
    DropConsumed(true);
    for (std::thread& t : m_threads) t.join();
    m_threads.clear();
}

// The files before the head leave the queue; with `all`, every file does and reads under way
// stop.
void DigestAhead::DropConsumed(bool all) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint64_t head = m_headSeq.load();
    const size_t count = all ? m_queue.size() : size_t(head - m_frontSeq);
    for (size_t i = 0; i < count; ++i) {
        m_queue.front()->dropped.store(true);
        m_queue.pop_front();
    }
    m_frontSeq += count;
    if (all) {
        m_headSeq.store(m_frontSeq);
        m_headEnd.store(m_pushedBytes);
        m_nextClaim = m_frontSeq;
    }
}

bool DigestAhead::Claim(std::vector<JobPtr>& mine) {
    const uint64_t end = m_frontSeq + m_queue.size();
    while (true) {
        const uint64_t head = m_headSeq.load();
        const uint64_t headEnd = m_headEnd.load();
        uint64_t seq = std::max(m_nextClaim, head);
        if (seq >= end)
            return false;
        const size_t want =
            std::clamp<size_t>(size_t(end - seq) / (2 * m_limits.workers + 1), 1, kMostPerClaim);
        uint64_t claimed = 0;
        bool held = false;
        while (seq < end && mine.size() < want) {
            const JobPtr& job = m_queue[size_t(seq - m_frontSeq)];
            if (seq > head + 1 && job->end - headEnd > m_limits.bytes) {
                held = true;
                break;
            }
            if (!mine.empty() && claimed + job->entry.sizeHint > kClaimBytes)
                break;
            int nobody = kNobody;
            if (job->owner.compare_exchange_strong(nobody, kWorker)) {
                mine.push_back(job);
                claimed += job->entry.sizeHint;
            }
            ++seq;
        }
        m_nextClaim = seq;
        if (!mine.empty())
            return true;
        if (!held)
            continue;  // the caller had them: look further
        // Held back by the bytes bound: PopHead wakes the workers once the head moves on.
        m_workersWaiting.store(true);
        if (m_headEnd.load() == headEnd)
            return false;
    }
}

void DigestAhead::Work() {
    pthread_setname_np(pthread_self(), "digest ahead");  // as `top -H` and the tests see it
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[m_limits.piece]);
    ListedFolder folder;
    std::vector<JobPtr> mine;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        if (!Claim(mine)) {
            ++m_idle;
            m_work.wait(lock);
            --m_idle;
            continue;
        }
        lock.unlock();
        for (const JobPtr& job : mine) Run(*job, buffer.get(), folder);
        mine.clear();  // a dropped file's descriptor closes here, outside the lock
        lock.lock();
    }
}

void DigestAhead::Run(Job& job, unsigned char* buffer, ListedFolder& folder) {
    while (!job.dropped.load(std::memory_order_relaxed)) {
        Step(job, buffer, folder);
        const int state = job.state.load(std::memory_order_relaxed);
        if (state == Progress::Done || state == Progress::Failed)
            return;
    }
}

// The open with the first piece, or the next piece; then the progress is published.
void DigestAhead::Step(Job& job, unsigned char* buffer, ListedFolder& folder) {
    int cause = 0;
    int state = Progress::Reading;
    if (!job.opened && !job.read.Open(job.entry.hostPath, folder, cause)) {
        job.cause = cause;
        state = Progress::Failed;
    } else {
        if (!job.opened) {
            job.opened = true;
            job.length = job.read.LengthAtOpen();
        }
        switch (job.read.ReadPiece(buffer, m_limits.piece, cause)) {
            case ListedFileRead::Piece::More:
                break;
            case ListedFileRead::Piece::End:
                job.digest = job.read.DigestText();
                job.stamp = job.read.EndStamp();
                job.steady = job.read.Steady();
                state = Progress::Done;
                break;
            case ListedFileRead::Piece::Failed:
                job.cause = cause;
                state = Progress::Failed;
                break;
        }
        job.bytes.store(job.read.BytesRead());
    }
    job.state.store(state);
    if (m_passWaiting.load()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_head.notify_all();
    }
}
