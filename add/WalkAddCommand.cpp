// The closing texts every add-by-criteria command makes around its own clauses.
#include "add/WalkAddCommand.h"

#include "add/WalkAddMessages.h"

std::string WalkAddCommand::AddedText(const WalkAddOutcome& outcome) const {
    std::string text =
        FilesText(outcome.added) + Clauses(outcome) + "\n\n successfully added to the database.";
    if (outcome.listed > 0)
        text += "\n\n" + FilesText(outcome.listed) + " listed previously.";
    return text;
}

std::string WalkAddCommand::NoneText(const WalkAddOutcome& outcome) const {
    return m_wording.noneLead + Clauses(outcome);
}

std::string WalkAddCommand::AllListedText(const WalkAddOutcome& outcome) const {
    return m_wording.allListedLead + Clauses(outcome) + m_wording.allListedTail;
}

std::string WalkAddCommand::LocationClause(const WalkAddOutcome& outcome) {
    return outcome.allDrives ? std::string() : " located in " + outcome.location;
}
