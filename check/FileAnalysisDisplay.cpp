// One display of "File Analysis: ", a command of its own: the backup copy is found and the
// file opened first (a file that cannot be read is named with the cause, and the lists stay as
// they were); then both lists are emptied, the backup list shows the copy's rows (or the
// not-backed-up rows), and the file's rows are marked a block at a time against the backup's
// rows at the same place, the list growing as they are, with the window's messages let run
// between blocks. The list of the file now keeps what it compared, so a file changed since
// shows a note in its rows rather than marks beside bytes that were not compared. A Cancel ends the
// list being made at the current block: rows are kept up to there, followed by one empty row.
// However the display ends, its progress ends, the cancel flag is cleared and the buttons are
// enabled again.
#include <algorithm>
#include <memory>
#include <vector>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "check/AnalysisBackupCopy.h"
#include "check/FileAnalysisDlg.h"
#include "check/ProgressScale.h"
#include "platform/FileException.h"
#include "platform/Ui.h"

namespace {

std::string ProblemText(const std::string& analysed, const AnalysisProblem& problem) {
    if (!problem.text.empty())
        return "Couldn't analyse " + analysed + ".\n" + problem.text;
    return "Couldn't analyse " + analysed + ".\n" + problem.file +
           " could not be read.\nReason: " + FileErrorName(problem.cause);
}

// The units of a progress (rows), one step of the bar every `step` units.
class ProgressUnits {
  public:
    ProgressUnits(CMainFrame& frame, const std::string& caption, unsigned long units)
        : m_frame(frame), m_scale(ScaleProgress(units)) {
        m_frame.BeginProgress(caption, int(m_scale.total));
    }
    void Count(uint64_t units) {
        m_counted += units;
        m_pending += units;
        for (uint64_t steps = m_pending / m_scale.step; steps > 0; --steps) m_frame.StepProgress();
        m_pending %= m_scale.step;
    }
    uint64_t Counted() const { return m_counted; }

  private:
    CMainFrame& m_frame;
    ProgressScale m_scale;
    uint64_t m_counted = 0;
    uint64_t m_pending = 0;
};

}  // namespace

class AnalysisDisplay {
  public:
    AnalysisDisplay(CFileAnalysisDlg& dlg, bool hex)
        : m_dlg(dlg),
          m_frame(dlg.m_frame),
          m_hex(hex),
          m_rowBytes(hex ? kHexRowBytes : kTextRowBytes),
          m_word(hex ? "Hex" : "Text") {}
    ~AnalysisDisplay();
    void Run();

  private:
    std::string Caption(const char* what) const { return what + (" [" + m_word + " details]..."); }
    bool Prepare();
    void FillBackupList();
    void FillCurrentList();
    void Dispatch();
    void Changed();

    CFileAnalysisDlg& m_dlg;
    CMainFrame& m_frame;
    const bool m_hex;
    const size_t m_rowBytes;
    const std::string m_word;
    AnalysisBackupCopy m_copy;
    std::shared_ptr<FileRangeSource> m_file;
};

AnalysisDisplay::~AnalysisDisplay() {
    if (m_frame.m_progressActive)
        m_frame.EndProgress("Ready");
    m_dlg.m_cancelRequested = 0;
    m_dlg.m_displayRunning = false;
    Changed();
}

void AnalysisDisplay::Dispatch() {
    if (m_dlg.m_window)
        m_dlg.m_window->DispatchMessages();
}

void AnalysisDisplay::Changed() {
    if (m_dlg.m_window)
        m_dlg.m_window->ListsChanged();
}

void AnalysisDisplay::Run() {
    m_dlg.m_displayRunning = true;
    Changed();
    Ui().SetStatusText(Caption("Initiating File Analysis"));
    if (!Prepare())
        return;
    m_dlg.m_currentList.Clear();
    m_dlg.m_backupList.Clear();
    m_dlg.m_backupList.InsertColumns(m_hex);
    Changed();
    FillBackupList();
    FillCurrentList();
}

