// The program's resources on disk (icons, the dialog picture, sounds, help pages), found
// below the resource folder, and the pictures of the seam's Icon: a resource of the program,
// a themed icon of the desktop's icon theme, or a file's own icon.
#pragma once

#include <wx/bitmap.h>

#include <string>

#include "platform/WinTypes.h"

// A file below the resource folder (QUILL_RES_DIR, the source tree's res/).
std::string ResourcePath(const std::string& relative);

// Bitmap resource <id> ("bitmaps/<id>.png"); a null bitmap when it is missing.
wxBitmap ResourceBitmap(int id);

// The picture of an icon at size x size pixels: a resource from "icons/<id>.png", a themed
// icon from the icon theme, a file's own icon as the theme's executable icon. A themed icon
// the theme lacks falls back to icon resource 373. A null Icon gives a null bitmap.
wxBitmap IconBitmap(const Icon& icon, int size = 32);
