#pragma once
// Reads the INSERT statements of a T-SQL script (the scripts that created the
// databases of the real-file corpus) and normalises values for comparison
// with listed cells.
//
// Supported statement forms:
//   INSERT [INTO] name [(col, ...)] VALUES (v, ...)[, (v, ...)]
// with names plain, "quoted", [bracketed] or schema-qualified, and values
// 'text' (quotes doubled), N'text', numbers (optionally with $ or a sign),
// NULL, 0x hex digits and CAST(value AS type). Anything else makes the
// statement be skipped (such as "FOR insert" in a trigger).

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/ByteView.h"
#include "support/CodePage.h"
#include "support/Utf.h"

namespace sqltruth {

struct InsertStatement {
    std::string table;                 // without schema and quotes
    std::vector<std::string> columns;  // empty: positional
    std::vector<std::optional<std::string>> values;  // nullopt: NULL
};

// The script's text as UTF-8: UTF-16LE with a byte-order mark, UTF-8 (with or
// without a mark), else the Windows code page `fallbackCodePage`.
inline std::string ScriptText(const std::string& bytes, int fallbackCodePage = 1252) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (bytes.size() >= 2 && data[0] == 0xFF && data[1] == 0xFE)
        return pw::Utf16LeToUtf8(pw::ByteView(data + 2, bytes.size() - 2));
    if (bytes.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) return bytes.substr(3);
    // Valid UTF-8?
    std::size_t i = 0;
    bool valid = true;
    while (i < bytes.size() && valid) {
        const std::uint8_t c = data[i];
        std::size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
        if (extra == 9 || i + extra >= bytes.size() + (extra == 0 ? 1 : 0)) {
            valid = extra == 0;
            if (!valid) break;
        }
        for (std::size_t k = 1; k <= extra && valid; ++k) valid = i + k < bytes.size() && (data[i + k] & 0xC0) == 0x80;
        i += extra + 1;
    }
    if (valid) return bytes;
    pw::CodePageConverter converter;
    return converter.ToUtf8(fallbackCodePage, pw::ByteView(data, bytes.size()));
}

class ScriptParser {
public:
    explicit ScriptParser(std::string text) : s_(std::move(text)) {}

    std::vector<InsertStatement> Inserts() {
        std::vector<InsertStatement> out;
        while (p_ < s_.size()) {
            SkipSpaceAndComments();
            if (p_ >= s_.size()) break;
            const char c = s_[p_];
            if (c == '\'') {
                SkipString();
            } else if (IsWordStart(c)) {
                const std::size_t start = p_;
                const std::string word = Word();
                if (Lower(word) == "insert") {
                    InsertStatement statement;
                    const std::size_t after = p_;
                    if (ParseInsert(statement, out))
                        continue;
                    p_ = after;
                } else if (start == p_) {
                    ++p_;
                }
            } else {
                ++p_;
            }
        }
        return out;
    }

private:
    static bool IsWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#'; }
    static bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#' || c == '$'; }
    static std::string Lower(std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }

    void SkipSpaceAndComments() {
        while (p_ < s_.size()) {
            if (std::isspace(static_cast<unsigned char>(s_[p_]))) {
                ++p_;
            } else if (s_.compare(p_, 2, "--") == 0) {
                while (p_ < s_.size() && s_[p_] != '\n') ++p_;
            } else if (s_.compare(p_, 2, "/*") == 0) {
                const std::size_t end = s_.find("*/", p_ + 2);
                p_ = end == std::string::npos ? s_.size() : end + 2;
            } else {
                break;
            }
        }
    }

    void SkipString() {
        ++p_;
        while (p_ < s_.size()) {
            if (s_[p_] == '\'') {
                if (p_ + 1 < s_.size() && s_[p_ + 1] == '\'') {
                    p_ += 2;
                    continue;
                }
                ++p_;
                return;
            }
            ++p_;
        }
    }

    std::string Word() {
        const std::size_t start = p_;
        while (p_ < s_.size() && IsWordChar(s_[p_])) ++p_;
        return s_.substr(start, p_ - start);
    }

