// "Changed file details.": the fill from the record, the file's find data and its new
// digest, with the top line taken from the database's "Database Index" line and the file
// type and icon taken from the HKEY_CLASSES_ROOT keys of the path's extension.
#include <cstdlib>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "app/WorkFilesView.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckTexts.h"
#include "database/FileTypes.h"
#include "platform/File.h"
#include "platform/Registry.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndex.h"

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

}  // namespace

void CChangedFileDetailsDlg::FileTypeAndIcon(const std::string& path, std::string& typeText,
                                             Icon& icon) {
    std::string e = " ", k = " ";
    if (PathExtension(path, e))
        k = "." + e;

    std::string name;
    const bool haveName = ReadClassesRoot(e + "file", name);
    if (!haveName) {
        std::string className;
        if (ReadClassesRoot(k, className)) {
            name = className;
            ReadClassesRoot(className, name);  // the class's type text, when it has one
        } else {
            name = e + " File";
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

    // The icon by the one rule of file types the list and the check use.
    icon = FileTypeIcon(path);
}

std::string CChangedFileDetailsDlg::LastCheckedTextOf(const std::string& indexLine) {
    FILETIME checked;
    if (IndexLastChecked(indexLine, checked)) {
        return "Database last checked:   " + FormatTimeText(checked, false);
    }
    return "Database unchecked until now.";
}

// The top line, from the database's line in the "Database Index" as the running command
// holds it (read afresh when no command holds it); no line leaves it empty.
void CChangedFileDetailsDlg::FillLastChecked(WorkFilesView& view) {
    std::string line;
    if (view.WorkFilesOpen()) {
        if (view.WorkFiles().Index().FindLine(view.WorkDatabasePath(), line))
            m_lastCheckedText = LastCheckedTextOf(line);
        return;
    }
    ProtectedStore& store = view.GetParentFrame().Store();
    Settings settings;
    std::string backupDir;
    store.BackupDir(settings, backupDir);
    if (store.IndexOf(backupDir)->FindLine(view.WorkDatabasePath(), line))
        m_lastCheckedText = LastCheckedTextOf(line);
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
