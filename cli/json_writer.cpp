#include "cli/json_writer.h"

#include "cli/utf8.h"

namespace quillon::cli {

namespace {
constexpr char kHex[] = "0123456789abcdef";

void AppendUnitEscape(std::string& out, unsigned unit) {
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(unit >> shift) & 0xF]);
}
}  // namespace

void JsonWriter::Indent(std::size_t depth) {
    out_.push_back('\n');
    out_.append(depth * 2, ' ');
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) return;
    Level& level = levels_.back();
    if (!level.empty) out_.push_back(',');
    if (level.broken)
        Indent(levels_.size());
    else if (!level.empty)
        out_.push_back(' ');
    level.empty = false;
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    out_.push_back(bracket);
    levels_.push_back({static_cast<int>(levels_.size()) < lineBreakDepth_, true});
}

void JsonWriter::Close(char bracket) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (level.broken && !level.empty) Indent(levels_.size());
    out_.push_back(bracket);
}

void JsonWriter::Key(std::wstring_view name) {
    BeforeValue();
    Quoted(name);
    out_ += ": ";
    afterKey_ = true;
}

void JsonWriter::String(std::wstring_view text) {
    BeforeValue();
    Quoted(text);
}

void JsonWriter::String(std::string_view utf8) {
    BeforeValue();
    out_.push_back('"');
    for (char c : utf8) {
        if (c == '"' || c == '\\') {
            out_.push_back('\\');
            out_.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            AppendUnitEscape(out_, static_cast<unsigned char>(c));
        } else {
            out_.push_back(c);
        }
    }
    out_.push_back('"');
}

void JsonWriter::Number(std::uint64_t value) {
    BeforeValue();
    out_ += std::to_string(value);
}

void JsonWriter::Null() {
    BeforeValue();
    out_ += "null";
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    out_ += value ? "true" : "false";
}

void JsonWriter::Quoted(std::wstring_view text) {
    out_.push_back('"');
    for (std::size_t i = 0; i < text.size();) {
        bool lone = false;
        const char32_t c = NextCodePoint(text, i, lone);
        switch (c) {
            case '"': out_ += "\\\""; continue;
            case '\\': out_ += "\\\\"; continue;
            case '\n': out_ += "\\n"; continue;
            case '\r': out_ += "\\r"; continue;
            case '\t': out_ += "\\t"; continue;
            default: break;
        }
        // Control characters and lone surrogates travel as escapes, so a reader gets the exact units.
        if (c < 0x20 || lone)
            AppendUnitEscape(out_, static_cast<unsigned>(c));
        else
            AppendCodePoint(out_, c);
    }
    out_.push_back('"');
}

}  // namespace quillon::cli
