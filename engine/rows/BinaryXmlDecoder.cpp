#include "rows/BinaryXmlDecoder.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "support/Utf.h"

namespace pw {

namespace {

// ---------------------------------------------------------------------------
// Token bytes of the stream.

enum : std::uint8_t {
    // Typed values.
    kSqlSmallInt = 0x01,
    kSqlInt = 0x02,
    kSqlReal = 0x03,
    kSqlFloat = 0x04,
    kSqlMoney = 0x05,
    kSqlBit = 0x06,
    kSqlTinyInt = 0x07,
    kSqlBigInt = 0x08,
    kSqlUuid = 0x09,
    kSqlDecimal = 0x0A,
    kSqlNumeric = 0x0B,
    kSqlBinary = 0x0C,
    kSqlChar = 0x0D,
    kSqlNChar = 0x0E,
    kSqlVarBinary = 0x0F,
    kSqlVarChar = 0x10,
    kSqlNVarChar = 0x11,
    kSqlDateTime = 0x12,
    kSqlSmallDateTime = 0x13,
    kSqlSmallMoney = 0x14,
    kSqlText = 0x16,
    kSqlImage = 0x17,
    kSqlNText = 0x18,
    kSqlUdt = 0x1B,
    // Typed values of version 2 (SQL Server 2008 dates and times).
    kXsdTimeOffset = 0x7A,
    kXsdDateTimeOffset = 0x7B,
    kXsdDateOffset = 0x7C,
    kXsdTime2 = 0x7D,
    kXsdDateTime2 = 0x7E,
    kXsdDate2 = 0x7F,
    // Typed values from xml schema types.
    kXsdTime = 0x81,
    kXsdDateTime = 0x82,
    kXsdDate = 0x83,
    kXsdBinHex = 0x84,
    kXsdBase64 = 0x85,
    kXsdBoolean = 0x86,
    kXsdDecimal = 0x87,
    kXsdByte = 0x88,
    kXsdUnsignedShort = 0x89,
    kXsdUnsignedInt = 0x8A,
    kXsdUnsignedLong = 0x8B,
    kXsdQName = 0x8C,
    // Structure.
    kFlushNames = 0xE9,
    kExtension = 0xEA,
    kEndNest = 0xEB,
    kNest = 0xEC,
    kQNameDef = 0xEF,
    kNameDef = 0xF0,
    kCDataEnd = 0xF1,
    kCData = 0xF2,
    kComment = 0xF3,
    kPi = 0xF4,
    kEndAttributes = 0xF5,
    kAttribute = 0xF6,
    kEndElement = 0xF7,
    kElement = 0xF8,
    kSubset = 0xF9,
    kPublic = 0xFA,
    kSystem = 0xFB,
    kDocType = 0xFC,
    kEncoding = 0xFD,
    kXmlDecl = 0xFE,
};

constexpr std::uint16_t kUtf16CodePage = 1200;

bool IsValueToken(std::uint8_t token) {
    switch (token) {
        case kSqlSmallInt: case kSqlInt: case kSqlReal: case kSqlFloat: case kSqlMoney: case kSqlBit:
        case kSqlTinyInt: case kSqlBigInt: case kSqlUuid: case kSqlDecimal: case kSqlNumeric:
        case kSqlBinary: case kSqlChar: case kSqlNChar: case kSqlVarBinary: case kSqlVarChar:
        case kSqlNVarChar: case kSqlDateTime: case kSqlSmallDateTime: case kSqlSmallMoney:
        case kSqlText: case kSqlImage: case kSqlNText: case kSqlUdt:
        case kXsdTimeOffset: case kXsdDateTimeOffset: case kXsdDateOffset: case kXsdTime2:
        case kXsdDateTime2: case kXsdDate2:
        case kXsdTime: case kXsdDateTime: case kXsdDate: case kXsdBinHex: case kXsdBase64:
        case kXsdBoolean: case kXsdDecimal: case kXsdByte: case kXsdUnsignedShort: case kXsdUnsignedInt:
        case kXsdUnsignedLong: case kXsdQName:
            return true;
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------
// Text helpers.

template <typename Integer>
void AppendInteger(std::string& out, Integer value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// `value` in decimal, zero-padded to at least `width` digits.
void AppendPadded(std::string& out, std::uint64_t value, std::size_t width) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const auto digits = static_cast<std::size_t>(result.ptr - buffer);
    if (digits < width) out.append(width - digits, '0');
    out.append(buffer, result.ptr);
}

// Shortest text that reads back as the same value; the xml schema spellings
// of the special values.
template <typename Float>
void AppendFloat(std::string& out, Float value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-INF" : "INF";
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Text content: markup characters and CR (a CR in stored text can only have
// come from a character reference, as line ends are normalised on parsing).
void AppendEscapedText(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '\r': out += "&#xD;"; break;
            default: out += c; break;
        }
    }
}

// Attribute values (always written between double quotes): markup
// characters, the quote, and the white space a parser would normalise away.
void AppendEscapedAttribute(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\t': out += "&#x9;"; break;
            case '\n': out += "&#xA;"; break;
            case '\r': out += "&#xD;"; break;
            default: out += c; break;
        }
    }
}

void AppendBase64(std::string& out, ByteView bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::size_t size = bytes.size();
    out.reserve(out.size() + (size + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const std::uint32_t group = (std::uint32_t{bytes.U8(i)} << 16) | (std::uint32_t{bytes.U8(i + 1)} << 8) |
                                    std::uint32_t{bytes.U8(i + 2)};
        out += kAlphabet[(group >> 18) & 0x3F];
        out += kAlphabet[(group >> 12) & 0x3F];
        out += kAlphabet[(group >> 6) & 0x3F];
        out += kAlphabet[group & 0x3F];
    }
    if (size - i == 1) {
        const std::uint32_t group = std::uint32_t{bytes.U8(i)} << 16;
        out += kAlphabet[(group >> 18) & 0x3F];
        out += kAlphabet[(group >> 12) & 0x3F];
        out += "==";
    } else if (size - i == 2) {
        const std::uint32_t group = (std::uint32_t{bytes.U8(i)} << 16) | (std::uint32_t{bytes.U8(i + 1)} << 8);
        out += kAlphabet[(group >> 18) & 0x3F];
        out += kAlphabet[(group >> 12) & 0x3F];
        out += kAlphabet[(group >> 6) & 0x3F];
        out += '=';
    }
}

void AppendHex(std::string& out, ByteView bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += kDigits[bytes.U8(i) >> 4];
        out += kDigits[bytes.U8(i) & 0x0F];
    }
}

// A little-endian unsigned integer of 4 to 16 bytes as decimal digits, with
// `scale` digits after the point. `trim` drops trailing fraction zeros (and
// the point when nothing is left after it).
std::string DecimalText(ByteView magnitude, unsigned scale, bool negative, bool trim) {
    std::uint32_t limbs[4] = {0, 0, 0, 0};
    const std::size_t count = std::min<std::size_t>(magnitude.size() / 4, 4);
    for (std::size_t i = 0; i < count; ++i) limbs[i] = magnitude.U32(4 * i);

    std::string digits;  // least significant first
    auto nonZero = [&limbs] { return (limbs[0] | limbs[1] | limbs[2] | limbs[3]) != 0; };
    while (nonZero()) {
        std::uint64_t remainder = 0;
        for (std::size_t i = 4; i-- > 0;) {
            const std::uint64_t current = (remainder << 32) | limbs[i];
            limbs[i] = static_cast<std::uint32_t>(current / 10);
            remainder = current % 10;
        }
        digits += static_cast<char>('0' + remainder);
    }
    const bool isZero = digits.empty();
    if (digits.size() < scale + 1) digits.append(scale + 1 - digits.size(), '0');
    std::reverse(digits.begin(), digits.end());
    if (scale > 0) {
        digits.insert(digits.size() - scale, 1, '.');
        if (trim) {
            while (digits.back() == '0') digits.pop_back();
            if (digits.back() == '.') digits.pop_back();
        }
    }
    if (negative && !isZero) digits.insert(digits.begin(), '-');
    return digits;
}

// A value scaled by 10000 (money), always with four decimals.
std::string MoneyText(std::int64_t value) {
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string out;
    if (negative) out += '-';
    AppendInteger(out, magnitude / 10000);
    out += '.';
    AppendPadded(out, magnitude % 10000, 4);
    return out;
}

// ---------------------------------------------------------------------------
// Dates. Days are counted from 1970-01-01 in the proleptic Gregorian calendar.

constexpr std::int64_t kDaysFrom0001To1970 = 719162;
constexpr std::int64_t kDaysFrom1900To1970 = 25567;
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::uint32_t kLastSqlDate = 3652058;  // 9999-12-31 counted from 0001-01-01
constexpr int kMaxZoneMinutes = 14 * 60;

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

// Splits a day count into year, month and day: the year is taken to start on
// 1 March so that the leap day falls at its end, and 400-year eras repeat.
CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;  // shift the origin to 0000-03-01
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<std::uint64_t>(days - era * 146097);
    const std::uint64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::uint64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const auto day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const auto month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

void AppendYear(std::string& out, std::int64_t year) {
    if (year < 0) {
        out += '-';
        AppendPadded(out, 0 - static_cast<std::uint64_t>(year), 4);
    } else {
        AppendPadded(out, static_cast<std::uint64_t>(year), 4);
    }
}

void AppendDate(std::string& out, std::int64_t year, unsigned month, unsigned day) {
    AppendYear(out, year);
    out += '-';
    AppendPadded(out, month, 2);
    out += '-';
    AppendPadded(out, day, 2);
}

void AppendDate(std::string& out, const CivilDate& date) { AppendDate(out, date.year, date.month, date.day); }

void AppendClock(std::string& out, std::uint64_t secondOfDay) {
    AppendPadded(out, secondOfDay / 3600, 2);
    out += ':';
    AppendPadded(out, secondOfDay / 60 % 60, 2);
    out += ':';
    AppendPadded(out, secondOfDay % 60, 2);
}

// "." and the fraction `value` / 10^digits without trailing zeros; nothing when it is zero.
void AppendFraction(std::string& out, std::uint64_t value, std::size_t digits) {
    if (value == 0 || digits == 0) return;
    std::string text;
    AppendPadded(text, value, digits);
    while (!text.empty() && text.back() == '0') text.pop_back();
    out += '.';
    out += text;
}

// Offset from UTC in minutes: "Z" for none, otherwise "+hh:mm" or "-hh:mm".
void AppendZone(std::string& out, int minutes) {
    if (minutes == 0) {
        out += 'Z';
        return;
    }
    out += minutes < 0 ? '-' : '+';
    const auto magnitude = static_cast<std::uint64_t>(minutes < 0 ? -minutes : minutes);
    AppendPadded(out, magnitude / 60, 2);
    out += ':';
    AppendPadded(out, magnitude % 60, 2);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// ---------------------------------------------------------------------------
// 8-bit text in a Windows code page.

std::string IconvName(std::uint32_t codePage) {
    switch (codePage) {
        case 1201: return "UTF-16BE";
        case 20127: return "ASCII";
        case 20866: return "KOI8-R";
        case 21866: return "KOI8-U";
        case 28603: return "ISO-8859-13";
        case 28605: return "ISO-8859-15";
        case 51932: return "EUC-JP";
        case 51949: return "EUC-KR";
        case 54936: return "GB18030";
        case 65000: return "UTF-7";
        case 65001: return "UTF-8";
        default: break;
    }
    if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

// Converts with iconv; a byte it cannot convert becomes U+FFFD. A code page
// iconv does not know is widened byte by byte (Latin-1).
std::string CodePageToUtf8(std::uint32_t codePage, ByteView bytes) {
    if (codePage == kUtf16CodePage) return Utf16LeToUtf8(bytes);
    std::string out;
    iconv_t converter = iconv_open("UTF-8", IconvName(codePage).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        for (std::size_t i = 0; i < bytes.size(); ++i) AppendUtf8(out, bytes.U8(i));
        return out;
    }
    std::vector<char> input(bytes.data(), bytes.data() + bytes.size());
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (done != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        AppendUtf8(out, 0xFFFD);
        if (errno == EILSEQ && inLeft > 0) {
            ++in;
            --inLeft;
            continue;
        }
        break;  // incomplete sequence at the end, or an unexpected error
    }
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(converter, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    iconv_close(converter);
    return out;
}

// ---------------------------------------------------------------------------
// The decoder.

struct QualifiedName {
    std::uint32_t namespaceUri;  // indexes into the name table, 0 = empty
    std::uint32_t prefix;
    std::uint32_t localName;
};

struct NameTables {
    std::vector<std::string> names;  // entry i holds name i + 1
    std::vector<QualifiedName> qualifiedNames;
};

// An open element or nested document.
struct Frame {
    bool nested = false;
    std::string tag;            // element: the name for its end tag
    std::size_t bindingMark = 0;  // element: bindings to drop when it ends
    NameTables parentTables;    // nested document: the name tables to restore
};

struct Attribute {
    std::string name;   // as written
    std::string prefix;
    std::string uri;
    std::string value;
    bool declaration = false;
    std::string declaredPrefix;  // declaration: the prefix it binds ("" = default)
};

class Decoder {
public:
    Decoder(ByteView in, const BinaryXmlLimits& limits) : in_(in), maxDepth_(limits.maxDepth) {
        const std::size_t factor = limits.textBytesPerStoredByte;
        const std::size_t scaled = factor != 0 && in.size() > std::numeric_limits<std::size_t>::max() / factor
                                       ? std::numeric_limits<std::size_t>::max()
                                       : in.size() * factor;
        maxText_ = std::max(limits.maxTextBytes, scaled);
    }

    bool Run(std::string& text) {
        if (!Header(false)) return false;
        for (;;) {
            if (!SkipMetadata()) return false;
            if (out_.size() > maxText_) return false;
            if (pos_ >= in_.size()) break;
            const std::uint8_t token = in_.U8(pos_++);
            bool ok = false;
            switch (token) {
                case kElement: ok = StartElement(); break;
                case kEndElement: ok = EndElement(); break;
                case kCData: ok = CData(); break;
                case kComment: ok = Comment(); break;
                case kPi: ok = ProcessingInstruction(); break;
                case kNest: ok = BeginNested(); break;
                case kEndNest: ok = EndNested(); break;
                case kDocType: ok = DocType(); break;
                default:
                    if (IsValueToken(token)) ok = TextValue(token);
                    break;
            }
            if (!ok) return false;
        }
        if (!stack_.empty() || out_.size() > maxText_) return false;
        text = std::move(out_);
        return true;
    }

private:
    // -- Primitive reads -----------------------------------------------------

    bool Byte(std::uint8_t& value) {
        if (pos_ >= in_.size()) return false;
        value = in_.U8(pos_++);
        return true;
    }

    bool Bytes(std::uint64_t count, ByteView& value) {
        if (count > in_.size() - pos_) return false;
        value = in_.Sub(pos_, static_cast<std::size_t>(count));
        pos_ += static_cast<std::size_t>(count);
        return true;
    }

    // Up to 5 bytes; the value fits a signed 32-bit integer.
    bool Mb32(std::uint32_t& value) {
        std::uint32_t result = 0;
        for (int i = 0; i < 5; ++i) {
            std::uint8_t b = 0;
            if (!Byte(b)) return false;
            if (i == 4 && (b & 0xF8) != 0) return false;  // beyond 31 bits, or a sixth byte
            result |= static_cast<std::uint32_t>(b & 0x7F) << (7 * i);
            if ((b & 0x80) == 0) {
                value = result;
                return true;
            }
        }
        return false;
    }

    // Up to 10 bytes; the value fits a signed 64-bit integer.
    bool Mb64(std::uint64_t& value) {
        std::uint64_t result = 0;
        for (int i = 0; i < 10; ++i) {
            std::uint8_t b = 0;
            if (!Byte(b)) return false;
            if (i == 9 && b != 0) return false;  // beyond 63 bits, or an eleventh byte
            result |= static_cast<std::uint64_t>(b & 0x7F) << (7 * i);
            if ((b & 0x80) == 0) {
                value = result;
                return true;
            }
        }
        return false;
    }

    bool Utf16Units(std::uint64_t count, std::string& text) {
        if (count > (in_.size() - pos_) / 2) return false;
        ByteView units;
        if (!Bytes(count * 2, units)) return false;
        text = Utf16LeToUtf8(units);
        return true;
    }

    bool Text32(std::string& text) {
        std::uint32_t count = 0;
        return Mb32(count) && Utf16Units(count, text);
    }

    bool Text64(std::string& text) {
        std::uint64_t count = 0;
        return Mb64(count) && Utf16Units(count, text);
    }

    bool Blob32(ByteView& bytes) {
        std::uint32_t length = 0;
        return Mb32(length) && Bytes(length, bytes);
    }

    bool Blob64(ByteView& bytes) {
        std::uint64_t length = 0;
        return Mb64(length) && Bytes(length, bytes);
    }

    // Byte length (code page included), 32-bit code page, the bytes.
    bool CodePageText(std::uint64_t length, std::string& text) {
        ByteView bytes;
        if (length < 4 || !Bytes(length, bytes)) return false;
        text = CodePageToUtf8(bytes.U32(0), bytes.Sub(4, bytes.size() - 4));
        return true;
    }

    // -- Names ---------------------------------------------------------------

    const std::string& Name(std::uint32_t index) const {
        static const std::string kEmpty;
        return index == 0 ? kEmpty : tables_.names[index - 1];
    }

    bool NameIndex(std::uint32_t& index) {
        return Mb32(index) && index <= tables_.names.size();
    }

    bool QualifiedNameRef(QualifiedName& name) {
        std::uint32_t index = 0;
        if (!Mb32(index) || index == 0 || index > tables_.qualifiedNames.size()) return false;
        name = tables_.qualifiedNames[index - 1];
        return true;
    }

    static std::string Joined(const std::string& prefix, const std::string& local) {
        return prefix.empty() ? local : prefix + ":" + local;
    }

    // Name and qualified-name definitions, extensions and flushes.
    bool SkipMetadata() {
        while (pos_ < in_.size()) {
            switch (in_.U8(pos_)) {
                case kNameDef: {
                    ++pos_;
                    std::string name;
                    if (!Text32(name)) return false;
                    tables_.names.push_back(std::move(name));
                    break;
                }
                case kQNameDef: {
                    ++pos_;
                    QualifiedName name{};
                    if (!NameIndex(name.namespaceUri) || !NameIndex(name.prefix) || !NameIndex(name.localName))
                        return false;
                    tables_.qualifiedNames.push_back(name);
                    break;
                }
                case kExtension: {
                    ++pos_;
                    ByteView ignored;
                    if (!Blob32(ignored)) return false;
                    break;
                }
                case kFlushNames:
                    ++pos_;
                    tables_.names.clear();
                    tables_.qualifiedNames.clear();
                    break;
                default:
                    return true;
            }
        }
        return true;
    }

    // -- Document structure --------------------------------------------------

    // Signature, version, encoding and the optional XML declaration. The
    // declaration of a nested document is read but not written: it cannot
    // stand inside the outer document's content.
    bool Header(bool nested) {
        if (!in_.Has(pos_, 5)) return false;
        if (in_.U8(pos_) != 0xDF || in_.U8(pos_ + 1) != 0xFF) return false;
        std::uint8_t version = in_.U8(pos_ + 2);
        if (version > 2) return false;
        if (version == 0) version = 1;
        if (in_.U16(pos_ + 3) != kUtf16CodePage) return false;
        pos_ += 5;
        // Once a version 2 document has been seen, its tokens stay allowed.
        version_ = std::max(version_, version);
        prologOpen_ = true;

        if (pos_ >= in_.size() || in_.U8(pos_) != kXmlDecl) return true;
        ++pos_;
        std::string versionText;
        std::string encodingText;
        bool hasEncoding = false;
        std::uint8_t standalone = 0;
        if (!Text32(versionText)) return false;
        if (pos_ < in_.size() && in_.U8(pos_) == kEncoding) {
            ++pos_;
            if (!Text32(encodingText)) return false;
            hasEncoding = true;
        }
        if (!Byte(standalone) || standalone > 2) return false;
        if (nested) return true;
        out_ += "<?xml version=\"";
        AppendEscapedAttribute(out_, versionText);
        out_ += '"';
        if (hasEncoding) {
            out_ += " encoding=\"";
            AppendEscapedAttribute(out_, encodingText);
            out_ += '"';
        }
        if (standalone == 1) out_ += " standalone=\"yes\"";
        if (standalone == 2) out_ += " standalone=\"no\"";
        out_ += "?>";
        return true;
    }

    static void AppendLiteral(std::string& out, const std::string& text) {
        const char quote = text.find('"') == std::string::npos ? '"' : '\'';
        out += quote;
        out += text;
        out += quote;
    }

    // DOCTYPE name [SYSTEM id] [PUBLIC id] [SUBSET text]; allowed only in the
    // prolog of a document. Kept for the outermost document only.
    bool DocType() {
        const bool atDocumentLevel = stack_.empty() || stack_.back().nested;
        if (!atDocumentLevel || !prologOpen_) return false;
        prologOpen_ = false;
        std::string name;
        std::string systemId;
        std::string publicId;
        std::string subset;
        bool hasSystem = false;
        bool hasPublic = false;
        bool hasSubset = false;
        if (!Text32(name) || name.empty()) return false;
        if (pos_ < in_.size() && in_.U8(pos_) == kSystem) {
            ++pos_;
            if (!Text32(systemId)) return false;
            hasSystem = true;
        }
        if (pos_ < in_.size() && in_.U8(pos_) == kPublic) {
            ++pos_;
            if (!Text32(publicId)) return false;
            hasPublic = true;
        }
        if (pos_ < in_.size() && in_.U8(pos_) == kSubset) {
            ++pos_;
            if (!Text32(subset)) return false;
            hasSubset = true;
        }
        if (!stack_.empty()) return true;
        out_ += "<!DOCTYPE ";
        out_ += name;
        if (hasPublic) {
            out_ += " PUBLIC ";
            AppendLiteral(out_, publicId);
            out_ += ' ';
            AppendLiteral(out_, systemId);
        } else if (hasSystem) {
            out_ += " SYSTEM ";
            AppendLiteral(out_, systemId);
        }
        if (hasSubset) {
            out_ += " [";
            out_ += subset;
            out_ += ']';
        }
        out_ += '>';
        return true;
    }

    // Ends the start tag of the innermost element once it gets content.
    void OpenContent() {
        if (startTagOpen_) {
            out_ += '>';
            startTagOpen_ = false;
        }
    }

    bool BeginNested() {
        if (stack_.size() >= maxDepth_) return false;
        Frame frame;
        frame.nested = true;
        frame.parentTables = std::move(tables_);
        tables_ = NameTables{};
        stack_.push_back(std::move(frame));
        return Header(true);
    }

    bool EndNested() {
        if (stack_.empty() || !stack_.back().nested) return false;
        tables_ = std::move(stack_.back().parentTables);
        stack_.pop_back();
        prologOpen_ = false;  // a nested document is content of its parent
        return true;
    }

    // The namespace `prefix` stands for: nullptr when it is not bound (the
    // empty prefix is always bound, to no namespace by default).
    const std::string* Lookup(const std::string& prefix) const {
        static const std::string kNoNamespace;
        const auto found = scopes_.find(prefix);
        if (found != scopes_.end()) return &found->second.back();
        return prefix.empty() ? &kNoNamespace : nullptr;
    }

    void PushBinding(const std::string& prefix, const std::string& uri) {
        scopes_[prefix].push_back(uri);
        bound_.push_back(prefix);
    }

    // Drops the bindings made after the first `mark` ones.
    void PopBindings(std::size_t mark) {
        while (bound_.size() > mark) {
            const auto found = scopes_.find(bound_.back());
            found->second.pop_back();
            if (found->second.empty()) scopes_.erase(found);
            bound_.pop_back();
        }
    }

    // Makes `prefix` stand for `uri` on the element being started, adding a
    // declaration when the ones in scope do not already say so. Fails when
    // the element itself declares the prefix (`declaredHere`) for another
    // namespace.
    bool Bind(std::unordered_set<std::string>& declaredHere, const std::string& prefix, const std::string& uri,
              std::string& added) {
        if (prefix == "xml" || prefix == "xmlns") return true;  // predeclared / reserved
        const std::string* current = Lookup(prefix);
        if (uri.empty()) {
            // An unprefixed name in no namespace must not fall under a default
            // namespace; a prefix without a namespace is left as written.
            if (!prefix.empty() || current == nullptr || current->empty()) return true;
        } else if (current != nullptr && *current == uri) {
            return true;
        }
        if (!declaredHere.insert(prefix).second) return false;
        PushBinding(prefix, uri);
        added += prefix.empty() ? std::string(" xmlns=\"") : " xmlns:" + prefix + "=\"";
        AppendEscapedAttribute(added, uri);
        added += '"';
        return true;
    }

    bool StartElement() {
        if (stack_.size() >= maxDepth_) return false;
        QualifiedName qualified{};
        if (!QualifiedNameRef(qualified)) return false;
        const std::string& prefix = Name(qualified.prefix);
        const std::string& local = Name(qualified.localName);
        if (local.empty()) return false;
        std::string tag = Joined(prefix, local);
        const std::string uri = Name(qualified.namespaceUri);
        std::string elementPrefix = prefix;

        std::vector<Attribute> attributes;
        std::size_t budget = out_.size() + tag.size();
        for (;;) {
            if (!SkipMetadata()) return false;
            if (pos_ >= in_.size()) return false;
            if (in_.U8(pos_) != kAttribute) break;
            ++pos_;
            Attribute attribute;
            if (!ReadAttribute(attribute, budget)) return false;
            attributes.push_back(std::move(attribute));
        }
        if (in_.U8(pos_) == kEndAttributes) {
            ++pos_;
        } else if (!attributes.empty()) {
            return false;
        }

        const std::size_t mark = bound_.size();
        std::unordered_set<std::string> declaredHere;
        bool ok = true;
        for (const Attribute& attribute : attributes) {
            if (!ok) break;
            if (!attribute.declaration) continue;
            ok = declaredHere.insert(attribute.declaredPrefix).second;  // not declared twice on one element
            if (ok) PushBinding(attribute.declaredPrefix, attribute.value);
        }
        std::string added;
        if (ok) ok = Bind(declaredHere, elementPrefix, uri, added);
        for (const Attribute& attribute : attributes) {
            if (!ok) break;
            if (!attribute.declaration && !attribute.prefix.empty() && !attribute.uri.empty())
                ok = Bind(declaredHere, attribute.prefix, attribute.uri, added);
        }
        if (!ok) {
            PopBindings(mark);
            return false;
        }

        OpenContent();
        prologOpen_ = false;
        out_ += '<';
        out_ += tag;
        for (const Attribute& attribute : attributes) {
            out_ += ' ';
            out_ += attribute.name;
            out_ += "=\"";
            AppendEscapedAttribute(out_, attribute.value);
            out_ += '"';
        }
        out_ += added;
        Frame frame;
        frame.tag = std::move(tag);
        frame.bindingMark = mark;
        stack_.push_back(std::move(frame));
        startTagOpen_ = true;
        return true;
    }

    // After ATTRIBUTE: the qualified name and the values, concatenated.
    bool ReadAttribute(Attribute& attribute, std::size_t& budget) {
        QualifiedName qualified{};
        if (!QualifiedNameRef(qualified)) return false;
        const std::string& prefix = Name(qualified.prefix);
        const std::string& local = Name(qualified.localName);
        const std::string& uri = Name(qualified.namespaceUri);
        if (local.empty()) {
            // A namespace declaration: the prefix name is "xmlns" or "xmlns:p".
            if (!uri.empty()) return false;
            if (prefix == "xmlns") {
                attribute.declaredPrefix.clear();
            } else if (prefix.size() > 6 && prefix.compare(0, 6, "xmlns:") == 0) {
                attribute.declaredPrefix = prefix.substr(6);
            } else {
                return false;
            }
            attribute.declaration = true;
            attribute.name = prefix;
        } else if (prefix == "xmlns" || (prefix.empty() && local == "xmlns")) {
            // The same declaration written with a local name.
            attribute.declaration = true;
            attribute.declaredPrefix = prefix.empty() ? std::string() : local;
            attribute.name = Joined(prefix, local);
        } else {
            attribute.name = Joined(prefix, local);
            attribute.prefix = prefix;
            attribute.uri = uri;
        }
        budget += attribute.name.size() + 4;
        for (;;) {
            if (budget > maxText_) return false;
            if (!SkipMetadata()) return false;
            if (pos_ >= in_.size()) return false;
            const std::uint8_t token = in_.U8(pos_);
            if (!IsValueToken(token)) return true;
            ++pos_;
            std::string value;
            if (!Value(token, value)) return false;
            budget += value.size();
            attribute.value += value;
        }
    }

    bool EndElement() {
        if (stack_.empty() || stack_.back().nested) return false;
        Frame& frame = stack_.back();
        if (startTagOpen_) {
            out_ += " />";
            startTagOpen_ = false;
        } else {
            out_ += "</";
            out_ += frame.tag;
            out_ += '>';
        }
        PopBindings(frame.bindingMark);
        stack_.pop_back();
        return true;
    }

    // One CDATA section from one or more chunks. "]]>" inside the text is
    // split over two sections.
    bool CData() {
        std::string text;
        for (;;) {
            std::string chunk;
            if (!Text32(chunk)) return false;
            text += chunk;
            if (!SkipMetadata()) return false;
            std::uint8_t token = 0;
            if (!Byte(token)) return false;
            if (token == kCDataEnd) break;
            if (token != kCData) return false;
        }
        OpenContent();
        prologOpen_ = false;
        out_ += "<![CDATA[";
        std::size_t start = 0;
        for (std::size_t found; (found = text.find("]]>", start)) != std::string::npos; start = found + 2) {
            out_.append(text, start, found + 2 - start);
            out_ += "]]><![CDATA[";
        }
        out_.append(text, start, std::string::npos);
        out_ += "]]>";
        return true;
    }

    bool Comment() {
        std::string text;
        if (!Text32(text)) return false;
        OpenContent();
        out_ += "<!--";
        out_ += text;
        out_ += "-->";
        return true;
    }

    bool ProcessingInstruction() {
        std::uint32_t target = 0;
        std::string data;
        if (!NameIndex(target) || target == 0 || !Text32(data)) return false;
        OpenContent();
        out_ += "<?";
        out_ += Name(target);
        if (!data.empty()) {
            out_ += ' ';
            out_ += data;
        }
        out_ += "?>";
        return true;
    }

    // A typed value in content: text.
    bool TextValue(std::uint8_t token) {
        std::string value;
        if (!Value(token, value)) return false;
        prologOpen_ = false;
        if (!value.empty()) {
            OpenContent();
            AppendEscapedText(out_, value);
        }
        return true;
    }

    // -- Typed values ----------------------------------------------------------

    bool Fixed(std::size_t size, ByteView& bytes) { return Bytes(size, bytes); }

    bool DecimalValue(bool trim, std::string& text) {
        std::uint32_t length = 0;
        ByteView bytes;
        if (!Mb32(length) || (length != 7 && length != 11 && length != 15 && length != 19) || !Bytes(length, bytes))
            return false;
        const unsigned precision = bytes.U8(0);
        const unsigned scale = bytes.U8(1);
        const unsigned sign = bytes.U8(2);
        if (precision > 38 || scale > precision || sign > 1) return false;
        text = DecimalText(bytes.Sub(3, length - 3), scale, sign == 0, trim);
        return true;
    }

    // Precision byte and 3 to 5 bytes counting 10^-precision seconds.
    bool SqlTime(std::uint64_t& units, unsigned& precision) {
        std::uint8_t p = 0;
        if (!Byte(p) || p > 7) return false;
        const std::size_t size = p <= 2 ? 3 : (p <= 4 ? 4 : 5);
        ByteView bytes;
        if (!Fixed(size, bytes)) return false;
        units = 0;
        for (std::size_t i = 0; i < size; ++i) units |= static_cast<std::uint64_t>(bytes.U8(i)) << (8 * i);
        precision = p;
        return true;
    }

    // Days since 0001-01-01 in 3 bytes.
    bool SqlDate(std::int64_t& days) {
        ByteView bytes;
        if (!Fixed(3, bytes)) return false;
        const std::uint32_t value = bytes.U8(0) | (std::uint32_t{bytes.U8(1)} << 8) | (std::uint32_t{bytes.U8(2)} << 16);
        if (value > kLastSqlDate) return false;
        days = static_cast<std::int64_t>(value) - kDaysFrom0001To1970;
        return true;
    }

    bool SqlZone(int& minutes) {
        ByteView bytes;
        if (!Fixed(2, bytes)) return false;
        minutes = bytes.I16(0);
        return minutes >= -kMaxZoneMinutes && minutes <= kMaxZoneMinutes;
    }

    static std::uint64_t PowerOfTen(unsigned exponent) {
        std::uint64_t value = 1;
        while (exponent-- > 0) value *= 10;
        return value;
    }

    // Version 2 dates and times. The time of the offset kinds is UTC; it is
    // shown in local time followed by the offset.
    bool Version2Value(std::uint8_t token, std::string& text) {
        if (version_ < 2) return false;
        std::uint64_t units = 0;
        unsigned precision = 0;
        std::int64_t days = 0;
        int zone = 0;
        if (token == kXsdDate2) {
            if (!SqlDate(days)) return false;
            AppendDate(text, CivilFromDays(days));
            return true;
        }
        if (!SqlTime(units, precision) || !SqlDate(days)) return false;
        const bool withZone = token == kXsdTimeOffset || token == kXsdDateTimeOffset || token == kXsdDateOffset;
        if (withZone && !SqlZone(zone)) return false;
        const std::uint64_t perSecond = PowerOfTen(precision);
        const std::uint64_t fraction = units % perSecond;
        // At most 2^40 units: far below the range of a signed 64-bit second count.
        std::int64_t seconds = days * kSecondsPerDay + static_cast<std::int64_t>(units / perSecond);
        if (token == kXsdDateOffset) seconds = days * kSecondsPerDay;  // the time part is not used
        seconds += static_cast<std::int64_t>(zone) * 60;
        const std::int64_t day = FloorDiv(seconds, kSecondsPerDay);
        const auto secondOfDay = static_cast<std::uint64_t>(seconds - day * kSecondsPerDay);
        switch (token) {
            case kXsdDateTime2:
            case kXsdDateTimeOffset:
                AppendDate(text, CivilFromDays(day));
                text += 'T';
                AppendClock(text, secondOfDay);
                AppendFraction(text, fraction, precision);
                break;
            case kXsdTime2:
            case kXsdTimeOffset:
                AppendClock(text, secondOfDay);
                AppendFraction(text, fraction, precision);
                break;
            case kXsdDateOffset:
                AppendDate(text, CivilFromDays(day));
                break;
            default:
                return false;
        }
        if (withZone) AppendZone(text, zone);
        return true;
    }

    // SQL datetime: signed days since 1900-01-01, then 1/300 seconds since
    // midnight (rounded to the millisecond, half up, so 1080000 ticks are
    // 01:00:00.000).
    static bool SqlDateTimeText(ByteView bytes, std::string& text) {
        constexpr std::uint64_t kTicksPerDay = 300ull * 86400;
        const std::int32_t days = bytes.I32(0);
        const std::uint32_t ticks = bytes.U32(4);
        if (ticks > kTicksPerDay) return false;
        std::uint64_t milliseconds = (std::uint64_t{ticks} * 1000 + 150) / 300;
        const std::int64_t carry = static_cast<std::int64_t>(milliseconds / 86400000);
        milliseconds %= 86400000;
        AppendDate(text, CivilFromDays(days - kDaysFrom1900To1970 + carry));
        text += 'T';
        AppendClock(text, milliseconds / 1000);
        if (milliseconds % 1000 != 0) {
            text += '.';
            AppendPadded(text, milliseconds % 1000, 3);
        }
        return true;
    }

    // smalldatetime: unsigned days since 1900-01-01, minutes since midnight.
    static bool SqlSmallDateTimeText(ByteView bytes, std::string& text) {
        const std::uint16_t days = bytes.U16(0);
        const std::uint16_t minutes = bytes.U16(2);
        if (minutes >= 1440) return false;
        AppendDate(text, CivilFromDays(std::int64_t{days} - kDaysFrom1900To1970));
        text += 'T';
        AppendClock(text, std::uint64_t{minutes} * 60);
        return true;
    }

    // xml schema dateTime / time / date packed into 8 bytes, the low two
    // bits telling which (2, 0, 1). Date-times and times are stored in UTC.
    static bool XsdDateTimeText(std::uint8_t token, std::uint64_t value, std::string& text) {
        const unsigned tag = static_cast<unsigned>(value & 3);
        std::uint64_t rest = value >> 2;
        if (token == kXsdDate) {
            if (tag != 1) return false;
            const auto zoneField = static_cast<int>(rest % (60 * 29));
            rest /= 60 * 29;
            const int adjustment = zoneField - 60 * 14;  // minutes to add to reach UTC
            if (adjustment > kMaxZoneMinutes) return false;
            const auto day = static_cast<unsigned>(rest % 31 + 1);
            rest /= 31;
            const auto month = static_cast<unsigned>(rest % 12 + 1);
            rest /= 12;
            if (rest > 9999 + 9999) return false;
            AppendDate(text, static_cast<std::int64_t>(rest) - 9999, month, day);
            AppendZone(text, -adjustment);
            return true;
        }
        if (tag != (token == kXsdDateTime ? 2u : 0u)) return false;
        const std::uint64_t milliseconds = rest % 1000;
        rest /= 1000;
        const std::uint64_t seconds = rest % 60;
        rest /= 60;
        const std::uint64_t minutes = rest % 60;
        rest /= 60;
        if (token == kXsdTime) {
            if (rest >= 24) return false;
            AppendClock(text, rest * 3600 + minutes * 60 + seconds);
            AppendFraction(text, milliseconds, 3);
            text += 'Z';
            return true;
        }
        const std::uint64_t hours = rest % 24;
        rest /= 24;
        const auto day = static_cast<unsigned>(rest % 31 + 1);
        rest /= 31;
        const auto month = static_cast<unsigned>(rest % 12 + 1);
        rest /= 12;
        if (rest > 9999 + 9999) return false;
        AppendDate(text, static_cast<std::int64_t>(rest) - 9999, month, day);
        text += 'T';
        AppendClock(text, hours * 3600 + minutes * 60 + seconds);
        AppendFraction(text, milliseconds, 3);
        text += 'Z';
        return true;
    }

    static void UuidText(ByteView bytes, std::string& text) {
        // First three groups little-endian, the last eight bytes in order.
        static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
        for (int i = 0; i < 16; ++i) {
            if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
            AppendHex(text, bytes.Sub(static_cast<std::size_t>(kOrder[i]), 1));
        }
    }

    // The text of the typed value after `token`.
    bool Value(std::uint8_t token, std::string& text) {
        ByteView bytes;
        switch (token) {
            case kSqlBit:
            case kXsdByte:
                if (!Fixed(1, bytes)) return false;
                AppendInteger(text, bytes.U8(0));
                return true;
            case kSqlTinyInt:
                if (!Fixed(1, bytes)) return false;
                AppendInteger(text, static_cast<int>(bytes.Read<std::int8_t>(0)));
                return true;
            case kSqlSmallInt:
                if (!Fixed(2, bytes)) return false;
                AppendInteger(text, bytes.I16(0));
                return true;
            case kXsdUnsignedShort:
                if (!Fixed(2, bytes)) return false;
                AppendInteger(text, bytes.U16(0));
                return true;
            case kSqlInt:
                if (!Fixed(4, bytes)) return false;
                AppendInteger(text, bytes.I32(0));
                return true;
            case kXsdUnsignedInt:
                if (!Fixed(4, bytes)) return false;
                AppendInteger(text, bytes.U32(0));
                return true;
            case kSqlBigInt:
                if (!Fixed(8, bytes)) return false;
                AppendInteger(text, bytes.I64(0));
                return true;
            case kXsdUnsignedLong:
                if (!Fixed(8, bytes)) return false;
                AppendInteger(text, bytes.U64(0));
                return true;
            case kSqlReal:
                if (!Fixed(4, bytes)) return false;
                AppendFloat(text, std::bit_cast<float>(bytes.U32(0)));
                return true;
            case kSqlFloat:
                if (!Fixed(8, bytes)) return false;
                AppendFloat(text, std::bit_cast<double>(bytes.U64(0)));
                return true;
            case kSqlMoney:
                if (!Fixed(8, bytes)) return false;
                text = MoneyText(bytes.I64(0));
                return true;
            case kSqlSmallMoney:
                if (!Fixed(4, bytes)) return false;
                text = MoneyText(bytes.I32(0));
                return true;
            case kXsdBoolean:
                if (!Fixed(1, bytes)) return false;
                text = bytes.U8(0) != 0 ? "true" : "false";
                return true;
            case kSqlDateTime:
                return Fixed(8, bytes) && SqlDateTimeText(bytes, text);
            case kSqlSmallDateTime:
                return Fixed(4, bytes) && SqlSmallDateTimeText(bytes, text);
            case kXsdTime:
            case kXsdDateTime:
            case kXsdDate:
                return Fixed(8, bytes) && XsdDateTimeText(token, bytes.U64(0), text);
            case kSqlUuid:
                if (!Fixed(16, bytes)) return false;
                UuidText(bytes, text);
                return true;
            case kSqlDecimal:
            case kSqlNumeric:
                return DecimalValue(false, text);
            case kXsdDecimal:
                return DecimalValue(true, text);
            case kSqlBinary:
            case kSqlUdt:
            case kXsdBase64:
                if (!Blob32(bytes)) return false;
                AppendBase64(text, bytes);
                return true;
            case kSqlVarBinary:
            case kSqlImage:
                if (!Blob64(bytes)) return false;
                AppendBase64(text, bytes);
                return true;
            case kXsdBinHex:
                if (!Blob32(bytes)) return false;
                AppendHex(text, bytes);
                return true;
            case kSqlChar: {
                std::uint32_t length = 0;
                return Mb32(length) && CodePageText(length, text);
            }
            case kSqlVarChar:
            case kSqlText: {
                std::uint64_t length = 0;
                return Mb64(length) && CodePageText(length, text);
            }
            case kSqlNChar:
                return Text32(text);
            case kSqlNVarChar:
            case kSqlNText:
                return Text64(text);
            case kXsdQName: {
                QualifiedName qualified{};
                if (!QualifiedNameRef(qualified)) return false;
                text = Joined(Name(qualified.prefix), Name(qualified.localName));
                return true;
            }
            case kXsdTimeOffset:
            case kXsdDateTimeOffset:
            case kXsdDateOffset:
            case kXsdTime2:
            case kXsdDateTime2:
            case kXsdDate2:
                return Version2Value(token, text);
            default:
                return false;
        }
    }

    ByteView in_;
    std::size_t pos_ = 0;
    std::size_t maxDepth_ = 0;
    std::size_t maxText_ = 0;
    std::uint8_t version_ = 1;
    std::string out_;
    NameTables tables_;
    std::vector<Frame> stack_;
    // Namespace scope: for each bound prefix its uris, innermost last, and
    // the prefixes in the order they were bound (to unwind per element).
    std::unordered_map<std::string, std::vector<std::string>> scopes_;
    std::vector<std::string> bound_;
    bool startTagOpen_ = false;  // the innermost element's start tag still lacks its ">"
    bool prologOpen_ = true;     // the current document has had no content yet (a DOCTYPE may come)
};

}  // namespace

bool DecodeBinaryXml(ByteView stored, std::string& text, const BinaryXmlLimits& limits) {
    text.clear();
    Decoder decoder(stored, limits);
    std::string decoded;
    if (!decoder.Run(decoded)) return false;
    text = std::move(decoded);
    return true;
}

}  // namespace pw
