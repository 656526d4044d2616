// The add by abilities (command 32820, "&Add > According to Abilities / Functionality"): its
// pre-scan, the abilities criterion (fixed for the whole run), its closing texts and its
// departures from the walk-and-add loop. The location clause is " located in " and the last
// start folder walked (or the location the pre-scan left when nothing was walked) followed by
// " with", left out for "*"; then a line per chosen ability: "\n\n -Communication abilities",
// "\n\n -Core operating system functionality", "\n\n -Cookies.". Folders are tested too; in a
// large run the remaining bytes after a step of a digest end with " Bytes"; the progress
// dialog closes before the no-files and all-listed boxes.
#pragma once

#include "add/WalkAddCommand.h"
#include "criteria/AbilitiesCriterion.h"

class AddByAbilities : public WalkAddCommand {
  public:
    void Prescan(CListview& view, Settings& settings) override;
    std::unique_ptr<Criterion> MakeCriterion(CListview& view) override;
    std::string AddedText(const WalkAddOutcome& outcome) const override;
    std::string NoneText(const WalkAddOutcome& outcome) const override;
    std::string AllListedText(const WalkAddOutcome& outcome) const override;
    bool ClosesDialogBeforeBox() const override { return true; }
    const char* LargeStepUnit() const override { return " Bytes"; }

  private:
    std::string Clauses(const WalkAddOutcome& outcome) const;
    Abilities m_abilities;
};
