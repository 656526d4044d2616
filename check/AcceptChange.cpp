// Acceptance of a changed file's new digest (choices 1 and 2 of "Changed file details."):
// the file's record is rewritten from its present state and moved to the end of the
// database, the database is stored again and its digest refreshed in the "Database Index",
// and the running check gets its working copy back, positioned on the first record it has
// not begun. Choice 1 then renews the file's backup copy (RenewBackupCopy.cpp).
#include "check/AcceptChange.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "app/MainFrame.h"
#include "check/CheckRunState.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

namespace {

AcceptStepHook g_stepHook = nullptr;

// The text before a line's first 0x7F (the whole line when it has none).
std::string FirstField(const std::string& line) {
    return line.substr(0, line.find(kFieldSeparator));
}

// Every record but the file's, then its new record, into the working copy's name + "1" (a
// name beside the database that no other database or user file can have); that file becomes
// the working copy and is stored over the database.
void RewriteDatabase(CListview& view, const std::string& path, const std::string& record) {
    const std::string& database = view.m_databasePath;
    const std::string work = DatabaseWorkCopyPath(database);
    const std::string rewrite = DatabaseRewritePath(database);

    TempFiles temps;
    view.DecryptDatabaseToWorkFile();
    temps.Wipe(work);
    {
        platform::CFile in;
        in.OpenOrThrow(work, "rb+", platform::Share::DenyAll);
        platform::CFile out;
        out.OpenOrThrow(rewrite, "wb+", platform::Share::DenyAll);
        temps.Wipe(rewrite);
        std::string line;
        errno = 0;
        while (in.ReadLine(line)) {
            if (FirstField(line) == path)
                continue;
            if (!out.PutS(line))
                CFileException::ThrowWriteError(errno, rewrite);
        }
        if (!out.PutS(record))
            CFileException::ThrowWriteError(errno, rewrite);
        in.Close();
        if (!out.Close())
            CFileException::ThrowWriteError(errno, rewrite);
    }
    SecureDeleteFile(work);
    if (!platform::RenameFile(rewrite, work))
        throw CFileException(platform::LastFileErrorCause(), rewrite);
    temps.Keep(rewrite);
    ReachAcceptStep(kStepRecordRewritten);

    view.EncryptWorkFileToDatabase();
    SecureDeleteFile(work);
    temps.Keep(work);
    ReachAcceptStep(kStepDatabaseStored);
}

// A fresh working copy in the frame's m_checkWorkFile, standing at the start of the first
// record the check has not begun: the records begun, less those moved to the end so far
// (this one included), lie before it.
void ReopenForTheCheck(CheckRunState& run) {
    CListview& view = *run.view;
    const std::string work = DatabaseWorkCopyPath(view.m_databasePath);
    TempFiles temps;
    view.DecryptDatabaseToWorkFile();
    temps.Wipe(work);
    auto stream = std::make_unique<platform::CFile>();
    stream->OpenOrThrow(work, "rb+", platform::Share::DenyAll);
    temps.Keep(work);

    run.recordsMoved++;
    std::string line;
    for (int i = run.recordsBegun - run.recordsMoved; i > 0; --i) {
        if (!stream->ReadLine(line))
            break;
    }
    run.frame->m_checkWorkFile = std::move(stream);
    run.refill = true;
    run.repositioned = true;
    ReachAcceptStep(kStepRepositioned);
}

}  // namespace

void SetAcceptStepHook(AcceptStepHook hook) {
    g_stepHook = hook;
}

void ReachAcceptStep(int step) {
    if (g_stepHook)
        g_stepHook(step);
}

std::string AcceptedRecordLine(const CheckRunState& run, int choice) {
    char text[64];
    const double size = run.findData.nFileSizeLow;
    if (choice == 1)
        std::snprintf(text, sizeof text, "%.2lf", size);
    else
        std::snprintf(text, sizeof text, "%lf", size);
    std::string sizeText = text;
    sizeText = sizeText.substr(0, sizeText.rfind('.'));
    FileRecord record =
        MakeFileRecord(run.path, run.newDigest, sizeText, run.findData.dwFileAttributes,
                       run.findData.ftLastWriteTime, run.findData.ftCreationTime);
    return BuildFileRecordLine(record) + "\r\n";
}

void AcceptChangedFile(CheckRunState& run, int choice) {
    CListview& view = *run.view;
    CMainFrame& frame = *run.frame;

    // The check's stream on the working copy ends here; the copy is wiped.
    if (frame.m_checkWorkFile) {
        frame.m_checkWorkFile->Close();
        frame.m_checkWorkFile.reset();
    }
    TempFiles::WipeIfPresent(DatabaseWorkCopyPath(view.m_databasePath));

    RewriteDatabase(view, run.path, AcceptedRecordLine(run, choice));
    // The digest is refreshed as soon as the database is stored, so that whatever stops the
    // acceptance later never leaves a database the next check refuses as changed.
    view.UpdateDatabaseIndexEntry();
    ReachAcceptStep(kStepDigestRefreshed);

    ReopenForTheCheck(run);
    if (choice == 1)
        RenewBackupCopy(run);
}
