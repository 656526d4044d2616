// "Changed file details.": the fill from the record, the file's find data and its new
// digest, with the top line taken from the database's "Database Index" line and the file
// type and icon taken from the HKEY_CLASSES_ROOT keys of the path's extension.
#include <cstdlib>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "app/WorkFilesView.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckTexts.h"
#include "platform/File.h"
#include "platform/Registry.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

namespace {

enum { kNoTypeIcon = 373 };

// A default value under HKEY_CLASSES_ROOT; a failed read leaves `value` as it was.
bool ReadClassesRoot(const std::string& key, std::string& value) {
    std::string read;
    if (!platform::RegReadClassesRoot(key, read))
        return false;
    value = read;
    return true;
}

// The extension E of a path: the text after its last '.'. A path without one, a path whose
// only '.' is its first character, and a '.' that belongs to a folder name (before the last
// '\') give no extension.
bool PathExtension(const std::string& path, std::string& extension) {
    size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return false;
    if (dot == 0)
        return false;  // the only '.' is the first character
    size_t slash = path.rfind('\\');
    if (slash != std::string::npos && slash > dot)
        return false;
    extension = path.substr(dot + 1);
    return true;
}

// The icon of an icon location "<file>,<index>": the digits after the last ',' are the
// index. A file named with a folder or a drive is an icon file; a bare name is an icon of
// the desktop's theme, as the registry's file types give them. A blank file gives none.
Icon IconAt(const std::string& location) {
    std::string file = location;
    int index = 0;
    size_t comma = location.rfind(',');
    if (comma != std::string::npos) {
        index = std::atoi(location.c_str() + comma + 1);
        file = location.substr(0, comma);
    }
    const size_t first = file.find_first_not_of(' ');
    file = first == std::string::npos ? std::string() : file.substr(first);
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"')
        file = file.substr(1, file.size() - 2);
    if (file.empty())
        return Icon::Resource(kNoTypeIcon);
    Icon icon;
    if (file.find('\\') != std::string::npos || file.find(':') != std::string::npos) {
        icon.file = file;
        icon.index = index;
    } else {
        icon.themeName = file;
    }
    return icon;
}

}  // namespace

void CChangedFileDetailsDlg::FileTypeAndIcon(const std::string& path, std::string& typeText,
                                             Icon& icon) {
    std::string e = " ", k = " ";
    if (PathExtension(path, e))
        k = "." + e;

    std::string name, location;
    bool haveName = ReadClassesRoot(e + "file", name);
    ReadClassesRoot(e + "file\\DefaultIcon", location);
    if (!haveName) {
        std::string className;
        if (ReadClassesRoot(k, className)) {
            name = className;
            ReadClassesRoot(className + "\\DefaultIcon", location);
            ReadClassesRoot(className, name);  // the class's type text, when it has one
        } else {
            name = e + " File";
            ReadClassesRoot(name + "\\DefaultIcon", location);
            for (size_t i = 0; i < 4 && i < name.size(); ++i) {
                if (name[i] >= 'a' && name[i] <= 'z')
                    name[i] = char(name[i] - 'a' + 'A');
            }
            if (e == " ")
                name = "No file extension.";
        }
    }
    if (name.empty())
        name = e + " File";
    for (char& c : name) {
        if (c == '.')
            c = ' ';
    }
    typeText = name + ".";

    if (k == ".exe" || k == ".EXE") {
        icon = Icon();
        icon.file = path;
        icon.index = 0;
    } else {
        icon = IconAt(location);
    }
}

std::string CChangedFileDetailsDlg::LastCheckedTextOf(const std::string& indexLine) {
    FILETIME checked;
    if (IndexLastChecked(indexLine, checked)) {
        return "Database last checked:   " + FormatTimeText(checked, false);
    }
    return "Database unchecked until now.";
}

// The top line. A decrypted copy that cannot be opened leaves the line empty, as for a
// database without a line; the copy is wiped either way.
void CChangedFileDetailsDlg::FillLastChecked(WorkFilesView& view) {
    CMainFrame& frame = view.GetParentFrame();
    std::string backupDir;
    ReadSetting(settings::kBackupDir, backupDir);
    const std::string copyPath = DatabaseIndexWorkPath(backupDir);
    TempFiles wipe;
    wipe.Wipe(copyPath);
    DecryptFileWithIv(frame.m_fileKey, DatabaseIndexPath(backupDir), copyPath, frame.m_indexIv);

    platform::CFile copy;
    if (copy.Open(copyPath, "rb", platform::Share::DenyAll)) {
        std::string line;
        while (copy.ReadLine(line)) {
            if (IndexLineBelongsTo(line, view.WorkDatabasePath())) {
                m_lastCheckedText = LastCheckedTextOf(line);
            }
        }
        copy.Close();
    }
    if (platform::FileExists(copyPath))
        SecureDeleteFile(copyPath);
}

void CChangedFileDetailsDlg::Fill(WorkFilesView& view, const FileRecord& record,
                                  const platform::WIN32_FIND_DATA& now,
                                  const std::string& newDigest) {
    m_view = &view;
    m_choice = 0;
    SplitPathLines(record.path, m_pathLine1, m_pathLine2, m_pathLine3);
    FillLastChecked(view);

    FileTypeAndIcon(record.path, m_fileType, m_fileIcon);
    view.GetParentFrame().m_changedFileIcon = m_fileIcon;

    m_digestWhenAdded = record.digest;
    m_digestNow = newDigest;
    m_sizeNow = FormatSizeText(double(now.nFileSizeLow));
    m_sizeWhenAdded = FormatSizeText(record.SizeValue());
    m_attributesWhenAdded = AttributeCodeText(record.AttributeByte());
    m_attributesNow = AttributeWordText(now.dwFileAttributes);
    m_modifiedWhenAdded = FormatTimeText(record.LastWriteTime(), true);
    m_modifiedNow = FormatTimeText(now.ftLastWriteTime, true);
    m_createdWhenAdded = FormatTimeText(record.CreationTime(), true);
    m_createdNow = FormatTimeText(now.ftCreationTime, true);
}
