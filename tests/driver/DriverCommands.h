// The headless driver's commands. Each command lives in its own file and registers itself
// with a static DriverCommandRegistrar, so a new command needs no change here or in the
// driver's main:
//
//   static int Drop(DriverContext& ctx) { ...; return 0; }
//   static DriverCommandRegistrar dropCommand("drop", &Drop, DriverNeeds::Database);
//
// A command returns the driver's exit status: 0 when it ran (whatever it reported), 2 for
// a usage error (DriverUsageError prints the message). It runs inside RunCommand, so a file
// exception that escapes it is reported as the framework reports it.
#pragma once

#include <string>
#include <vector>

class ScriptedUi;
class CMainFrame;
class CCNoflview;
class CListview;

struct DriverContext {
    ScriptedUi& ui;
    CMainFrame& frame;
    CCNoflview& noDatabaseView;
    CListview* list;                // the open database's view; null without --database
    std::vector<std::string> args;  // the command's arguments
};

using DriverCommand = int (*)(DriverContext&);

// What a command needs before it runs.
enum class DriverNeeds {
    Prefix,    // only the prefix (no password asked): set-up work
    Session,   // the password accepted; the list view when --database is given
    Database,  // as Session, and --database is required
};

struct Command;

struct DriverCommandInfo {
    DriverCommand run = nullptr;
    const Command* table = nullptr;  // a command of the program's table (run is then null)
    DriverNeeds needs = DriverNeeds::Session;
    std::string usage;  // the arguments, for the usage text ("PATH")
};

class DriverCommandRegistrar {
  public:
    DriverCommandRegistrar(const char* name, DriverCommand run,
                           DriverNeeds needs = DriverNeeds::Session, const char* usage = "");
};

// The command of that name: the driver's own, or one of the program's command table that has
// a driver name (its arguments checked by what it needs); nullptr when none.
const DriverCommandInfo* FindDriverCommand(const std::string& name);
// Runs the command; returns the exit status.
int RunDriverCommand(const DriverCommandInfo& command, DriverContext& ctx);
// Every command as "name usage", sorted by name.
std::vector<std::string> DriverCommandUsages();

// Prints "quillstead-driver: <message>" on standard error and returns 2.
int DriverUsageError(const std::string& message);
// Prints a JSON line of the driver's own (not an event of the seam) and records it.
void DriverPrint(DriverContext& ctx, const std::string& jsonLine);
