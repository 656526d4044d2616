// "Add files according to their abilities / functionality." (template 293), the model: the
// three abilities (the network, core operating system functionality, cookie index files),
// with the location and box 1122 of every criteria dialog. Its members are named as the
// hand-over fields they fill.
#pragma once

#include "criteria/CriteriaDlg.h"

class CAddByAbilitiesDlg : public CCriteriaDlg {
  public:
    enum { IDD = 293 };
    enum { IDC_NETWORK = 1301, IDC_CORE_OS = 1302, IDC_COOKIES = 1303 };

    static const char* const kCaption;
    static const char* const kNetworkText;
    static const char* const kCoreOsText;
    static const char* const kCookiesText;

    CAddByAbilitiesDlg() : CCriteriaDlg(IDD) {}

    const char* ClassName() const override { return "CAddByAbilitiesDlg"; }
    void DoDataExchange(DataExchange& dx) override;
    void HandOver(CListview& view) const override;

    int m_critAbilityNetwork = 0;
    int m_critAbilityCoreOs = 0;
    int m_critAbilityCookies = 0;
};
