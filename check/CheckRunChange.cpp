// A changed file in the check's pass: the values "Changed file details." shows come from one
// read of the file (the digest of its bytes, and its size, attributes and times while it
// still holds the state that read ended in), so a file written to while or after it was read
// is read again, a few times at most. An acceptance that makes the file its new backup reads
// it once more for the copy, so it is made only while the file still holds what was shown;
// otherwise the file is read again and its details shown again.
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckRun.h"
#include "platform/Drives.h"
#include "platform/FileException.h"
#include "platform/FindData.h"
#include "platform/Ui.h"
#include "storage/FileRecord.h"

namespace {

// Reads of a file that keeps changing, after the first, before its last one is shown.
constexpr int kRereads = 3;
constexpr size_t kRereadPiece = 256 * 1024;

}  // namespace

CheckRun::Digested CheckRun::TakeChangedFile(std::string& digest, int& cause) {
    for (int again = 0;; ++again) {
        m_state.findData = platform::WIN32_FIND_DATA();
        m_state.findDataValid = platform::GetFindData(m_state.path, m_state.findData);
        if (StillAsShown() || again == kRereads)
            break;
        const Digested reread = ReadAgain(digest, cause);
        if (reread != Digested::Done)
            return reread;
    }
    // The size shown is that of the bytes digested, even of a file that never held still.
    m_state.findData.nFileSizeHigh = uint32_t(m_readBytes >> 32);
    m_state.findData.nFileSizeLow = uint32_t(m_readBytes);
    return Digested::Done;
}

CheckRun::Digested CheckRun::ReadAgain(std::string& digest, int& cause) {
    ListedFolder folder;
    ListedFileRead read;
    if (!read.Open(platform::HostPath(m_state.path), folder, cause))
        return Digested::Unreadable;
    std::vector<unsigned char> buffer(kRereadPiece);
    for (;;) {
        if (m_progress->CheckCancelButton())
            return Digested::Cancelled;
        switch (read.ReadPiece(buffer.data(), buffer.size(), cause)) {
            case ListedFileRead::Piece::More:
                break;
            case ListedFileRead::Piece::Failed:
                return Digested::Unreadable;
            case ListedFileRead::Piece::End:
                digest = read.DigestText();
                m_readStamp = read.EndStamp();
                m_readSteady = read.Steady();
                m_readBytes = read.BytesRead();
                return Digested::Done;
        }
    }
}

bool CheckRun::StillAsShown() const {
    FileStamp now;
    return m_readSteady && StampOfPath(platform::HostPath(m_state.path), now) && now == m_readStamp;
}

bool CheckRun::ReportChange(const std::string& line) {
    ++m_changed;
    PlayAlertSound(m_alert, m_wavPath);
    Ui().MessageBox(m_state.path + " has been changed! ", MbIcon::None, MbButtons::Ok);

    FileRecord record;
    ParseFileRecordLine(line, record);  // the fields as far as the line holds them
    record.digest = m_state.storedDigest;
    for (;;) {
        CChangedFileDetailsDlg details(&m_view);
        details.Fill(m_view, record, m_state.findData, m_state.newDigest);
        details.DoModal();

        // The new backup copy is read from the file now: it must be what was shown.
        if (details.m_choice == 1 && !StillAsShown()) {
            std::string digest = m_state.newDigest;
            int cause = 0;
            switch (TakeChangedFile(digest, cause)) {
                case Digested::Cancelled:
                    return false;
                case Digested::Unreadable:
                    Ui().MessageBox(
                        "Couldn't check " + m_state.path + "\nReason: " + FileErrorName(cause),
                        MbIcon::Exclamation);
                    return true;
                case Digested::Done:
                    break;
            }
            // Back as it was recorded, there is nothing to accept.
            if (digest == m_state.storedDigest)
                return true;
            m_state.newDigest = digest;
            continue;
        }
        switch (details.m_choice) {
            case 1:
            case 2:
                AcceptChangedFile(m_state, details.m_choice, m_progress.get());
                break;
            case 3:
                RestoreFileFromBackup(m_state, details);
                break;
            default:
                break;
        }
        return true;
    }
}
