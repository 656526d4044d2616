// "Add files to the database according to their attributes." (template 197), the model: the
// thirteen attribute boxes in the order of m_critAttributes, with the location and box 1122
// of every criteria dialog. Its members are named as the hand-over fields they fill.
#pragma once

#include "criteria/CriteriaDlg.h"

class CAddByAttributesDlg : public CCriteriaDlg {
  public:
    enum { IDD = 197 };
    enum { kBoxes = 13 };
    // The boxes' ids, in the order of m_critAttributes.
    static const int kBoxIds[kBoxes];
    // Their texts, in the same order.
    static const char* const kBoxTexts[kBoxes];
    // The template's note and group labels.
    static const char* const kNote;
    static const char* const kFat32Group;
    static const char* const kNtfsGroup;

    CAddByAttributesDlg() : CCriteriaDlg(IDD) {}

    const char* ClassName() const override { return "CAddByAttributesDlg"; }
    void DoDataExchange(DataExchange& dx) override;
    void HandOver(CListview& view) const override;

    int m_critAttributes[kBoxes] = {};
};
