#include "platform/linux/PreferencesJson.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace platform::linux_desktop {
namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view notANumber = "NaN";
constexpr std::string_view infinity = "Infinity";
constexpr std::string_view negativeInfinity = "-Infinity";
// Characters written as a backslash and a letter; the parser also takes "\/" for "/".
struct ShortEscape {
    char character;
    char letter;
};
constexpr std::array<ShortEscape, 7> shortEscapes{
    {{'"', '"'}, {'\\', '\\'}, {'\b', 'b'}, {'\f', 'f'}, {'\n', 'n'}, {'\r', 'r'}, {'\t', 't'}}};
// Deep enough for any hand-written value, shallow enough for the stack.
constexpr int maximumNesting = 512;

bool isJsonWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void appendUtf8(std::string& out, char32_t codePoint) {
    const auto byte = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        byte(codePoint);
    } else if (codePoint < 0x800) {
        byte(0xC0 | (codePoint >> 6));
        byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        byte(0xE0 | (codePoint >> 12));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    } else {
        byte(0xF0 | (codePoint >> 18));
        byte(0x80 | ((codePoint >> 12) & 0x3F));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    }
}

// Recursive descent over one document. Every parse function returns false once it has recorded
// the first error; the position then stays where the error was found.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {
        if (text_.starts_with(byteOrderMark)) {
            position_ = byteOrderMark.size();
        }
    }

    std::variant<PreferencesDocument, PreferencesJsonError> parse() {
        skipWhitespace();
        if (atEnd()) {
            return PreferencesJsonError{"the file is empty"};
        }
        if (peek() != '{') {
            if (skipValue(0) && atEndAfterWhitespace()) {
                return PreferencesJsonError{"not a JSON object"};
            }
            return syntaxError();
        }
        PreferencesDocument document;
        if (parseObject(document) && atEndAfterWhitespace()) {
            return document;
        }
        return syntaxError();
    }