    // One part of a name: plain, "quoted" or [bracketed].
    std::optional<std::string> NamePart() {
        SkipSpaceAndComments();
        if (p_ >= s_.size()) return std::nullopt;
        const char c = s_[p_];
        if (c == '"' || c == '[') {
            const char close = c == '"' ? '"' : ']';
            const std::size_t end = s_.find(close, p_ + 1);
            if (end == std::string::npos) return std::nullopt;
            std::string name = s_.substr(p_ + 1, end - p_ - 1);
            p_ = end + 1;
            return name;
        }
        if (!IsWordStart(c)) return std::nullopt;
        return Word();
    }

    std::optional<std::string> Name() {
        std::optional<std::string> name = NamePart();
        while (name && p_ < s_.size() && s_[p_] == '.') {
            ++p_;
            name = NamePart();
        }
        return name;
    }

    bool Expect(char c) {
        SkipSpaceAndComments();
        if (p_ < s_.size() && s_[p_] == c) {
            ++p_;
            return true;
        }
        return false;
    }

    // A string literal starting at p_ (the opening quote).
    std::string StringLiteral() {
        std::string text;
        ++p_;
        while (p_ < s_.size()) {
            if (s_[p_] == '\'') {
                if (p_ + 1 < s_.size() && s_[p_ + 1] == '\'') {
                    text += '\'';
                    p_ += 2;
                    continue;
                }
                ++p_;
                break;
            }
            text += s_[p_++];
        }
        return text;
    }

    // One value; false when it is not a form this reader knows.
    bool Value(std::optional<std::string>& value) {
        SkipSpaceAndComments();
        if (p_ >= s_.size()) return false;
        char c = s_[p_];
        if ((c == 'N' || c == 'n') && p_ + 1 < s_.size() && s_[p_ + 1] == '\'') {
            ++p_;
            c = '\'';
        }
        if (c == '\'') {
            value = StringLiteral();
            return true;
        }
        if (c == '0' && p_ + 1 < s_.size() && (s_[p_ + 1] == 'x' || s_[p_ + 1] == 'X')) {
            const std::size_t start = p_;
            p_ += 2;
            while (p_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[p_]))) ++p_;
            value = s_.substr(start, p_ - start);
            return true;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '$' || c == '.') {
            const std::size_t start = p_;
            ++p_;
            while (p_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[p_])) || s_[p_] == '.' ||
                                      s_[p_] == 'e' || s_[p_] == 'E' ||
                                      ((s_[p_] == '-' || s_[p_] == '+') && (s_[p_ - 1] == 'e' || s_[p_ - 1] == 'E'))))
                ++p_;
            value = s_.substr(start, p_ - start);
            return true;
        }
        if (IsWordStart(c)) {
            const std::string word = Lower(Word());
            if (word == "null") {
                value = std::nullopt;
                return true;
            }
            if (word == "cast") {
                if (!Expect('(') || !Value(value)) return false;
                SkipSpaceAndComments();
                if (Lower(Word()) != "as") return false;
                int depth = 0;
                while (p_ < s_.size()) {
                    if (s_[p_] == '(') ++depth;
                    if (s_[p_] == ')') {
                        if (depth == 0) break;
                        --depth;
                    }
                    ++p_;
                }
                return Expect(')');
            }
        }
        return false;
    }

    bool ParseInsert(InsertStatement& statement, std::vector<InsertStatement>& out) {
        SkipSpaceAndComments();
        const std::size_t mark = p_;
        if (Lower(Word()) != "into") p_ = mark;
        const std::optional<std::string> table = Name();
        if (!table) return false;
        statement.table = *table;
        SkipSpaceAndComments();
        if (p_ < s_.size() && s_[p_] == '(') {
            ++p_;
            while (true) {
                const std::optional<std::string> column = NamePart();
                if (!column) return false;
                statement.columns.push_back(*column);
                if (Expect(',')) continue;
                if (Expect(')')) break;
                return false;
            }
        }
        SkipSpaceAndComments();
        if (Lower(Word()) != "values") return false;
        bool any = false;
        do {
            if (!Expect('(')) return any;
            InsertStatement row;
            row.table = statement.table;
            row.columns = statement.columns;
            while (true) {
                std::optional<std::string> value;
                if (!Value(value)) return any;
                row.values.push_back(value);
                if (Expect(',')) continue;
                if (Expect(')')) break;
                return any;
            }
            out.push_back(std::move(row));
            any = true;
        } while (Expect(','));
        return true;
    }

    std::string s_;
    std::size_t p_ = 0;
};

