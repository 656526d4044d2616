// Texts between the core and wx. The core's texts are bytes: paths of the host are UTF-8,
// so a text is shown as UTF-8 when it is valid UTF-8 and byte for byte (Latin-1) when it is
// not. Host file names coming from wx are taken back as the exact bytes of the file system.
#pragma once

#include <wx/string.h>

#include <string>

inline wxString ToWx(const std::string& text) {
    if (text.empty())
        return wxString();
    wxString shown = wxString::FromUTF8(text.data(), text.size());
    if (shown.empty())
        shown = wxString(text.data(), wxConvISO8859_1, text.size());
    return shown;
}

inline std::string FromWx(const wxString& text) {
    const wxScopedCharBuffer bytes = text.utf8_str();
    return std::string(bytes.data(), bytes.length());
}

// The bytes of a host file name as the file system holds them.
inline std::string HostBytes(const wxString& fileName) {
    const wxScopedCharBuffer bytes = fileName.fn_str();
    return std::string(bytes.data(), bytes.length());
}