private:
    [[nodiscard]] bool atEnd() const { return position_ >= text_.size(); }
    [[nodiscard]] char peek() const { return atEnd() ? '\0' : text_[position_]; }
    [[nodiscard]] bool lookingAt(std::string_view word) const {
        return text_.substr(position_).starts_with(word);
    }

    void skipWhitespace() {
        while (!atEnd() && isJsonWhitespace(text_[position_])) {
            ++position_;
        }
    }

    bool atEndAfterWhitespace() {
        skipWhitespace();
        return atEnd() || fail("unexpected text after the end");
    }

    bool fail(std::string_view problem) {
        if (problem_.empty()) {
            problem_ = problem;
        }
        return false;
    }

    bool consume(char c) {
        if (peek() != c) {
            return false;
        }
        ++position_;
        return true;
    }

    bool expect(char c) {
        skipWhitespace();
        return consume(c) || fail(std::string("expected '") + c + "'");
    }

    [[nodiscard]] PreferencesJsonError syntaxError() const {
        const std::string_view before = text_.substr(0, std::min(position_, text_.size()));
        const auto line = std::count(before.begin(), before.end(), '\n') + 1;
        const auto lineStart = before.rfind('\n');
        const auto column =
            lineStart == std::string_view::npos ? before.size() + 1 : before.size() - lineStart;
        return {"not valid JSON: " + problem_ + " at line " + std::to_string(line) + ", column " +
                std::to_string(column)};
    }

    bool parseObject(PreferencesDocument& document) {
        ++position_;
        skipWhitespace();
        if (consume('}')) {
            return true;
        }
        do {
            if (!parseMember(document)) {
                return false;
            }
            skipWhitespace();
        } while (consume(','));
        return expect('}');
    }

    bool parseMember(PreferencesDocument& document) {
        skipWhitespace();
        std::string key;
        if (!parseString(&key) || !expect(':')) {
            return false;
        }
        skipWhitespace();
        const std::size_t start = position_;
        std::optional<PreferenceValue> value;
        if (!parseStoreValue(value)) {
            return false;
        }
        if (value) {
            document.foreignMembers.erase(key);
            document.values.insert_or_assign(std::move(key), std::move(*value));
        } else {
            document.values.erase(key);
            document.foreignMembers.insert_or_assign(
                std::move(key), std::string(text_.substr(start, position_ - start)));
        }
        return true;
    }

    // A value of one of the store's types, or none after passing over a value of another kind.
    bool parseStoreValue(std::optional<PreferenceValue>& value) {
        switch (peek()) {
        case '"': {
            std::string text;
            if (!parseString(&text)) {
                return false;
            }
            value = std::move(text);
            return true;
        }
        case 't':
        case 'f': {
            const bool flag = peek() == 't';
            value = flag;
            return skipWord(flag ? "true" : "false");
        }
        case 'n':
        case '[':
        case '{':
            return skipValue(0);
        default:
            return parseNumber(value);
        }
    }

    // The number as a double; none when no double holds it (1e400).
    bool parseNumber(std::optional<PreferenceValue>& value) {
        for (const auto& [word, number] :
             {std::pair{negativeInfinity, -std::numeric_limits<double>::infinity()},
              std::pair{infinity, std::numeric_limits<double>::infinity()},
              std::pair{notANumber, std::numeric_limits<double>::quiet_NaN()}}) {
            if (lookingAt(word)) {
                position_ += word.size();
                value = number;
                return true;
            }
        }
        const std::size_t start = position_;
        if (!skipNumber()) {
            return false;
        }
        double number = 0;
        const char* first = text_.data() + start;
        const char* last = text_.data() + position_;
        if (std::from_chars(first, last, number).ec == std::errc()) {
            value = number;
        }
        return true;
    }

    bool skipDigits() {
        if (!isDigit(peek())) {
            return fail("expected a digit");
        }
        while (isDigit(peek())) {
            ++position_;
        }
        return true;
    }

    bool skipNumber() {
        consume('-');
        if (!isDigit(peek())) {
            return fail("expected a value");
        }
        if (!consume('0')) {
            skipDigits();
        }
        if (consume('.') && !skipDigits()) {
            return false;
        }
        if (consume('e') || consume('E')) {
            if (!consume('+')) {
                consume('-');
            }
            return skipDigits();
        }
        return true;
    }

    bool skipValue(int depth) {
        if (depth > maximumNesting) {
            return fail("values nested too deeply");
        }
        skipWhitespace();
        switch (peek()) {
        case '{':
            return skipContainer('}', depth, true);
        case '[':
            return skipContainer(']', depth, false);
        case '"':
            return parseString(nullptr);
        case 'n':
            return skipWord("null");
        case 't':
            return skipWord("true");
        case 'f':
            return skipWord("false");
        default: {
            std::optional<PreferenceValue> ignored;
            return parseNumber(ignored);
        }
        }
    }

    bool skipWord(std::string_view word) {
        if (!lookingAt(word)) {
            return fail("unknown word");
        }
        position_ += word.size();
        return true;
    }

    bool skipContainer(char close, int depth, bool hasKeys) {
        ++position_;
        skipWhitespace();
        if (consume(close)) {
            return true;
        }
        do {
            skipWhitespace();
            if (hasKeys && (!parseString(nullptr) || !expect(':'))) {
                return false;
            }
            if (!skipValue(depth + 1)) {
                return false;
            }
            skipWhitespace();
        } while (consume(','));
        return expect(close);
    }

    // Reads a string into out, or only checks it when out is null.
    bool parseString(std::string* out) {
        if (peek() != '"') {
            return fail("expected a string");
        }
        ++position_;
        while (true) {
            const std::size_t runStart = position_;
            while (!atEnd() && text_[position_] != '"' && text_[position_] != '\\' &&
                   static_cast<unsigned char>(text_[position_]) >= 0x20) {
                ++position_;
            }
            if (out != nullptr) {
                out->append(text_.substr(runStart, position_ - runStart));
            }
            if (atEnd()) {
                return fail("unterminated string");
            }
            const char c = text_[position_];
            if (c == '"') {
                ++position_;
                return true;
            }
            if (c != '\\') {
                return fail("control character in a string");
            }
            ++position_;
            if (!parseEscape(out)) {
                return false;
            }
        }
    }

    bool parseEscape(std::string* out) {
        const char letter = peek();
        if (letter == 'u') {
            return parseUnicodeEscape(out);
        }
        const auto* found =
            std::find_if(shortEscapes.begin(), shortEscapes.end(),
                         [letter](const ShortEscape& escape) { return escape.letter == letter; });
        if (found == shortEscapes.end() && letter != '/') {
            return fail("unknown escape in a string");
        }
        ++position_;
        if (out != nullptr) {
            *out += found == shortEscapes.end() ? letter : found->character;
        }
        return true;
    }

    // \uXXXX, joining a surrogate pair; a lone surrogate keeps its own three bytes.
    bool parseUnicodeEscape(std::string* out) {
        const std::optional<char32_t> unit = hexUnit();
        if (!unit) {
            return fail("expected four hex digits");
        }
        char32_t codePoint = *unit;
        if (codePoint >= 0xD800 && codePoint < 0xDC00 && lookingAt("\\u")) {
            const std::size_t afterFirst = position_;
            ++position_;
            const std::optional<char32_t> low = hexUnit();
            if (low && *low >= 0xDC00 && *low < 0xE000) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (*low - 0xDC00);
            } else {
                position_ = afterFirst;
            }
        }
        if (out != nullptr) {
            appendUtf8(*out, codePoint);
        }
        return true;
    }

    // Reads "uXXXX" at the position.
    std::optional<char32_t> hexUnit() {
        const std::string_view digits = text_.substr(position_ + 1, 4);
        std::uint32_t unit = 0;
        if (digits.size() != 4 || std::any_of(digits.begin(), digits.end(), [](char c) {
                return !std::isxdigit(static_cast<unsigned char>(c));
            })) {
            return std::nullopt;
        }
        std::from_chars(digits.data(), digits.data() + digits.size(), unit, 16);
        position_ += 5;
        return unit;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::string problem_;
};

