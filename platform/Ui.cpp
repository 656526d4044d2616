// The seam in use, the framework's running of a command (a file exception that escapes it
// ends the command and is reported), and the modal run of a dialog model through the seam.
#include "platform/Ui.h"

#include <cstdio>
#include <cstdlib>

#include "platform/Dialog.h"
#include "platform/FileException.h"

namespace {

IUserInterface* g_ui = nullptr;

}  // namespace

IUserInterface& Ui() {
    if (!g_ui) {
        std::fputs("Quillstead: no user interface has been installed (SetUi).\n", stderr);
        std::abort();
    }
    return *g_ui;
}

void SetUi(IUserInterface* ui) {
    g_ui = ui;
}

bool RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const CFileException& e) {
        Ui().ReportFileException(e);
        return false;
    }
}

int CDialog::DoModal() {
    return Ui().RunModal(*this);
}
