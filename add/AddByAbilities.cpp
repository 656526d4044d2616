// OnAddByAbilities: the pre-scan, then the walk-and-add loop with the abilities criterion,
// and the clauses of the command's closing texts.
#include "add/AddByCriteria.h"
#include "add/WalkAddRun.h"
#include "database/ListView.h"

namespace {
const WalkAddWording kWording{"There are no files", "All files", " were previously listed.", true,
                              " Bytes"};
}  // namespace

void CListview::OnAddByAbilities() {
    AddByAbilities command;
    WalkAddRun run(*this, command);
    run.Run();
}

AddByAbilities::AddByAbilities() : WalkAddCommand(kWording) {}

void AddByAbilities::Prescan(CListview& view, Settings& settings) {
    view.PrescanAddByAbilities(settings);
}

std::unique_ptr<Criterion> AddByAbilities::MakeCriterion(CListview& view) {
    m_abilities = Abilities::FromView(view);
    return std::make_unique<AbilitiesCriterion>(m_abilities);
}

std::string AddByAbilities::Clauses(const WalkAddOutcome& outcome) const {
    std::string text = outcome.allDrives ? std::string() : LocationClause(outcome) + " with";
    if (m_abilities.network)
        text += "\n\n -Communication abilities";
    if (m_abilities.coreOs)
        text += "\n\n -Core operating system functionality";
    if (m_abilities.cookies)
        text += "\n\n -Cookies.";
    return text;
}
