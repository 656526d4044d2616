// The pass's side of the digest pool: the feed that reads the records ahead in the pass's
// working-copy stream (without moving it) and queues their files in half-window batches, and
// the restart of the queue from the record being checked whenever the pool's head is not it.
#include "check/CheckDigests.h"

#include <cstdlib>
#include <cstring>

#include "platform/Drives.h"
#include "storage/FileRecord.h"
#include "storage/SecureText.h"
#include "storage/WorkCopyStream.h"

namespace {

constexpr size_t kDigestLength = 32;

// The recorded size (the third field) as a count of bytes; 0 when it cannot be read.
uint64_t RecordedSize(const std::string& line) {
    const size_t first = line.find(kFieldSeparator);
    const size_t second =
        first == std::string::npos ? first : line.find(kFieldSeparator, first + 1);
    if (second == std::string::npos)
        return 0;
    const double size = std::strtod(line.c_str() + second + 1, nullptr);
    if (!(size > 0))
        return 0;
    return size < 1e18 ? uint64_t(size) : uint64_t(1e18);
}

}  // namespace

bool SplitRecordStart(const std::string& line, std::string& path, std::string& digest) {
    // The line ends at its first CR or LF.
    size_t end = line.find('\n');
    if (end == std::string::npos)
        end = line.size();
    const void* cr = std::memchr(line.data(), '\r', end);
    if (cr)
        end = size_t(static_cast<const char*>(cr) - line.data());
    const size_t sep = line.find(kFieldSeparator);
    if (sep == std::string::npos || sep > end) {
        path = line.substr(0, end);
        return false;
    }
    path = line.substr(0, sep);
    if (end - (sep + 1) < kDigestLength)
        return false;
    digest = line.substr(sep + 1, kDigestLength);
    return true;
}

CheckDigests::CheckDigests(const DigestAhead::Limits& limits)
    : m_pool(limits), m_files(limits.files) {}

CheckDigests::~CheckDigests() {
    m_pool.Stop();
    WipeText(m_line);
    WipeText(m_path);
}

void CheckDigests::Begin(const std::string& path, const std::string& line,
                         const WorkCopyStream& work, long recordsLeft) {
    if (!m_fed || m_stream != &work || !m_pool.HeadIs(path))
        Restart(path, line, work, recordsLeft);
    TopUp();
    m_file = DigestAhead::Progress();
}

void CheckDigests::End() {
    m_pool.PopHead();
}

void CheckDigests::Pause() {
    m_pool.Clear();
    m_fed = false;
}

void CheckDigests::Restart(const std::string& path, const std::string& line,
                           const WorkCopyStream& work, long recordsLeft) {
    m_pool.Clear();
    m_stream = &work;
    m_position = work.Position();
    m_left = recordsLeft;
    m_fed = true;
    m_batch.push_back({path, platform::HostPath(path), RecordedSize(line)});
}

// Queues the records ahead while the pool has room, a half window at a time so that the
// workers are woken once for many files.
void CheckDigests::TopUp() {
    size_t room = m_pool.Room();
    room = room > m_batch.size() ? room - m_batch.size() : 0;
    if (m_batch.empty() && room * 2 < m_files)
        return;
    while (room > 0 && m_left > 0 && m_stream->PeekLine(m_position, m_line)) {
        --m_left;
        if (!SplitRecordStart(m_line, m_path, m_digest))
            continue;  // a damaged line: its file is not looked for
        m_batch.push_back({m_path, platform::HostPath(m_path), RecordedSize(m_line)});
        --room;
    }
    if (!m_batch.empty())
        m_pool.Push(m_batch);
}
