#include "export/ExportTypes.h"

#include <algorithm>

#include "rows/ValueKind.h"

namespace pw {

namespace {

std::string TypeBaseName(const std::string& typeText) {
    const std::size_t open = typeText.find('(');
    return open == std::string::npos ? typeText : typeText.substr(0, open);
}

// A declared length in characters: max for -1 (and for what cannot be a length).
std::string LengthText(int length, int limit) {
    if (length < 0 || length > limit) return "max";
    return std::to_string(std::max(length, 1));
}

// Fixed-length types have no max: they keep 1 to `limit`.
std::string FixedLengthText(int length, int limit) { return std::to_string(std::clamp(length, 1, limit)); }

// The stored length in bytes between the type text's parentheses (-1 for
// max); the descriptor's maxLength is kept for a few kinds only.
int DeclaredLength(const ColumnDescriptor& column) {
    const std::size_t open = column.typeText.find('(');
    if (open == std::string::npos) return column.maxLength;
    const std::size_t close = column.typeText.find(')', open + 1);
    const std::string number = column.typeText.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    if (number.empty() || number.size() > 6) return column.maxLength;
    bool negative = number[0] == '-';
    int value = 0;
    for (std::size_t i = negative ? 1 : 0; i < number.size(); ++i) {
        if (number[i] < '0' || number[i] > '9') return column.maxLength;
        value = value * 10 + (number[i] - '0');
    }
    return negative ? -value : value;
}

int ScaleOf(const ColumnDescriptor& column) { return column.scale <= 7 ? column.scale : 7; }

std::string Quoted(const std::string& text, bool unicode) {
    std::string literal;
    literal.reserve(text.size() + 3);
    if (unicode) literal += 'N';
    literal += '\'';
    for (const char c : text) {
        if (c == '\'') literal += '\'';
        literal += c;
    }
    literal += '\'';
    return literal;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

// A datetimeoffset cell ends in its offset as the grid shows it ("+1:0",
// after blanks); T-SQL wants "+01:00".
std::string OffsetLiteralText(const std::string& text) {
    const std::size_t blank = text.find_last_of(' ');
    if (blank == std::string::npos || blank + 1 >= text.size()) return text;
    const std::string offset = text.substr(blank + 1);
    const std::size_t colon = offset.find(':');
    if ((offset[0] != '+' && offset[0] != '-') || colon == std::string::npos || colon < 2 || colon + 1 >= offset.size() ||
        offset.size() - colon - 1 > 2 || colon - 1 > 2)
        return text;
    for (std::size_t i = 1; i < offset.size(); ++i)
        if (i != colon && (offset[i] < '0' || offset[i] > '9')) return text;
    std::string hours = offset.substr(1, colon - 1), minutes = offset.substr(colon + 1);
    if (hours.size() < 2) hours.insert(hours.begin(), '0');
    if (minutes.size() < 2) minutes.insert(minutes.begin(), '0');
    std::size_t end = blank;
    while (end > 0 && text[end - 1] == ' ') --end;
    return text.substr(0, end) + " " + offset[0] + hours + ":" + minutes;
}

}  // namespace

bool IsBinaryKind(int kind) {
    switch (kind) {
        case kKindBinary:
        case kKindVarBinary:
        case kKindImage:
        case kKindTimestamp:
        case kKindHierarchyId:
        case kKindGeometry:
        case kKindClr:
            return true;
        default:
            return false;
    }
}

std::string SqlServerTypeOf(const ColumnDescriptor& column) {
    const int length = DeclaredLength(column);
    switch (column.valueKind) {
        case kKindBigInt: return "bigint";
        case kKindInt: return "int";
        case kKindSmallInt: return "smallint";
        case kKindTinyInt: return "tinyint";
        case kKindBit: return "bit";
        case kKindMoney: return "money";
        case kKindSmallMoney: return "smallmoney";
        case kKindFloat: return "float";
        case kKindReal: return "real";
        case kKindDecimal:
        case kKindNumeric: {
            const int precision = column.precision >= 1 && column.precision <= 38 ? column.precision : 18;
            const int scale = std::min<int>(column.scale, precision);
            return std::string(column.valueKind == kKindDecimal ? "decimal(" : "numeric(") + std::to_string(precision) +
                   "," + std::to_string(scale) + ")";
        }
        case kKindDateTime: return "datetime";
        case kKindSmallDateTime: return "smalldatetime";
        case kKindDate: return "date";
        case kKindTime: return "time(" + std::to_string(ScaleOf(column)) + ")";
        case kKindDateTime2: return "datetime2(" + std::to_string(ScaleOf(column)) + ")";
        case kKindDateTimeOffset: return "datetimeoffset(" + std::to_string(ScaleOf(column)) + ")";
        case kKindUniqueIdentifier: return "uniqueidentifier";
        case kKindChar: return "char(" + FixedLengthText(length, 8000) + ")";
        case kKindVarChar: return "varchar(" + LengthText(length, 8000) + ")";
        case kKindNChar: return "nchar(" + FixedLengthText(length / 2, 4000) + ")";
        case kKindNVarChar: return "nvarchar(" + LengthText(length < 0 ? -1 : length / 2, 4000) + ")";
        case kKindText: return "text";
        case kKindNText: return "ntext";
        case kKindImage: return "image";
        case kKindBinary: return "binary(" + FixedLengthText(length, 8000) + ")";
        case kKindVarBinary: return "varbinary(" + LengthText(length, 8000) + ")";
        case kKindTimestamp: return "binary(8)";
        case kKindSqlVariant: return "sql_variant";
        case kKindXml: return "xml";
        case kKindHierarchyId: return "hierarchyid";
        case kKindGeometry: return "geometry";
        case kKindClr: return TypeBaseName(column.typeText) == "geography" ? "geography" : "varbinary(max)";
        case kKindRowLocator: return "varchar(64)";
        default: return "nvarchar(max)";
    }
}

SqliteClass SqliteClassOf(const ColumnDescriptor& column) {
    switch (column.valueKind) {
        case kKindBigInt:
        case kKindInt:
        case kKindSmallInt:
        case kKindTinyInt:
        case kKindBit:
            return SqliteClass::kInteger;
        case kKindFloat:
        case kKindReal:
        case kKindSmallMoney:
            return SqliteClass::kReal;
        case kKindMoney:  // 19 digits
            return SqliteClass::kText;
        case kKindDecimal:
        case kKindNumeric:
            return column.precision >= 1 && column.precision <= 15 ? SqliteClass::kReal : SqliteClass::kText;
        default:
            return IsBinaryKind(column.valueKind) ? SqliteClass::kBlob : SqliteClass::kText;
    }
}

const char* SqliteTypeName(SqliteClass storage) {
    switch (storage) {
        case SqliteClass::kInteger: return "INTEGER";
        case SqliteClass::kReal: return "REAL";
        case SqliteClass::kBlob: return "BLOB";
        case SqliteClass::kText: break;
    }
    return "TEXT";
}

bool DecodeHexText(const std::string& text, std::string& bytes) {
    std::size_t start = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) start = 2;
    if ((text.size() - start) % 2 != 0) return false;
    bytes.clear();
    bytes.reserve((text.size() - start) / 2);
    for (std::size_t i = start; i < text.size(); i += 2) {
        if (!IsHexDigit(text[i]) || !IsHexDigit(text[i + 1])) return false;
        bytes.push_back(static_cast<char>(HexValue(text[i]) * 16 + HexValue(text[i + 1])));
    }
    return true;
}

bool IsNumberText(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
    std::size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
        std::size_t exponent = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == n;
}

std::string SqlLiteral(const ColumnDescriptor& cell) {
    if (cell.isNull) return "NULL";
    const std::string& text = cell.value;
    switch (cell.valueKind) {
        case kKindBigInt:
        case kKindInt:
        case kKindSmallInt:
        case kKindTinyInt:
        case kKindMoney:
        case kKindSmallMoney:
        case kKindDecimal:
        case kKindNumeric:
        case kKindFloat:
        case kKindReal:
            return IsNumberText(text) ? text : "NULL";
        case kKindBit:
            if (text == "True" || text == "1") return "1";
            if (text == "False" || text == "0") return "0";
            return "NULL";
        case kKindDateTime:
        case kKindSmallDateTime: {
            if (text.empty() || text == " ") return "NULL";
            std::string iso = text;
            if (iso.size() > 10 && iso[10] == ' ') iso[10] = 'T';
            return Quoted(iso, false);
        }
        case kKindDateTimeOffset:
            if (text.empty() || text == " ") return "NULL";
            return Quoted(OffsetLiteralText(text), false);
        case kKindDate:
        case kKindTime:
        case kKindDateTime2:
        case kKindUniqueIdentifier:
            if (text.empty() || text == " ") return "NULL";
            return Quoted(text, false);
        case kKindNChar:
        case kKindNVarChar:
        case kKindNText:
        case kKindXml:
        case kKindSqlVariant:
            return Quoted(text, true);
        default:
            break;
    }
    if (IsBinaryKind(cell.valueKind)) {
        std::string bytes;
        if (!DecodeHexText(text, bytes)) return "NULL";
        std::string literal = "0x";
        literal.append(text, text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') ? 2 : 0);
        return literal;
    }
    return Quoted(text, !IsAscii(text));
}

std::string SqlServerName(const std::string& name) {
    std::string quoted = "[";
    for (const char c : name) {
        if (c == ']') quoted += ']';
        quoted += c;
    }
    return quoted + "]";
}

std::string SqliteName(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace pw
