#include "tests/cli/json_reader.h"

namespace quillon::test {

namespace {

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    bool Document(JsonValue& value, std::string& error) {
        const bool ok = Value(value) && (Space(), at_ == text_.size());
        if (!ok) error = "invalid JSON near byte " + std::to_string(at_);
        return ok;
    }

private:
    void Space() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool Take(char c) {
        Space();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }
    bool Value(JsonValue& value) {
        Space();
        if (at_ >= text_.size()) return false;
        const char c = text_[at_];
        if (c == '{') return Object(value);
        if (c == '[') return Array(value);
        if (c == '"') {
            value.type = JsonValue::Type::String;
            return String(value.text);
        }
        if (c == 't' || c == 'f') {
            value.type = JsonValue::Type::Bool;
            value.boolean = c == 't';
            return Word(c == 't' ? "true" : "false");
        }
        if (c == 'n') return Word("null");
        return Number(value);
    }
    bool Number(JsonValue& value) {
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        std::size_t digits = 0;
        while (at_ < text_.size() && ((text_[at_] >= '0' && text_[at_] <= '9') || text_[at_] == '.' || text_[at_] == 'e' ||
                                      text_[at_] == 'E' || text_[at_] == '+' || text_[at_] == '-')) {
            ++at_;
            ++digits;
        }
        if (digits == 0) return false;
        value.type = JsonValue::Type::Number;
        value.number = text_.substr(start, at_ - start);
        return true;
    }
    static void AppendUtf8(std::string& out, unsigned long c) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    bool Hex4(unsigned long& unit) {
        if (at_ + 4 > text_.size()) return false;
        unit = std::stoul(text_.substr(at_, 4), nullptr, 16);
        at_ += 4;
        return true;
    }
    bool String(std::string& out) {
        ++at_;  // the opening quote
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;  // raw control characters are not JSON
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (at_ >= text_.size()) return false;
            const char e = text_[at_++];
            switch (e) {
                case '"': out.push_back('"'); break;
                case '\\': out.push_back('\\'); break;
                case '/': out.push_back('/'); break;
                case 'b': out.push_back('\b'); break;
                case 'f': out.push_back('\f'); break;
                case 'n': out.push_back('\n'); break;
                case 'r': out.push_back('\r'); break;
                case 't': out.push_back('\t'); break;
                case 'u': {
                    unsigned long unit = 0;
                    if (!Hex4(unit)) return false;
                    if (unit >= 0xD800 && unit <= 0xDBFF && text_.compare(at_, 2, "\\u") == 0) {
                        const std::size_t back = at_;
                        at_ += 2;
                        unsigned long low = 0;
                        if (Hex4(low) && low >= 0xDC00 && low <= 0xDFFF)
                            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                        else
                            at_ = back;
                    }
                    AppendUtf8(out, unit);
                    break;
                }
                default: return false;
            }
        }
        return false;
    }
    bool Array(JsonValue& value) {
        ++at_;
        value.type = JsonValue::Type::Array;
        if (Take(']')) return true;
        do {
            value.items.emplace_back();
            if (!Value(value.items.back())) return false;
        } while (Take(','));
        return Take(']');
    }
    bool Object(JsonValue& value) {
        ++at_;
        value.type = JsonValue::Type::Object;
        if (Take('}')) return true;
        do {
            Space();
            if (at_ >= text_.size() || text_[at_] != '"') return false;
            std::string key;
            if (!String(key) || !Take(':')) return false;
            value.members.emplace_back(std::move(key), JsonValue{});
            if (!Value(value.members.back().second)) return false;
        } while (Take(','));
        return Take('}');
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& key) const {
    for (const auto& member : members)
        if (member.first == key) return &member.second;
    return nullptr;
}

bool ParseJson(const std::string& text, JsonValue& value, std::string& error) {
    value = JsonValue{};
    return Reader(text).Document(value, error);
}

}  // namespace quillon::test
