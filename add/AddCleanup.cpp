// The guard that takes a half-finished copy back out of "Backup File <n>".
#include "add/AddCleanup.h"

#include <unistd.h>

#include <cerrno>

#include "platform/Drives.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/ProtectedFile.h"

TruncateOnExit::~TruncateOnExit() {
    if (!m_path.empty())
        TruncateFile(m_path, m_length);
}

bool TruncateFile(const std::string& winPath, int64_t length) {
    return ::truncate(platform::HostPath(winPath).c_str(), static_cast<off_t>(length)) == 0;
}
