// The check's pass: record after record of the working copy (in the frame's
// m_checkWorkFile), each listed file digested again in 64-byte blocks with a cancel poll
// before each block, and each change reported with the alert sound, the message and
// "Changed file details.", whose choice is then carried out.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/MainFrame.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckRun.h"
#include "check/CheckTexts.h"
#include "check/ProgressScale.h"
#include "database/FileTypes.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"

namespace {

constexpr size_t kDigestLength = 32;
constexpr int kBlocksPerStep = 1000;  // 64,000 bytes

// The path (the text before the line's first 0x7F) and the 32 characters after it. False
// for a damaged line: no separator, or fewer than 32 characters before the line break;
// `path` then holds the line's text up to its first separator or its end.
bool SplitRecordStart(const std::string& line, std::string& path, std::string& digest) {
    size_t end = line.find_first_of("\r\n");
    if (end == std::string::npos)
        end = line.size();
    size_t sep = line.find(kFieldSeparator);
    if (sep == std::string::npos || sep > end) {
        path = line.substr(0, end);
        return false;
    }
    path = line.substr(0, sep);
    if (end - (sep + 1) < kDigestLength)
        return false;
    digest = line.substr(sep + 1, kDigestLength);
    return true;
}

}  // namespace

bool CheckRun::RunPass() {
    std::string line;
    while (TakesAnotherRecord()) {
        if (!m_frame.m_checkWorkFile->ReadLine(line))
            break;
        if (!CheckRecord(line))
            return false;
    }
    return true;
}

// One record. A file that cannot be opened is reported and counted as unchecked; so is a
// damaged record line, whose file is not looked for. False when the user cancelled.
bool CheckRun::CheckRecord(const std::string& line) {
    m_state.repositioned = false;
    ++m_state.recordsBegun;
    ++m_checked;

    std::string path, storedDigest;
    const bool whole = SplitRecordStart(line, path, storedDigest);
    ShowRecord(path);

    platform::CFile file;
    int cause = CFileException::invalidFile;
    const bool opened = whole && file.Open(path, "rb", platform::Share::DenyNone, &cause);
    if (!opened) {
        Ui().MessageBox("Couldn't check " + path + "\nReason: " + FileErrorName(cause),
                        MbIcon::Exclamation);
        ++m_unchecked;
        --m_checked;
    }
    if (!whole)
        return true;
    m_state.findData = platform::WIN32_FIND_DATA();
    m_state.findDataValid = platform::GetFindData(path, m_state.findData);
    if (!opened)
        return true;

    std::string digest;
    if (!DigestListedFile(file, digest))
        return false;
    if (digest == storedDigest)
        return true;

    m_state.path = path;
    m_state.storedDigest = storedDigest;
    m_state.newDigest = digest;
    ReportChange(line);
    return true;
}

void CheckRun::ShowRecord(const std::string& path) {
    char remaining[32];
    // Past N (the scheduled check's bound) nothing remains.
    std::snprintf(remaining, sizeof remaining, "%d",
                  std::max(0, m_state.recordsCounted - m_state.recordsBegun));
    m_progress->SetItemText(1051, ProgressPathText(path));
    m_progress->SetItemText(1114, remaining);
    m_progress->SetIcon(1200, FileTypeIcon(path));
}

// The file's length gives its count of whole 64-byte blocks; what follows them is read to
// the end of the file. A file that grew since it was measured goes on in further polled
// blocks, so the poll is never skipped for long.
bool CheckRun::DigestListedFile(platform::CFile& file, std::string& digest) {
    Md5Context ctx;
    MD5Init(&ctx);
    unsigned char block[64];
    const int64_t blocks = file.Length() / 64;
    bool atEnd = false;
    for (int64_t i = 0; i < blocks; ++i) {
        if (m_progress->CheckCancelButton()) {
            file.Close();
            return false;
        }
        size_t n = file.Read(block, sizeof block);
        MD5Update(&ctx, block, n);
        if (n < sizeof block) {
            atEnd = true;
            break;
        }
        CountBlock();
    }
    while (!atEnd) {
        size_t n = file.Read(block, sizeof block);
        MD5Update(&ctx, block, n);
        if (n < sizeof block)
            break;
        CountBlock();
        if (m_progress->CheckCancelButton()) {
            file.Close();
            return false;
        }
    }
    file.Close();
    digest = DigestHex(MD5Final(&ctx));
    return true;
}

// Every 1000 blocks the bar moves by the progress step (it stops at its end) and the
// remaining-data text drops by 64,000 bytes. A step that truncated to 0 (a total above about
// 4.16 GB) would leave the bar standing: the fractions of its share add up instead.
void CheckRun::CountBlock() {
    if (++m_blockCounter < kBlocksPerStep)
        return;
    m_blockCounter = 0;
    int amount = m_progressStep;
    if (amount == 0) {
        const double stepsBefore = (m_totalSize - m_remainingBytes) / 64000;
        amount = CheckBarAmount(CheckBarShare(m_totalSize), stepsBefore);
    }
    m_progress->OffsetPos(amount);
    m_remainingBytes -= 64000;
    m_progress->SetItemText(1115, RemainingDataText(m_remainingBytes));
}

void CheckRun::ReportChange(const std::string& line) {
    ++m_changed;
    PlayAlertSound(m_alert, m_wavPath);
    Ui().MessageBox(m_state.path + " has been changed! ", MbIcon::None, MbButtons::Ok);

    CChangedFileDetailsDlg details(&m_view);
    FileRecord record;
    ParseFileRecordLine(line, record);  // the fields as far as the line holds them
    record.digest = m_state.storedDigest;
    details.Fill(m_view, record, m_state.findData, m_state.newDigest);
    details.DoModal();

    switch (details.m_choice) {
        case 1:
        case 2:
            AcceptChangedFile(m_state, details.m_choice);
            break;
        case 3:
            RestoreFileFromBackup(m_state, details);
            break;
        default:
            break;
    }
}
