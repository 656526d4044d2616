// The dialog model's base. A dialog model keeps its exchanged members and its rules; it
// knows no window. DoModal hands it to the user-interface seam, which shows it (the wx
// views in gui/) or answers it from a script (tests and the driver). The data exchange
// moves the members to and from whatever stands for the controls.
#pragma once

#include <string>
#include <vector>

#include "platform/WinTypes.h"

// The dialog data exchange: one call per exchanged member, named by its control id and its
// member name. With m_bSaveAndValidate false the members go to the controls; with true
// the controls' values come back into the members.
class DataExchange {
  public:
    explicit DataExchange(bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate) {}
    virtual ~DataExchange() = default;

    const bool m_bSaveAndValidate;

    virtual void Text(int id, const char* member, std::string& value) = 0;
    // An int member: a radio group (the index of the chosen button), a check box, the chosen
    // row of a list (-1 for none) or a number.
    virtual void Int(int id, const char* member, int& value) = 0;
    // The rows of a list: they go to the control and never come back changed.
    virtual void Strings(int /*id*/, const char* /*member*/, std::vector<std::string>& /*rows*/) {}
};

class CDialog {
  public:
    explicit CDialog(int templateId) : m_templateId(templateId) {}
    virtual ~CDialog() = default;

    // The class name, as the views and the driver know the dialog ("CRestoreDlg").
    virtual const char* ClassName() const = 0;
    virtual void DoDataExchange(DataExchange& dx) = 0;

    // Runs the dialog modally through the seam; IDOK or IDCANCEL.
    virtual int DoModal();

    // A push button other than OK and Cancel was pressed (Help, "Further analysis", ...).
    virtual void OnCommand(int /*id*/) {}
    // The text colour of a control, when the dialog gives it one.
    virtual bool TextColour(int /*id*/, COLORREF& /*colour*/) const { return false; }
    // The icon a control shows (marks, file-type icons); a null Icon for none.
    virtual Icon ControlIcon(int /*id*/) const { return Icon(); }

    int TemplateId() const { return m_templateId; }

  private:
    int m_templateId;
};
