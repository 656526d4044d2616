// The driver's command table, filled by the commands' static registrars.
#include "tests/driver/DriverCommands.h"

#include <cstdio>
#include <map>

#include "app/CommandTable.h"
#include "tests/support/ScriptedUi.h"

namespace {
std::map<std::string, DriverCommandInfo>& Table() {
    static std::map<std::string, DriverCommandInfo> table;
    return table;
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

namespace {

// The program's commands that have a driver name, as driver commands.
std::map<std::string, DriverCommandInfo>& ProgramCommands() {
    static std::map<std::string, DriverCommandInfo> commands = [] {
        std::map<std::string, DriverCommandInfo> made;
        for (const Command& command : Commands()) {
            if (*command.driverName == '\0')
                continue;
            DriverCommandInfo info;
            info.table = &command;
            info.needs = command.when == CommandWhen::Database ? DriverNeeds::Database
                                                               : DriverNeeds::Session;
            switch (command.argument) {
                case CommandArgument::None:
                    break;
                case CommandArgument::NewDatabasePath:
                case CommandArgument::DatabasePath:
                    info.usage = "PATH";
                    break;
                case CommandArgument::Files:
                    info.usage = "PATH...";
                    break;
            }
            made[command.driverName] = info;
        }
        return made;
    }();
    return commands;
}

// The arguments a table command takes; an empty text when they are right.
std::string ArgumentProblem(const Command& command, size_t count) {
    const std::string name = command.driverName;
    switch (command.argument) {
        case CommandArgument::None:
            return count == 0 ? "" : name + " takes no arguments";
        case CommandArgument::NewDatabasePath:
        case CommandArgument::DatabasePath:
            return count == 1 ? "" : name + " takes one PATH";
        case CommandArgument::Files:
            return count >= 1 ? "" : name + " takes one PATH or more";
    }
    return "";
}

}  // namespace

const DriverCommandInfo* FindDriverCommand(const std::string& name) {
    const auto it = Table().find(name);
    if (it != Table().end())
        return &it->second;
    const auto program = ProgramCommands().find(name);
    return program == ProgramCommands().end() ? nullptr : &program->second;
}

int RunDriverCommand(const DriverCommandInfo& command, DriverContext& ctx) {
    if (command.table == nullptr)
        return command.run(ctx);
    const std::string problem = ArgumentProblem(*command.table, ctx.args.size());
    if (!problem.empty())
        return DriverUsageError(problem);
    CommandContext context{ctx.frame, ctx.noDatabaseView, ctx.list, ctx.args};
    command.table->run(context);
    return 0;
}

std::vector<std::string> DriverCommandUsages() {
    std::map<std::string, DriverCommandInfo> all = ProgramCommands();
    for (const auto& entry : Table()) all[entry.first] = entry.second;
    std::vector<std::string> usages;
    for (const auto& entry : all) {
        std::string line = entry.first;
        if (!entry.second.usage.empty())
            line += " " + entry.second.usage;
        usages.push_back(line);
    }
    return usages;
}

int DriverUsageError(const std::string& message) {
    std::fprintf(stderr, "quillstead-driver: %s\n", message.c_str());
    return 2;
}

void DriverPrint(DriverContext& ctx, const std::string& jsonLine) {
    ctx.ui.Emit(jsonLine);
}
