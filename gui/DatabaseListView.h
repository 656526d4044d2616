// The window of the open database's list view (`CListview`): a virtual report list that
// reads the model's rows when it draws them, so a database of any size opens at once. It
// accepts files dropped from a file manager and offers the right-click menu 247.
#pragma once

#include <wx/listctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class CListview;

class DatabaseListView : public wxListCtrl {
  public:
    using CommandRunner = std::function<void(const std::function<void()>&)>;

    // `run` runs a command of the view the way the frame runs its commands.
    DatabaseListView(wxWindow* parent, CListview& model, CommandRunner run);
    ~DatabaseListView() override;

    // Shows the model's rows as they stand (the model's m_onRefilled calls it).
    void Refill();
    // Dropped files as host paths: once the drop itself has finished, those no drive covers
    // are reported and left out and the rest go to the model's OnDropFiles, all as one
    // command under the busy cursor.
    void DropHostFiles(const std::vector<std::string>& hostPaths);

    CListview& Model() { return m_model; }

  protected:
    wxString OnGetItemText(long item, long column) const override;

  private:
    void OnContextMenu(wxContextMenuEvent& event);
    std::string TypeText(const std::string& path) const;

    CListview& m_model;
    CommandRunner m_run;
    mutable std::map<std::string, std::string> m_typeNames;  // type key -> type name
};
