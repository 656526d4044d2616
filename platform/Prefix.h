// The program's own state lives in one folder, the prefix: $QUILLSTEAD_PREFIX, by default
// $XDG_DATA_HOME/quillstead (~/.local/share/quillstead). This file owns where it is and
// the first start's work on it: the registry's default values, the drive links and the
// install folder with its "Backup Files", "Changed Files" and "Checking Schedule" folders.
// Set-up never overwrites a value or a link that exists.
#pragma once

#include <string>

namespace platform {

// The prefix's host path: absolute, with no trailing slash. A relative prefix (given here or
// in $QUILLSTEAD_PREFIX) is resolved against the current folder once, when it is set or
// first asked for, so a later change of the current folder does not move it.
std::string PrefixRoot();
// Points the program at another prefix (the driver's --prefix, tests).
void SetPrefixRoot(const std::string& hostDir);

// Makes the prefix's folder (and the folders above it) when missing, each its owner's alone;
// false with errno set when it cannot be made.
bool MakePrefixFolder();

// Host paths inside the prefix.
std::string RegistryFilePath();  // <prefix>/user.reg
std::string DosDevicesDir();     // <prefix>/dosdevices

// The first start's work; run on every start, it only adds what is missing (a damaged
// registry file gets nothing: RegistryDamage says what is wrong with it). Throws
// std::runtime_error with a clear message when the prefix cannot be made or the registry
// file cannot be replaced.
void FirstStartSetup();

// Makes or replaces the link of drive `letter` (a-z, either case) to `hostDir`.
bool SetDriveLink(char letter, const std::string& hostDir);

}  // namespace platform
