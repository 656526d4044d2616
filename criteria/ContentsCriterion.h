// The criterion of the add by contents, `TestFileContents`: whether a file holds the search
// text. Given the full path of a file candidate (folders are never tested) and its size S as
// the folder listing gave it, with n the typed text's length and w the pattern's (n, or n + 2
// with whole word, whose pattern has a blank in front and one behind):
//  1. a file with S < w - 2 is not opened and does not match; an empty text with whole word
//     off finds nothing (no file is opened), and a one-character text with whole word off
//     has no size bound;
//  2. the file is opened (CriterionFile.h: "Couldn't check", or "Unknown", which ends the
//     command);
//  3. when S = n and the file is not empty, it matches only when its whole content equals the
//     typed text (and, with text files only, its first byte is a text byte);
//  4. otherwise it matches where the pattern stands at a position of the file (with whole
//     word, also where the file starts with the text and a blank). With text files only, the
//     positions end at the first byte that is no text byte (a byte missing because the file
//     shrank counts as one); a text starting before it matches whatever follows it;
//  5. with whole word, a file whose every position was visited also matches when it ends
//     with a blank and the text.
// Comparisons are byte for byte, letter case ignored (ASCII letters only) unless match case.
// The whole file is searched, however large. Cancel is polled while the file is read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "criteria/Criterion.h"

class CListview;

// The search, as the pre-scan hands it over.
struct ContentsQuery {
    std::string pattern;  // m_critSearchText
    std::string bare;     // m_critBareText, the typed text
    std::string start;    // m_critStartText: the text and a blank
    std::string end;      // m_critEndText: a blank and the text
    bool matchCase = false;
    bool wholeWord = false;
    bool textFilesOnly = false;

    static ContentsQuery FromView(const CListview& view);
};

Criterion::Verdict TestFileContents(const std::string& path, uint64_t size,
                                    const ContentsQuery& query, CProgressDlg& progress);

class ContentsCriterion : public Criterion {
  public:
    explicit ContentsCriterion(ContentsQuery query) : m_query(std::move(query)) {}
    bool TestsFolders() const override { return false; }
    Verdict Test(const WalkEntry& entry, CriterionContext& context) override;

  private:
    ContentsQuery m_query;
};
