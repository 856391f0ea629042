#pragma once
// Column types and value literals of the export formats, derived from the
// recovered column descriptors (value kind, stored length, precision, scale).

#include <string>

#include "catalog/ColumnDescriptor.h"

namespace pw {

// The T-SQL type of a column for CREATE TABLE: the SQL Server system type
// its value kind stands for, with length (characters for the Unicode types,
// max for -1), precision and scale. A timestamp (rowversion) column becomes
// binary(8), since a new database fills rowversion values itself and
// refuses given ones; a CLR type other than hierarchyid, geometry and
// geography becomes varbinary(max).
std::string SqlServerTypeOf(const ColumnDescriptor& column);

// The storage class of a column in the SQLite export.
enum class SqliteClass { kInteger, kReal, kText, kBlob };

// Integers and bit: INTEGER; float and real: REAL; money, decimal and
// numeric: REAL when every value fits a double's 15 significant digits
// exactly (precision 15 or less), else TEXT so that no digit is lost;
// binary, varbinary, image, timestamp and the CLR types: BLOB; the rest TEXT.
SqliteClass SqliteClassOf(const ColumnDescriptor& column);
const char* SqliteTypeName(SqliteClass storage);

// The T-SQL literal of a cell: NULL for a NULL cell and for a value that
// cannot be written as its type (an empty number, hex that is not hex);
// integers and decimals as written; bit as 1 or 0; binary as 0x...; date
// and time as quoted ISO text (datetime and smalldatetime with a T between
// date and time, which SQL Server reads the same under every language);
// Unicode kinds and character text outside ASCII as N'...'; quotes doubled.
std::string SqlLiteral(const ColumnDescriptor& cell);

// Hex digits (with or without a leading 0x) to bytes; false when the text
// holds anything else or an odd number of digits.
bool DecodeHexText(const std::string& text, std::string& bytes);

// A cell text that is a whole decimal number (sign, digits, one point,
// exponent) as T-SQL and SQLite read it.
bool IsNumberText(const std::string& text);

// [name] with ] doubled; "name" with " doubled.
std::string SqlServerName(const std::string& name);
std::string SqliteName(const std::string& name);

// Whether the value kind holds binary bytes rendered as hex.
bool IsBinaryKind(int kind);

}  // namespace pw
