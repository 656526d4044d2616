// The shared part of the add-by-criteria dialogs.
#include "criteria/CriteriaDlg.h"

#include <cctype>

#include "criteria/CriteriaTexts.h"
#include "database/ListView.h"
#include "platform/Drives.h"
#include "platform/FileSystems.h"

void CCriteriaDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_LOCATION, "m_critLocation", m_critLocation);
    dx.Int(IDC_NOTIFY_IF_LISTED, "m_critNotifyIfListed", m_critNotifyIfListed);
}

void CCriteriaDlg::TakeHostLocation() {
    if (m_critLocation.empty() || m_critLocation[0] != '/')
        return;
    std::string location = "Z:";
    for (char c : m_critLocation) {
        if (c != '/')
            location += c;
        else if (location.back() != '\\')
            location += '\\';
    }
    if (location.size() > 3 && location.back() == '\\')
        location.pop_back();
    m_critLocation = location;
}

std::string CCriteriaDlg::LocationRefusal() const {
    const std::string& location = m_critLocation;
    if (location.empty())
        return NoLocationText();
    if (location == "*")
        return std::string();
    const bool drivePath = location.size() >= 3 &&
                           std::isalpha(static_cast<unsigned char>(location[0])) &&
                           location[1] == ':' && location[2] == '\\';
    if (!drivePath &&
        !(location.size() == 2 && std::isalpha(static_cast<unsigned char>(location[0])) &&
          location[1] == ':'))
        return NotAFullFolderText(location);
    if (platform::GetDriveType(location) == platform::DRIVE_NO_ROOT_DIR)
        return NoSuchDriveText(location);
    const std::string folder = location.back() == '\\' ? location : location + "\\";
    if (!platform::CanSearchFolder(folder))
        return NotASearchableFolderText(location);
    return std::string();
}

void CCriteriaDlg::HandOver(CListview& view) const {
    view.m_critLocation = m_critLocation;
    view.m_critNotifyIfListed = m_critNotifyIfListed;
}