// The backup copy found and the file opened, before the lists change. A registry setting that
// cannot be read was reported; without the backup folder no copy can be found.
bool AnalysisDisplay::Prepare() {
    const std::string& path = m_dlg.AnalysisPath();
    Settings settings;
    std::string backupDir;
    m_frame.Store().BackupDir(settings, backupDir);
    AnalysisProblem problem;
    bool ready = FindAnalysisBackupCopy(m_frame, backupDir, path, m_copy, problem);
    if (ready) {
        auto file = std::make_unique<platform::CFile>();
        ready = file->Open(path, "rb", platform::Share::DenyNone, &problem.cause);
        problem.file = path;
        if (ready)
            m_file = std::make_shared<FileRangeSource>(std::move(file), 0);
    }
    if (!ready) {
        Ui().SetStatusText("Ready");
        Ui().MessageBox(ProblemText(path, problem), MbIcon::Exclamation);
    }
    return ready;
}

// The copy's rows are made when they are drawn, so the list is whole at once; a Cancel seen
// before it leaves it a single empty row.
void AnalysisDisplay::FillBackupList() {
    ProgressUnits progress(m_frame, Caption("Analysing Backup File"),
                           (unsigned long)(m_copy.copyLength / m_rowBytes));
    AnalysisList& list = m_dlg.m_backupList;
    if (m_copy.found) {
        Dispatch();
        const bool cancelled = m_dlg.m_cancelRequested != 0;
        const uint64_t shown = cancelled ? 0 : m_copy.available;
        const bool atLimit = !cancelled && shown == m_copy.copyLength;
        const uint64_t rows = AnalysisRowCount(shown, m_rowBytes, atLimit);
        list.ShowBytes(m_copy.source, shown, rows);
        progress.Count(rows - 1);
    } else {
        list.ShowNotBackedUp();
    }
    Changed();
    m_frame.EndProgress("Ready");
}

// The file is read to its end a block at a time; every row of a block is marked against the
// backup list's row at the same place (rows pair by position only). The list ends with a row
// holding what was left after the last whole row, possibly nothing.
void AnalysisDisplay::FillCurrentList() {
    const uint64_t size = m_file->FileLength();
    ProgressUnits progress(m_frame, Caption("Analysing File"),
                           (unsigned long)((size & 0xFFFFFFFFu) / m_rowBytes));
    AnalysisList& list = m_dlg.m_currentList;
    list.InsertColumns(m_hex);
    list.SetMarking(m_copy.found ? AnalysisList::Marking::Compared
                                 : AnalysisList::Marking::NoBackup);
    list.ShowBytes(m_file, 0, 0);
    list.StartComparing();
    RowMarks& marks = list.Marks();
    const uint64_t backupShown = m_dlg.m_backupList.ShownBytes();
    const size_t block = CFileAnalysisDlg::kBlockBytes;
    std::vector<uint8_t> now(block), backup(m_copy.found ? block : 0);

    uint64_t at = 0;
    for (;;) {
        Dispatch();
        if (m_dlg.m_cancelRequested)
            break;
        const size_t got = m_file->ReadAt(at, now.data(), block);
        list.Compared(at, now.data(), got);
        if (got > 0 && m_copy.found) {
            size_t had = 0;
            if (at < backupShown)
                had = m_copy.source->ReadAt(at, backup.data(),
                                            size_t(std::min<uint64_t>(block, backupShown - at)));
            marks.MarkBlock(now.data(), got, backup.data(), had, m_rowBytes, m_hex);
        }
        at += got;
        if (got < block)
            break;
        progress.Count(got / m_rowBytes);
        list.ShowBytes(m_file, at, at / m_rowBytes);
    }
    const uint64_t rows = at / m_rowBytes + 1;
    // An empty last row is compared with the backup's row there, empty or not.
    if (m_copy.found && at % m_rowBytes == 0)
        marks.Append(backupShown > at);
    list.ShowBytes(m_file, at, rows);
    // From here on a row drawn is held to the file as it was compared.
    m_file->KeepStamp();
    progress.Count(rows - 1 - progress.Counted());
    Changed();
    m_frame.EndProgress("Ready");
}

void CFileAnalysisDlg::RunDisplay(bool hex) {
    if (m_displayRunning)
        return;
    AnalysisDisplay display(*this, hex);
    display.Run();
}
