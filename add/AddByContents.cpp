// OnAddByContents: the pre-scan, then the walk-and-add loop with the contents criterion, and
// the clauses of the command's closing texts.
#include "add/AddByCriteria.h"
#include "add/WalkAddRun.h"
#include "criteria/ContentsCriterion.h"
#include "database/ListView.h"

namespace {
const WalkAddWording kWording{"There are no files", "All files", "\n\n previously listed.", true,
                              " Bytes"};
}  // namespace

void CListview::OnAddByContents() {
    AddByContents command;
    WalkAddRun run(*this, command);
    run.Run();
}

AddByContents::AddByContents() : WalkAddCommand(kWording) {}

void AddByContents::Prescan(CListview& view, Settings& settings) {
    view.PrescanAddByContents(settings);
}

std::unique_ptr<Criterion> AddByContents::MakeCriterion(CListview& view) {
    ContentsQuery query = ContentsQuery::FromView(view);
    m_pattern = query.pattern;
    return std::make_unique<ContentsCriterion>(std::move(query));
}

std::string AddByContents::Clauses(const WalkAddOutcome& outcome) const {
    return LocationClause(outcome) + "\n\n -Containing text: \"" + m_pattern + "\"";
}
