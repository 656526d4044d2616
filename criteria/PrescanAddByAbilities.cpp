// PrescanAddByAbilities: the pre-scan of the add by abilities, with its dialog (template 293)
// and the abilities criterion made from the abilities handed over.
#include <memory>

#include "criteria/AbilitiesCriterion.h"
#include "criteria/AddByAbilitiesDlg.h"
#include "criteria/Prescan.h"
#include "database/ListView.h"

void CListview::PrescanAddByAbilities(Settings& settings) {
    CAddByAbilitiesDlg dialog;
    Prescan prescan(*this, settings);
    prescan.Run(dialog, [this] {
        return std::make_unique<AbilitiesCriterion>(Abilities::FromView(*this));
    });
}
