// The JSON reader and the JSON string writer of the test support library.
#include "tests/support/Json.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

const JsonValue* JsonValue::Find(const std::string& name) const {
    for (const auto& member : members)
        if (member.first == name)
            return &member.second;
    return nullptr;
}

namespace {

class Reader {
  public:
    explicit Reader(const std::string& text) : m_text(text) {}

    JsonValue Document() {
        JsonValue value = Value(0);
        SkipSpace();
        if (m_pos != m_text.size())
            Fail("text after the value");
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::invalid_argument("JSON: " + what + " at offset " + std::to_string(m_pos));
    }

    void SkipSpace() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }

    bool Literal(const char* word) {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0)
            return false;
        m_pos += w.size();
        return true;
    }

    JsonValue Value(int depth) {
        if (depth > 64)
            Fail("nesting too deep");
        SkipSpace();
        if (m_pos >= m_text.size())
            Fail("missing value");
        JsonValue v;
        const char c = m_text[m_pos];
        if (c == '{') {
            v.type = JsonValue::Type::Object;
            ++m_pos;
            SkipSpace();
            if (m_pos < m_text.size() && m_text[m_pos] == '}') {
                ++m_pos;
                return v;
            }
            for (;;) {
                SkipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != '"')
                    Fail("expected a name");
                std::string name = String();
                SkipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != ':')
                    Fail("expected ':'");
                ++m_pos;
                v.members.emplace_back(std::move(name), Value(depth + 1));
                SkipSpace();
                if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                    ++m_pos;
                    continue;
                }
                if (m_pos < m_text.size() && m_text[m_pos] == '}') {
                    ++m_pos;
                    return v;
                }
                Fail("expected ',' or '}'");
            }
        }
        if (c == '[') {
            v.type = JsonValue::Type::Array;
            ++m_pos;
            SkipSpace();
            if (m_pos < m_text.size() && m_text[m_pos] == ']') {
                ++m_pos;
                return v;
            }
            for (;;) {
                v.items.push_back(Value(depth + 1));
                SkipSpace();
                if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                    ++m_pos;
                    continue;
                }
                if (m_pos < m_text.size() && m_text[m_pos] == ']') {
                    ++m_pos;
                    return v;
                }
                Fail("expected ',' or ']'");
            }
        }
        if (c == '"') {
            v.type = JsonValue::Type::String;
            v.text = String();
            return v;
        }
        if (Literal("true")) {
            v.type = JsonValue::Type::Bool;
            v.boolean = true;
            return v;
        }
        if (Literal("false")) {
            v.type = JsonValue::Type::Bool;
            return v;
        }
        if (Literal("null"))
            return v;
        if (c == '-' || (c >= '0' && c <= '9')) {
            const char* start = m_text.c_str() + m_pos;
            char* end = nullptr;
            v.type = JsonValue::Type::Number;
            v.number = std::strtod(start, &end);
            if (end == start)
                Fail("bad number");
            m_pos += static_cast<size_t>(end - start);
            return v;
        }
        Fail("unexpected character");
    }

    unsigned Hex4() {
        if (m_pos + 4 > m_text.size())
            Fail("short \\u escape");
        unsigned cp = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = m_text[m_pos++];
            cp <<= 4;
            if (h >= '0' && h <= '9')
                cp |= unsigned(h - '0');
            else if (h >= 'a' && h <= 'f')
                cp |= unsigned(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                cp |= unsigned(h - 'A' + 10);
            else
                Fail("bad \\u escape");
        }
        return cp;
    }

    void PutCodePoint(std::string& out, unsigned cp) {
        if (cp > 0xFF)
            Fail("a character above U+00FF stands for no byte");
        out.push_back(static_cast<char>(cp));
    }

    std::string String() {
        ++m_pos;  // the opening quote
        std::string out;
        for (;;) {
            if (m_pos >= m_text.size())
                Fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                ++m_pos;
                return out;
            }
            if (c == '\\') {
                ++m_pos;
                if (m_pos >= m_text.size())
                    Fail("unterminated escape");
                const char e = m_text[m_pos++];
                switch (e) {
                    case '"':
                        out.push_back('"');
                        break;
                    case '\\':
                        out.push_back('\\');
                        break;
                    case '/':
                        out.push_back('/');
                        break;
                    case 'b':
                        out.push_back('\b');
                        break;
                    case 'f':
                        out.push_back('\f');
                        break;
                    case 'n':
                        out.push_back('\n');
                        break;
                    case 'r':
                        out.push_back('\r');
                        break;
                    case 't':
                        out.push_back('\t');
                        break;
                    case 'u':
                        PutCodePoint(out, Hex4());
                        break;
                    default:
                        Fail("bad escape");
                }
                continue;
            }
            if (c >= 0xC2 && c <= 0xDF && m_pos + 1 < m_text.size() &&
                (static_cast<unsigned char>(m_text[m_pos + 1]) & 0xC0) == 0x80) {
                // A two-byte UTF-8 sequence: U+0080 to U+07FF.
                const unsigned cp =
                    ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(m_text[m_pos + 1]) & 0x3Fu);
                m_pos += 2;
                PutCodePoint(out, cp);
                continue;
            }
            if (c >= 0xE0 && c <= 0xF4) {
                // A longer UTF-8 sequence is a character above U+00FF.
                const size_t length = c >= 0xF0 ? 4 : 3;
                bool sequence = m_pos + length <= m_text.size();
                for (size_t k = 1; sequence && k < length; ++k)
                    sequence = (static_cast<unsigned char>(m_text[m_pos + k]) & 0xC0) == 0x80;
                if (sequence)
                    Fail("a character above U+00FF stands for no byte");
            }
            // Any other byte (ASCII, or a lone Latin-1 byte) stands for itself.
            out.push_back(static_cast<char>(c));
            ++m_pos;
        }
    }

    const std::string& m_text;
    size_t m_pos = 0;
};

}  // namespace

JsonValue ParseJson(const std::string& text) {
    return Reader(text).Document();
}

std::string JsonString(const std::string& bytes) {
    std::string out = "\"";
    for (const char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out.push_back(ch);
                }
        }
    }
    out += "\"";
    return out;
}
