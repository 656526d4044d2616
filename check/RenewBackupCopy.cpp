// Choice 1 of an acceptance: the accepted file becomes its own new backup. The file is read
// once; its bytes become the new copy (encrypted in mode "N") in the place of its old one in a
// new "Backup File <n>", with its entry in the old entry's place in a new "Backup Index <n>"
// (or both at the end when it had none), and the digest of those same bytes must be the one
// the details dialog showed (a file changed since is not made the new backup). Copies and
// entries of other files keep their order and bytes. The new pair is staged beside the old
// one and put in place by the acceptance's commit.
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/ProgressDialogs.h"
#include "app/Settings.h"
#include "app/WorkFilesView.h"
#include "check/AcceptChange.h"
#include "check/CheckRunState.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/KernelCopy.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileDigest.h"

const char* const kRenewingBackupText = "Renewing the backup copy...";

namespace {

const char* const kRenewingBackupText = "Renewing the backup copy...";

// While a new backup copy is made (which copies the whole "Backup File <n>", however large):
// the busy cursor, a status-bar bar that moves with every chunk copied, and the window let
// repaint (the details dialog has just left the screen) through the check's progress dialog.
class RenewalShown {
  public:
    RenewalShown(CMainFrame* frame, CCheckProgressDlg* progress)
        : m_frame(frame), m_progress(progress), m_watch([this](int64_t) {
              if (m_frame)
                  m_frame->StepProgress();
              LetRepaint();
          }) {
        Ui().BusyCursor();
        if (m_frame)
            m_frame->BeginProgress(kRenewingBackupText, kSteps);
        LetRepaint();
    }
    ~RenewalShown() {
        if (m_frame)
            m_frame->EndProgress();
    }

  private:
    // A stepping bar: it starts again from its beginning once full.
    static constexpr int kSteps = 16;

    void LetRepaint() {
        if (m_progress && m_progress->IsOpen())
            m_progress->SetPos(m_progress->GetPos());
    }

    CMainFrame* m_frame;
    CCheckProgressDlg* m_progress;
    platform::CopyProgressScope m_watch;
};

void Exclaim(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Exclamation);
}

std::string CouldNotCheckText(const std::string& path, int cause) {
    return "Couldn't check " + path + "\nReason: " + FileErrorName(cause);
}

}  // namespace

void RenewBackupCopy(CheckRunState& run, CCheckProgressDlg* progress) {
    WorkFilesView& view = *run.view;
    const std::string& path = run.path;
    DatabaseFiles& files = view.WorkFiles();
    BackupPair* pair = files.Pair();
    if (pair == nullptr) {
        Exclaim("The backup copy of " + path + " was not renewed: " + view.WorkDatabasePath() +
                " has no line in the Database Index.");
        return;
    }
    // A pair that does not agree with itself is left as it is: its copies stay what they are.
    if (pair->Damaged()) {
        Exclaim("The backup copy of " + path + " was not renewed. " +
                DamagedPairText(view.WorkDatabasePath(), *pair) + "\nThey are left as they are.");
        return;
    }
    std::string mode;
    Settings ownSettings;
    (run.settings ? *run.settings : ownSettings).BackupMode(mode);

    platform::CFile in;
    int cause = 0;
    if (!in.Open(path, "rb", platform::Share::DenyNone, &cause)) {
        Exclaim(CouldNotCheckText(path, cause));
        return;
    }
    uint64_t total = 0;
    std::string digest;
    const RenewalShown shown(run.frame, progress);
    const bool renewed = pair->Renew(files.Tx(), path, mode, [&](std::string& copyDigest) {
        total = DigestWhileReading(
            in, digest, [&](const unsigned char* data, size_t n) { pair->WriteCopy(data, n); });
        copyDigest = digest;
        // Only the file as it was shown becomes the new backup.
        return digest == run.newDigest;
    });
    if (!renewed) {
        Exclaim("The backup copy of " + path +
                " was not renewed: the file changed after its "
                "details were shown.");
        return;
    }
    run.findData.nFileSizeLow = uint32_t(total);
}
