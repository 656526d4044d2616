// OnAddByContents: the pre-scan, then the walk-and-add loop with the contents criterion, and
// the command's three closing texts.
#include "add/AddByContents.h"

#include "add/WalkAddMessages.h"
#include "add/WalkAddRun.h"
#include "criteria/ContentsCriterion.h"
#include "database/ListView.h"

void CListview::OnAddByContents() {
    AddByContents command;
    WalkAddRun run(*this, command);
    run.Run();
}

void AddByContents::Prescan(CListview& view, Settings& settings) {
    view.PrescanAddByContents(settings);
}

std::unique_ptr<Criterion> AddByContents::MakeCriterion(CListview& view) {
    ContentsQuery query = ContentsQuery::FromView(view);
    m_pattern = query.pattern;
    return std::make_unique<ContentsCriterion>(std::move(query));
}

std::string AddByContents::Clauses(const WalkAddOutcome& outcome) const {
    std::string text;
    if (!outcome.allDrives)
        text += " located in " + outcome.location;
    return text + "\n\n -Containing text: \"" + m_pattern + "\"";
}

std::string AddByContents::AddedText(const WalkAddOutcome& outcome) const {
    std::string text =
        FilesText(outcome.added) + Clauses(outcome) + "\n\n successfully added to the database.";
    if (outcome.listed > 0)
        text += "\n\n" + FilesText(outcome.listed) + " listed previously.";
    return text;
}

std::string AddByContents::NoneText(const WalkAddOutcome& outcome) const {
    return "There are no files" + Clauses(outcome);
}

std::string AddByContents::AllListedText(const WalkAddOutcome& outcome) const {
    return "All files" + Clauses(outcome) + "\n\n previously listed.";
}
