// A file's type as the desktop knows it, answered from HKEY_CLASSES_ROOT: the icon of the
// type (the list view's file-type lookup and the check use the same rule) and the type's
// name.
#pragma once

#include <string>
#include <unordered_map>

#include "platform/WinTypes.h"

// The icon of the file's type:
//  - ".exe" and ".EXE" files show their own first icon;
//  - otherwise the location is the default value of "<ext>file\DefaultIcon" (ext without its
//    dot) when the key "<ext>file" exists, else of "<class>\DefaultIcon", where the class is
//    the default value of ".<ext>";
//  - a location is "<icon file or icon name>,<index>";
//  - no location (or no extension) gives icon resource 373.
Icon FileTypeIcon(const std::string& path);

// FileTypeIcon for the files of one command: each extension is looked up once (an ".exe"
// shows its own icon, so it is never kept).
class FileTypeIconCache {
  public:
    // Valid until the next call.
    const Icon& For(const std::string& path);

  private:
    std::unordered_map<std::string, Icon> m_byExtension;
    Icon m_own;  // an .exe's
};

// The type's description ("plain text document"); without one, the extension in capitals
// followed by " File" ("XYZ File"); a file without an extension is a "File".
std::string FileTypeName(const std::string& path);

// The extension of the path's last component, without its dot; empty when it has none.
std::string FileExtension(const std::string& path);
