// The driver's command table: its own commands, filled by their static registrars, and the
// program's commands that have a driver name.
#include "tests/driver/DriverCommands.h"

#include <cstdint>
#include <cstdio>
#include <map>

#include "app/CommandTable.h"
#include "tests/support/ScriptedUi.h"

namespace {
std::map<std::string, DriverCommandInfo>& Table() {
    static std::map<std::string, DriverCommandInfo> table;
    return table;
}

// How many arguments a command of the program's table takes, and how the usage names them.
struct ArgumentRule {
    const char* usage;
    size_t least, most;
    const char* takes;
};

ArgumentRule RuleOf(CommandArgument argument) {
    switch (argument) {
        case CommandArgument::None:
            break;
        case CommandArgument::NewDatabasePath:
        case CommandArgument::DatabasePath:
            return {"PATH", 1, 1, "one PATH"};
        case CommandArgument::Files:
            return {"PATH...", 1, SIZE_MAX, "one PATH or more"};
    }
    return {"", 0, 0, "no arguments"};
}

// The driver's own commands, then those of the program's table that have a driver name.
const std::map<std::string, DriverCommandInfo>& AllCommands() {
    static const std::map<std::string, DriverCommandInfo> all = [] {
        std::map<std::string, DriverCommandInfo> made = Table();
        for (const Command& command : Commands()) {
            if (*command.driverName == '\0')
                continue;
            DriverCommandInfo info;
            info.table = &command;
            info.needs = command.when == CommandWhen::Database ? DriverNeeds::Database
                                                               : DriverNeeds::Session;
            info.usage = RuleOf(command.argument).usage;
            made.emplace(command.driverName, info);
        }
        return made;
    }();
    return all;
}

}  // namespace

DriverCommandRegistrar::DriverCommandRegistrar(const char* name, DriverCommand run,
                                               DriverNeeds needs, const char* usage) {
    DriverCommandInfo info;
    info.run = run;
    info.needs = needs;
    info.usage = usage;
    Table()[name] = info;
}

const DriverCommandInfo* FindDriverCommand(const std::string& name) {
    const auto it = AllCommands().find(name);
    return it == AllCommands().end() ? nullptr : &it->second;
}

int RunDriverCommand(const DriverCommandInfo& command, DriverContext& ctx) {
    if (command.table == nullptr)
        return command.run(ctx);
    const ArgumentRule rule = RuleOf(command.table->argument);
    if (ctx.args.size() < rule.least || ctx.args.size() > rule.most)
        return DriverUsageError(std::string(command.table->driverName) + " takes " + rule.takes);
    CommandContext context{ctx.frame, ctx.noDatabaseView, ctx.list, ctx.args};
    command.table->run(context);
    return 0;
}

std::vector<std::string> DriverCommandUsages() {
    std::vector<std::string> usages;
    for (const auto& [name, info] : AllCommands())
        usages.push_back(info.usage.empty() ? name : name + " " + info.usage);
    return usages;
}

int DriverUsageError(const std::string& message) {
    std::fprintf(stderr, "quillstead-driver: %s\n", message.c_str());
    return 2;
}

void DriverPrint(DriverContext& ctx, const std::string& jsonLine) {
    ctx.ui.Emit(jsonLine);
}
