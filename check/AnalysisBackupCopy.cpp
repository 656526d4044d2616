// Finding the analysed file's backup copy through the storage objects.
#include "check/AnalysisBackupCopy.h"

#include <algorithm>

#include "app/MainFrame.h"
#include "check/ProgressScale.h"
#include "platform/FileException.h"
#include "storage/BackupCopyReader.h"
#include "storage/BackupPair.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/FileRecord.h"
#include "storage/StoredDatabase.h"
#include "storage/WorkCopyStream.h"

namespace {

// The digest of the file's record in the open database (for a copy made before digests were
// kept); empty when it has none.
std::string RecordDigest(CMainFrame& frame, const std::string& file) {
    const std::unique_ptr<StoredDatabase> database =
        frame.Store().DatabaseOf(frame.m_openDatabasePath);
    int cause = 0;
    if (!database->Load(cause))
        return std::string();
    WorkCopyStream records(database->Plain());
    for (std::string line; records.ReadLine(line);) {
        FileRecord record;
        if (ParseFileRecordLine(line, record) && record.path == file)
            return record.digest;
    }
    return std::string();
}

// Whether the copy is the file that was backed up; the problem says why not.
bool Vouched(CMainFrame& frame, const BackupPair& pair, const BackupLookup& lookup,
             const std::string& file, uint64_t& length, AnalysisProblem& problem) {
    std::string digest;
    if (!pair.CopyDigest(lookup, digest))
        digest = RecordDigest(frame, file);
    platform::CFile copy;
    int cause = 0;
    if (lookup.entry.copyLength > 0 && !pair.OpenCopy(lookup, copy, cause)) {
        problem = {pair.FilePath(), cause, std::string()};
        return false;
    }
    if (RestoreLength(lookup.entry, length) && CopyHasDigest(pair, copy, lookup, length, digest))
        return true;
    problem.file = pair.FilePath();
    problem.text = RefusedCopyText(frame.m_openDatabasePath, pair, lookup, "shown");
    return false;
}

// The copy of the entry, open in "Backup File <n>"; false with the problem when it cannot be.
bool OpenCopy(const std::shared_ptr<BackupPair>& pair, const BackupLookup& lookup, uint64_t length,
              AnalysisBackupCopy& copy, AnalysisProblem& problem) {
    copy.found = true;
    copy.encrypted = IsEncryptedMode(lookup.entry.mode);
    copy.copyLength = WholeUnits(lookup.entry.copyLength);
    copy.available = length;
    // An empty copy needs none of the backup file's bytes.
    if (copy.copyLength == 0)
        return true;
    auto file = std::make_unique<platform::CFile>();
    int cause = 0;
    if (!pair->OpenCopy(lookup, *file, cause)) {
        problem = {pair->FilePath(), cause, std::string()};
        return false;
    }
    const uint64_t start = WholeUnits(lookup.offset);
    if (copy.encrypted) {
        copy.source =
            std::make_shared<EncryptedCopySource>(pair, std::move(file), int64_t(start), length);
    } else {
        copy.source = std::make_shared<FileRangeSource>(std::move(file), start, length);
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
        if (!lookup.found && !pair->Damaged())
            return true;
        if (!lookup.found) {
            problem = {pair->FilePath(), 0, DamagedPairText(frame.m_openDatabasePath, *pair)};
            return false;
        }
        uint64_t length = 0;
        if (!Vouched(frame, *pair, lookup, file, length, problem))
            return false;
        return OpenCopy(pair, lookup, length, copy, problem);
    } catch (const CFileException& e) {
        copy = AnalysisBackupCopy();
        problem = {e.m_strFileName, e.m_cause, std::string()};
        return false;
    }
}
