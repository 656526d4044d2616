// The main frame's model, `CMainFrame`: the state every view and command shares (the store
// of the protected files, which holds the key and the vectors; the open database's path,
// the check's working-copy stream, the changed file's icon, the file to analyse), the
// status-bar progress, and the clean-up of the close and end-of-session handlers. The wx
// frame in gui/ shows it.
#pragma once

#include <memory>
#include <string>

#include "app/ProtectedStore.h"
#include "platform/WinTypes.h"
#include "storage/Crypto.h"
#include "storage/WorkCopyStream.h"

class CMainFrame {
  public:
    CMainFrame();
    ~CMainFrame();

    // Takes the store the start-up opened with the accepted password's key.
    void SetStore(std::unique_ptr<ProtectedStore> store);
    // Opens a store on `key` (the tests' and the benchmarks' start).
    void SetKey(const Key& key);
    // The store of the protected files; raises std::logic_error before the start-up gave one.
    ProtectedStore& Store();
    const ProtectedStore& Store() const;

    // m_fileIv = the first 8 bytes of DigestText(text), twice.
    void SetFileIv(const std::string& text);

    // The protected-storage operations that are frame members, under the store's key.
    void DecryptFileWithIvDropNewline(const std::string& protectedPath,
                                      const std::string& plainPath, const Iv& iv);
    void DecryptFileWithIvToLength(const std::string& protectedPath, const std::string& plainPath,
                                   const Iv& iv, double plainLength);

    // The status-bar progress in pane 0. The total is taken as a 16-bit value; the colour
    // is chosen by the caption.
    void BeginProgress(const std::string& caption, int total);
    // One step; moves the busy cursor on every total / 12 steps.
    void StepProgress();
    // Destroys the bar, sets pane 0 to `paneText` and redraws the status bar at once.
    void EndProgress(const std::string& paneText = "Ready");
    // The bar's colour for a caption; false for the default colour.
    static bool ProgressColour(const std::string& caption, COLORREF& colour);

    // WM_CLOSE and WM_ENDSESSION: end a check's working copy (m_checkWorkFile), then finish
    // or undo whatever a command left half-done and wipe every plaintext copy left behind,
    // as the start-up's recovery does.
    void OnClose();
    void OnEndSession();
    // The start-up's recovery, right after the password: what an interruption left half-done
    // is finished or undone and every plaintext copy left behind is wiped, before any command
    // can use a stored file. Raises the file exception when a stored file cannot be put back.
    void RecoverStoredFiles();
    // Whether the frame has its store (nothing is recovered without it).
    bool HasKey() const { return m_store != nullptr; }

    Iv m_fileIv{};  // the vector SetFileIv last made

    std::string m_openDatabasePath;  // full path of the open database, empty when none
    bool m_databaseOpen = false;
    std::string m_analysisPath;  // the file "Further analysis" names
    Icon m_changedFileIcon;      // the type icon of the changed file being reported
    // The working copy (in memory) a check walks; the check clears it when it ends.
    std::unique_ptr<WorkCopyStream> m_checkWorkFile;

    bool m_progressActive = false;  // m_wndProgress exists
    int m_progressTotal = 0;
    int m_progressSteps = 0;

  private:
    void DeleteLeftoverWorkCopies() noexcept;
    std::unique_ptr<ProtectedStore> m_store;
};
