// The abilities dialog's model: its three boxes, their exchange and their hand-over.
#include "criteria/AddByAbilitiesDlg.h"

#include "database/ListView.h"

const char* const CAddByAbilitiesDlg::kCaption =
    "Add files according to their abilities / functionality.";
const char* const CAddByAbilitiesDlg::kNetworkText =
    "The ability to communicate across a network, the internet, or with other applications on "
    "your system.";
const char* const CAddByAbilitiesDlg::kCoreOsText = "Core operating system functionality.";
const char* const CAddByAbilitiesDlg::kCookiesText = "Cookie Index Files.";

void CAddByAbilitiesDlg::DoDataExchange(DataExchange& dx) {
    dx.Int(IDC_NETWORK, "m_critAbilityNetwork", m_critAbilityNetwork);
    dx.Int(IDC_CORE_OS, "m_critAbilityCoreOs", m_critAbilityCoreOs);
    dx.Int(IDC_COOKIES, "m_critAbilityCookies", m_critAbilityCookies);
    CCriteriaDlg::DoDataExchange(dx);
}

void CAddByAbilitiesDlg::HandOver(CListview& view) const {
    CCriteriaDlg::HandOver(view);
    view.m_critAbilityNetwork = m_critAbilityNetwork != 0 ? 1 : 0;
    view.m_critAbilityCoreOs = m_critAbilityCoreOs != 0 ? 1 : 0;
    view.m_critAbilityCookies = m_critAbilityCookies != 0 ? 1 : 0;
}
