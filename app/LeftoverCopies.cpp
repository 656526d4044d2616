// The frame's clean-up on close and at the end of the session: the plaintext working
// copies an interrupted command left behind are wiped. They are the open database's copy,
// its rewrite, the "Database Index" copies, and the copies of the backup pairs
// ("Backup Index <n>" followed by "123456789z" or ".new", "Backup File <n>" followed by
// ".new"). Nothing here throws: the program is ending.
#include <exception>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/File.h"
#include "platform/FindData.h"
#include "platform/Registry.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

namespace {

void Wipe(const std::string& path) {
    TempFiles::WipeIfPresent(path);
}

bool AllDigits(const std::string& s) {
    if (s.empty())
        return false;
    for (const char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The names in the backup folder matching "<stem><number><tail>".
std::vector<std::string> NumberedNames(const std::string& backupDir, const std::string& stem,
                                       const std::string& tail) {
    std::vector<std::string> numbers;
    platform::FindFile find;
    platform::WIN32_FIND_DATA data;
    for (bool more = find.First(backupDir + stem + "*" + tail, data); more;
         more = find.Next(data)) {
        const std::string& name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (name.size() <= stem.size() + tail.size())
            continue;
        if (name.compare(0, stem.size(), stem) != 0)
            continue;
        if (name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
            continue;
        const std::string number =
            name.substr(stem.size(), name.size() - stem.size() - tail.size());
        if (AllDigits(number))
            numbers.push_back(number);
    }
    return numbers;
}

}  // namespace

void CMainFrame::DeleteLeftoverWorkCopies() {
    try {
        if (!m_openDatabasePath.empty()) {
            Wipe(DatabaseWorkCopyPath(m_openDatabasePath));
            Wipe(DatabaseRewritePath(m_openDatabasePath));
        }

        std::string backupDir;
        if (!platform::RegReadValue(settings::kBackupDir, backupDir) || backupDir.empty())
            return;
        Wipe(DatabaseIndexWorkPath(backupDir));
        Wipe(backupDir + "Database Index1");

        for (const std::string& n : NumberedNames(backupDir, "Backup Index ", "123456789z"))
            Wipe(backupDir + "Backup Index " + n + "123456789z");

        for (const char* stem : {"Backup Index ", "Backup File "}) {
            for (const std::string& n : NumberedNames(backupDir, stem, ".new"))
                Wipe(backupDir + stem + n + ".new");
        }
    } catch (const std::exception&) {
        // The program is closing; a copy that could not be reached stays.
    }
}
