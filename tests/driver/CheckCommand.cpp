// The driver's `check` command: "Check All Files In The Open Database" on the database
// opened with --database. Every message box, dialog, sound and answer it prints comes from
// the scripted seam.
#include "database/ListView.h"
#include "tests/driver/DriverCommands.h"

namespace {

int Check(DriverContext& ctx) {
    if (!ctx.args.empty())
        return DriverUsageError("check takes no arguments");
    ctx.list->OnCheckAllFiles();
    return 0;
}

DriverCommandRegistrar checkCommand("check", &Check, DriverNeeds::Database);

}  // namespace
