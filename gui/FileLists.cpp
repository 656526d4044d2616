// Reading file lists: the URI-list parser, the host-to-Windows mapping with its message, and
// the clipboard, read as raw text/uri-list (what wx's file data and GTK file managers offer)
// or as GNOME's copied-files list.
#include "gui/FileLists.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include <cctype>

#include "platform/Drives.h"
#include "platform/Prefix.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower((unsigned char)text[i]) != prefix[i])
            return false;
    }
    return true;
}

bool ReadRaw(const wxDataFormat& format, std::string& text) {
    if (!wxTheClipboard->IsSupported(format))
        return false;
    wxCustomDataObject data(format);
    if (!wxTheClipboard->GetData(data))
        return false;
    text.assign(static_cast<const char*>(data.GetData()), data.GetSize());
    return true;
}

}  // namespace

std::vector<std::string> ParseUriList(const std::string& text) {
    std::vector<std::string> paths;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0')) line.pop_back();
        std::string rest;
        if (StartsWithNoCase(line, "file:///")) {
            rest = line.substr(7);
        } else if (StartsWithNoCase(line, "file://localhost/")) {
            rest = line.substr(16);
        } else {
            continue;  // a comment, another scheme or host, or GNOME's "copy" line
        }
        paths.push_back(PercentDecode(rest));
    }
    return paths;
}

std::string UncoveredPathMessage(const std::string& hostPath) {
    return hostPath +
           " is on no drive of Quillstead and was left out.\nTo use it, link a drive "
           "letter to its folder in " +
           platform::DosDevicesDir() + ".";
}

std::vector<std::string> WindowsPathsOf(const std::vector<std::string>& hostPaths) {
    std::vector<std::string> paths;
    for (const std::string& host : hostPaths) {
        if (auto windows = platform::WindowsPath(host)) {
            paths.push_back(*windows);
        } else {
            Ui().MessageBox(UncoveredPathMessage(host), MbIcon::Exclamation);
        }
    }
    return paths;
}

IUserInterface::ClipboardState ReadClipboardFiles(std::vector<std::string>& hostPaths) {
    hostPaths.clear();
    if (!wxTheClipboard->Open())
        return IUserInterface::ClipboardState::Unavailable;
    std::string text;
    bool found = ReadRaw(wxDataFormat(wxDF_FILENAME), text) ||
                 ReadRaw(wxDataFormat("text/uri-list"), text) ||
                 ReadRaw(wxDataFormat("x-special/gnome-copied-files"), text);
    wxTheClipboard->Close();
    if (found)
        hostPaths = ParseUriList(text);
    return hostPaths.empty() ? IUserInterface::ClipboardState::NoFiles
                             : IUserInterface::ClipboardState::Files;
}

bool WindowsPathOfChoice(const std::string& hostPath, std::string& winPath) {
    const auto windows = platform::WindowsPath(hostPath);
    if (!windows) {
        Ui().MessageBox(hostPath +
                            " is on no drive of Quillstead.\nTo use it, link a drive letter "
                            "to its folder in " +
                            platform::DosDevicesDir() + ".",
                        MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    winPath = *windows;
    return true;
}
