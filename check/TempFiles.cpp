// Removal of the temporary files of an acceptance or a restore.
#include "check/TempFiles.h"

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

void TempFiles::WipeIfPresent(const std::string& path) {
    if (!platform::FileExists(path))
        return;
    {
        // The wipe raises the file exception when it cannot open the file; test first, so a
        // clean-up never throws (it may run while an exception is already on its way).
        platform::CFile probe;
        if (!probe.Open(path, "rb+", platform::Share::DenyAll)) {
            platform::RemoveFile(path);
            return;
        }
    }
    SecureDeleteFile(path);
}
