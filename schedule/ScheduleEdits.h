// What the user does to the checking schedule, shared by the "Scheduled Checking" dialog and
// the driver: the databases of the "Database Index" and of the schedule read for a choice,
// and a database put into the schedule or taken out of it, each change stored at once. A
// refused change says why in a message box; a setting that cannot be read shows
// "Registry error.".
#pragma once

#include <string>
#include <vector>

class CMainFrame;

// The databases of the "Database Index", in its order.
std::vector<std::string> IndexedDatabases(CMainFrame& frame);
// The databases of the "Database Checking Schedule", in its order; empty when the
// schedule's folder cannot be read from the settings.
std::vector<std::string> ScheduledDatabases(CMainFrame& frame);

// A database of the "Database Index" into the schedule, with the interval and the mode the
// settings hold now. True when it was added.
bool AddToSchedule(CMainFrame& frame, const std::string& databasePath);
// A scheduled database out of the schedule. True when it was taken out.
bool RemoveFromSchedule(CMainFrame& frame, const std::string& databasePath);
