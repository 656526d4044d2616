// The list's columns and rows, the drop target and the right-click menu.
#include "gui/DatabaseListView.h"

#include <wx/dnd.h>
#include <wx/menu.h>

#include "database/ListView.h"
#include "gui/Commands.h"
#include "gui/FileLists.h"
#include "gui/RecordColumns.h"
#include "gui/WxText.h"
#include "platform/Ui.h"

namespace {

class ListDropTarget : public wxFileDropTarget {
  public:
    explicit ListDropTarget(DatabaseListView& view) : m_view(view) {}

    bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
        std::vector<std::string> hostPaths;
        for (const wxString& name : names) hostPaths.push_back(HostBytes(name));
        m_view.DropHostFiles(hostPaths);
        return true;
    }

  private:
    DatabaseListView& m_view;
};

}  // namespace

DatabaseListView::DatabaseListView(wxWindow* parent, CListview& model, CommandRunner run)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_HRULES | wxLC_VRULES),
      m_model(model),
      m_run(std::move(run)) {
    for (int column = 0; column < COL_COUNT; ++column) {
        AppendColumn(RecordColumnTitle(column), wxLIST_FORMAT_LEFT, RecordColumnWidth(column));
    }
    SetDropTarget(new ListDropTarget(*this));
    Bind(wxEVT_CONTEXT_MENU, &DatabaseListView::OnContextMenu, this);
    m_model.m_onRefilled = [this] { Refill(); };
    Refill();
}

DatabaseListView::~DatabaseListView() {
    m_model.m_onRefilled = nullptr;
}

void DatabaseListView::Refill() {
    SetItemCount(long(m_model.m_records.size()));
    Refresh();
}

void DatabaseListView::DropHostFiles(const std::vector<std::string>& hostPaths) {
    // The drop ends first (its source waits for it); then, under the busy cursor, the paths
    // no drive covers are reported and the others added.
    CallAfter([this, hostPaths] {
        m_run([this, &hostPaths] {
            Ui().BusyCursor();
            const std::vector<std::string> files = WindowsPathsOf(hostPaths);
            if (!files.empty())
                m_model.OnDropFiles(files);
        });
    });
}

wxString DatabaseListView::OnGetItemText(long item, long column) const {
    if (item < 0 || size_t(item) >= m_model.m_records.size())
        return wxString();
    const FileRecord& record = m_model.m_records[size_t(item)];
    if (column == COL_TYPE)
        return ToWx(TypeText(record.path));
    return ToWx(RecordColumnText(record, int(column)));
}

std::string DatabaseListView::TypeText(const std::string& path) const {
    const std::string key = TypeKeyOf(path);
    auto it = m_typeNames.find(key);
    if (it != m_typeNames.end())
        return it->second;
    std::string name;
    try {
        name = m_model.GetFileTypeDescription(path);
    } catch (const std::exception&) {
        // Drawing a row is no command: a failed lookup only leaves the type out.
    }
    m_typeNames[key] = name;
    return name;
}

void DatabaseListView::OnContextMenu(wxContextMenuEvent&) {
    wxMenu menu;
    for (const int id : {ID_PASTE_FILES, ID_REMOVE_SELECTED}) {
        const ::Command& command = *FindCommand(id);
        menu.Append(MenuId(id), wxString::FromUTF8(command.text));
        menu.Enable(MenuId(id), command.when != CommandWhen::Never);
    }
    PopupMenu(&menu);
}
