// PrescanAddByAttributes: the pre-scan of the add by attributes, with its dialog (template
// 197) and the attribute criterion made from the boxes handed over.
#include <memory>

#include "criteria/AddByAttributesDlg.h"
#include "criteria/AttributeCriterion.h"
#include "criteria/Prescan.h"
#include "database/ListView.h"

void CListview::PrescanAddByAttributes(Settings& settings) {
    CAddByAttributesDlg dialog;
    Prescan prescan(*this, settings);
    prescan.Run(dialog, [this] { return std::make_unique<AttributeCriterion>(m_critAttributes); });
}
