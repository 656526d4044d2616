// What an add-by-criteria command gives the walk-and-add loop (WalkAddRun): its pre-scan,
// its criterion, the clauses its closing texts name, and its departures from the loop. The
// three closing texts are made here, the same words around each command's clauses; the add
// by attributes keeps the loop as it is, the other commands say where they differ.
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

// Where a command's texts and loop differ: the words before the clauses in the none and
// all-listed texts and after them in the all-listed text, whether the progress dialog closes
// before those boxes (the loop's own order shows the box first), and what follows the
// remaining-bytes figure after a large run's step in a digest.
struct WalkAddWording {
    const char* noneLead;
    const char* allListedLead;
    const char* allListedTail;
    bool closesDialogBeforeBox;
    const char* largeStepUnit;
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
    std::string AddedText(const WalkAddOutcome& outcome) const;
    std::string NoneText(const WalkAddOutcome& outcome) const;
    std::string AllListedText(const WalkAddOutcome& outcome) const;

    bool ClosesDialogBeforeBox() const { return m_wording.closesDialogBeforeBox; }
    const char* LargeStepUnit() const { return m_wording.largeStepUnit; }

  protected:
    explicit WalkAddCommand(const WalkAddWording& wording) : m_wording(wording) {}
    // The location clause, " located in " and the location, left out for "*".
    static std::string LocationClause(const WalkAddOutcome& outcome);
    // The location clause and the criterion's, as every closing text names them.
    virtual std::string Clauses(const WalkAddOutcome& outcome) const = 0;

  private:
    const WalkAddWording m_wording;
};
