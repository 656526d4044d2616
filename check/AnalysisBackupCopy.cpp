// Finding the analysed file's backup copy through the storage objects.
#include "check/AnalysisBackupCopy.h"

#include <algorithm>

#include "app/MainFrame.h"
#include "check/ProgressScale.h"
#include "platform/FileException.h"
#include "storage/BackupPair.h"
#include "storage/DatabaseIndexImage.h"

namespace {

// The copy of the entry, open in "Backup File <n>"; false with the problem when it cannot be.
bool OpenCopy(const std::shared_ptr<BackupPair>& pair, const BackupLookup& lookup,
              AnalysisBackupCopy& copy, AnalysisProblem& problem) {
    copy.found = true;
    copy.encrypted = lookup.entry.mode == "N";
    copy.copyLength = WholeUnits(lookup.entry.copyLength);
    // An empty copy needs none of the backup file's bytes.
    if (copy.copyLength == 0)
        return true;
    auto file = std::make_unique<platform::CFile>();
    int cause = 0;
    if (!pair->OpenCopy(lookup, *file, cause)) {
        problem = {pair->FilePath(), cause};
        return false;
    }
    const uint64_t start = WholeUnits(lookup.offset);
    const int64_t length = file->Length();
    const uint64_t stored =
        length > int64_t(start) ? std::min<uint64_t>(copy.copyLength, uint64_t(length) - start) : 0;
    if (copy.encrypted) {
        // Only whole blocks decrypt; the padding of the last one is not the file's.
        copy.available = std::min<uint64_t>(WholeUnits(lookup.entry.plainSize), stored / 16 * 16);
        copy.source = std::make_shared<EncryptedCopySource>(pair, std::move(file), int64_t(start),
                                                            copy.available);
    } else {
        copy.available = stored;
        copy.source = std::make_shared<FileRangeSource>(std::move(file), start, copy.available);
    }
    return true;
}

}  // namespace

bool FindAnalysisBackupCopy(CMainFrame& frame, const std::string& backupDir,
                            const std::string& file, AnalysisBackupCopy& copy,
                            AnalysisProblem& problem) {
    copy = AnalysisBackupCopy();
    if (backupDir.empty())
        return true;
    try {
        ProtectedStore& store = frame.Store();
        std::string n;
        if (!store.IndexOf(backupDir)->BackupNumber(frame.m_openDatabasePath, n))
            return true;
        std::shared_ptr<BackupPair> pair = store.PairOf(backupDir, n);
        frame.SetFileIv(pair->IndexPath());
        pair->Open();
        const BackupLookup lookup = pair->Find(file);
        if (!lookup.found)
            return true;
        return OpenCopy(pair, lookup, copy, problem);
    } catch (const CFileException& e) {
        copy = AnalysisBackupCopy();
        problem = {e.m_strFileName, e.m_cause};
        return false;
    }
}
