// The add by contents (command 32818, "&Add > According to Contents"): its pre-scan, the
// contents criterion, its closing texts and its departures from the walk-and-add loop. The
// location clause is " located in " and the last start folder walked (or the location the
// pre-scan left when nothing was walked), left out for "*"; the criterion clause is
// "\n\n -Containing text: " and the pattern in double quotes (with whole word, its blanks
// inside them). Folders are not tested; in a large run the remaining bytes after a step of a
// digest end with " Bytes"; the progress dialog closes before the no-files and all-listed
// boxes.
#pragma once

#include "add/WalkAddCommand.h"

class AddByContents : public WalkAddCommand {
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
    std::string m_pattern;
};
