#pragma once
// A strict little JSON reader for checking quillon-cli's output (the product writes JSON itself).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quillon::test {

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    std::string number;  // the number's text as written
    std::string text;    // a string, UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member named `key`, or null when there is none (or this is no object).
    const JsonValue* Find(const std::string& key) const;
    std::uint64_t Unsigned() const { return std::stoull(number); }
};

// Parses the whole of `text` (surrounding white space allowed). False, with `error` saying where,
// on anything that is not exactly one JSON value.
bool ParseJson(const std::string& text, JsonValue& value, std::string& error);

}  // namespace quillon::test
