// The list view's drop and paste commands: each file dropped on the list (WM_DROPFILES) or
// pasted from the clipboard's file list (commands 57637 and 32828) is added in the list's
// order with AddOneFileToDatabase, all of them in one add session; the list is refilled when
// something was added, and a summary tells how many files were added and how many were
// listed already. A file exception ends the command where it is raised: the files added
// before stay added.
#include "add/AddMessages.h"
#include "add/AddSession.h"
#include "database/ListView.h"
#include "platform/Ui.h"

namespace {

// Adds the files in their order in one session; false when the command stops without its
// summary (the database was found changed behind the program's back).
bool AddEach(CListview& view, const std::vector<std::string>& files) {
    AddSession session(view);
    if (!session.Open())
        return false;
    view.m_addSession = &session;
    Ui().BusyCursor();
    for (const std::string& file : files) {
        view.AddOneFileToDatabase(file);
        if (session.Refused())
            return false;
    }
    return session.Commit();
}

void RefillAndSummarise(CListview& view, const std::string& how) {
    if (view.m_filesAdded > 0)
        view.OnInitialUpdate();
    Ui().MessageBox(AddSummaryText(view.m_filesAdded, view.m_filesPreviouslyListed, how),
                    MbIcon::Information);
}

}  // namespace

void CListview::OnDropFiles(const std::vector<std::string>& files) {
    m_filesAdded = 0;
    m_filesPreviouslyListed = 0;
    // The drop list is the seam's own copy: there is no handle to release afterwards.
    if (AddEach(*this, files))
        RefillAndSummarise(*this, "dropped");
}

void CListview::OnPasteFiles() {
    m_filesAdded = 0;
    m_filesPreviouslyListed = 0;
    std::vector<std::string> files;
    // The seam opens the clipboard, takes its file list and closes it again, so there is
    // nothing to close when an add fails.
    switch (Ui().GetClipboardFiles(files)) {
        case IUserInterface::ClipboardState::Unavailable:
            break;  // another program holds it: nothing is added
        case IUserInterface::ClipboardState::NoFiles:
            Ui().MessageBox(kNoFilesOnClipboard, MbIcon::Information);
            return;
        case IUserInterface::ClipboardState::Files:
            if (!AddEach(*this, files))
                return;
            break;
    }
    RefillAndSummarise(*this, "pasted");
}
