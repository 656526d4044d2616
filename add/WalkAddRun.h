// The walk-and-add loop of the add-by-criteria commands, from the end of the pre-scan to the
// closing message: the backup mode, "Adding files." with its bar and its remaining-files and
// remaining-bytes texts, the walk of every start folder (every drive for "*") with the
// command's criterion, and for each matching file that is not listed yet the steps of the add
// of one file (digest, record, backup copy) with a cancel poll before every 64-byte piece.
//
// The run holds the database's stored files from the first start folder that can be
// searched to its end (the working copy is the database's plaintext in memory) and stores
// what it added every few hundred files or every second, so an interruption loses little.
// Cancel asks "Would you like to keep the files added before you pressed Cancel?": No takes
// the database back to the records it held when the run began. The run ends with the backup
// database, and exactly one message: the command's success, no-files or all-listed text.
// A file exception ends the run where it is raised, after what was added is stored.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "add/AddFileRead.h"
#include "add/WalkAddCommand.h"
#include "add/WalkAddProgress.h"
#include "app/ProgressDialogs.h"
#include "app/Settings.h"
#include "criteria/FolderWalk.h"

class CListview;
class BackupPair;

class WalkAddRun : private FolderWalkVisitor, private PieceWatcher {
  public:
    WalkAddRun(CListview& view, WalkAddCommand& command);
    ~WalkAddRun();
    WalkAddRun(const WalkAddRun&) = delete;
    WalkAddRun& operator=(const WalkAddRun&) = delete;

    // The whole command: the pre-scan, then the loop.
    void Run();

  private:
    // How the walk ended.
    enum class Ending { Walked, Cancelled, Refused, AtOnce };

    void SetUp();
    void Walk();
    void CancelSequence();
    void EndAtOnce();
    void Close();

    bool Started(const std::string& start) override;
    bool Entry(const WalkEntry& entry) override;
    bool BeforePiece() override;

    // The per-file steps; false when the walk stops.
    bool AddFile(const std::string& path);
    bool ReadAndRecord(const std::string& path, platform::CFile& file);
    void StepBar(int amount, const char* unit);
    void ShowRemaining(const char* unit);
    // Stores what was added when it is due; false when the database was found changed.
    bool CommitIfDue();
    bool Store();

    CListview& m_view;
    WalkAddCommand& m_command;
    std::unique_ptr<Criterion> m_criterion;
    Settings m_settings;  // each read once, for the pre-scan and the loop
    std::string m_mode;   // Config17
    bool m_backupSettingsRead = false;
    bool m_backUp = false;         // Config5 is 1
    bool m_copiesStopped = false;  // a copy could not be begun: no more are tried

    std::unique_ptr<CAddProgressDlg> m_progress;
    std::unique_ptr<WalkAddProgress> m_bar;
    int m_remainingFiles = 0;  // N
    int m_added = 0;           // A
    int m_listed = 0;          // L
    bool m_allDrives = false;
    bool m_workMade = false;
    Ending m_ending = Ending::Walked;

    int m_pending = 0;  // files added since the last store
    std::chrono::steady_clock::time_point m_lastStore;
};
