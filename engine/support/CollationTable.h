#pragma once
// The collation table shipped beside the executables as "collation.txt".
//
// Each useful line holds three TAB-separated fields: the collation name, its
// id and its Windows code page, both decimal. Lines with fewer than two TABs
// are skipped; numbers convert like strtol clamped to 32 bits, so letters give
// 0; the id is sign-extended to the 64-bit key; a later line with the same id
// replaces an earlier one.

#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <string_view>

namespace pw {

struct CollationInfo {
    std::string strName;
    std::int32_t nCodePage = 0;
};

using CollationMap = std::map<std::int64_t, CollationInfo>;

// Decimal conversion of the collation file: leading white space skipped,
// optional sign, digits up to the first non-digit, 0 without digits, clamped
// to the 32-bit signed range on overflow.
std::int32_t ParseDecimalInt32(std::string_view text);

// Adds the entries of one line; returns false when the line is skipped.
bool ParseCollationLine(std::string_view line, CollationMap& table);

// Reads every line of a collation file.
void ReadCollationTable(std::istream& in, CollationMap& table);

// Fills `table` from "collation.txt" in the folder of `executablePath`.
// A missing or unreadable file leaves the table empty; that is not an error.
void LoadCollationTable(const std::string& executablePath, CollationMap& table);

// The full path of the running executable (empty when it cannot be found).
std::string ExecutablePath();

// The folder part of a path including its last separator ('/' or '\').
std::string FolderOf(std::string_view path);

}  // namespace pw
