// The HKEY_CURRENT_USER store: <prefix>/user.reg in the registry-export form, parsed and
// formatted whole, read on every query and replaced atomically on every write.
#include "platform/Registry.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

#include "platform/Durable.h"
#include "platform/FileSystem.h"
#include "platform/Prefix.h"

namespace platform {

namespace {

const char kHeader[] = "REGEDIT4";
const char kKeyPrefix[] = "HKEY_CURRENT_USER\\Software\\Quillstead\\";

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x < 0x80 && y < 0x80 && std::tolower(x) == std::tolower(y))) {
            return false;
        }
    }
    return true;
}

// The quoted value of an @="..." line (after the "@="); false when it is not one.
bool ParseQuoted(const std::string& s, std::string& value) {
    if (s.size() < 2 || s[0] != '"' || s.back() != '"')
        return false;
    value.clear();
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        char c = s[i];
        if (c == '"')
            return false;
        if (c == '\\') {
            if (i + 2 >= s.size())
                return false;
            c = s[++i];
            if (c != '\\' && c != '"')
                return false;
        }
        value += c;
    }
    return true;
}

std::string Quote(const std::string& value) {
    std::string out = "\"";
    for (char c : value) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// Reads the store; a missing file is an empty store when `missingIsEmpty`.
bool LoadStore(RegistryValues& values, bool missingIsEmpty) {
    std::string text;
    errno = 0;
    if (!ReadHostFile(RegistryFilePath(), text))
        return missingIsEmpty && errno == ENOENT && text.empty();
    return ParseRegistryText(text, values);
}

bool SaveStore(const RegistryValues& values) {
    const std::string text = FormatRegistryText(values);
    const std::string path = RegistryFilePath();
    std::string temp = path + ".XXXXXX";
    const int fd = CreateTemporaryFile(temp);
    if (fd < 0)
        return false;
    bool ok = true;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = Fs().Write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
        } else {
            done += size_t(n);
        }
    }
    if (ok && Fs().Sync(fd) != 0)
        ok = false;
    if (Fs().Close(fd) != 0)
        ok = false;
    if (ok && Fs().Rename(temp, path, true) != 0)
        ok = false;
    if (!ok)
        Fs().Remove(temp);
    return ok && SyncHostFolder(HostFolderOf(path));
}

bool ValidKeyName(const std::string& name) {
    return !name.empty() && name.find_first_of(std::string("[]\r\n\0", 5)) == std::string::npos;
}

}  // namespace

const RegistryValues::Key* RegistryValues::Find(const std::string& name) const {
    for (const Key& k : m_keys) {
        if (EqualNoCase(k.name, name))
            return &k;
    }
    return nullptr;
}

RegistryValues::Key& RegistryValues::AddKey(const std::string& name) {
    for (Key& k : m_keys) {
        if (EqualNoCase(k.name, name))
            return k;
    }
    m_keys.push_back(Key{name, std::string(), false});
    return m_keys.back();
}

void RegistryValues::Set(const std::string& name, const std::string& value) {
    Key& k = AddKey(name);
    k.value = value;
    k.hasValue = true;
}

bool ParseRegistryText(const std::string& text, RegistryValues& values) {
    values = RegistryValues();
    size_t pos = 0, number = 0;
    bool first = true;
    std::string current;  // the key the value lines belong to; empty for none of ours
    while (pos < text.size()) {
        ++number;
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first) {
            if (line != kHeader)
                return false;
            first = false;
            continue;
        }
        if (line.empty())
            continue;
        if (line[0] == '[') {
            current.clear();
            const std::string path = line.substr(1, line.size() - 2);
            const size_t prefixLen = sizeof kKeyPrefix - 1;
            if (line.back() == ']' && path.size() > prefixLen &&
                EqualNoCase(path.substr(0, prefixLen), kKeyPrefix)) {
                current = path.substr(prefixLen);
                values.AddKey(current);
            } else {
                values.damagedLines.push_back(number);
            }
            continue;
        }
        if (current.empty() || line.compare(0, 2, "@=") != 0) {
            values.damagedLines.push_back(number);
            continue;
        }
        RegistryValues::Key& key = values.AddKey(current);
        key.hasValue = ParseQuoted(line.substr(2), key.value);
        if (!key.hasValue) {
            key.value.clear();
            values.damagedLines.push_back(number);
        }
    }
    return !first;
}

std::string FormatRegistryText(const RegistryValues& values) {
    std::string out = std::string(kHeader) + "\r\n";
    for (const RegistryValues::Key& k : values.Keys()) {
        out += "\r\n[";
        out += kKeyPrefix;
        out += k.name;
        out += "]\r\n";
        if (k.hasValue)
            out += "@=" + Quote(k.value) + "\r\n";
    }
    return out;
}

bool RegReadValue(const std::string& subkey, std::string& value) {
    RegistryValues values;
    if (!LoadStore(values, false))
        return false;
    const RegistryValues::Key* k = values.Find(subkey);
    if (!k || !k->hasValue)
        return false;
    value = k->value;
    return true;
}

bool RegHasValue(const std::string& subkey) {
    std::string value;
    return RegReadValue(subkey, value);
}

bool RegWriteValue(const std::string& subkey, const std::string& value) {
    if (!ValidKeyName(subkey) ||
        value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        return false;
    }
    RegistryValues values;
    if (!LoadStore(values, true) || !values.damagedLines.empty())
        return false;
    values.Set(subkey, value);
    return SaveStore(values);
}

bool RegWriteMissingValues(const RegistryValues& defaults) {
    RegistryValues values;
    if (!LoadStore(values, true) || !values.damagedLines.empty())
        return false;
    bool changed = false;
    for (const RegistryValues::Key& d : defaults.Keys()) {
        const RegistryValues::Key* k = values.Find(d.name);
        if (d.hasValue && (!k || !k->hasValue)) {
            values.Set(d.name, d.value);
            changed = true;
        }
    }
    return !changed || SaveStore(values);
}

std::string RegistryDamage() {
    std::string text;
    errno = 0;
    if (!ReadHostFile(RegistryFilePath(), text))
        return errno == ENOENT ? std::string() : "it cannot be read";
    RegistryValues values;
    if (!ParseRegistryText(text, values))
        return "it does not begin with " + std::string(kHeader);
    if (values.damagedLines.empty())
        return std::string();
    std::string lines;
    for (size_t i = 0; i < values.damagedLines.size(); ++i)
        lines += (i == 0                                ? ""
                  : i + 1 == values.damagedLines.size() ? " and "
                                                        : ", ") +
                 std::to_string(values.damagedLines[i]);
    return (values.damagedLines.size() == 1 ? "line " : "lines ") + lines +
           (values.damagedLines.size() == 1 ? " does not read" : " do not read");
}

}  // namespace platform
