// A small JSON reader for the known-answer files of the storage tests, and helpers to turn
// their hex strings into bytes. Texts are read one byte a character: a "\u00XX" escape is
// the byte 0xXX. Numbers keep their text, so 64-bit values arrive whole.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    std::string text;  // the string, or the number's text, or "true"/"false"
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](size_t i) const { return items.at(i); }
    bool Has(const std::string& key) const { return members.count(key) != 0; }
    unsigned long long U64() const;
};

// Parses a whole JSON text; throws std::runtime_error on a malformed one.
JsonValue ParseJson(const std::string& text);
// Reads and parses a file of the shared known answers (name relative to the vectors folder).
JsonValue LoadVectors(const std::string& name);

std::string FromHex(const std::string& hex);
std::string ToHex(const std::string& bytes);
