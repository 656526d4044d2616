// What an add-by-criteria command gives the walk-and-add loop (WalkAddRun): its pre-scan,
// its criterion, its three closing texts and its departures from the loop. The add by
// attributes keeps the loop as it is; the other commands say where they differ.
#pragma once

#include <memory>
#include <string>

#include "criteria/Criterion.h"

class CListview;
class Settings;

// What the closing texts are made of: A, L, and where the walk went (`allDrives` for "*",
// when the texts name no location; else m_critLocation as the walk left it).
struct WalkAddOutcome {
    int added = 0;
    int listed = 0;
    bool allDrives = false;
    std::string location;
};

class WalkAddCommand {
  public:
    virtual ~WalkAddCommand() = default;

    // The command's pre-scan (it fills the view's hand-over fields), with the command's
    // settings.
    virtual void Prescan(CListview& view, Settings& settings) = 0;
    // The criterion, made from the hand-over fields.
    virtual std::unique_ptr<Criterion> MakeCriterion(CListview& view) = 0;

    // A >= 1 (information icon), A = 0 and L = 0 (exclamation icon), A = 0 and L > 0
    // (information icon).
    virtual std::string AddedText(const WalkAddOutcome& outcome) const = 0;
    virtual std::string NoneText(const WalkAddOutcome& outcome) const = 0;
    virtual std::string AllListedText(const WalkAddOutcome& outcome) const = 0;

    // Departures. Whether the progress dialog closes before the none and all-listed boxes
    // (the loop's own order shows the box first).
    virtual bool ClosesDialogBeforeBox() const { return false; }
    // What follows the remaining-bytes figure after a large run's step in a digest.
    virtual const char* LargeStepUnit() const { return " bytes."; }
};
