// The pre-scan every add-by-criteria command runs before its add, in this order:
//  1. m_prescanCancelled is set to 0;
//  2. the command's criteria dialog is shown until its location is accepted or it is
//     cancelled (a refused location shows why, then the dialog again);
//  3. the dialog's choices go into the view's hand-over fields;
//  4. the location (every drive for "*") is walked under the searching dialog
//     `CSearchProgressDlg`, with the command's criterion, counting the matching files not yet
//     listed (m_foundCount, with their bytes in m_bytesToAdd) and those listed already
//     (m_listedCount); "*" reports the drives that have a link but cannot be searched;
//  5. when Config5 is 1, the free-space test: the backup copies of the files to add (each
//     encrypted copy rounded up to 16 bytes) against the free space where the backup folder
//     lies; when they do not fit, the user proceeds or cancels.
// Cancelling the dialog, the search or the question sets m_prescanCancelled to 1, and so
// does a database changed behind the program's back (with its message) or a criterion that
// ends the command; nothing is touched then. The database is only read here.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "criteria/Criterion.h"
#include "criteria/FolderWalk.h"
#include "criteria/SearchProgressDlg.h"

class CListview;
class CCriteriaDlg;
class Settings;
class StoredDatabase;

class Prescan : private FolderWalkVisitor {
  public:
    // `settings` are the command's own, read once for the whole command.
    Prescan(CListview& view, Settings& settings);
    ~Prescan();
    Prescan(const Prescan&) = delete;
    Prescan& operator=(const Prescan&) = delete;

    // `criterion` is made from the hand-over fields once the dialog is accepted.
    void Run(CCriteriaDlg& dialog, const std::function<std::unique_ptr<Criterion>()>& criterion);

    // The free space where a folder lies; tests may put another in its place (the previous
    // one is returned).
    using FreeSpaceFn = bool (*)(const std::string& winPath, uint64_t& freeBytes);
    static FreeSpaceFn SetFreeSpaceProbe(FreeSpaceFn probe);

  private:
    bool AskCriteria(CCriteriaDlg& dialog);
    // False when the search did not end normally (the pre-scan is then cancelled).
    bool Search();
    bool FreeSpaceAllows();
    void ShowFound(bool now);

    void Searching(const std::string& folder) override;
    bool Entry(const WalkEntry& entry) override;

    CListview& m_view;
    Settings& m_settings;
    std::unique_ptr<Criterion> m_criterion;
    std::unique_ptr<CSearchProgressDlg> m_search;
    const StoredDatabase* m_database = nullptr;
    bool m_backUp = false;   // Config5 is 1
    std::string m_mode;      // Config17
    double m_copyBytes = 0;  // what the backup copies of the files found take
    std::chrono::steady_clock::time_point m_lastShown;
};
