// The program's commands in one table: each command's id, where it shows (its menu and text),
// its name for the headless driver, when it is enabled, what it needs before it can run (a
// path, the dropped files), and the model's entry that runs it. The window builds its menus,
// toolbar, right-click menu and accelerators and routes its commands from it; the driver runs
// it by name. A new command is its own file and one line here.
#pragma once

#include <string>
#include <vector>

class CMainFrame;
class CCNoflview;
class CListview;

// When a command is enabled.
enum class CommandWhen {
    NoDatabase,  // on the view shown while no database is open
    Database,    // on the open database's list
    Never,       // shown, not built
};

// What a command needs before it runs; the window asks the user for it, the driver takes it
// from its command line.
enum class CommandArgument {
    None,
    NewDatabasePath,  // a database file to make
    DatabasePath,     // an existing database file
    Files,            // the files dropped on the list
};

struct CommandContext {
    CMainFrame& frame;
    CCNoflview& noDatabase;
    CListview* list;                // null while no database is open
    std::vector<std::string> args;  // the argument's values
};

struct Command {
    int id;
    const char* menu;        // "&File", "&Add", "&Checking"; "" for none
    const char* text;        // the menu item's text
    const char* driverName;  // "" when the driver has no such command
    CommandWhen when;
    CommandArgument argument;
    bool separatorBefore;  // its menu draws a line above it
    // Runs the command on its model; null for the window's own commands (open and close a
    // database), which switch its views.
    void (*run)(CommandContext&);
};

enum CommandId {
    ID_CHECK_ALL_FILES = 32774,
    ID_REMOVE_SELECTED = 32780,
    ID_ADD_BY_ATTRIBUTES = 32796,
    ID_ADD_BY_CONTENTS = 32818,
    ID_ADD_BY_ABILITIES = 32820,
    ID_PASTE_FILES = 32828,
    ID_EDIT_PASTE = 57637,   // Ctrl+V and Shift+Insert
    ID_DROP_FILES = 0x0233,  // WM_DROPFILES
    ID_CREATE_DATABASE = 33001,
    ID_OPEN_DATABASE = 33002,
    ID_CLOSE_DATABASE = 33003,
    ID_SCHEDULED_CHECKING = 33004,
};

// Every command, in the order of their menus.
const std::vector<Command>& Commands();
const Command* FindCommand(int id);
const Command* FindCommandByDriverName(const std::string& name);
