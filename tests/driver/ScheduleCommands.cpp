// The driver's commands on the checking schedule: schedule-add and schedule-remove (the
// changes the "Scheduled Checking" dialog makes), schedule-list (the scheduled databases in
// their order) and schedule-tick (scheduled checking started from the settings, then one
// tick of timer 10, whose checks take their answers from the script as `check` does).
#include <cstdio>

#include "app/NoDatabaseView.h"
#include "schedule/ScheduleEdits.h"
#include "tests/driver/DriverCommands.h"
#include "tests/support/Json.h"
#include "tests/support/ScriptedUi.h"

namespace {

int ScheduleAdd(DriverContext& ctx) {
    if (ctx.args.size() != 1)
        return DriverUsageError("schedule-add takes one PATH");
    AddToSchedule(ctx.frame, ctx.args[0]);
    return 0;
}

int ScheduleRemove(DriverContext& ctx) {
    if (ctx.args.size() != 1)
        return DriverUsageError("schedule-remove takes one PATH");
    RemoveFromSchedule(ctx.frame, ctx.args[0]);
    return 0;
}

int ScheduleList(DriverContext& ctx) {
    if (!ctx.args.empty())
        return DriverUsageError("schedule-list takes no arguments");
    for (const std::string& path : ScheduledDatabases(ctx.frame))
        DriverPrint(ctx, "{\"scheduled\":" + JsonString(path) + "}");
    return 0;
}

int ScheduleTick(DriverContext& ctx) {
    if (!ctx.args.empty())
        return DriverUsageError("schedule-tick takes no arguments");
    if (ctx.list)
        return DriverUsageError("schedule-tick runs without --database");
    ctx.noDatabaseView.OnStartScheduledChecking();
    if (!ctx.ui.Tick(10))
        std::fprintf(stderr,
                     "quillstead-driver: scheduled checking did not start (Config11 is not "
                     "\"P\" or the interval is under a second): no tick was delivered\n");
    return 0;
}

DriverCommandRegistrar scheduleAddCommand("schedule-add", &ScheduleAdd, DriverNeeds::Session,
                                          "PATH");
DriverCommandRegistrar scheduleRemoveCommand("schedule-remove", &ScheduleRemove,
                                             DriverNeeds::Session, "PATH");
DriverCommandRegistrar scheduleListCommand("schedule-list", &ScheduleList);
DriverCommandRegistrar scheduleTickCommand("schedule-tick", &ScheduleTick);

}  // namespace
