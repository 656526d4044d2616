// The window ids of the commands of app/CommandTable.h: wx keeps menu ids below 32767, so
// each command has its own id in 20000..29999 (the command id's last four digits above
// 20000), and the list's right-click menu's resource id.
#pragma once

#include "app/CommandTable.h"

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
