// The command ids of the menus, the toolbar, the accelerators and the list's right-click
// menu.
#pragma once

enum CommandId {
    ID_CHECK_ALL_FILES = 32774,    // "&Checking > Check All Files In The Open Database"
    ID_REMOVE_SELECTED = 32780,    // "Remove Selected Files" (right-click menu 247)
    ID_ADD_BY_ATTRIBUTES = 32796,  // "&Add > According to Attributes"
    ID_ADD_BY_CONTENTS = 32818,    // "&Add > According to Contents"
    ID_ADD_BY_ABILITIES = 32820,   // "&Add > According to Abilities / Functionality"
    ID_PASTE_FILES = 32828,        // "&Add > Paste Files into the Database"
    ID_EDIT_PASTE = 57637,         // Ctrl+V and Shift+Insert
    ID_CREATE_DATABASE = 33001,
    ID_OPEN_DATABASE = 33002,
    ID_CLOSE_DATABASE = 33003,
    ID_SCHEDULED_CHECKING = 33004,  // "&Checking > Scheduled Checking..." (no database open)
};

// The window id of a command: wx keeps menu ids below 32767, so each command has its own
// id in 20000..29999 (the command id's last four digits above 20000).
constexpr int MenuId(int command) {
    return 20000 + command % 10000;
}
// The command of a window id; wx's own ids (Exit) stay as they are.
constexpr int CommandOfMenuId(int menuId) {
    if (menuId < 20000 || menuId >= 30000)
        return menuId;
    const int low = menuId - 20000;
    return low == ID_EDIT_PASTE % 10000 ? int(ID_EDIT_PASTE) : 30000 + low;
}

// The list's right-click menu.
constexpr int IDR_LIST_CONTEXT_MENU = 247;
