// The driver's add commands on the open database: drop (the given files dropped on the list,
// in their order) and paste (the files of the clipboard, which the script's
// {"clipboard":[...]} line fills). Both print what the commands show.
#include "database/ListView.h"
#include "tests/driver/DriverCommands.h"

namespace {

int Drop(DriverContext& ctx) {
    if (ctx.args.empty())
        return DriverUsageError("drop takes one PATH or more");
    ctx.list->OnDropFiles(ctx.args);
    return 0;
}

int Paste(DriverContext& ctx) {
    if (!ctx.args.empty())
        return DriverUsageError("paste takes no arguments");
    ctx.list->OnPasteFiles();
    return 0;
}

DriverCommandRegistrar dropCommand("drop", &Drop, DriverNeeds::Database, "PATH...");
DriverCommandRegistrar pasteCommand("paste", &Paste, DriverNeeds::Database);

}  // namespace
