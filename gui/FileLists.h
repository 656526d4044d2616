// File lists from the desktop: the clipboard's files and dropped files arrive as host paths
// (or as text/uri-list, as GTK file managers put them); the commands take Windows paths. A
// host path takes the drive whose link is its longest prefix; a path no drive covers is
// left out, and the user is told.
#pragma once

#include <string>
#include <vector>

#include "platform/Ui.h"

// The host paths of the file:// URIs of a text/uri-list (lines "file:///a%20b", comments
// starting with '#', CR LF or LF); "file://localhost/" is the local host too; other
// schemes and hosts are left out. In the GNOME form the first line ("copy" or "cut") is
// not a URI and is left out as well.
std::vector<std::string> ParseUriList(const std::string& text);

// What is said of a path that no drive covers.
std::string UncoveredPathMessage(const std::string& hostPath);

// The Windows paths of host paths, in their order; each path no drive covers is reported
// with UncoveredPathMessage (exclamation icon) and left out.
std::vector<std::string> WindowsPathsOf(const std::vector<std::string>& hostPaths);

// The Windows path of a file or folder the user chose in a file dialog; when no drive covers
// it, the user is told how to link one (exclamation icon) and false is returned.
bool WindowsPathOfChoice(const std::string& hostPath, std::string& winPath);

// The clipboard's files as host paths.
IUserInterface::ClipboardState ReadClipboardFiles(std::vector<std::string>& hostPaths);
