// The driver's `analyse PATH text|hex` command: one display of "File Analysis: " for the file
// in the open database, then every row of both lists as the README describes.
#include <string>

#include "app/MainFrame.h"
#include "check/FileAnalysisDlg.h"
#include "tests/driver/DriverCommands.h"
#include "tests/support/Json.h"
#include "tests/support/ScriptedUi.h"

namespace {

// Rows are printed as they are made; the seam keeps no record of them.
void PrintRows(DriverContext& ctx, const char* name, const AnalysisList& list) {
    for (uint64_t row = 0; row < list.RowCount(); ++row) {
        std::string line = std::string("{\"list\":\"") + name +
                           "\",\"offset\":" + JsonString(list.CellText(row, 0)) + ",\"texts\":[";
        for (size_t column = 1; column < list.Columns().size(); ++column)
            line += (column > 1 ? "," : "") + JsonString(list.CellText(row, column));
        const int icon = list.RowIcon(row);
        line += "],\"icon\":" + (icon < 0 ? std::string("null") : std::to_string(icon)) + "}";
        DriverPrint(ctx, line);
        ctx.ui.ClearEvents();
    }
}

int Analyse(DriverContext& ctx) {
    if (ctx.args.size() != 2 || (ctx.args[1] != "text" && ctx.args[1] != "hex"))
        return DriverUsageError("analyse takes a PATH and text or hex");
    ctx.frame.m_analysisPath = ctx.args[0];
    CFileAnalysisDlg dialog(ctx.frame);
    dialog.OnInitDialog();
    dialog.OnCommand(ctx.args[1] == "hex" ? CFileAnalysisDlg::IDC_HEX_DISPLAY
                                          : CFileAnalysisDlg::IDC_TEXT_DISPLAY);
    PrintRows(ctx, "backup", dialog.m_backupList);
    PrintRows(ctx, "current", dialog.m_currentList);
    return 0;
}

DriverCommandRegistrar analyseCommand("analyse", &Analyse, DriverNeeds::Database, "PATH text|hex");

}  // namespace
