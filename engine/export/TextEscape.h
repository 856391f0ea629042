#pragma once
// Field escaping shared by `rows` and the csv and JSON Lines exports, so
// that both give the same text for the same cells.

#include <string>

namespace pw {

// csv (RFC 4180): quoted when the cell holds a comma, a quote, CR or LF; quotes doubled.
void AppendCsvField(std::string& line, const std::string& text);
// tsv: backslash, tab, CR and LF written as \\, \t, \r and \n.
void AppendTsvField(std::string& line, const std::string& text);
// A JSON string literal (control characters as \u00XX).
void AppendJsonString(std::string& line, const std::string& text);

}  // namespace pw
