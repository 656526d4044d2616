// Breaking a text into lines that fit a width, for the message boxes and the dialogs' paths:
// the text is only laid out, never changed; a caller shows the lines and keeps the text.
// A line breaks after a space where the next word then fits on a line of its own; a run
// longer than a line (a path) fills the line and breaks after its last backslash or slash
// that fits, or between any two characters when none does. The text's own line ends stay.
#pragma once

#include <wx/dynarray.h>
#include <wx/string.h>

#include <functional>
#include <vector>

class wxFont;

// Where a line (with no line end in it) breaks: the index of the first character of each
// following line, in order. `extents[i]` is the width of the line's first i + 1 characters,
// as wxDC::GetPartialTextExtents gives it. A line always keeps one character at least.
std::vector<size_t> LineBreaks(const wxString& line, const wxArrayInt& extents, int maxWidth);

// The partial extents of a line (see LineBreaks).
using ExtentsOf = std::function<wxArrayInt(const wxString& line)>;

// The text with a line end put in at every break of every line.
wxString WrapToWidth(const wxString& text, int maxWidth, const ExtentsOf& extents);
// The same, measured in `font`.
wxString WrapToWidth(const wxString& text, int maxWidth, const wxFont& font);
