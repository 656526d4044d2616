// The command table.
#include "app/CommandTable.h"

#include "app/NoDatabaseView.h"
#include "database/ListView.h"

namespace {

using W = CommandWhen;
using A = CommandArgument;

const std::vector<Command>& Table() {
    static const std::vector<Command> kCommands = {
        {ID_CREATE_DATABASE, "&File", "&New Database...", "create-database", W::NoDatabase,
         A::NewDatabasePath, false,
         [](CommandContext& c) { c.noDatabase.CreateDatabase(c.args.at(0)); }},
        {ID_OPEN_DATABASE, "&File", "&Open Database...", "", W::NoDatabase, A::DatabasePath, false,
         nullptr},
        {ID_CLOSE_DATABASE, "&File", "&Close Database", "", W::Database, A::None, false, nullptr},
        {ID_ADD_BY_ATTRIBUTES, "&Add", "According to Attributes", "add-by-attributes", W::Database,
         A::None, false, [](CommandContext& c) { c.list->OnAddByAttributes(); }},
        {ID_ADD_BY_CONTENTS, "&Add", "According to Contents", "add-by-contents", W::Database,
         A::None, false, [](CommandContext& c) { c.list->OnAddByContents(); }},
        {ID_ADD_BY_ABILITIES, "&Add", "According to Abilities / Functionality", "add-by-abilities",
         W::Database, A::None, false, [](CommandContext& c) { c.list->OnAddByAbilities(); }},
        {ID_PASTE_FILES, "&Add", "Paste Files into the Database", "paste", W::Database, A::None,
         true, [](CommandContext& c) { c.list->OnPasteFiles(); }},
        {ID_EDIT_PASTE, "", "Paste", "", W::Database, A::None, false,
         [](CommandContext& c) { c.list->OnPasteFiles(); }},
        {ID_DROP_FILES, "", "Drop", "drop", W::Database, A::Files, false,
         [](CommandContext& c) { c.list->OnDropFiles(c.args); }},
        {ID_REMOVE_SELECTED, "", "Remove Selected Files", "", W::Never, A::None, false, nullptr},
        {ID_CHECK_ALL_FILES, "&Checking", "Check All Files In The Open Database", "check",
         W::Database, A::None, false, [](CommandContext& c) { c.list->OnCheckAllFiles(); }},
        {ID_SCHEDULED_CHECKING, "&Checking", "Scheduled Checking...", "", W::NoDatabase, A::None,
         false, [](CommandContext& c) { c.noDatabase.OnScheduledChecking(); }},
    };
    return kCommands;
}

}  // namespace

const std::vector<Command>& Commands() {
    return Table();
}

const Command* FindCommand(int id) {
    for (const Command& command : Table())
        if (command.id == id)
            return &command;
    return nullptr;
}

const Command* FindCommandByDriverName(const std::string& name) {
    if (name.empty())
        return nullptr;
    for (const Command& command : Table())
        if (name == command.driverName)
            return &command;
    return nullptr;
}
