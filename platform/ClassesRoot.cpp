// HKEY_CLASSES_ROOT answered from the freedesktop shared MIME database: extensions to
// types from "globs2", type descriptions from "<type>.xml" (the untranslated <comment>),
// and icon names, the type's own themed icon when an installed theme has it, else its
// generic icon. The globs and the icon names are read once and kept.
#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "platform/Registry.h"

namespace platform {

namespace {

const char kMimeDir[] = "/usr/share/mime";
const char kIconsDir[] = "/usr/share/icons";

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct ExtensionGlob {
    int weight;
    std::string type;
    std::string extension;  // ".txt"; lower case unless caseSensitive
    bool caseSensitive;
};

// The "*.ext" globs of globs2, heaviest first (the file's own order within a weight).
const std::vector<ExtensionGlob>& ExtensionGlobs() {
    static const std::vector<ExtensionGlob> globs = [] {
        std::vector<ExtensionGlob> out;
        std::ifstream in(std::string(kMimeDir) + "/globs2");
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::vector<std::string> fields;
            std::stringstream ss(line);
            std::string field;
            while (std::getline(ss, field, ':')) fields.push_back(field);
            if (fields.size() < 3)
                continue;
            const std::string& glob = fields[2];
            if (glob.size() < 3 || glob.compare(0, 2, "*.") != 0 ||
                glob.find_first_of("*?[", 1) != std::string::npos) {
                continue;
            }
            ExtensionGlob g;
            g.weight = std::atoi(fields[0].c_str());
            g.type = fields[1];
            g.caseSensitive = fields.size() > 3 && fields[3].find("cs") != std::string::npos;
            g.extension = g.caseSensitive ? glob.substr(1) : Lower(glob.substr(1));
            out.push_back(g);
        }
        std::stable_sort(
            out.begin(), out.end(),
            [](const ExtensionGlob& a, const ExtensionGlob& b) { return a.weight > b.weight; });
        return out;
    }();
    return globs;
}

// As the database's readers do: a case-sensitive match first, then one without case.
bool TypeOfExtension(const std::string& ext, std::string& type) {
    const std::string lower = Lower(ext);
    for (bool exact : {true, false}) {
        for (const ExtensionGlob& g : ExtensionGlobs()) {
            if (g.caseSensitive == exact && g.extension == (exact ? ext : lower)) {
                type = g.type;
                return true;
            }
        }
    }
    return false;
}

std::string DecodeXmlText(const std::string& s) {
    static const std::pair<const char*, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        bool done = false;
        if (s[i] == '&') {
            for (const auto& e : kEntities) {
                const size_t len = std::char_traits<char>::length(e.first);
                if (s.compare(i, len, e.first) == 0) {
                    out += e.second;
                    i += len - 1;
                    done = true;
                    break;
                }
            }
        }
        if (!done)
            out += s[i];
    }
    return out;
}

bool IsMimeType(const std::string& s) {
    const size_t slash = s.find('/');
    return slash != std::string::npos && slash > 0 && slash + 1 < s.size() &&
           s.find('/', slash + 1) == std::string::npos && s.find("..") == std::string::npos;
}

bool TypeDescription(const std::string& type, std::string& text) {
    if (!IsMimeType(type))
        return false;
    std::ifstream in(std::string(kMimeDir) + "/" + type + ".xml");
    if (!in)
        return false;
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string xml = ss.str();
    const std::string open = "<comment>", close = "</comment>";
    const size_t start = xml.find(open);
    if (start == std::string::npos)
        return false;
    const size_t end = xml.find(close, start);
    if (end == std::string::npos)
        return false;
    text = DecodeXmlText(xml.substr(start + open.size(), end - start - open.size()));
    return !text.empty();
}

// Names of the file-type icons the installed themes hold (their "mimetypes" folders).
const std::set<std::string>& ThemeMimeIcons() {
    static const std::set<std::string> names = [] {
        std::set<std::string> out;
        auto scan = [&out](const std::string& dir) {
            DIR* d = opendir(dir.c_str());
            if (!d)
                return;
            while (struct dirent* e = readdir(d)) {
                std::string name = e->d_name;
                const size_t dot = name.find('.');
                if (dot == std::string::npos || dot == 0)
                    continue;
                out.insert(name.substr(0, dot));
            }
            closedir(d);
        };
        auto subdirs = [](const std::string& dir) {
            std::vector<std::string> out;
            DIR* d = opendir(dir.c_str());
            if (!d)
                return out;
            while (struct dirent* e = readdir(d)) {
                if (e->d_name[0] != '.')
                    out.push_back(dir + "/" + e->d_name);
            }
            closedir(d);
            return out;
        };
        for (const std::string& theme : subdirs(kIconsDir)) {
            for (const std::string& size : subdirs(theme)) scan(size + "/mimetypes");
        }
        return out;
    }();
    return names;
}

std::string GenericIcon(const std::string& type) {
    std::ifstream in(std::string(kMimeDir) + "/generic-icons");
    std::string line;
    const std::string key = type + ":";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0)
            return line.substr(key.size());
    }
    return type.substr(0, type.find('/')) + "-x-generic";
}

std::string TypeIcon(const std::string& type) {
    std::string themed = type;
    for (char& c : themed) {
        if (c == '/')
            c = '-';
    }
    if (ThemeMimeIcons().count(themed))
        return themed;
    return GenericIcon(type);
}

bool KnownType(const std::string& type) {
    if (!IsMimeType(type))
        return false;
    std::ifstream in(std::string(kMimeDir) + "/" + type + ".xml");
    return bool(in);
}

// "txtfile" -> the type of ".txt".
bool TypeOfFileClass(const std::string& key, std::string& type) {
    const std::string suffix = "file";
    if (key.size() <= suffix.size() || Lower(key.substr(key.size() - suffix.size())) != suffix) {
        return false;
    }
    return TypeOfExtension("." + key.substr(0, key.size() - suffix.size()), type);
}

}  // namespace

bool RegReadClassesRoot(const std::string& key, std::string& value) {
    if (key.empty())
        return false;
    if (key[0] == '.')
        return key.size() > 1 && TypeOfExtension(key, value);

    const std::string iconSuffix = "\\DefaultIcon";
    std::string name = key;
    bool icon = false;
    if (key.size() > iconSuffix.size() &&
        Lower(key.substr(key.size() - iconSuffix.size())) == Lower(iconSuffix)) {
        name = key.substr(0, key.size() - iconSuffix.size());
        icon = true;
    }
    std::string type;
    if (IsMimeType(name)) {
        if (!KnownType(name))
            return false;
        type = name;
    } else if (!TypeOfFileClass(name, type)) {
        return false;
    }
    if (icon) {
        value = TypeIcon(type) + ",0";
        return true;
    }
    return TypeDescription(type, value);
}

}  // namespace platform
