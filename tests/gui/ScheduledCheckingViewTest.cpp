// "Scheduled Checking" on screen: the two lists with their rows, a database moved into the
// schedule with Add, the interval typed and scheduled checking started with Start (its timers
// are the window's), and Close.
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "app/NoDatabaseView.h"
#include "schedule/ScheduleEdits.h"
#include "schedule/ScheduledCheckingDlg.h"
#include "tests/gui/GuiTest.h"

namespace {

using D = CScheduledCheckingDlg;

std::vector<std::string> Rows(wxWindow* dialog, int id) {
    std::vector<std::string> rows;
    auto* list = dynamic_cast<wxListBox*>(dialog->FindWindow(id));
    if (list)
        for (unsigned i = 0; i < list->GetCount(); ++i) rows.push_back(FromWx(list->GetString(i)));
    return rows;
}

}  // namespace

using ScheduledCheckingViewTest = GuiTest;

TEST_F(ScheduledCheckingViewTest, AddMovesADatabaseAndStartStartsTheTimers) {
    CCNoflview view(prefix.frame);
    ASSERT_TRUE(view.CreateDatabase("E:\\one.qdb"));
    ASSERT_TRUE(view.CreateDatabase("E:\\two.qdb"));
    CScheduledCheckingDlg dialog(view);
    dialog.Fill();
    Hook().ExpectView(
        "Scheduled Checking",
        [](wxDialog* d) {
            EXPECT_EQ(Rows(d, D::IDC_INDEX_LIST),
                      (std::vector<std::string>{"E:\\one.qdb", "E:\\two.qdb"}));
            EXPECT_TRUE(Rows(d, D::IDC_SCHEDULE_LIST).empty());
            EXPECT_EQ(ControlText(d, D::IDC_HOURS), "1");

            dynamic_cast<wxListBox*>(d->FindWindow(D::IDC_INDEX_LIST))->SetSelection(1);
            Click(d, D::IDC_ADD);
            EXPECT_EQ(Rows(d, D::IDC_INDEX_LIST), std::vector<std::string>{"E:\\one.qdb"});
            EXPECT_EQ(Rows(d, D::IDC_SCHEDULE_LIST), std::vector<std::string>{"E:\\two.qdb"});

            dynamic_cast<wxTextCtrl*>(d->FindWindow(D::IDC_HOURS))->ChangeValue("0");
            dynamic_cast<wxTextCtrl*>(d->FindWindow(D::IDC_MINUTES))->ChangeValue("5");
            Click(d, D::IDC_START);
            EXPECT_EQ(ControlText(d, D::IDC_STATE), "Scheduled checking is on.");
        },
        wxID_OK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(ScheduledDatabases(prefix.frame), std::vector<std::string>{"E:\\two.qdb"});
    EXPECT_TRUE(ui.HasTimer(10));
    EXPECT_EQ(view.m_intervalSeconds, 300);
    view.StopScheduledChecking();
}