void appendEscaped(std::string& out, char c) {
    static constexpr std::string_view hexDigits = "0123456789abcdef";
    const auto* found =
        std::find_if(shortEscapes.begin(), shortEscapes.end(),
                     [c](const ShortEscape& escape) { return escape.character == c; });
    if (found != shortEscapes.end()) {
        out += '\\';
        out += found->letter;
    } else {
        const auto byte = static_cast<unsigned char>(c);
        out += "\\u00";
        out += hexDigits[byte >> 4U];
        out += hexDigits[byte & 0xFU];
    }
}

void appendString(std::string& out, std::string_view text) {
    out += '"';
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == '"' || c == '\\') {
            out.append(text.substr(runStart, i - runStart));
            appendEscaped(out, text[i]);
            runStart = i + 1;
        }
    }
    out.append(text.substr(runStart));
    out += '"';
}

void appendNumber(std::string& out, double number) {
    if (std::isnan(number)) {
        out += notANumber;
    } else if (std::isinf(number)) {
        out += number < 0 ? negativeInfinity : infinity;
    } else {
        std::array<char, 32> buffer{};
        const auto result = std::to_chars(buffer.begin(), buffer.end(), number);
        out.append(buffer.begin(), result.ptr);
    }
}

struct ValueWriter {
    std::string& out;
    void operator()(const std::string& text) const { appendString(out, text); }
    void operator()(double number) const { appendNumber(out, number); }
    void operator()(bool flag) const { out += flag ? "true" : "false"; }
};

std::size_t estimatedSize(const PreferencesDocument& document) {
    constexpr std::size_t perMember = 32;
    std::size_t size = 4;
    for (const auto& [key, value] : document.values) {
        const auto* text = std::get_if<std::string>(&value);
        size += key.size() + perMember + (text != nullptr ? text->size() : 0);
    }
    for (const auto& [key, json] : document.foreignMembers) {
        size += key.size() + perMember + json.size();
    }
    return size;
}

} // namespace

std::variant<PreferencesDocument, PreferencesJsonError>
parsePreferencesJson(std::string_view text) {
    return Parser(text).parse();
}

std::string toPreferencesJson(const PreferencesDocument& document) {
    std::string out;
    out.reserve(estimatedSize(document));
    out += '{';
    const char* separator = "\n  ";
    const auto beginMember = [&](std::string_view key) {
        out += separator;
        separator = ",\n  ";
        appendString(out, key);
        out += ": ";
    };
    for (const auto& [key, value] : document.values) {
        beginMember(key);
        std::visit(ValueWriter{out}, value);
    }
    for (const auto& [key, json] : document.foreignMembers) {
        beginMember(key);
        out += json;
    }
    out += document.values.empty() && document.foreignMembers.empty() ? "}\n" : "\n}\n";
    return out;
}

} // namespace platform::linux_desktop
