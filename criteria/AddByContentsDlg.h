// The criteria dialog of the add by contents (template 291), the model: the search text
// (edit 1169, at most 1024 characters, an empty text accepted), "Match case." (1170), "Whole
// word." (1256), the choice between "Search all files." and "Search files which only contain
// text." (the radio group 1174), with the location and box 1122 of every criteria dialog. Its
// members are named as the hand-over fields they fill; the hand-over also makes the pattern
// and the texts the contents test compares (m_critSearchText, m_critStartText,
// m_critEndText, m_critPaddedText).
#pragma once

#include <string>

#include "criteria/CriteriaDlg.h"

class CAddByContentsDlg : public CCriteriaDlg {
  public:
    enum { IDD = 291 };
    enum {
        IDC_SEARCH_TEXT = 1169,
        IDC_MATCH_CASE = 1170,
        IDC_WHOLE_WORD = 1256,
        IDC_ALL_FILES = 1174,  // the radio group: 0 all files, 1 text files only
        IDC_TEXT_FILES_ONLY = 1175,
    };
    // The most characters the search text holds.
    static constexpr size_t kMaxSearchText = 1024;

    static const char* const kCaption;
    static const char* const kSearchTextLabel;
    static const char* const kMatchCaseText;
    static const char* const kWholeWordText;
    static const char* const kAllFilesText;
    static const char* const kTextFilesOnlyText;

    CAddByContentsDlg() : CCriteriaDlg(IDD) {}

    const char* ClassName() const override { return "CAddByContentsDlg"; }
    // A text longer than the edit holds keeps its first 1024 characters, as the edit would.
    void DoDataExchange(DataExchange& dx) override;
    void HandOver(CListview& view) const override;

    std::string m_critBareText;
    int m_critMatchCase = 0;
    int m_critWholeWord = 0;
    int m_critTextFilesOnly = 0;
};

// The first `count` characters of a UTF-8 text (all of it when it has no more).
std::string FirstCharacters(const std::string& text, size_t count);
