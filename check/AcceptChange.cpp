// Acceptance of a changed file's new digest (choices 1 and 2 of "Changed file details."):
// the file's record is rewritten from its present state and moved to the end of the
// database, choice 1 also renews the file's backup copy (RenewBackupCopy.cpp), and the
// database, its digest in the "Database Index" and the backup pair are stored together in
// one commit. The running check then gets its working copy back, positioned on the first
// record it has not begun. A database changed behind the program's back since the check
// read it is not rewritten.
#include "check/AcceptChange.h"

#include <cstdio>
#include <memory>

#include "app/MainFrame.h"
#include "app/WorkFilesView.h"
#include "check/CheckRunState.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileRecord.h"
#include "storage/WorkCopyStream.h"

namespace {

// The text before a line's first 0x7F (the whole line when it has none).
std::string FirstField(const std::string& line) {
    return line.substr(0, line.find(kFieldSeparator));
}

// Every record but the file's, then its new record.
SecureText RewrittenPlain(const SecureText& plain, const std::string& path,
                          const std::string& record) {
    SecureText rewritten;
    rewritten.reserve(plain.size() + record.size());
    WorkCopyStream in(plain);
    std::string line;
    while (in.ReadLine(line)) {
        if (FirstField(line) != path)
            rewritten.append(line.data(), line.size());
    }
    WipeText(line);
    rewritten.append(record.data(), record.size());
    return rewritten;
}

// A fresh working copy in the frame's m_checkWorkFile, standing at the start of the first
// record the check has not begun: the records begun, less those moved to the end so far
// (this one included when it was moved), lie before it.
void ReopenForTheCheck(CheckRunState& run, bool moved) {
    auto stream = std::make_unique<WorkCopyStream>(run.view->WorkFiles().Database().Plain());
    if (moved)
        run.recordsMoved++;
    std::string line;
    for (int i = run.recordsBegun - run.recordsMoved; i > 0; --i) {
        if (!stream->ReadLine(line))
            break;
    }
    run.frame->m_checkWorkFile = std::move(stream);
    run.refill = true;
    run.repositioned = true;
}

}  // namespace

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

void AcceptChangedFile(CheckRunState& run, int choice, CCheckProgressDlg* progress) {
    WorkFilesView& view = *run.view;
    StoredDatabase& database = view.WorkFiles().Database();
    // The check's stream on the working copy ends here.
    run.frame->m_checkWorkFile.reset();
    if (!database.FileUnchangedSinceRead()) {
        Ui().MessageBox(view.ChangedDatabaseText(), MbIcon::Exclamation);
        ReopenForTheCheck(run, false);
        return;
    }
    // Choice 1 reads the file once for its new copy and the digest its record then holds.
    if (choice == 1)
        RenewBackupCopy(run, progress);
    database.Replace(RewrittenPlain(database.Plain(), run.path, AcceptedRecordLine(run, choice)));
    const bool stored = view.EncryptWorkFileToDatabase();
    if (!stored)
        Ui().MessageBox(view.ChangedDatabaseText(), MbIcon::Exclamation);
    ReopenForTheCheck(run, stored);
}
