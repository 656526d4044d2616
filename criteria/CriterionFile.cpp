// Opening and reading the file a criterion tests.
#include "criteria/CriterionFile.h"

#include <algorithm>
#include <cstring>

#include "add/OpenToAdd.h"
#include "add/WalkAddMessages.h"
#include "app/ProgressDialogs.h"
#include "platform/FileException.h"
#include "platform/Ui.h"

std::string CouldNotCheckText(const std::string& path, int cause) {
    return "Couldn't check " + path + "\nReason: " + FileErrorName(cause);
}

CriterionOpen OpenFileToCheck(const std::string& path, platform::CFile& file) {
    int cause = 0;
    switch (OpenFileToAdd(path, file, cause)) {
        case OpenOutcome::Opened:
            return CriterionOpen::Opened;
        case OpenOutcome::FailedWithCause:
            Ui().MessageBox(CouldNotCheckText(path, cause), MbIcon::Exclamation);
            return CriterionOpen::NotChecked;
        case OpenOutcome::FailedWithoutCause:
            break;
    }
    Ui().MessageBox(OpenedWithoutCauseText(path), MbIcon::Stop);
    return CriterionOpen::EndCommand;
}

FileBlocks::FileBlocks(platform::CFile& file, uint64_t limit, size_t keep)
    : m_file(file),
      m_limit(limit),
      m_keep(keep),
      m_buffer(keep + size_t(std::min<uint64_t>(kBlock, limit))) {
    m_finished = limit == 0;
}

bool FileBlocks::Next(uint64_t keepFrom, CProgressDlg& progress) {
    const uint64_t end = End();
    keepFrom = std::clamp(keepFrom, end - std::min<uint64_t>(m_held, m_keep), end);
    const size_t kept = size_t(end - keepFrom);
    if (kept > 0 && keepFrom > m_base)
        std::memmove(m_buffer.data(), m_buffer.data() + (keepFrom - m_base), kept);
    m_base = keepFrom;
    m_held = kept;
    if (progress.CheckCancelButton())
        return false;
    const size_t want = size_t(std::min<uint64_t>(kBlock, m_limit - end));
    const size_t got = want == 0 ? 0 : m_file.Read(m_buffer.data() + m_held, want);
    m_held += got;
    m_finished = got < want || End() == m_limit;
    return true;
}
