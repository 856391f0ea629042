#pragma once
// Reading exports back: a T-SQL statement splitter, a csv reader, a JSON
// Lines reader and SQLite row counts.

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace exporttest {

// A T-SQL script cut into statements: at ';' and at GO lines, outside
// quotes ('...', N'...', [...], "..."), comments and parentheses.
struct SplitScript {
    std::vector<std::string> statements;
    std::vector<std::string> problems;  // unbalanced quotes or parentheses, a statement cut short
};

inline std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

inline SplitScript SplitTsql(const std::string& script) {
    SplitScript out;
    std::string current;
    int depth = 0;
    std::size_t line = 1;
    enum class State { kCode, kString, kBracket, kQuoted, kLineComment, kBlockComment } state = State::kCode;
    const auto finish = [&](const char* where) {
        const std::string statement = Trim(current);
        if (depth != 0) out.problems.push_back("parentheses open at " + std::string(where) + " line " + std::to_string(line));
        if (!statement.empty()) out.statements.push_back(statement);
        current.clear();
        depth = 0;
    };
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        const char next = i + 1 < script.size() ? script[i + 1] : '\0';
        if (c == '\n') ++line;
        switch (state) {
            case State::kString:
                current += c;
                if (c == '\'') {
                    if (next == '\'') current += script[++i];
                    else state = State::kCode;
                }
                continue;
            case State::kBracket:
                current += c;
                if (c == ']') {
                    if (next == ']') current += script[++i];
                    else state = State::kCode;
                }
                continue;
            case State::kQuoted:
                current += c;
                if (c == '"') state = State::kCode;
                continue;
            case State::kLineComment:
                if (c == '\n') state = State::kCode;
                continue;
            case State::kBlockComment:
                if (c == '*' && next == '/') {
                    ++i;
                    state = State::kCode;
                }
                continue;
            case State::kCode:
                break;
        }
        // A GO line ends a batch.
        const bool lineStart = i == 0 || script[i - 1] == '\n';
        if (lineStart && (c == 'G' || c == 'g') && (next == 'O' || next == 'o')) {
            const std::size_t end = script.find('\n', i);
            if (Trim(script.substr(i, end == std::string::npos ? std::string::npos : end - i)).size() == 2) {
                finish("GO");
                i = end == std::string::npos ? script.size() : end - 1;
                continue;
            }
        }
        if (c == '-' && next == '-') {
            state = State::kLineComment;
            ++i;
            continue;
        }
        if (c == '/' && next == '*') {
            state = State::kBlockComment;
            ++i;
            continue;
        }
        current += c;
        if (c == '\'') state = State::kString;
        else if (c == '[') state = State::kBracket;
        else if (c == '"') state = State::kQuoted;
        else if (c == '(') ++depth;
        else if (c == ')') {
            if (--depth < 0) out.problems.push_back("')' without '(' at line " + std::to_string(line));
        } else if (c == ';' && depth == 0) {
            finish("';'");
        }
    }
    if (state == State::kString || state == State::kBracket || state == State::kQuoted || state == State::kBlockComment)
        out.problems.push_back("quote or comment left open at the end");
    finish("the end");
    return out;
}

// RFC 4180 csv: rows of fields (quoted fields may hold commas, quotes and line breaks).
inline std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        any = true;
        if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            any = false;
            ++i;
        } else {
            field += c;
        }
    }
    if (any || !field.empty() || !row.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

// One JSON Lines object of string and null values, in key order of the line.
using JsonCells = std::vector<std::pair<std::string, std::optional<std::string>>>;

inline bool ReadJsonString(const std::string& line, std::size_t& i, std::string& out) {
    if (i >= line.size() || line[i] != '"') return false;
    out.clear();
    for (++i; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            ++i;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= line.size()) return false;
        switch (line[i]) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                if (i + 4 >= line.size()) return false;
                out += static_cast<char>(std::stoi(line.substr(i + 1, 4), nullptr, 16));
                i += 4;
                break;
            }
            default: out += line[i]; break;
        }
    }
    return false;
}

inline std::optional<JsonCells> ReadJsonLine(const std::string& line) {
    JsonCells cells;
    std::size_t i = 0;
    if (line.empty() || line[i++] != '{') return std::nullopt;
    if (line == "{}") return cells;
    while (i < line.size()) {
        std::string key, value;
        if (!ReadJsonString(line, i, key) || i >= line.size() || line[i++] != ':') return std::nullopt;
        if (line.compare(i, 4, "null") == 0) {
            cells.emplace_back(key, std::nullopt);
            i += 4;
        } else {
            if (!ReadJsonString(line, i, value)) return std::nullopt;
            cells.emplace_back(key, value);
        }
        if (i < line.size() && line[i] == ',') {
            ++i;
            continue;
        }
        if (i < line.size() && line[i] == '}') return i + 1 == line.size() ? std::optional<JsonCells>(cells) : std::nullopt;
        return std::nullopt;
    }
    return std::nullopt;
}

// The tables of an SQLite database with their row counts; false when it cannot be opened.
inline bool SqliteCounts(const std::string& path, std::map<std::string, std::int64_t>& counts, std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "cannot open";
        sqlite3_close(db);
        return false;
    }
    std::vector<std::string> names;
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY rowid", -1, &list, nullptr);
    while (list && sqlite3_step(list) == SQLITE_ROW)
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    for (const std::string& name : names) {
        std::string quoted = "\"";
        for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        sqlite3_stmt* count = nullptr;
        const std::string sql = "SELECT count(*) FROM " + quoted + "\"";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &count, nullptr) == SQLITE_OK && sqlite3_step(count) == SQLITE_ROW)
            counts[name] = sqlite3_column_int64(count, 0);
        sqlite3_finalize(count);
    }
    sqlite3_close(db);
    return true;
}

}  // namespace exporttest
