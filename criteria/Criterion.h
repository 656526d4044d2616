// What an add-by-criteria command's test sees of each entry of the folder walk, and the
// test itself. One criterion serves both passes of a command: its pre-scan (counting what
// would be added) and its add (the walk-and-add loop). A test may poll the Cancel button of
// the dialog that is up while it runs, show messages of its own, and end the whole command.
#pragma once

#include <string>

#include "platform/FindData.h"

class CProgressDlg;

// An entry of a folder search as the walk stops at it.
struct WalkEntry {
    const platform::WIN32_FIND_DATA& find;
    const std::string& folder;  // the folder searched, with its trailing backslash
    bool isFolder;              // by the walk's folder table (WalkEntryIsFolder)

    const std::string& Name() const { return find.cFileName; }
    std::string Path() const { return folder + find.cFileName; }
    // A name beginning with '.' is never entered as a folder and never added as a file.
    bool DotName() const { return !find.cFileName.empty() && find.cFileName[0] == '.'; }
};

// Where a test runs: the dialog whose Cancel it may poll (the searching dialog in the
// pre-scan, "Adding files." in the add) and which pass it is.
struct CriterionContext {
    CProgressDlg& progress;
    bool prescan;
};

class Criterion {
  public:
    virtual ~Criterion() = default;

    enum class Verdict {
        Match,
        NoMatch,
        Cancelled,   // Cancel was pressed while the test ran
        EndCommand,  // the test met what ends the command (it has said so itself)
    };

    // Whether folder entries are tested too (the filter drops them either way).
    virtual bool TestsFolders() const = 0;
    virtual Verdict Test(const WalkEntry& entry, CriterionContext& context) = 0;
};
