// The check's pass: record after record of the working copy (in the frame's
// m_checkWorkFile), each listed file's digest taken from the digest pool that reads the
// records ahead on every core, with the cancel poll before each 64-byte block and the bar's
// steps as a read in 64-byte blocks gives them.
#include <algorithm>
#include <cstdio>

#include "app/MainFrame.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckRun.h"
#include "check/CheckTexts.h"
#include "check/ProgressScale.h"
#include "database/ListView.h"
#include "platform/FileException.h"
#include "platform/FindData.h"
#include "platform/Ui.h"
#include "storage/FileRecord.h"
#include "storage/WorkCopyStream.h"

namespace {

constexpr int kBlocksPerStep = 1000;  // 64,000 bytes

}  // namespace

// The pool's workers live as long as the pass.
bool CheckRun::RunPass() {
    m_digests = std::make_unique<CheckDigests>();
    std::string line;
    bool finished = true;
    while (TakesAnotherRecord()) {
        if (!m_frame.m_checkWorkFile->ReadLine(line))
            break;
        if (!CheckRecord(line)) {
            finished = false;
            break;
        }
    }
    m_digests.reset();
    return finished;
}

// One record. A file that cannot be opened or read is reported and counted as unchecked; so
// is a damaged record line, whose file is not looked for. A changed file is reported
// (CheckRunChange.cpp). False when the user cancelled.
bool CheckRun::CheckRecord(const std::string& line) {
    m_state.repositioned = false;
    ++m_state.recordsBegun;
    ++m_checked;

    std::string path, storedDigest;
    const bool whole = SplitRecordStart(line, path, storedDigest);
    ShowRecord(path);

    std::string digest;
    int cause = CFileException::invalidFile;
    Digested digested = Digested::Unreadable;
    if (whole) {
        // The records the pass takes after this one when every file opens.
        const long after = m_rules.boundByFilesChecked
                               ? long(m_state.recordsCounted) - long(m_checked)
                               : long(m_state.recordsCounted) - long(m_state.recordsBegun);
        m_digests->Begin(path, line, *m_frame.m_checkWorkFile, after);
        digested = DigestListedFile(digest, cause);
    }
    // A change is reported with the values of one read of the file.
    if (digested == Digested::Done && digest != storedDigest) {
        const DigestAhead::Progress& read = m_digests->File();
        m_readStamp = read.stamp;
        m_readSteady = read.steady;
        m_readBytes = read.bytes;
        m_digests->Pause();
        m_state.path = path;
        m_state.storedDigest = storedDigest;
        digested = TakeChangedFile(digest, cause);
    }
    if (digested == Digested::Cancelled)
        return false;
    if (digested == Digested::Unreadable) {
        m_digests->Pause();
        Ui().MessageBox("Couldn't check " + path + "\nReason: " + FileErrorName(cause),
                        MbIcon::Exclamation);
        ++m_unchecked;
        --m_checked;
        return true;
    }
    if (digest == storedDigest)
        return true;
    m_state.newDigest = digest;
    return ReportChange(line);
}

void CheckRun::ShowRecord(const std::string& path) {
    char remaining[32];
    // Past N (the scheduled check's bound) nothing remains.
    std::snprintf(remaining, sizeof remaining, "%d",
                  std::max(0, m_state.recordsCounted - m_state.recordsBegun));
    m_progress->SetItemText(1051, ProgressPathText(path));
    m_progress->SetItemText(1114, remaining);
    m_progress->SetIcon(1200, m_digests->TypeIcon(path));
}

// The polls and block counts of a read in 64-byte blocks, played over the bytes the pool
// has digested: a poll before each whole block of the length at the open and a count after
// it; past that length (a file that grew) a count then a poll for each further whole block.
// A file that gave fewer bytes than its length at the open ends at its first short block.
CheckRun::Digested CheckRun::DigestListedFile(std::string& digest, int& cause) {
    const DigestAhead::Progress& file = m_digests->File();
    auto digested = [&](uint64_t bytes) {
        while (file.bytes < bytes && file.state == DigestAhead::Progress::Reading)
            m_digests->Follow();
        return file.bytes >= bytes;
    };
    auto cancelled = [&] {
        if (!m_progress->CheckCancelButton())
            return false;
        m_digests->Stop();
        return true;
    };
    while (file.state == DigestAhead::Progress::Waiting) m_digests->Follow();
    if (file.opened) {
        const uint64_t blocks = uint64_t(file.length) / 64;
        uint64_t block = 0;
        for (; block < blocks; ++block) {
            if (cancelled())
                return Digested::Cancelled;
            if (!digested((block + 1) * 64))
                break;
            CountBlock();
        }
        if (block == blocks) {
            for (++block; digested(block * 64); ++block) {
                CountBlock();
                if (cancelled())
                    return Digested::Cancelled;
            }
        }
        digested(UINT64_MAX);
    }
    m_digests->End();
    if (file.state == DigestAhead::Progress::Failed) {
        cause = file.cause;
        return Digested::Unreadable;
    }
    digest = file.digest;
    return Digested::Done;
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
