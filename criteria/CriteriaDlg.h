// The part every add-by-criteria dialog shares: the location (a folder typed or chosen with
// the folder chooser, or "*" for every drive), box 1122 "Notify if files have been listed
// previously.", the test that accepts or refuses the location, and the hand-over of the
// choices into the list view's fields. Each command's dialog adds its own criterion's
// controls.
#pragma once

#include <string>

#include "platform/Dialog.h"

class CListview;

class CCriteriaDlg : public CDialog {
  public:
    enum {
        IDC_LOCATION = 1100,  // the location's edit
        IDC_BROWSE = 1101,    // the folder chooser's button (the view's own)
        IDC_NOTIFY_IF_LISTED = 1122,
    };

    explicit CCriteriaDlg(int templateId) : CDialog(templateId) {}

    // The location and box 1122; a dialog's own controls follow in its override.
    void DoDataExchange(DataExchange& dx) override;

    // A location typed as an absolute path of this system ("/home/ann/docs") is that folder
    // on drive Z:, the whole machine ("Z:\\home\\ann\\docs"); any other is left as typed.
    void TakeHostLocation();
    // Why the location is refused; empty when it is accepted: "*", or a full path on a drive
    // that exists to a folder that can be searched.
    std::string LocationRefusal() const;

    // Copies the choices into the hand-over fields of the view.
    virtual void HandOver(CListview& view) const;

    std::string m_critLocation;
    int m_critNotifyIfListed = 0;
};
