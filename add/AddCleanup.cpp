// The clean-up guards of the add of one file and the report of a failed write.
#include "add/AddCleanup.h"

#include <unistd.h>

#include <cerrno>

#include "platform/Drives.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/ProtectedFile.h"

WipeOnExit::~WipeOnExit() {
    if (m_path.empty() || !platform::FileExists(m_path))
        return;
    try {
        SecureDeleteFile(m_path);
    } catch (const CFileException&) {
        // It could not be opened for the wipe: at least take it off the disk.
        platform::RemoveFile(m_path);
    }
}

void RemoveOnExit::Done() {
    if (m_path.empty())
        return;
    platform::RemoveFile(m_path);
    m_path.clear();
}

TruncateOnExit::~TruncateOnExit() {
    if (!m_path.empty())
        TruncateFile(m_path, m_length);
}

bool TruncateFile(const std::string& winPath, int64_t length) {
    return ::truncate(platform::HostPath(winPath).c_str(), static_cast<off_t>(length)) == 0;
}

void ThrowWriteFailure(int err, const std::string& fileName) {
    int cause = err == ENOSPC ? int(CFileException::diskFull) : CFileException::CauseFromErrno(err);
    if (cause == CFileException::none)
        cause = CFileException::genericException;
    throw CFileException(cause, fileName);
}
