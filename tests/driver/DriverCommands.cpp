// The driver's command table, filled by the commands' static registrars.
#include "tests/driver/DriverCommands.h"

#include <cstdio>
#include <map>

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

const DriverCommandInfo* FindDriverCommand(const std::string& name) {
    const auto it = Table().find(name);
    return it == Table().end() ? nullptr : &it->second;
}

std::vector<std::string> DriverCommandUsages() {
    std::vector<std::string> usages;
    for (const auto& entry : Table()) {
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
