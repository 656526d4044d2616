// Loading the program's resources and turning the seam's Icon into pictures. Pictures are
// kept once loaded, so a list or a dialog asking again costs a map lookup.
#include "gui/Resources.h"

#include <wx/artprov.h>
#include <wx/image.h>

#include <map>
#include <tuple>

namespace {

wxBitmap LoadPng(const std::string& relative) {
    static std::map<std::string, wxBitmap> cache;
    auto it = cache.find(relative);
    if (it != cache.end())
        return it->second;
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    wxBitmap bitmap;
    wxImage image;
    const wxString path = wxString::FromUTF8(ResourcePath(relative));
    if (wxFileExists(path) && image.LoadFile(path, wxBITMAP_TYPE_PNG))
        bitmap = wxBitmap(image);
    cache[relative] = bitmap;
    return bitmap;
}

wxBitmap Scaled(const wxBitmap& bitmap, int size) {
    if (!bitmap.IsOk() || (bitmap.GetWidth() == size && bitmap.GetHeight() == size))
        return bitmap;
    return wxBitmap(bitmap.ConvertToImage().Scale(size, size, wxIMAGE_QUALITY_HIGH));
}

wxBitmap ThemeBitmap(const std::string& name, int size) {
    wxBitmap bitmap =
        wxArtProvider::GetBitmap(wxString::FromUTF8(name), wxART_OTHER, wxSize(size, size));
    return Scaled(bitmap, size);
}

}  // namespace

std::string ResourcePath(const std::string& relative) {
    return std::string(QUILL_RES_DIR) + "/" + relative;
}

wxBitmap ResourceBitmap(int id) {
    return LoadPng("bitmaps/" + std::to_string(id) + ".png");
}

wxBitmap IconBitmap(const Icon& icon, int size) {
    static std::map<std::tuple<int, std::string, bool, int>, wxBitmap> cache;
    if (icon.IsNull())
        return wxNullBitmap;
    const auto key = std::make_tuple(icon.resource, icon.themeName, !icon.file.empty(), size);
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;

    wxBitmap bitmap;
    if (icon.resource != 0) {
        bitmap = Scaled(LoadPng("icons/" + std::to_string(icon.resource) + ".png"), size);
    } else if (!icon.themeName.empty()) {
        bitmap = ThemeBitmap(icon.themeName, size);
    } else {
        // A program's own icon cannot be read from the file on this system: the theme's
        // picture of an executable stands for it.
        bitmap = ThemeBitmap("application-x-executable", size);
    }
    if (!bitmap.IsOk() && icon.resource != 373)
        bitmap = IconBitmap(Icon::Resource(373), size);
    cache[key] = bitmap;
    return bitmap;
}
