// A small JSON reader (namespace kat) for the known-answer files of the storage tests, and helpers
// to turn their hex strings into bytes. Texts are read one byte a character: a "\u00XX" escape is
// the byte 0xXX. Numbers keep their text, so 64-bit values arrive whole.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kat {

struct Value {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    std::string text;  // the string, or the number's text, or "true"/"false"
    std::vector<Value> items;
    std::map<std::string, Value> members;

    const Value& operator[](const std::string& key) const;
    const Value& operator[](size_t i) const { return items.at(i); }
    bool Has(const std::string& key) const { return members.count(key) != 0; }
    unsigned long long U64() const;
};

// Parses a whole JSON text; throws std::runtime_error on a malformed one.
Value Parse(const std::string& text);
// Reads and parses a file of the shared known answers (name relative to the vectors folder).
Value Load(const std::string& name);
// The protected-file known answers, every one: the items of protected.json, then those of
// protected_large.json (files of more than one 64 KiB piece, whose last block is padded).
std::vector<Value> LoadProtectedVectors();

std::string FromHex(const std::string& hex);
std::string ToHex(const std::string& bytes);

}  // namespace kat
