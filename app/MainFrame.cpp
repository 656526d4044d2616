// The main frame's model: the key and vectors, the frame's own protected-storage
// operations, the status-bar progress, and the clean-up when the frame closes or the
// session ends.
#include "app/MainFrame.h"

#include <cstdint>
#include <stdexcept>

#include "platform/Ui.h"
#include "storage/ProtectedFile.h"

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

void CMainFrame::SetStore(std::unique_ptr<ProtectedStore> store) {
    m_store = std::move(store);
}

void CMainFrame::SetKey(const Key& key) {
    SetStore(std::make_unique<ProtectedStore>(key));
}

ProtectedStore& CMainFrame::Store() {
    return const_cast<ProtectedStore&>(static_cast<const CMainFrame&>(*this).Store());
}

const ProtectedStore& CMainFrame::Store() const {
    if (!m_store)
        throw std::logic_error("The protected files are used before the password was accepted.");
    return *m_store;
}

void CMainFrame::SetFileIv(const std::string& text) {
    m_fileIv = IvFromText(text);
}

void CMainFrame::DecryptFileWithIvDropNewline(const std::string& protectedPath,
                                              const std::string& plainPath, const Iv& iv) {
    ::DecryptFileWithIvDropNewline(Store().FileKey(), protectedPath, plainPath, iv);
}

void CMainFrame::DecryptFileWithIvToLength(const std::string& protectedPath,
                                           const std::string& plainPath, const Iv& iv,
                                           double plainLength) {
    ::DecryptFileWithIvToLength(Store().FileKey(), protectedPath, plainPath, iv, plainLength);
}

bool CMainFrame::ProgressColour(const std::string& caption, COLORREF& colour) {
    if (caption == "Analysing Backup File [Text details]..." ||
        caption == "Analysing Backup File [Hex details]..." ||
        caption == "Analysing File [Text details]..." ||
        caption == "Analysing File [Hex details]...") {
        colour = 0xFF00FF;
        return true;
    }
    if (caption == "Initiating File Analysis [Text details]...") {
        colour = 0xF700AA;
        return true;
    }
    return false;
}

void CMainFrame::BeginProgress(const std::string& caption, int total) {
    if (m_progressActive)
        Ui().StatusProgressEnd();
    // The bar's range is a 16-bit value.
    m_progressTotal = static_cast<uint16_t>(total);
    m_progressSteps = 0;
    m_progressActive = true;
    COLORREF colour = 0;
    const bool coloured = ProgressColour(caption, colour);
    Ui().StatusProgressBegin(caption, m_progressTotal, colour, !coloured);
}

void CMainFrame::StepProgress() {
    if (!m_progressActive)
        return;
    Ui().StatusProgressStep();
    ++m_progressSteps;
    // Totals below 12 move the cursor on every step.
    const int every = m_progressTotal / 12 > 0 ? m_progressTotal / 12 : 1;
    if (m_progressSteps % every == 0)
        Ui().BusyCursor();
}

void CMainFrame::EndProgress(const std::string& paneText) {
    if (m_progressActive) {
        Ui().StatusProgressEnd();
        m_progressActive = false;
    }
    Ui().SetStatusText(paneText);
}

void CMainFrame::OnClose() {
    m_checkWorkFile.reset();
    DeleteLeftoverWorkCopies();
}

void CMainFrame::OnEndSession() {
    OnClose();  // the same clean-up: the check's working copy, then what was left behind
}
