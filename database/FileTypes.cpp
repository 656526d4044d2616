// File types from HKEY_CLASSES_ROOT: the icon rule and the type name.
#include "database/FileTypes.h"

#include <cstdlib>

#include "platform/Registry.h"

namespace {

constexpr int kNoTypeIcon = 373;

// The key that describes the extension's type: "<ext>file" when it exists, else the class
// named by ".<ext>". False when neither exists.
bool TypeKey(const std::string& ext, std::string& key) {
    std::string value;
    if (platform::RegReadClassesRoot(ext + "file", value)) {
        key = ext + "file";
        return true;
    }
    std::string cls;
    if (platform::RegReadClassesRoot("." + ext, cls) && !cls.empty()) {
        key = cls;
        return true;
    }
    return false;
}

// An icon location "<file or name>,<index>": a name with a folder or a drive is a file
// whose icon at that index is meant; a bare name is an icon of the desktop's theme.
Icon IconFromLocation(const std::string& location) {
    std::string name = location;
    int index = 0;
    const size_t comma = location.rfind(',');
    if (comma != std::string::npos) {
        name = location.substr(0, comma);
        index = std::atoi(location.c_str() + comma + 1);
    }
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    Icon icon;
    if (name.empty())
        return icon;
    if (name.find('\\') != std::string::npos || name.find(':') != std::string::npos) {
        icon.file = name;
        icon.index = index;
    } else {
        icon.themeName = name;
    }
    return icon;
}

}  // namespace

std::string FileExtension(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return std::string();
    return path.substr(dot + 1);
}

Icon FileTypeIcon(const std::string& path) {
    const std::string ext = FileExtension(path);
    if (ext == "exe" || ext == "EXE") {
        Icon own;
        own.file = path;
        own.index = 0;
        return own;
    }
    Icon icon;
    std::string key, location;
    if (!ext.empty() && TypeKey(ext, key) &&
        platform::RegReadClassesRoot(key + "\\DefaultIcon", location))
        icon = IconFromLocation(location);
    if (icon.IsNull())
        icon = Icon::Resource(kNoTypeIcon);
    return icon;
}

const Icon& FileTypeIconCache::For(const std::string& path) {
    std::string ext = FileExtension(path);
    if (ext == "exe" || ext == "EXE")
        return m_own = FileTypeIcon(path);
    auto found = m_byExtension.find(ext);
    if (found == m_byExtension.end())
        found = m_byExtension.emplace(std::move(ext), FileTypeIcon(path)).first;
    return found->second;
}

std::string FileTypeName(const std::string& path) {
    const std::string ext = FileExtension(path);
    if (ext.empty())
        return "File";
    std::string key, description;
    if (TypeKey(ext, key) && platform::RegReadClassesRoot(key, description) && !description.empty())
        return description;
    std::string upper = ext;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper + " File";
}
