// "Changed file details." (template 295), the model: the values recorded when a file was
// added beside the values it has now, the file's type and icon, when the database was last
// checked, and the user's choice (0 ignore, 1 accept and renew the backup, 2 accept and
// keep the backup, 3 restore from the backup). The colours and marks are pure functions of
// the members. The check fills it (Fill) and reads m_choice after DoModal.
#pragma once

#include <string>

#include "platform/Dialog.h"
#include "platform/FindData.h"
#include "storage/FileRecord.h"

class WorkFilesView;

class CChangedFileDetailsDlg : public CDialog {
  public:
    enum { IDD = 295 };
    // Control ids.
    enum {
        IDC_LAST_CHECKED = 1215,
        IDC_FILE_ICON = 1200,
        IDC_PATH1 = 1177,
        IDC_PATH2 = 1178,
        IDC_PATH3 = 1179,
        IDC_FILE_TYPE = 1180,
        IDC_ATTR_MARK = 1192,
        IDC_ATTR_ADDED = 1181,
        IDC_ATTR_NOW = 1182,
        IDC_SIZE_MARK = 1191,
        IDC_SIZE_ADDED = 1183,
        IDC_SIZE_NOW = 1184,
        IDC_CREATED_MARK = 1196,
        IDC_CREATED_ADDED = 1194,
        IDC_CREATED_NOW = 1195,
        IDC_MODIFIED_MARK = 1189,
        IDC_MODIFIED_ADDED = 1187,
        IDC_MODIFIED_NOW = 1188,
        IDC_DIGEST_MARK = 1190,
        IDC_DIGEST_ADDED = 1185,
        IDC_DIGEST_NOW = 1186,
        IDC_CHOICE_IGNORE = 1203,
        IDC_CHOICE_RENEW = 1204,
        IDC_CHOICE_KEEP = 1206,
        IDC_CHOICE_RESTORE = 1205,
        IDC_BITMAP_FRAME = 1120,
        IDC_FURTHER_ANALYSIS = 1193,
        IDC_HELP_BUTTON = 1197,
    };

    explicit CChangedFileDetailsDlg(WorkFilesView* parent = nullptr);

    const char* ClassName() const override { return "CChangedFileDetailsDlg"; }
    void DoDataExchange(DataExchange& dx) override;
    void OnCommand(int id) override;  // 1193 OnFurtherAnalysis, 1197 OnChangedFileHelp
    bool TextColour(int id, COLORREF& colour) const override;  // OnCtlColor's rule
    Icon ControlIcon(int id) const override;                   // OnPaint's icons

    // Fills every member from the record, the file's find data and its new digest, sets
    // m_choice to 0, and stores the type icon in the frame's m_changedFileIcon.
    void Fill(WorkFilesView& view, const FileRecord& record, const platform::WIN32_FIND_DATA& now,
              const std::string& newDigest);

    void OnFurtherAnalysis();
    void OnChangedFileHelp();

    // The file type text (with its final ".") and the type icon of a path, from the
    // HKEY_CLASSES_ROOT keys of its extension; icon 373 when none results.
    static void FileTypeAndIcon(const std::string& path, std::string& typeText, Icon& icon);
    // The top line from the database's line in the decrypted "Database Index" (the last
    // line of the database wins); empty when no line belongs to it.
    static std::string LastCheckedTextOf(const std::string& indexLine);

    Icon m_fileIcon;
    std::string m_pathLine1, m_pathLine2, m_pathLine3;
    std::string m_attributesNow, m_attributesWhenAdded;
    std::string m_digestNow, m_digestWhenAdded;
    std::string m_fileType;
    std::string m_sizeNow, m_sizeWhenAdded;
    std::string m_modifiedNow, m_modifiedWhenAdded;
    std::string m_createdNow, m_createdWhenAdded;
    int m_choice = -1;
    std::string m_lastCheckedText;

  private:
    void FillLastChecked(WorkFilesView& view);

    WorkFilesView* m_view;
};
