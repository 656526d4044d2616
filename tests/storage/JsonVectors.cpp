// The storage tests' JSON reader: a recursive-descent parser of the known-answer files.
#include "tests/storage/JsonVectors.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kat {
namespace {

class Parser {
  public:
    explicit Parser(const std::string& text) : m_text(text) {}

    Value Document() {
        Value v = Any();
        SkipBlanks();
        if (m_pos != m_text.size())
            Fail("text after the value");
        return v;
    }

  private:
    [[noreturn]] void Fail(const char* what) {
        throw std::runtime_error(std::string("JSON: ") + what + " at " + std::to_string(m_pos));
    }
    void SkipBlanks() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }
    char Peek() {
        SkipBlanks();
        if (m_pos >= m_text.size())
            Fail("unexpected end");
        return m_text[m_pos];
    }
    void Expect(char c) {
        if (Peek() != c)
            Fail("unexpected character");
        ++m_pos;
    }
    bool Word(const char* w) {
        std::string s(w);
        if (m_text.compare(m_pos, s.size(), s) != 0)
            return false;
        m_pos += s.size();
        return true;
    }

    Value Any() {
        Value v;
        char c = Peek();
        if (c == '{') {
            v.kind = Value::Object;
            ++m_pos;
            if (Peek() == '}')
                return ++m_pos, v;
            for (;;) {
                std::string key = StringText();
                Expect(':');
                v.members[key] = Any();
                if (Peek() == ',') {
                    ++m_pos;
                    continue;
                }
                Expect('}');
                return v;
            }
        }
        if (c == '[') {
            v.kind = Value::Array;
            ++m_pos;
            if (Peek() == ']')
                return ++m_pos, v;
            for (;;) {
                v.items.push_back(Any());
                if (Peek() == ',') {
                    ++m_pos;
                    continue;
                }
                Expect(']');
                return v;
            }
        }
        if (c == '"') {
            v.kind = Value::String;
            v.text = StringText();
            return v;
        }
        if (Word("true") || Word("false")) {
            v.kind = Value::Bool;
            v.text = m_text[m_pos - 2] == 'u' ? "true" : "false";
            return v;
        }
        if (Word("null"))
            return v;
        size_t start = m_pos;
        while (m_pos < m_text.size() &&
               std::string("+-.eE0123456789").find(m_text[m_pos]) != std::string::npos)
            ++m_pos;
        if (start == m_pos)
            Fail("no value");
        v.kind = Value::Number;
        v.text = m_text.substr(start, m_pos - start);
        return v;
    }

    std::string StringText() {
        Expect('"');
        std::string out;
        for (;;) {
            if (m_pos >= m_text.size())
                Fail("unterminated string");
            char c = m_text[m_pos++];
            if (c == '"')
                return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size())
                Fail("unterminated escape");
            char e = m_text[m_pos++];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    if (m_pos + 4 > m_text.size())
                        Fail("short \\u escape");
                    unsigned long code = std::strtoul(m_text.substr(m_pos, 4).c_str(), nullptr, 16);
                    m_pos += 4;
                    if (code > 0xFF)
                        Fail("a character beyond one byte");
                    out += static_cast<char>(code);
                    break;
                }
                default:
                    out += e;
                    break;
            }
        }
    }

    const std::string& m_text;
    size_t m_pos = 0;
};

}  // namespace

const Value& Value::operator[](const std::string& key) const {
    auto it = members.find(key);
    if (it == members.end())
        throw std::runtime_error("JSON: no member " + key);
    return it->second;
}

unsigned long long Value::U64() const {
    return std::strtoull(text.c_str(), nullptr, 10);
}

Value Parse(const std::string& text) {
    return Parser(text).Document();
}

Value Load(const std::string& name) {
    std::string path = std::string(QUILL_VECTORS_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::stringstream all;
    all << in.rdbuf();
    return Parse(all.str());
}

std::vector<Value> LoadProtectedVectors() {
    std::vector<Value> all;
    for (const char* name : {"protected.json", "protected_large.json"}) {
        Value file = Load(name);
        for (Value& item : file.items) all.push_back(std::move(item));
    }
    return all;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    return bytes;
}

std::string ToHex(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kHex[c >> 4];
        hex += kHex[c & 15];
    }
    return hex;
}

}  // namespace kat
