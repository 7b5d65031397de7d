#pragma once
// A small JSON writer: values appended to a UTF-8 string in the order the caller gives them. The
// caller keeps the nesting right; the writer places commas, colons, line breaks and escapes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

class JsonWriter {
public:
    // Containers opened above `lineBreakDepth` put each member on a line of its own, indented by two
    // spaces a level; deeper ones stay on one line. 1 gives one array element or object member per line.
    explicit JsonWriter(std::string& out, int lineBreakDepth = 1) : out_(out), lineBreakDepth_(lineBreakDepth) {}

    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    // The name of the next member of the current object.
    void Key(std::wstring_view name);
    void String(std::wstring_view text);
    // Text already in UTF-8 (status words, size texts).
    void String(std::string_view utf8);
    void Number(std::uint64_t value);
    void Null();
    void Bool(bool value);

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);
    void Indent(std::size_t depth);
    void Quoted(std::wstring_view text);

    struct Level {
        bool broken;  // members on their own lines
        bool empty;
    };
    std::string& out_;
    int lineBreakDepth_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace quillon::cli
