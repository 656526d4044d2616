// Removal of the temporary files of an operation.
#include "storage/TempFiles.h"

#include "platform/File.h"
#include "storage/ProtectedFile.h"

void TempFiles::Keep(const std::string& path) {
    for (size_t i = 0; i < m_files.size();) {
        if (m_files[i].path == path)
            m_files.erase(m_files.begin() + static_cast<long>(i));
        else
            ++i;
    }
}

void TempFiles::RemoveAll() {
    while (!m_files.empty()) {
        Entry entry = m_files.back();
        m_files.pop_back();
        if (entry.wipe)
            WipeIfPresent(entry.path);
        else if (platform::FileExists(entry.path))
            platform::RemoveFile(entry.path);
    }
}

void TempFiles::DeleteNow(const std::string& path) {
    Keep(path);
    if (platform::FileExists(path))
        platform::RemoveFile(path);
}

void TempFiles::WipeIfPresent(const std::string& path) {
    if (path.empty() || !platform::FileExists(path))
        return;
    try {
        SecureDeleteFile(path);
    } catch (...) {
        platform::RemoveFile(path);  // it could not be opened for the wipe: at least the name goes
    }
}