// ---- normalisation ----------------------------------------------------------

inline std::string TrimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

// A number as digits with no sign of $, no trailing fraction zeros: "$20.00" and "20" give "20".
inline std::optional<std::string> CanonicalNumber(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '$'), text.end());
    if (text.empty()) return std::nullopt;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.erase(0, 1);
    }
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return std::nullopt;
    if (std::count(text.begin(), text.end(), '.') > 1) return std::nullopt;
    std::string whole = text.substr(0, text.find('.'));
    std::string fraction = text.find('.') == std::string::npos ? "" : text.substr(text.find('.') + 1);
    while (whole.size() > 1 && whole[0] == '0') whole.erase(0, 1);
    if (whole.empty()) whole = "0";
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string out = whole + (fraction.empty() ? "" : "." + fraction);
    if (negative && out != "0") out = "-" + out;
    return out;
}

// A date and time as "YYYY-MM-DD HH:MM:SS" (fractions dropped when zero):
// ISO forms ("2018-05-24T00:00:00.000", "1996-07-04 00:00:00") and the
// month/day/year forms of the scripts ("06/12/94", two-digit years below 50
// are of this century).
inline std::optional<std::string> CanonicalDate(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    std::string fraction;
    const char* s = text.c_str();
    int consumed = 0;
    if (std::sscanf(s, "%4d-%2d-%2d%n", &y, &mo, &d, &consumed) == 3) {
    } else if (std::sscanf(s, "%2d/%2d/%4d%n", &mo, &d, &y, &consumed) == 3) {
        if (consumed <= 8 && y < 100) y += y < 50 ? 2000 : 1900;
    } else {
        return std::nullopt;
    }
    const char* rest = s + consumed;
    if (*rest == 'T' || *rest == ' ') {
        ++rest;
        int used = 0;
        if (std::sscanf(rest, "%2d:%2d%n", &h, &mi, &used) == 2) {
            rest += used;
            if (*rest == ':') {
                int sused = 0;
                if (std::sscanf(rest + 1, "%2d%n", &sec, &sused) == 1) rest += 1 + sused;
            }
            if (*rest == '.') {
                ++rest;
                while (std::isdigit(static_cast<unsigned char>(*rest))) fraction += *rest++;
            }
        }
    }
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, sec);
    return std::string(buffer) + (fraction.empty() ? "" : "." + fraction);
}

enum class ValueClass { kText, kNumber, kBit, kDate, kBinary, kGuid };

inline std::string Canonical(const std::string& text, ValueClass cls) {
    switch (cls) {
        case ValueClass::kNumber:
            if (auto n = CanonicalNumber(text)) return *n;
            break;
        case ValueClass::kBit:
            // Any number but 0 stored into a bit column is stored as 1.
            if (text == "True") return "1";
            if (text == "False") return "0";
            if (auto n = CanonicalNumber(text)) return *n == "0" ? "0" : "1";
            break;
        case ValueClass::kDate:
            if (auto date = CanonicalDate(text)) return *date;
            break;
        case ValueClass::kBinary:
        case ValueClass::kGuid: {
            std::string upper = text;
            for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (cls == ValueClass::kBinary && upper.rfind("0X", 0) == 0) upper = "0x" + upper.substr(2);
            return upper;
        }
        case ValueClass::kText:
            break;
    }
    // Text compares without trailing blanks and line ends (char(n) values
    // are padded) and with CR LF read as LF.
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return TrimRight(out);
}

}  // namespace sqltruth
