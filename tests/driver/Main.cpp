// The headless driver: runs one of the program's commands in a prefix with the scripted
// seam, printing every event as one JSON line on standard output.
//   quillstead-driver [--prefix DIR] [--password TEXT] [--database PATH] [--script FILE]
//                     COMMAND [ARG...]
// Exit status: 0 the command ran, 2 usage error, 3 password refused, 1 anything else (a
// damaged "Database Index" or a prefix in use by another program among them).
#include <cstdio>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/NoDatabaseView.h"
#include "app/ProtectedStore.h"
#include "app/StartUp.h"
#include "database/ListView.h"
#include "platform/InstanceLock.h"
#include "platform/Prefix.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"
#include "storage/PasswordCheck.h"
#include "tests/driver/DriverCommands.h"
#include "tests/support/Json.h"
#include "tests/support/ScriptedUi.h"

namespace {

// The password screen as the driver answers it: --password at every typing (a first password
// is given once and stands for both), a refusal printed and the run ended with status 3, a
// damaged index printed and said on standard error.
class DriverPrompt : public PasswordPrompt {
  public:
    DriverPrompt(ScriptedUi& ui, std::string password)
        : m_ui(ui), m_password(std::move(password)) {}
    bool Type(std::string& password, bool) override {
        password = m_password;
        return true;
    }
    bool Refused() override {
        m_ui.Emit("{\"event\":\"password-refused\"}");
        refused = true;
        return false;
    }
    bool TypingsDiffer() override { return false; }
    void IndexDamaged(const std::string& indexPath) override {
        m_ui.Emit("{\"event\":\"index-damaged\",\"file\":" + JsonString(indexPath) + "}");
        std::fprintf(stderr, "quillstead-driver: %s\n", IndexDamagedText(indexPath).c_str());
    }
    bool refused = false;

  private:
    ScriptedUi& m_ui;
    std::string m_password;
};

struct Options {
    bool hasPrefix = false, hasDatabase = false;
    std::string prefix, password, database, script, command;
    std::vector<std::string> args;
};

int Usage(const std::string& problem) {
    std::string text = problem +
                       "\nusage: quillstead-driver [--prefix DIR] [--password TEXT] "
                       "[--database PATH] [--script FILE] COMMAND [ARG...]\ncommands:";
    for (const std::string& usage : DriverCommandUsages()) text += "\n  " + usage;
    return DriverUsageError(text);
}

// Reads the options; returns 0 when they are good, else the exit status.
int ParseOptions(int argc, char** argv, Options& o) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.compare(0, 2, "--") != 0)
            break;
        if (i + 1 >= argc)
            return Usage(arg + " needs a value");
        const std::string value = argv[++i];
        if (arg == "--prefix") {
            o.prefix = value;
            o.hasPrefix = true;
        } else if (arg == "--password") {
            o.password = value;
        } else if (arg == "--database") {
            o.database = value;
            o.hasDatabase = true;
        } else if (arg == "--script") {
            o.script = value;
        } else {
            return Usage("unknown option " + arg);
        }
    }
    if (i >= argc)
        return Usage("no command");
    o.command = argv[i++];
    for (; i < argc; ++i) o.args.push_back(argv[i]);
    return 0;
}

int Run(int argc, char** argv) {
    Options o;
    if (const int status = ParseOptions(argc, argv, o))
        return status;
    const DriverCommandInfo* command = FindDriverCommand(o.command);
    if (!command)
        return Usage("unknown command " + o.command);
    if (command->needs == DriverNeeds::Database && !o.hasDatabase)
        return Usage(o.command + " needs --database");

    if (o.hasPrefix)
        platform::SetPrefixRoot(o.prefix);

    ScriptedUi ui;
    ui.onEvent = [](const std::string& line) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    };
    if (!o.script.empty()) {
        try {
            ui.LoadScriptFile(o.script);
        } catch (const std::invalid_argument& e) {
            return Usage(e.what());
        }
    }
    // One program per prefix, set-up included.
    platform::InstanceLock lock;
    std::string lockRefused;
    if (!lock.Acquire(lockRefused)) {
        std::fprintf(stderr, "quillstead-driver: %s\n", lockRefused.c_str());
        return 1;
    }
    SetUi(&ui);
    struct UiReset {
        ~UiReset() { SetUi(nullptr); }
    } uiReset;

    CMainFrame frame;
    CCNoflview noDatabaseView(frame);
    // A check that closes the main window runs the frame's close handler.
    ui.onCloseMainWindow = [&frame] { frame.OnClose(); };
    std::unique_ptr<CListview> list;
    DriverContext ctx{ui, frame, noDatabaseView, nullptr, o.args};

    if (command->needs != DriverNeeds::Prefix) {
        // The program's own start, the password screen answered with --password.
        DriverPrompt prompt(ui, o.password);
        std::unique_ptr<ProtectedStore> store = StartUp(prompt);
        if (!store)
            return prompt.refused ? 3 : 1;
        frame.SetStore(std::move(store));

        if (o.hasDatabase) {
            list = std::make_unique<CListview>(frame);
            bool opened = false;
            RunCommand([&] { opened = list->OpenDatabase(o.database); });
            // A database that could not be opened was reported; the command does not run.
            if (!opened)
                return 0;
            ctx.list = list.get();
        }
    }

    int status = 0;
    RunCommand([&] { status = RunDriverCommand(*command, ctx); });
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillstead-driver: %s\n", e.what());
        return 1;
    }
}
