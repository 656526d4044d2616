// "File Analysis: " (template 389), the model: the changed file's bytes as they are now beside
// the bytes of the backup copy taken when it was added to the open database, row by row, as
// text (128 bytes a row) or as hexadecimal (32 bytes a row), each row of the file now marked
// as equal to or different from the backup's row at the same place. The two lists are models
// of their own (AnalysisList) whose rows the window draws when it needs them. A display runs
// on the user-interface thread and lets the window's messages run between blocks of rows, so
// "Cancel" and "Help" answer while it runs; FileAnalysisDisplay.cpp holds its steps.
#pragma once

#include <chrono>
#include <string>

#include "check/AnalysisList.h"
#include "platform/Dialog.h"

class CMainFrame;

// What a display needs of the dialog's window while it runs.
class AnalysisWindow {
  public:
    // A window lets its messages run at most this often while a display runs.
    static constexpr std::chrono::milliseconds kDispatchInterval{15};

    virtual ~AnalysisWindow() = default;
    // Called between blocks of rows: lets the waiting messages run when it is time to.
    virtual void DispatchMessages() = 0;
    // The lists (columns, rows, marks) or the buttons' state changed.
    virtual void ListsChanged() = 0;
};

class CFileAnalysisDlg : public CDialog {
  public:
    enum { IDD = 389 };
    enum {
        IDC_BACKUP_LIST = 1238,
        IDC_CURRENT_LIST = 1237,
        IDC_HEX_DISPLAY = 1198,
        IDC_TEXT_DISPLAY = 1174,
        IDC_CANCEL_ANALYSIS = 1294,
        IDC_HELP_BUTTON = 1193,
    };
    // The row icons, by index: the tick, the cross, the warning triangle, the question mark.
    static constexpr int kRowIconResources[4] = {390, 391, 402, 574};
    // A display reads and marks this many bytes of each file between two dispatches.
    static constexpr size_t kBlockBytes = size_t(1) << 20;

    // The frame gives the file to analyse (m_analysisPath), the open database, the key and
    // the vectors.
    explicit CFileAnalysisDlg(CMainFrame& frame);

    const char* ClassName() const override { return "CFileAnalysisDlg"; }
    // The lists are controls of the window: no member is exchanged.
    void DoDataExchange(DataExchange& dx) override;
    // 1174 OnTextDisplay, 1198 OnHexDisplay, 1294 OnCancelAnalysis, 1193 OnAnalysisHelp.
    void OnCommand(int id) override;

    // The caption: "File Analysis: " followed by the file's path. Returns true.
    bool OnInitDialog();
    void OnTextDisplay();
    void OnHexDisplay();
    void ShowHexAnalysis();
    // Cancel can be pressed at any time: a display stops at the current block, and a display
    // that has not begun stops at the first byte of each list.
    void OnCancelAnalysis();
    void OnAnalysisHelp();

    // While a display runs, OK, "Hex Display" and "Text Display" are disabled.
    bool DisplayRunning() const { return m_displayRunning; }
    void SetWindow(AnalysisWindow* window) { m_window = window; }
    const std::string& AnalysisPath() const;

    std::string m_caption;
    AnalysisList m_backupList;   // "Backup file:"
    AnalysisList m_currentList;  // "File now:"
    int m_cancelRequested = 0;

  private:
    friend class AnalysisDisplay;
    // One display (FileAnalysisDisplay.cpp).
    void RunDisplay(bool hex);

    CMainFrame& m_frame;
    AnalysisWindow* m_window = nullptr;
    bool m_displayRunning = false;
};
