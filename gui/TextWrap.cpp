// The line breaking of long texts, and its measure in a font.
#include "gui/TextWrap.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/font.h>

#include <algorithm>

namespace {

bool IsSeparator(wxUniChar c) {
    return c == '\\' || c == '/';
}

}  // namespace

std::vector<size_t> LineBreaks(const wxString& line, const wxArrayInt& extents, int maxWidth) {
    std::vector<size_t> breaks;
    const size_t n = std::min(line.length(), extents.size());
    // The width of the line's first `end` characters.
    auto widthTo = [&](size_t end) { return end == 0 ? 0 : extents[end - 1]; };
    size_t start = 0;
    while (start < n && widthTo(n) - widthTo(start) > maxWidth) {
        const int base = widthTo(start);
        // The most characters from `start` that fit, one at least.
        size_t fit = start + 1;
        while (fit < n && widthTo(fit + 1) - base <= maxWidth) ++fit;
        if (fit >= n)
            break;
        // After the last space whose text before it fits (the space itself may stand past
        // the width), with something after it and before it on the line.
        size_t space = 0;
        for (size_t p = std::min(fit + 1, n - 1); p >= start + 2; --p) {
            if (line[p - 1] == ' ') {
                space = p;
                break;
            }
        }
        // After the last backslash or slash that fits.
        size_t separator = 0;
        for (size_t p = fit; p > start; --p) {
            if (IsSeparator(line[p - 1])) {
                separator = p;
                break;
            }
        }
        size_t next = fit;
        if (space != 0) {
            size_t wordEnd = space;
            while (wordEnd < n && line[wordEnd] != ' ') ++wordEnd;
            const bool wordFits = widthTo(wordEnd) - widthTo(space) <= maxWidth;
            // A word that fits a line goes whole to the next one; a longer run fills this one.
            next = wordFits ? space : std::max(space, separator);
        } else if (separator != 0) {
            next = separator;
        }
        breaks.push_back(next);
        start = next;
    }
    return breaks;
}

wxString WrapToWidth(const wxString& text, int maxWidth, const ExtentsOf& extents) {
    if (maxWidth <= 0)
        return text;
    wxString wrapped;
    wrapped.reserve(text.length() + text.length() / 16);
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        const wxString line =
            text.substr(start, end == wxString::npos ? wxString::npos : end - start);
        size_t from = 0;
        if (!line.empty()) {
            for (size_t at : LineBreaks(line, extents(line), maxWidth)) {
                wrapped += line.substr(from, at - from);
                wrapped += '\n';
                from = at;
            }
        }
        wrapped += line.substr(from);
        if (end == wxString::npos)
            break;
        wrapped += '\n';
        start = end + 1;
    }
    return wrapped;
}

wxString WrapToWidth(const wxString& text, int maxWidth, const wxFont& font) {
    wxBitmap canvas(1, 1);
    wxMemoryDC dc(canvas);
    dc.SetFont(font);
    return WrapToWidth(text, maxWidth, [&dc](const wxString& line) {
        wxArrayInt widths;
        if (!dc.GetPartialTextExtents(line, widths))
            widths.clear();
        return widths;
    });
}
