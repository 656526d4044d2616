// OnAddByAbilities: the pre-scan, then the walk-and-add loop with the abilities criterion,
// and the command's three closing texts.
#include "add/AddByAbilities.h"

#include "add/WalkAddMessages.h"
#include "add/WalkAddRun.h"
#include "database/ListView.h"

void CListview::OnAddByAbilities() {
    AddByAbilities command;
    WalkAddRun run(*this, command);
    run.Run();
}

void AddByAbilities::Prescan(CListview& view, Settings& settings) {
    view.PrescanAddByAbilities(settings);
}

std::unique_ptr<Criterion> AddByAbilities::MakeCriterion(CListview& view) {
    m_abilities = Abilities::FromView(view);
    return std::make_unique<AbilitiesCriterion>(m_abilities);
}

std::string AddByAbilities::Clauses(const WalkAddOutcome& outcome) const {
    std::string text;
    if (!outcome.allDrives)
        text += " located in " + outcome.location + " with";
    if (m_abilities.network)
        text += "\n\n -Communication abilities";
    if (m_abilities.coreOs)
        text += "\n\n -Core operating system functionality";
    if (m_abilities.cookies)
        text += "\n\n -Cookies.";
    return text;
}

std::string AddByAbilities::AddedText(const WalkAddOutcome& outcome) const {
    std::string text =
        FilesText(outcome.added) + Clauses(outcome) + "\n\n successfully added to the database.";
    if (outcome.listed > 0)
        text += "\n\n" + FilesText(outcome.listed) + " listed previously.";
    return text;
}

std::string AddByAbilities::NoneText(const WalkAddOutcome& outcome) const {
    return "There are no files" + Clauses(outcome);
}

std::string AddByAbilities::AllListedText(const WalkAddOutcome& outcome) const {
    return "All files" + Clauses(outcome) + " were previously listed.";
}
