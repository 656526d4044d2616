// The add by attributes (command 32796, "&Add > According to Attributes"): its pre-scan,
// the attribute criterion, and its closing texts. The location clause is " located in " and
// the last start folder walked (or the location the pre-scan left when nothing was walked),
// left out for "*". The attribute clause is " without any attributes\n " when no box but
// "Any " is ticked, else " with\n " and one line per ticked box: read-only, archive, hidden,
// system, compressed, encrypted, compressed plus, encrypted plus, hidden plus, read-only
// plus, system plus, archive plus ("Any " has none).
#pragma once

#include "add/WalkAddCommand.h"

class AddByAttributes : public WalkAddCommand {
  public:
    void Prescan(CListview& view, Settings& settings) override;
    std::unique_ptr<Criterion> MakeCriterion(CListview& view) override;
    std::string AddedText(const WalkAddOutcome& outcome) const override;
    std::string NoneText(const WalkAddOutcome& outcome) const override;
    std::string AllListedText(const WalkAddOutcome& outcome) const override;

  private:
    std::string Clauses(const WalkAddOutcome& outcome) const;
    int m_attributes[13] = {};
};
