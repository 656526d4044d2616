// The small Windows vocabulary the program is written in: FILETIME and SYSTEMTIME,
// the attribute bits of the Windows file system, colours, dialog results and the
// stand-in for an icon handle. Plain data only; the conversions live in Clock.h.
#pragma once

#include <cstdint>
#include <string>

struct FILETIME {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};

inline uint64_t FileTimeToU64(const FILETIME& ft) {
    return (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
inline FILETIME U64ToFileTime(uint64_t v) {
    FILETIME ft;
    ft.dwLowDateTime = uint32_t(v);
    ft.dwHighDateTime = uint32_t(v >> 32);
    return ft;
}

struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

// Attribute bits of a file's 32-bit attribute word.
enum : uint32_t {
    FILE_ATTRIBUTE_READONLY = 0x01,
    FILE_ATTRIBUTE_HIDDEN = 0x02,
    FILE_ATTRIBUTE_SYSTEM = 0x04,
    FILE_ATTRIBUTE_DIRECTORY = 0x10,
    FILE_ATTRIBUTE_ARCHIVE = 0x20,
    FILE_ATTRIBUTE_NORMAL = 0x80,
    FILE_ATTRIBUTE_TEMPORARY = 0x100,
    FILE_ATTRIBUTE_REPARSE_POINT = 0x400,
    FILE_ATTRIBUTE_COMPRESSED = 0x800,
    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED = 0x2000,
    FILE_ATTRIBUTE_ENCRYPTED = 0x4000,
};

// COLORREF is 0x00BBGGRR.
using COLORREF = uint32_t;
constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}

// Dialog results.
enum { IDOK = 1, IDCANCEL = 2 };

// The stand-in for an icon handle: one of the program's icon resources, a themed
// icon named by the desktop's icon theme (a file type's icon), or a file's own icon.
struct Icon {
    int resource = 0;       // icon resource id (128, 370, 371, 373, ...), 0 if none
    std::string themeName;  // freedesktop icon name, empty if none
    std::string file;       // Windows-style path of a file whose own icon is meant
    int index = 0;          // icon index within `file`

    bool IsNull() const { return resource == 0 && themeName.empty() && file.empty(); }
    static Icon Resource(int id) {
        Icon i;
        i.resource = id;
        return i;
    }
    bool operator==(const Icon& o) const {
        return resource == o.resource && themeName == o.themeName && file == o.file &&
               index == o.index;
    }
};
