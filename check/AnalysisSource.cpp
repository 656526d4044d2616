// The analysis's byte sources.
#include "check/AnalysisSource.h"

#include <algorithm>
#include <cstdio>

#include "platform/Drives.h"
#include "storage/BackupPair.h"

FileRangeSource::FileRangeSource(std::unique_ptr<platform::CFile> file, uint64_t start,
                                 uint64_t limit)
    : m_file(std::move(file)), m_start(start), m_limit(limit) {}

size_t FileRangeSource::ReadAt(uint64_t offset, uint8_t* data, size_t length) {
    if (offset >= m_limit)
        return 0;
    length = size_t(std::min<uint64_t>(length, m_limit - offset));
    if (!m_file->Seek(int64_t(m_start + offset), SEEK_SET))
        return 0;
    return m_file->Read(data, length);
}

uint64_t FileRangeSource::FileLength() const {
    const int64_t length = m_file->Length();
    return length > 0 ? uint64_t(length) : 0;
}

void FileRangeSource::KeepStamp() {
    m_stamped = StampOfFile(m_file->Fd(), m_stamp);
}

bool FileRangeSource::Unchanged() const {
    if (!m_stamped)
        return true;
    FileStamp now;
    return StampOfPath(platform::HostPath(m_file->GetFilePath()), now) && now == m_stamp;
}

EncryptedCopySource::EncryptedCopySource(std::shared_ptr<const BackupPair> pair,
                                         std::unique_ptr<platform::CFile> file, int64_t copyStart,
                                         uint64_t plainLength)
    : m_pair(std::move(pair)),
      m_file(std::move(file)),
      m_copyStart(copyStart),
      m_plainLength(plainLength) {}

size_t EncryptedCopySource::ReadAt(uint64_t offset, uint8_t* data, size_t length) {
    if (offset >= m_plainLength)
        return 0;
    length = size_t(std::min<uint64_t>(length, m_plainLength - offset));
    return m_pair->ReadPlainAt(*m_file, m_copyStart, int64_t(offset), data, length);
}
