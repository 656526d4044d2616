// The driver's add-by-criteria commands on the open database: add-by-attributes runs
// "&Add > According to Attributes"; the script answers its dialog
// ({"dialog":"CAddByAttributesDlg","set":{"m_critLocation":T,"m_critNotifyIfListed":0|1,
// "m_critAttributes":[13 ints]}}), the searching and adding dialogs' Cancel
// ({"cancel_at_poll":N,"progress":"CSearchProgressDlg"}) and the message boxes.
#include "database/ListView.h"
#include "tests/driver/DriverCommands.h"

namespace {

int AddByAttributes(DriverContext& ctx) {
    if (!ctx.args.empty())
        return DriverUsageError("add-by-attributes takes no arguments");
    ctx.list->OnAddByAttributes();
    return 0;
}

DriverCommandRegistrar addByAttributesCommand("add-by-attributes", &AddByAttributes,
                                              DriverNeeds::Database);

}  // namespace
