// Reading and writing the settings: the registry read and write that report a failure with
// "Registry error.", and the "%d" parse every numeric setting goes through.
#include "app/Settings.h"

#include <climits>

#include "platform/Registry.h"
#include "platform/Ui.h"

bool ReadSetting(const char* subkey, std::string& value) {
    std::string read;
    if (platform::RegReadValue(subkey, read)) {
        value = read;
        return true;
    }
    Ui().MessageBox("Registry error.", MbIcon::Stop, MbButtons::Ok);
    return false;
}

bool WriteSetting(const char* subkey, const std::string& value) {
    if (platform::RegWriteValue(subkey, value))
        return true;
    Ui().MessageBox("Registry error.", MbIcon::Stop, MbButtons::Ok);
    return false;
}

namespace {
bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
}  // namespace

bool ScanInt(const std::string& text, int& value) {
    size_t i = 0;
    // The text ends at its first NUL, as a C string does.
    const size_t end = text.find('\0') == std::string::npos ? text.size() : text.find('\0');
    while (i < end && IsScanSpace(text[i])) ++i;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= end || text[i] < '0' || text[i] > '9')
        return false;
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
        // Numbers beyond int's range stop at its bounds.
        if (magnitude < limit)
            magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

bool Settings::Text(const char* subkey, std::string& value) {
    auto it = m_read.find(subkey);
    if (it == m_read.end()) {
        Read read;
        read.ok = ReadSetting(subkey, read.text);
        it = m_read.emplace(subkey, read).first;
    }
    if (it->second.ok)
        value = it->second.text;
    return it->second.ok;
}

bool Settings::Number(const char* subkey, int& value) {
    std::string text;
    return Text(subkey, text) && ScanInt(text, value);
}
