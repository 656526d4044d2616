// "Scheduled Checking", the model: the databases of the "Database Index" that are not
// scheduled beside the databases of the "Database Checking Schedule", the interval in hours,
// minutes and seconds, the one checking mode, and whether scheduled checking is on. Add and
// Remove move the chosen database into the schedule or out of it (stored at once); Start
// stores the interval and the mode "P" in the settings and starts scheduled checking; Stop
// stops it. The wx view in gui/ only moves these members to and from its controls.
#pragma once

#include <string>
#include <vector>

#include "platform/Dialog.h"

class CCNoflview;

class CScheduledCheckingDlg : public CDialog {
  public:
    enum { IDD = 311 };
    // Control ids.
    enum {
        IDC_INDEX_LIST = 1301,
        IDC_SCHEDULE_LIST = 1302,
        IDC_ADD = 1303,
        IDC_REMOVE = 1304,
        IDC_HOURS = 1305,
        IDC_MINUTES = 1306,
        IDC_SECONDS = 1307,
        IDC_MODE = 1308,
        IDC_START = 1309,
        IDC_STOP = 1310,
        IDC_STATE = 1311,
    };

    explicit CScheduledCheckingDlg(CCNoflview& view);

    const char* ClassName() const override { return "CScheduledCheckingDlg"; }
    void DoDataExchange(DataExchange& dx) override;
    void OnCommand(int id) override;  // Add, Remove, Start, Stop

    // Reads the two lists, the interval from the settings and the state.
    void Fill();

    void OnAddToSchedule();
    void OnRemoveFromSchedule();
    void OnStartChecking();
    void OnStopChecking();

    // The interval of the three texts in seconds; false when one is not a whole number from 0
    // or the whole is not between 1 second and the longest interval (596 hours).
    static bool IntervalSeconds(const std::string& hours, const std::string& minutes,
                                const std::string& seconds, long& total);

    std::vector<std::string> m_indexDatabases;  // listed in the "Database Index", not scheduled
    int m_indexSelection = -1;
    std::vector<std::string> m_scheduledDatabases;
    int m_scheduleSelection = -1;
    std::string m_hours, m_minutes, m_seconds;
    std::string m_modeText;
    std::string m_stateText;

  private:
    void FillLists();
    void FillState();

    CCNoflview& m_view;
};
