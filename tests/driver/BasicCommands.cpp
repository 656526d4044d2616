// The driver's own commands: setup (the first start's work, and drive links) and list (the
// open database's records). The program's commands come from its command table.
#include <filesystem>
#include <stdexcept>
#include <string>

#include "database/ListView.h"
#include "platform/Prefix.h"
#include "tests/driver/DriverCommands.h"
#include "tests/support/Json.h"

namespace {

int Setup(DriverContext& ctx) {
    std::vector<std::pair<char, std::string>> drives;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        if (ctx.args[i] != "--drive" || i + 1 >= ctx.args.size())
            return DriverUsageError("setup takes only --drive X=HOSTDIR");
        const std::string& link = ctx.args[++i];
        const char letter = link.empty() ? '\0' : link[0];
        const bool isLetter = (letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z');
        if (!isLetter || link.size() < 3 || link[1] != '=')
            return DriverUsageError("--drive takes X=HOSTDIR, not " + link);
        drives.emplace_back(letter, std::filesystem::absolute(link.substr(2)).string());
    }
    platform::FirstStartSetup();
    for (const auto& drive : drives) {
        if (!platform::SetDriveLink(drive.first, drive.second))
            throw std::runtime_error(std::string("cannot link drive ") + drive.first + ": to " +
                                     drive.second);
    }
    return 0;
}

int List(DriverContext& ctx) {
    if (!ctx.args.empty())
        return DriverUsageError("list takes no arguments");
    for (const FileRecord& r : ctx.list->m_records) {
        std::string line = "{\"record\":[";
        const std::string* fields[] = {&r.path,         &r.digest,        &r.size,
                                       &r.attributes,   &r.lastWriteHigh, &r.lastWriteLow,
                                       &r.creationHigh, &r.creationLow};
        for (size_t k = 0; k < 8; ++k) line += (k ? "," : "") + JsonString(*fields[k]);
        DriverPrint(ctx, line + "]}");
    }
    return 0;
}

DriverCommandRegistrar setupCommand("setup", &Setup, DriverNeeds::Prefix, "[--drive X=HOSTDIR]...");
DriverCommandRegistrar listCommand("list", &List, DriverNeeds::Database);

}  // namespace
