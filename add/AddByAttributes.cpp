// OnAddByAttributes: the pre-scan, then the walk-and-add loop with the attribute criterion,
// and the clauses of the command's closing texts.
#include <algorithm>

#include "add/AddByCriteria.h"
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

const WalkAddWording kWording{"There are no files ", "All files ", "\n\n were previously listed.",
                              false, " bytes."};

}  // namespace

void CListview::OnAddByAttributes() {
    AddByAttributes command;
    WalkAddRun run(*this, command);
    run.Run();
}

AddByAttributes::AddByAttributes() : WalkAddCommand(kWording) {}

void AddByAttributes::Prescan(CListview& view, Settings& settings) {
    view.PrescanAddByAttributes(settings);
}

std::unique_ptr<Criterion> AddByAttributes::MakeCriterion(CListview& view) {
    std::copy(view.m_critAttributes, view.m_critAttributes + 13, m_attributes);
    return std::make_unique<AttributeCriterion>(m_attributes);
}

std::string AddByAttributes::Clauses(const WalkAddOutcome& outcome) const {
    std::string lines;
    for (const auto& l : kAttributeLines) {
        if (m_attributes[l.box] != 0)
            lines += l.line;
    }
    return LocationClause(outcome) +
           (lines.empty() ? " without any attributes\n " : " with\n " + lines);
}
