// OnAddByAttributes: the pre-scan, then the walk-and-add loop with the attribute criterion,
// and the command's three closing texts.
#include "add/AddByAttributes.h"

#include <algorithm>

#include "add/WalkAddMessages.h"
#include "add/WalkAddRun.h"
#include "criteria/AttributeCriterion.h"
#include "database/ListView.h"

namespace {

// The line of each ticked box in the texts' order, by its index in m_critAttributes.
const struct {
    int box;
    const char* line;
} kAttributeLines[] = {
    {2, "\n -Read-only attributes"},
    {1, "\n -Archive attributes"},
    {0, "\n -Hidden attributes"},
    {3, "\n -System attributes"},
    {9, "\n -Compressed attributes"},
    {11, "\n -Encrypted attributes"},
    {10, "\n -Compressed plus any other attributes"},
    {12, "\n -Encrypted plus any other attributes"},
    {4, "\n -Hidden plus any other attributes"},
    {6, "\n -Read-only plus any other attributes"},
    {7, "\n -System plus any other attributes"},
    {5, "\n -Archive plus any other attributes"},
};

}  // namespace

void CListview::OnAddByAttributes() {
    AddByAttributes command;
    WalkAddRun run(*this, command);
    run.Run();
}

void AddByAttributes::Prescan(CListview& view, Settings& settings) {
    view.PrescanAddByAttributes(settings);
}

std::unique_ptr<Criterion> AddByAttributes::MakeCriterion(CListview& view) {
    std::copy(view.m_critAttributes, view.m_critAttributes + 13, m_attributes);
    return std::make_unique<AttributeCriterion>(m_attributes);
}

std::string AddByAttributes::Clauses(const WalkAddOutcome& outcome) const {
    std::string text;
    if (!outcome.allDrives)
        text += " located in " + outcome.location;
    std::string lines;
    for (const auto& l : kAttributeLines) {
        if (m_attributes[l.box] != 0)
            lines += l.line;
    }
    text += lines.empty() ? " without any attributes\n " : " with\n " + lines;
    return text;
}

std::string AddByAttributes::AddedText(const WalkAddOutcome& outcome) const {
    std::string text =
        FilesText(outcome.added) + Clauses(outcome) + "\n\n successfully added to the database.";
    if (outcome.listed > 0)
        text += "\n\n" + FilesText(outcome.listed) + " listed previously.";
    return text;
}

std::string AddByAttributes::NoneText(const WalkAddOutcome& outcome) const {
    return "There are no files " + Clauses(outcome);
}

std::string AddByAttributes::AllListedText(const WalkAddOutcome& outcome) const {
    return "All files " + Clauses(outcome) + "\n\n were previously listed.";
}
