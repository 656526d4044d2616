// PrescanAddByContents: the pre-scan of the add by contents, with its dialog (template 291)
// and the contents criterion made from the search handed over.
#include <memory>

#include "criteria/AddByContentsDlg.h"
#include "criteria/ContentsCriterion.h"
#include "criteria/Prescan.h"
#include "database/ListView.h"

void CListview::PrescanAddByContents(Settings& settings) {
    m_foundCount = 0;
    m_bytesToAdd = 0;
    CAddByContentsDlg dialog;
    Prescan prescan(*this, settings);
    prescan.Run(dialog, [this] {
        return std::make_unique<ContentsCriterion>(ContentsQuery::FromView(*this));
    });
}
