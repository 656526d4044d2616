// The three add-by-criteria commands: each gives the walk-and-add loop its pre-scan, its
// criterion (fixed for the whole run) and the clauses of its closing texts. Every location
// clause is " located in " and the last start folder walked (or the location the pre-scan
// left when nothing was walked), left out for "*".
#pragma once

#include <string>

#include "add/WalkAddCommand.h"
#include "criteria/AbilitiesCriterion.h"

// Command 32796, "&Add > According to Attributes". The attribute clause is " without any
// attributes\n " when no box but "Any " is ticked, else " with\n " and one line per ticked
// box: read-only, archive, hidden, system, compressed, encrypted, compressed plus, encrypted
// plus, hidden plus, read-only plus, system plus, archive plus ("Any " has none).
class AddByAttributes final : public WalkAddCommand {
  public:
    AddByAttributes();
    void Prescan(CListview& view, Settings& settings) override;
    std::unique_ptr<Criterion> MakeCriterion(CListview& view) override;

  private:
    std::string Clauses(const WalkAddOutcome& outcome) const override;
    int m_attributes[13] = {};
};

// Command 32818, "&Add > According to Contents". The criterion clause is "\n\n -Containing
// text: " and the pattern in double quotes (with whole word, its blanks inside them).
// Folders are not tested; in a large run the remaining bytes after a step of a digest end
// with " Bytes"; the progress dialog closes before the no-files and all-listed boxes.
class AddByContents final : public WalkAddCommand {
  public:
    AddByContents();
    void Prescan(CListview& view, Settings& settings) override;
    std::unique_ptr<Criterion> MakeCriterion(CListview& view) override;

  private:
    std::string Clauses(const WalkAddOutcome& outcome) const override;
    std::string m_pattern;
};

// Command 32820, "&Add > According to Abilities / Functionality". The location clause is
// followed by " with"; then a line per chosen ability: "\n\n -Communication abilities",
// "\n\n -Core operating system functionality", "\n\n -Cookies.". Folders are tested too; in
// a large run the remaining bytes after a step of a digest end with " Bytes"; the progress
// dialog closes before the no-files and all-listed boxes.
class AddByAbilities final : public WalkAddCommand {
  public:
    AddByAbilities();
    void Prescan(CListview& view, Settings& settings) override;
    std::unique_ptr<Criterion> MakeCriterion(CListview& view) override;

  private:
    std::string Clauses(const WalkAddOutcome& outcome) const override;
    Abilities m_abilities;
};
