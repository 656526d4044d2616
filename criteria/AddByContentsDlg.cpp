// The contents dialog's model: its controls, their exchange and their hand-over.
#include "criteria/AddByContentsDlg.h"

#include "database/ListView.h"

const char* const CAddByContentsDlg::kCaption =
    "Add files to the database according to their contents.";
const char* const CAddByContentsDlg::kSearchTextLabel = "Text to search for:";
const char* const CAddByContentsDlg::kMatchCaseText = "Match case.";
const char* const CAddByContentsDlg::kWholeWordText = "Whole word.";
const char* const CAddByContentsDlg::kAllFilesText = "Search all files.";
const char* const CAddByContentsDlg::kTextFilesOnlyText = "Search files which only contain text.";

std::string FirstCharacters(const std::string& text, size_t count) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that does not continue one.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == count)
            return text.substr(0, i);
    }
    return text;
}

void CAddByContentsDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_SEARCH_TEXT, "m_critBareText", m_critBareText);
    if (dx.m_bSaveAndValidate)
        m_critBareText = FirstCharacters(m_critBareText, kMaxSearchText);
    dx.Int(IDC_MATCH_CASE, "m_critMatchCase", m_critMatchCase);
    dx.Int(IDC_WHOLE_WORD, "m_critWholeWord", m_critWholeWord);
    dx.Int(IDC_ALL_FILES, "m_critTextFilesOnly", m_critTextFilesOnly);
    CCriteriaDlg::DoDataExchange(dx);
}

void CAddByContentsDlg::HandOver(CListview& view) const {
    CCriteriaDlg::HandOver(view);
    const bool wholeWord = m_critWholeWord != 0;
    const std::string& text = m_critBareText;
    view.m_critBareText = text;
    view.m_critSearchText = wholeWord ? " " + text + " " : text;
    view.m_critStartText = text + " ";
    view.m_critEndText = " " + text;
    view.m_critPaddedText = wholeWord ? " " + text + " " : std::string();
    view.m_critMatchCase = m_critMatchCase != 0 ? 1 : 0;
    view.m_critWholeWord = wholeWord ? 1 : 0;
    view.m_critTextFilesOnly = m_critTextFilesOnly != 0 ? 1 : 0;
}
