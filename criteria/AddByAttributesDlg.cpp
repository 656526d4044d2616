// The attributes dialog's model: its boxes, their exchange and their hand-over.
#include "criteria/AddByAttributesDlg.h"

#include "database/ListView.h"

const int CAddByAttributesDlg::kBoxIds[kBoxes] = {1126, 1125, 1124, 1127, 1130, 1129, 1128,
                                                  1131, 1136, 1291, 1289, 1288, 1290};

const char* const CAddByAttributesDlg::kBoxTexts[kBoxes] = {
    "Hidden.",
    "Archive.",
    "Read-only.",
    "System.",
    "Hidden plus any others.",
    "Archive plus any others.",
    "Read-only plus any others.",
    "System plus any others.",
    "Any ",
    "Compressed",
    "Compressed plus any others.",
    "Encrypted",
    "Encrypted plus any others.",
};

const char* const CAddByAttributesDlg::kNote =
    "NOTE: Leaving all the boxes unchecked will "
    "add any file which does not have any attributes set.";
const char* const CAddByAttributesDlg::kFat32Group = "FAT32 and NT File Systems";
const char* const CAddByAttributesDlg::kNtfsGroup = "NT File System only";

namespace {
// The exchange names of the boxes: one array member, item by item.
const char* const kBoxMembers[CAddByAttributesDlg::kBoxes] = {
    "m_critAttributes[0]",  "m_critAttributes[1]", "m_critAttributes[2]",  "m_critAttributes[3]",
    "m_critAttributes[4]",  "m_critAttributes[5]", "m_critAttributes[6]",  "m_critAttributes[7]",
    "m_critAttributes[8]",  "m_critAttributes[9]", "m_critAttributes[10]", "m_critAttributes[11]",
    "m_critAttributes[12]",
};
}  // namespace

void CAddByAttributesDlg::DoDataExchange(DataExchange& dx) {
    for (int i = 0; i < kBoxes; ++i) dx.Int(kBoxIds[i], kBoxMembers[i], m_critAttributes[i]);
    CCriteriaDlg::DoDataExchange(dx);
}

void CAddByAttributesDlg::HandOver(CListview& view) const {
    CCriteriaDlg::HandOver(view);
    for (int i = 0; i < kBoxes; ++i) view.m_critAttributes[i] = m_critAttributes[i] != 0 ? 1 : 0;
}
