// A small JSON reader and the writer of JSON strings, for the driver's script lines and the
// tests that read its output. Texts are byte strings: in a JSON string each code point
// 0x00-0xFF stands for the byte of the same value (written as \u00XX or as UTF-8), so any
// bytes survive the trip. A code point above 0xFF has no byte and is refused.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text;                                        // String
    std::vector<JsonValue> items;                            // Array
    std::vector<std::pair<std::string, JsonValue>> members;  // Object, in the order written

    bool IsNull() const { return type == Type::Null; }
    bool IsString() const { return type == Type::String; }
    bool IsNumber() const { return type == Type::Number; }
    bool IsArray() const { return type == Type::Array; }
    bool IsObject() const { return type == Type::Object; }
    // The member named `name` of an object, or nullptr.
    const JsonValue* Find(const std::string& name) const;
};

// Reads one JSON value (the whole text, white space around it allowed). Throws
// std::invalid_argument naming what is wrong.
JsonValue ParseJson(const std::string& text);

// A JSON string of a byte text: quotes, backslash, control bytes, 0x7F and every byte from
// 0x80 escaped, so the result is plain ASCII.
std::string JsonString(const std::string& bytes);
