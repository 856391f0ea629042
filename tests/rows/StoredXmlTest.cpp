// Stored xml values: hand-built binary xml streams and the documents they
// must give, damaged and truncated streams, and the fragment entry point.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "rows/BinaryXmlDecoder.h"
#include "rows/StoredXml.h"
#include "support/Utf.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Token bytes, spelled out here so the tests do not share the decoder's table.
constexpr std::uint8_t kFlush = 0xE9, kExtn = 0xEA, kEndNest = 0xEB, kNest = 0xEC, kQNameDef = 0xEF,
                       kNameDef = 0xF0, kCDataEnd = 0xF1, kCData = 0xF2, kComment = 0xF3, kPi = 0xF4,
                       kEndAttrs = 0xF5, kAttr = 0xF6, kEndElem = 0xF7, kElem = 0xF8, kSubset = 0xF9,
                       kPublic = 0xFA, kSystem = 0xFB, kDocType = 0xFC, kEncoding = 0xFD, kXmlDecl = 0xFE;

// Writes a binary xml stream token by token.
class Stream {
public:
    explicit Stream(int version = 1) { Raw({0xDF, 0xFF, static_cast<std::uint8_t>(version), 0xB0, 0x04}); }
    static Stream Empty() {
        Stream s;
        s.bytes_.clear();
        return s;
    }

    Stream& Raw(std::initializer_list<std::uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    Stream& Append(const Bytes& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Stream& U8(std::uint64_t b) {
        bytes_.push_back(static_cast<std::uint8_t>(b));
        return *this;
    }
    // Little-endian integer of `size` bytes.
    Stream& Le(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) U8((value >> (8 * i)) & 0xFF);
        return *this;
    }
    // 7 bits per byte, least significant first.
    Stream& Mb(std::uint64_t value) {
        do {
            auto b = static_cast<std::uint8_t>(value & 0x7F);
            value >>= 7;
            if (value != 0) b = static_cast<std::uint8_t>(b | 0x80);
            bytes_.push_back(b);
        } while (value != 0);
        return *this;
    }
    // Character count and UTF-16LE units.
    Stream& Text(std::string_view utf8) {
        const std::string units = pw::Utf8ToUtf16Le(utf8);
        Mb(units.size() / 2);
        bytes_.insert(bytes_.end(), units.begin(), units.end());
        return *this;
    }
    Stream& Name(std::string_view name) { return U8(kNameDef).Text(name); }
    Stream& QName(std::uint32_t ns, std::uint32_t prefix, std::uint32_t local) {
        return U8(kQNameDef).Mb(ns).Mb(prefix).Mb(local);
    }
    Stream& Element(std::uint32_t qname) { return U8(kElem).Mb(qname); }
    Stream& Attribute(std::uint32_t qname) { return U8(kAttr).Mb(qname); }
    Stream& EndAttributes() { return U8(kEndAttrs); }
    Stream& End() { return U8(kEndElem); }
    Stream& NVarChar(std::string_view text) { return U8(0x11).Text(text); }
    Stream& Comment(std::string_view text) { return U8(kComment).Text(text); }

    // Names "r" (1) and qname r (1), then <r>.
    Stream& OpenRoot() { return Name("r").QName(0, 0, 1).Element(1); }

    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

std::string Convert(const Bytes& bytes) { return pw::ConvertXmlValue(pw::ByteView(bytes.data(), bytes.size())); }

// A typed value inside <r>...</r>.
Bytes InRoot(const Bytes& value, int version = 1) {
    return Stream(version).OpenRoot().Append(value).End().bytes();
}

Bytes Token(std::uint8_t token, std::uint64_t value, int size) { return Stream::Empty().U8(token).Le(value, size).bytes(); }

bool IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// The 8-byte xml schema date/time encodings.
std::uint64_t XsdDateTime(std::int64_t year, int month, int day, int hour, int minute, int second, int ms) {
    const std::int64_t v =
        ms + 1000 * (second + 60 * (minute + 60 * (hour + 24 * (day - 1 + 31 * (month - 1 + 12 * (year + 9999))))));
    return static_cast<std::uint64_t>(2 + 4 * v);
}
std::uint64_t XsdDate(std::int64_t year, int month, int day, int zoneSign, int zoneHour, int zoneMinute) {
    const std::int64_t adjustment = -zoneSign * (zoneMinute + 60 * zoneHour);
    const std::int64_t dayMonthYear = day - 1 + 31 * (month - 1 + 12 * (year + 9999));
    return static_cast<std::uint64_t>(1 + 4 * ((60 * 14 + adjustment) + 60 * 29 * dayMonthYear));
}
std::uint64_t XsdTime(int hour, int minute, int second, int ms) {
    return 4 * static_cast<std::uint64_t>(ms + 1000 * (second + 60 * (minute + 60 * hour)));
}

// Version 2: precision, time units, 3-byte date (days since 0001-01-01), [zone].
Bytes SqlTimeDate(std::uint8_t token, int precision, std::uint64_t units, std::uint32_t days) {
    const int size = precision <= 2 ? 3 : (precision <= 4 ? 4 : 5);
    return Stream::Empty().U8(token).U8(precision).Le(units, size).Le(days, 3).bytes();
}
Bytes WithZone(Bytes bytes, int minutes) {
    const auto value = static_cast<std::uint16_t>(static_cast<std::int16_t>(minutes));
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    return bytes;
}

constexpr std::uint32_t kDays2008_06_15 = 733207;  // since 0001-01-01

struct Case {
    const char* name;
    Bytes stream;
    std::string expected;
    // Every proper prefix cuts a token or leaves an element open.
    bool everyPrefixFails = true;
};

std::vector<Case> DocumentCases() {
    std::vector<Case> cases;
    // The document example of the format description, byte for byte.
    cases.push_back({"format example document",
                     {0xDF, 0xFF, 0x01, 0xB0, 0x04, 0xF0, 0x04, 0x72, 0x00, 0x6F, 0x00, 0x6F, 0x00, 0x74, 0x00,
                      0xEF, 0x00, 0x00, 0x01, 0xF8, 0x01, 0x11, 0x02, 0x0A, 0x00, 0x09, 0x00, 0xF0, 0x02, 0x70,
                      0x00, 0x69, 0x00, 0xF4, 0x02, 0x04, 0x74, 0x00, 0x65, 0x00, 0x78, 0x00, 0x74, 0x00, 0x11,
                      0x02, 0x0A, 0x00, 0x09, 0x00, 0xF3, 0x07, 0x63, 0x00, 0x6F, 0x00, 0x6D, 0x00, 0x6D, 0x00,
                      0x65, 0x00, 0x6E, 0x00, 0x74, 0x00, 0x11, 0x01, 0x0A, 0x00, 0xF7},
                     "<root>\n\t<?pi text?>\n\t<!--comment-->\n</root>"});
    // The names example: a prefixed element with its own declaration.
    cases.push_back({"format example names",
                     Stream()
                         .Name("ns").Name("prefix").Name("localName").QName(1, 2, 3).Element(1)
                         .Name("xmlns:prefix").QName(0, 4, 0).Attribute(2).NVarChar("ns").EndAttributes()
                         .End().bytes(),
                     "<prefix:localName xmlns:prefix=\"ns\" />"});
    cases.push_back({"empty element", Stream().OpenRoot().End().bytes(), "<r />"});
    cases.push_back({"element with text", Stream().OpenRoot().NVarChar("hi").End().bytes(), "<r>hi</r>"});
    cases.push_back({"empty text keeps the element empty", Stream().OpenRoot().NVarChar("").End().bytes(), "<r />"});
    cases.push_back({"children and attributes",
                     Stream()
                         .Name("a").Name("x").Name("y").Name("b").Name("c")
                         .QName(0, 0, 1).QName(0, 0, 2).QName(0, 0, 3).QName(0, 0, 4).QName(0, 0, 5)
                         .Element(1).Attribute(2).Raw({0x02}).Le(1, 4).Attribute(3).NVarChar("two").EndAttributes()
                         .Element(4).End().Element(5).NVarChar("t").End().Element(4).Attribute(2).EndAttributes().End()
                         .End().bytes(),
                     "<a x=\"1\" y=\"two\"><b /><c>t</c><b x=\"\" /></a>"});
    cases.push_back({"text escaping", Stream().OpenRoot().NVarChar("a&b<c>d\"e'\r\n\tf").End().bytes(),
                     "<r>a&amp;b&lt;c&gt;d\"e'&#xD;\n\tf</r>"});
    cases.push_back({"attribute escaping",
                     Stream().OpenRoot().Name("v").QName(0, 0, 2).Attribute(2).NVarChar("&<>\"'\t\n\r").EndAttributes()
                         .End().bytes(),
                     "<r v=\"&amp;&lt;&gt;&quot;'&#x9;&#xA;&#xD;\" />"});
    cases.push_back({"consecutive values are joined",
                     Stream().OpenRoot().Name("v").QName(0, 0, 2).Attribute(2).NVarChar("a").Raw({0x02}).Le(7, 4)
                         .NVarChar("b").EndAttributes().NVarChar("x").Raw({0x01}).Le(5, 2).NVarChar("y").End().bytes(),
                     "<r v=\"a7b\">x5y</r>"});
    cases.push_back({"non-ASCII names and text",
                     Stream().Name("\xC3\xA9l\xC3\xA9ment").QName(0, 0, 1).Element(1).NVarChar("\xE4\xB8\xAD\xF0\x9F\x98\x80")
                         .End().bytes(),
                     "<\xC3\xA9l\xC3\xA9ment>\xE4\xB8\xAD\xF0\x9F\x98\x80</\xC3\xA9l\xC3\xA9ment>"});
    cases.push_back({"xml declaration with encoding and standalone",
                     Stream().U8(kXmlDecl).Text("1.0").U8(kEncoding).Text("utf-16").U8(1).OpenRoot().End().bytes(),
                     "<?xml version=\"1.0\" encoding=\"utf-16\" standalone=\"yes\"?><r />", false});
    cases.push_back({"xml declaration, standalone no",
                     Stream().U8(kXmlDecl).Text("1.0").U8(2).OpenRoot().End().bytes(),
                     "<?xml version=\"1.0\" standalone=\"no\"?><r />", false});
    cases.push_back({"xml declaration, standalone not given",
                     Stream().U8(kXmlDecl).Text("1.0").U8(0).OpenRoot().End().bytes(), "<?xml version=\"1.0\"?><r />", false});
    cases.push_back({"doctype with system id",
                     Stream().U8(kDocType).Text("r").U8(kSystem).Text("r.dtd").OpenRoot().End().bytes(),
                     "<!DOCTYPE r SYSTEM \"r.dtd\"><r />", false});
    cases.push_back({"doctype with public id and internal subset",
                     Stream().Comment("c").U8(kDocType).Text("r").U8(kSystem).Text("r.dtd").U8(kPublic).Text("-//X//EN")
                         .U8(kSubset).Text("<!ENTITY e \"v\">").OpenRoot().End().bytes(),
                     "<!--c--><!DOCTYPE r PUBLIC \"-//X//EN\" \"r.dtd\" [<!ENTITY e \"v\">]><r />", false});
    cases.push_back({"CDATA chunks form one section",
                     Stream().OpenRoot().U8(kCData).Text("a<b").U8(kCData).Text("&c").U8(kCDataEnd).End().bytes(),
                     "<r><![CDATA[a<b&c]]></r>"});
    cases.push_back({"CDATA holding its own terminator",
                     Stream().OpenRoot().U8(kCData).Text("x]]>y").U8(kCDataEnd).End().bytes(),
                     "<r><![CDATA[x]]]]><![CDATA[>y]]></r>"});
    cases.push_back({"empty CDATA section is content",
                     Stream().OpenRoot().U8(kCData).Text("").U8(kCDataEnd).End().bytes(), "<r><![CDATA[]]></r>"});
    cases.push_back({"comment and processing instruction around the root",
                     Stream().Name("r").Name("pi").QName(0, 0, 1).Comment(" top ").U8(kPi).Mb(2).Text("")
                         .Element(1).End().U8(kPi).Mb(2).Text("after").bytes(),
                     "<!-- top --><?pi?><r /><?pi after?>", false});
    cases.push_back({"several roots (a fragment)",
                     Stream().OpenRoot().End().NVarChar("t").Element(1).End().bytes(), "<r />t<r />", false});
    cases.push_back({"explicit default namespace",
                     Stream().Name("urn:a").Name("r").Name("c").Name("xmlns")
                         .QName(1, 0, 2).QName(1, 0, 3).QName(0, 4, 0)
                         .Element(1).Attribute(3).NVarChar("urn:a").EndAttributes().Element(2).End().End().bytes(),
                     "<r xmlns=\"urn:a\"><c /></r>"});
    cases.push_back({"missing declarations are added where first needed",
                     Stream().Name("urn:a").Name("p").Name("r").Name("c").Name("urn:b").Name("q").Name("at")
                         .QName(1, 2, 3)    // p:r in urn:a
                         .QName(1, 2, 4)    // p:c in urn:a
                         .QName(5, 6, 7)    // q:at in urn:b
                         .Element(1).Element(2).Attribute(3).NVarChar("v").EndAttributes().End().End().bytes(),
                     "<p:r xmlns:p=\"urn:a\"><p:c q:at=\"v\" xmlns:q=\"urn:b\" /></p:r>"});
    cases.push_back({"default namespace added, then undeclared for a child in no namespace",
                     Stream().Name("urn:a").Name("r").Name("c").QName(1, 0, 2).QName(0, 0, 3)
                         .Element(1).Element(2).End().End().bytes(),
                     "<r xmlns=\"urn:a\"><c xmlns=\"\" /></r>"});
    cases.push_back({"declarations end with their element",
                     Stream().Name("urn:a").Name("p").Name("r").Name("c").Name("w")
                         .QName(0, 0, 5).QName(1, 2, 3).QName(1, 2, 4)
                         .Element(1).Element(2).End().Element(3).End().End().bytes(),
                     "<w><p:r xmlns:p=\"urn:a\" /><p:c xmlns:p=\"urn:a\" /></w>"});
    cases.push_back({"xml prefix needs no declaration",
                     Stream().OpenRoot().Name("http://www.w3.org/XML/1998/namespace").Name("xml").Name("lang")
                         .QName(2, 3, 4).Attribute(2).NVarChar("en").EndAttributes().End().bytes(),
                     "<r xml:lang=\"en\" />"});
    cases.push_back({"definitions, extensions and flushes between tokens",
                     Stream().U8(kExtn).Mb(3).Raw({1, 2, 3}).Name("r").U8(kExtn).Mb(0).QName(0, 0, 1).Element(1)
                         .Name("a").QName(0, 0, 2).Attribute(2).Name("unused").NVarChar("1").U8(kExtn).Mb(1).Raw({9})
                         .NVarChar("2").EndAttributes()
                         .U8(kFlush).Name("k").QName(0, 0, 1).Element(1).End()   // after the flush, index 1 is "k"
                         .End().bytes(),
                     "<r a=\"12\"><k /></r>"});
    cases.push_back({"nested document with its own names",
                     Stream().Name("r").Name("c").QName(0, 0, 1).QName(0, 0, 2).Element(1)
                         .U8(kNest).Raw({0xDF, 0xFF, 0x01, 0xB0, 0x04}).U8(kXmlDecl).Text("1.0").U8(0)
                         .Name("n").QName(0, 0, 1).Element(1).NVarChar("in").End().U8(kEndNest)
                         .Element(2).End().End().bytes(),
                     "<r><n>in</n><c /></r>"});
    cases.push_back({"nested document shares the namespace scope",
                     Stream().Name("urn:a").Name("p").Name("r").QName(1, 2, 3).Element(1)
                         .U8(kNest).Raw({0xDF, 0xFF, 0x01, 0xB0, 0x04})
                         .Name("urn:a").Name("p").Name("n").QName(1, 2, 3).Element(1).End().U8(kEndNest).End().bytes(),
                     "<p:r xmlns:p=\"urn:a\"><p:n /></p:r>"});
    cases.push_back({"version 2 nested in version 1 allows the new dates afterwards",
                     Stream().OpenRoot().U8(kNest).Raw({0xDF, 0xFF, 0x02, 0xB0, 0x04}).U8(kEndNest)
                         .Append(Stream::Empty().U8(0x7F).Le(kDays2008_06_15, 3).bytes()).End().bytes(),
                     "<r>2008-06-15</r>"});
    cases.push_back({"version 0 is read as version 1", Stream(0).OpenRoot().End().bytes(), "<r />"});
    return cases;
}

struct ValueCase {
    const char* name;
    Bytes value;
    std::string expected;
    int version = 1;
};

std::vector<ValueCase> ValueCases() {
    std::vector<ValueCase> cases = {
        {"smallint", Token(0x01, 0xFFFE, 2), "-2"},
        {"int", Token(0x02, static_cast<std::uint32_t>(-123456), 4), "-123456"},
        {"bigint minimum", Token(0x08, 0x8000000000000000ull, 8), "-9223372036854775808"},
        {"tinyint is signed", Token(0x07, 0xFF, 1), "-1"},
        {"bit", Token(0x06, 1, 1), "1"},
        {"unsigned byte", Token(0x88, 0xFF, 1), "255"},
        {"unsigned short", Token(0x89, 0xFFFF, 2), "65535"},
        {"unsigned int", Token(0x8A, 0xFFFFFFFF, 4), "4294967295"},
        {"unsigned long", Token(0x8B, 0xFFFFFFFFFFFFFFFFull, 8), "18446744073709551615"},
        {"boolean false", Token(0x86, 0, 1), "false"},
        {"boolean true for any non-zero", Token(0x86, 2, 1), "true"},
        {"money", Token(0x05, 103001, 8), "10.3001"},
        {"negative money", Token(0x05, static_cast<std::uint64_t>(-5), 8), "-0.0005"},
        {"money minimum", Token(0x05, 0x8000000000000000ull, 8), "-922337203685477.5808"},
        {"smallmoney", Token(0x14, 1230000, 4), "123.0000"},
        {"decimal of the format example", Stream::Empty().Raw({0x0A, 0x07, 0x06, 0x04, 0x01, 0x5E, 0x0D, 0x03, 0x00}).bytes(),
         "20.0030"},
        {"numeric, negative, 8 bytes, scale above the digits",
         Stream::Empty().Raw({0x0B, 0x0B, 0x12, 0x06, 0x00}).Le(42, 8).bytes(), "-0.000042"},
        {"xsd decimal drops trailing zeros", Stream::Empty().Raw({0x87, 0x07, 0x06, 0x04, 0x01, 0x5E, 0x0D, 0x03, 0x00}).bytes(),
         "20.003"},
        {"xsd decimal with whole value", Stream::Empty().Raw({0x87, 0x07, 0x06, 0x02, 0x01}).Le(500, 4).bytes(), "5"},
        {"decimal of 16 bytes, largest",
         Stream::Empty().Raw({0x0A, 0x13, 0x26, 0x00, 0x01}).Le(~0ull, 8).Le(~0ull, 8).bytes(),
         "340282366920938463463374607431768211455"},
        {"decimal of 12 bytes with scale",
         Stream::Empty().Raw({0x0A, 0x0F, 0x1C, 0x02, 0x01}).Le(0, 8).Le(1, 4).bytes(), "184467440737095516.16"},
        {"negative zero decimal", Stream::Empty().Raw({0x0A, 0x07, 0x05, 0x02, 0x00}).Le(0, 4).bytes(), "0.00"},
        {"uuid", Stream::Empty().U8(0x09).Raw({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}).bytes(),
         "03020100-0504-0706-0809-0A0B0C0D0E0F"},
        {"datetime origin", Stream::Empty().U8(0x12).Le(0, 4).Le(0, 4).bytes(), "1900-01-01T00:00:00"},
        {"datetime leap day with ticks",
         Stream::Empty().U8(0x12).Le(45349, 4).Le(300 * 3600 + 1, 4).bytes(), "2024-02-29T01:00:00.003"},
        {"datetime before 1900", Stream::Empty().U8(0x12).Le(static_cast<std::uint32_t>(-53690), 4).Le(2, 4).bytes(),
         "1753-01-01T00:00:00.007"},
        {"datetime 1080000 ticks round to the hour", Stream::Empty().U8(0x12).Le(0, 4).Le(1080000, 4).bytes(),
         "1900-01-01T01:00:00"},
        {"datetime last tick of the day", Stream::Empty().U8(0x12).Le(2958463, 4).Le(25919999, 4).bytes(),
         "9999-12-31T23:59:59.997"},
        {"smalldatetime", Stream::Empty().U8(0x13).Le(65535, 2).Le(23 * 60 + 59, 2).bytes(), "2079-06-06T23:59:00"},
        {"xsd dateTime", Token(0x82, XsdDateTime(2003, 11, 9, 12, 34, 56, 780), 8), "2003-11-09T12:34:56.78Z"},
        {"xsd dateTime, negative year", Token(0x82, XsdDateTime(-44, 3, 15, 0, 0, 0, 0), 8), "-0044-03-15T00:00:00Z"},
        {"xsd date with negative zone", Token(0x83, XsdDate(2003, 11, 9, -1, 4, 30), 8), "2003-11-09-04:30"},
        {"xsd date with positive zone", Token(0x83, XsdDate(2003, 11, 9, 1, 5, 0), 8), "2003-11-09+05:00"},
        {"xsd date in UTC", Token(0x83, XsdDate(1999, 12, 31, 1, 0, 0), 8), "1999-12-31Z"},
        {"xsd time", Token(0x81, XsdTime(23, 59, 59, 500), 8), "23:59:59.5Z"},
        {"binary as base64", Stream::Empty().U8(0x0C).Mb(3).Raw({'M', 'a', 'n'}).bytes(), "TWFu"},
        {"varbinary as base64", Stream::Empty().U8(0x0F).Mb(2).Raw({'M', 'a'}).bytes(), "TWE="},
        {"image as base64", Stream::Empty().U8(0x17).Mb(1).Raw({'M'}).bytes(), "TQ=="},
        {"udt as base64", Stream::Empty().U8(0x1B).Mb(4).Raw({0xFF, 0xFE, 0x00, 0x01}).bytes(), "//4AAQ=="},
        {"xsd base64", Stream::Empty().U8(0x85).Mb(6).Raw({'f', 'o', 'o', 'b', 'a', 'r'}).bytes(), "Zm9vYmFy"},
        {"xsd binhex", Stream::Empty().U8(0x84).Mb(3).Raw({0x42, 0xAC, 0xEF}).bytes(), "42ACEF"},
        {"nchar", Stream::Empty().U8(0x0E).Text("h\xC3\xA9llo").bytes(), "h\xC3\xA9llo"},
        {"ntext with a surrogate pair", Stream::Empty().U8(0x18).Text("\xF0\x9F\x98\x80").bytes(), "\xF0\x9F\x98\x80"},
        {"char in code page 1252", Stream::Empty().U8(0x0D).Mb(6).Le(1252, 4).Raw({0xE9, 0x80}).bytes(),
         "\xC3\xA9\xE2\x82\xAC"},
        {"varchar in code page 1200", Stream::Empty().U8(0x10).Mb(8).Le(1200, 4).Raw({'o', 0, 'k', 0}).bytes(), "ok"},
        {"text in code page 65001", Stream::Empty().U8(0x16).Mb(6).Le(65001, 4).Raw({0xC3, 0xA9}).bytes(), "\xC3\xA9"},
        {"char in an unknown code page is widened", Stream::Empty().U8(0x0D).Mb(5).Le(99999, 4).Raw({0xE9}).bytes(),
         "\xC3\xA9"},
        {"char with an invalid byte", Stream::Empty().U8(0x16).Mb(7).Le(65001, 4).Raw({'a', 0xFF, 'b'}).bytes(),
         "a\xEF\xBF\xBD" "b"},
        {"real", Token(0x03, 0x3FC00000, 4), "1.5"},
        {"float", Token(0x04, 0x3FB999999999999Aull, 8), "0.1"},
        {"float, large", Token(0x04, 0x7E37E43C8800759Cull, 8), "1e+300"},
        {"float, negative infinity", Token(0x04, 0xFFF0000000000000ull, 8), "-INF"},
        {"float, not a number", Token(0x04, 0x7FF8000000000000ull, 8), "NaN"},
        {"date (version 2)", Stream::Empty().U8(0x7F).Le(kDays2008_06_15, 3).bytes(), "2008-06-15", 2},
        {"datetime2, 7 digits", SqlTimeDate(0x7E, 7, 452961234567ull, kDays2008_06_15), "2008-06-15T12:34:56.1234567", 2},
        {"datetime2, 3 digits trimmed", SqlTimeDate(0x7E, 3, 45296500, kDays2008_06_15), "2008-06-15T12:34:56.5", 2},
        {"datetime2, no fraction", SqlTimeDate(0x7E, 0, 45296, kDays2008_06_15), "2008-06-15T12:34:56", 2},
        {"datetime2 past midnight moves the date", SqlTimeDate(0x7E, 0, 86400 + 60, kDays2008_06_15),
         "2008-06-16T00:01:00", 2},
        {"time (version 2)", SqlTimeDate(0x7D, 2, 4529612, 693595), "12:34:56.12", 2},
        {"datetimeoffset shown in local time", WithZone(SqlTimeDate(0x7B, 0, 36000, kDays2008_06_15), 120),
         "2008-06-15T12:00:00+02:00", 2},
        {"datetimeoffset crossing back over midnight", WithZone(SqlTimeDate(0x7B, 4, 36000000, kDays2008_06_15), -300),
         "2008-06-14T20:00:00-05:00", 2},
        {"dateoffset", WithZone(SqlTimeDate(0x7C, 0, 0, kDays2008_06_15), 0), "2008-06-15Z", 2},
        {"timeoffset", WithZone(SqlTimeDate(0x7A, 1, 36005, 693595), -90), "23:30:00.5-01:30", 2},
    };
    return cases;
}

// -- Documents -----------------------------------------------------------------

TEST(StoredXml, HandBuiltStreamsGiveTheirDocuments) {
    for (const Case& c : DocumentCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Convert(c.stream), c.expected);
    }
}

TEST(StoredXml, TypedValuesInTheirLexicalForm) {
    for (const ValueCase& c : ValueCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Convert(InRoot(c.value, c.version)), "<r>" + c.expected + "</r>");
    }
}

TEST(StoredXml, TypedValuesAsAttributeValues) {
    // The same values through the attribute path (quotes escaped there).
    for (const ValueCase& c : ValueCases()) {
        SCOPED_TRACE(c.name);
        const Bytes stream = Stream(c.version).OpenRoot().Name("v").QName(0, 0, 2).Attribute(2).Append(c.value)
                                 .EndAttributes().End().bytes();
        EXPECT_EQ(Convert(stream), "<r v=\"" + c.expected + "\" />");
    }
}

TEST(StoredXml, QualifiedNameValue) {
    const Bytes stream = Stream().OpenRoot().Name("urn:x").Name("p").Name("local").QName(2, 3, 4)
                             .U8(0x8C).Mb(2).End().bytes();
    EXPECT_EQ(Convert(stream), "<r>p:local</r>");
}

// -- Damaged streams -------------------------------------------------------------

TEST(StoredXml, MalformedStreamsGiveEmptyText) {
    const Bytes root = Stream().OpenRoot().bytes();
    auto withRoot = [&root](std::initializer_list<std::uint8_t> tail) {
        Bytes b = root;
        b.insert(b.end(), tail);
        return b;
    };
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"no bytes", {}},
        {"header only", Stream().bytes()},
        {"bad signature", {0xDF, 0xFE, 0x01, 0xB0, 0x04, 0xF0, 0x01, 0x72, 0x00, 0xEF, 0, 0, 1, 0xF8, 1, 0xF7}},
        {"unknown version", Stream(3).OpenRoot().End().bytes()},
        {"other encoding", {0xDF, 0xFF, 0x01, 0xE4, 0x04, 0xF0, 0x01, 0x72, 0x00, 0xEF, 0, 0, 1, 0xF8, 1, 0xF7}},
        {"version 2 date in a version 1 stream", InRoot(Stream::Empty().U8(0x7F).Le(1, 3).bytes(), 1)},
        {"unused token 0x15", withRoot({0x15, 0xF7})},
        {"unused token 0xED", withRoot({0xED, 0x00, 0xF7})},
        {"unused token 0x80", withRoot({0x80, 0xF7})},
        {"end element at the top", Stream().OpenRoot().End().End().bytes()},
        {"element left open", Stream().OpenRoot().NVarChar("x").bytes()},
        {"qname 0", Stream().Name("r").QName(0, 0, 1).Element(0).End().bytes()},
        {"qname not defined", Stream().Name("r").QName(0, 0, 1).Element(2).End().bytes()},
        {"qname naming an undefined name", Stream().Name("r").QName(0, 0, 2).Element(1).End().bytes()},
        {"element without local name", Stream().Name("r").QName(0, 1, 0).Element(1).End().bytes()},
        {"attributes without their end", Stream().OpenRoot().Attribute(1).NVarChar("v").End().bytes()},
        {"attribute in content", Stream().OpenRoot().EndAttributes().Attribute(1).End().bytes()},
        {"end of nested document without one", Stream().OpenRoot().U8(kEndNest).End().bytes()},
        {"nested document left open", Stream().OpenRoot().U8(kNest).Raw({0xDF, 0xFF, 0x01, 0xB0, 0x04}).End().bytes()},
        {"nested document with a bad header", Stream().OpenRoot().U8(kNest).Raw({0xDF, 0xFF, 0x01, 0, 0}).U8(kEndNest).End().bytes()},
        {"nested document closing an outer element",
         Stream().OpenRoot().U8(kNest).Raw({0xDF, 0xFF, 0x01, 0xB0, 0x04}).End().U8(kEndNest).bytes()},
        {"parent name used inside a nested document",
         Stream().OpenRoot().U8(kNest).Raw({0xDF, 0xFF, 0x01, 0xB0, 0x04}).Element(1).End().U8(kEndNest).End().bytes()},
        {"declaration with a prefix that is not xmlns",
         Stream().OpenRoot().Name("foo").QName(0, 2, 0).Attribute(2).NVarChar("u").EndAttributes().End().bytes()},
        {"declaration with a namespace",
         Stream().OpenRoot().Name("xmlns").QName(2, 2, 0).Attribute(2).NVarChar("u").EndAttributes().End().bytes()},
        {"prefix declared twice on one element",
         Stream().OpenRoot().Name("xmlns:p").QName(0, 2, 0).Attribute(2).NVarChar("u").Attribute(2).NVarChar("v")
             .EndAttributes().End().bytes()},
        {"element name contradicting its own declaration",
         Stream().Name("urn:y").Name("p").Name("r").Name("xmlns:p").QName(1, 2, 3).QName(0, 4, 0)
             .Element(1).Attribute(2).NVarChar("urn:x").EndAttributes().End().bytes()},
        {"mb32 of six bytes", withRoot({0x0E, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00, 0xF7})},
        {"mb32 above the signed 32-bit range", withRoot({0x0E, 0xFF, 0xFF, 0xFF, 0xFF, 0x08, 0xF7})},
        {"qname reference wrapping past 32 bits",  // would read as qname 1
         Stream().Name("r").QName(0, 0, 1).U8(kElem).Raw({0x81, 0x80, 0x80, 0x80, 0x10}).End().bytes()},
        {"text length wrapping past 64 bits",  // would read as one character
         withRoot({0x11, 0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x02, 0x41, 0x00, 0xF7})},
        {"mb64 above the signed 64-bit range",
         withRoot({0x11, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0xF7})},
        {"huge declared text length",
         withRoot({0x11, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x41, 0x00, 0xF7})},
        {"huge declared binary length", withRoot({0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xF7})},
        {"text longer than the stream", withRoot({0x11, 0x03, 0x41, 0x00, 0x42, 0x00, 0xF7})},
        {"odd byte of text", withRoot({0x0E, 0x01, 0x41})},
        {"decimal of length 8", withRoot({0x0A, 0x08, 0x06, 0x04, 0x01, 0x5E, 0x0D, 0x03, 0x00, 0x00, 0xF7})},
        {"decimal precision 39", withRoot({0x0A, 0x07, 0x27, 0x04, 0x01, 0x5E, 0x0D, 0x03, 0x00, 0xF7})},
        {"decimal scale above precision", withRoot({0x0A, 0x07, 0x03, 0x04, 0x01, 0x5E, 0x0D, 0x03, 0x00, 0xF7})},
        {"decimal sign 2", withRoot({0x0A, 0x07, 0x06, 0x04, 0x02, 0x5E, 0x0D, 0x03, 0x00, 0xF7})},
        {"xsd date with the dateTime tag", InRoot(Token(0x83, XsdDateTime(2000, 1, 1, 0, 0, 0, 0), 8))},
        {"xsd dateTime with the date tag", InRoot(Token(0x82, XsdDate(2000, 1, 1, 1, 0, 0), 8))},
        {"xsd time of 24 hours", InRoot(Token(0x81, XsdTime(24, 0, 0, 0), 8))},
        {"xsd date with a zone beyond 14 hours", InRoot(Token(0x83, 1 + 4 * (60 * 14 + 850), 8))},
        {"datetime ticks beyond a day", InRoot(Stream::Empty().U8(0x12).Le(0, 4).Le(25920001, 4).bytes())},
        {"smalldatetime of 1440 minutes", InRoot(Stream::Empty().U8(0x13).Le(0, 2).Le(1440, 2).bytes())},
        {"time precision 8", InRoot(Stream::Empty().U8(0x7E).U8(8).Le(0, 5).Le(0, 3).bytes(), 2)},
        {"date after 9999-12-31", InRoot(Stream::Empty().U8(0x7F).Le(3652059, 3).bytes(), 2)},
        {"zone of 15 hours", InRoot(WithZone(SqlTimeDate(0x7B, 0, 0, 1), 900), 2)},
        {"standalone 3", Stream().U8(kXmlDecl).Text("1.0").U8(3).OpenRoot().End().bytes()},
        {"doctype after the root", Stream().OpenRoot().End().U8(kDocType).Text("r").bytes()},
        {"doctype inside an element", Stream().OpenRoot().U8(kDocType).Text("r").End().bytes()},
        {"two doctypes", Stream().U8(kDocType).Text("r").U8(kDocType).Text("r").OpenRoot().End().bytes()},
        {"xml declaration not first", Stream().Comment("c").U8(kXmlDecl).Text("1.0").U8(0).OpenRoot().End().bytes()},
        {"processing instruction without target", Stream().OpenRoot().U8(kPi).Mb(0).Text("x").End().bytes()},
        {"name used after a flush", Stream().OpenRoot().U8(kFlush).Element(1).End().End().bytes()},
        {"CDATA without its end", Stream().OpenRoot().U8(kCData).Text("x").End().bytes()},
        {"CDATA end alone", Stream().OpenRoot().U8(kCDataEnd).End().bytes()},
        {"code page text shorter than its code page", withRoot({0x0D, 0x03, 0xE4, 0x04, 0x00, 0xF7})},
        {"extension running past the end", withRoot({kExtn, 0x05, 0x01, 0x02})},
        {"qname value not defined", withRoot({0x8C, 0x09, 0xF7})},
    };
    for (const auto& [name, stream] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Convert(stream), "");
    }
}

TEST(StoredXml, EveryTruncationThatCutsATokenGivesEmptyText) {
    std::vector<Case> cases = DocumentCases();
    for (const ValueCase& v : ValueCases()) cases.push_back({v.name, InRoot(v.value, v.version), "", true});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t length = 0; length < c.stream.size(); ++length) {
            const Bytes prefix(c.stream.begin(), c.stream.begin() + static_cast<std::ptrdiff_t>(length));
            const std::string text = Convert(prefix);
            if (c.everyPrefixFails) {
                EXPECT_EQ(text, "") << "prefix of " << length << " bytes";
            } else {
                EXPECT_TRUE(IsValidUtf8(text));
            }
        }
    }
}

TEST(StoredXml, RandomBytesGiveEmptyText) {
    std::mt19937 random(20240611);
    for (int i = 0; i < 5000; ++i) {
        Bytes bytes(random() % 64);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        if (bytes.size() >= 2 && bytes[0] == 0xDF && bytes[1] == 0xFF) bytes[0] = 0;
        EXPECT_EQ(Convert(bytes), "");
    }
}

TEST(StoredXml, MutatedAndRandomTokenStreamsNeverBreakTheDecoder) {
    // Whatever comes out of a damaged stream is valid UTF-8 (and usually nothing).
    std::mt19937 random(7);
    std::vector<Bytes> seeds;
    for (const Case& c : DocumentCases()) seeds.push_back(c.stream);
    for (const ValueCase& v : ValueCases()) seeds.push_back(InRoot(v.value, 2));
    for (const Bytes& seed : seeds) {
        for (int round = 0; round < 150; ++round) {
            Bytes bytes = seed;
            const int changes = 1 + static_cast<int>(random() % 3);
            for (int k = 0; k < changes; ++k) {
                const std::size_t at = 5 + random() % (bytes.size() - 5);
                switch (random() % 3) {
                    case 0: bytes[at] = static_cast<std::uint8_t>(random()); break;
                    case 1: bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at)); break;
                    default: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(random())); break;
                }
                if (bytes.size() <= 5) break;
            }
            EXPECT_TRUE(IsValidUtf8(Convert(bytes)));
        }
    }
    // Streams of tokens and small operands in random order.
    const std::uint8_t pool[] = {0x00, 0x01, 0x02, 0x03, 0x7F, 0x80, 0xFF, 0x11, 0x0A, 0x0D, 0x7B, 0x82, 0x8C,
                                 kFlush, kExtn, kEndNest, kNest, kQNameDef, kNameDef, kCDataEnd, kCData,
                                 kComment, kPi, kEndAttrs, kAttr, kEndElem, kElem, kDocType, kXmlDecl};
    for (int i = 0; i < 3000; ++i) {
        Bytes bytes = Stream(2).bytes();
        const std::size_t length = random() % 80;
        for (std::size_t k = 0; k < length; ++k) bytes.push_back(pool[random() % sizeof pool]);
        EXPECT_TRUE(IsValidUtf8(Convert(bytes)));
    }
}

TEST(StoredXml, ManyDeclarationsOnOneElement) {
    // Each prefix declared once, the element using the last one; declaring the
    // first prefix again on the same element is refused.
    constexpr int kCount = 5000;
    Stream stream;
    stream.Name("urn:u").Name("r");  // names 1 and 2
    std::string expected = "<p4999:r";
    for (int i = 0; i < kCount; ++i) {
        const std::string prefix = "p" + std::to_string(i);
        stream.Name(prefix).Name("xmlns:" + prefix);                                  // names 3 + 2i, 4 + 2i
        stream.QName(0, static_cast<std::uint32_t>(4 + 2 * i), 0);                       // qname 1 + i
        expected += " xmlns:" + prefix + "=\"urn:u\"";
    }
    stream.QName(1, static_cast<std::uint32_t>(3 + 2 * (kCount - 1)), 2);              // qname kCount + 1
    stream.Element(kCount + 1);
    for (int i = 0; i < kCount; ++i) stream.Attribute(static_cast<std::uint32_t>(1 + i)).NVarChar("urn:u");
    Stream twice = stream;
    stream.EndAttributes().End();
    EXPECT_EQ(Convert(stream.bytes()), expected + " />");
    twice.Attribute(1).NVarChar("urn:v").EndAttributes().End();
    EXPECT_EQ(Convert(twice.bytes()), "");
}

// -- Depth and size guards -------------------------------------------------------

TEST(StoredXml, DeepNestingWithinTheLimitDecodes) {
    Stream stream;
    stream.Name("e").QName(0, 0, 1);
    std::string expected;
    constexpr int kDepth = 1000;
    for (int i = 0; i < kDepth; ++i) {
        stream.Element(1);
        expected += i + 1 < kDepth ? "<e>" : "<e />";
    }
    for (int i = 0; i < kDepth; ++i) stream.End();
    for (int i = 1; i < kDepth; ++i) expected += "</e>";
    EXPECT_EQ(Convert(stream.bytes()), expected);
}

TEST(StoredXml, NestingBeyondTheLimitGivesEmptyText) {
    pw::BinaryXmlLimits limits;
    limits.maxDepth = 64;
    auto decode = [&limits](const Bytes& bytes) {
        std::string text;
        const bool ok = pw::DecodeBinaryXml(pw::ByteView(bytes.data(), bytes.size()), text, limits);
        EXPECT_EQ(ok, !text.empty());
        return text;
    };
    auto elements = [](int depth) {
        Stream s;
        s.Name("e").QName(0, 0, 1);
        for (int i = 0; i < depth; ++i) s.Element(1);
        for (int i = 0; i < depth; ++i) s.End();
        return s.bytes();
    };
    EXPECT_NE(decode(elements(64)), "");
    EXPECT_EQ(decode(elements(65)), "");
    auto documents = [](int depth) {
        Stream s;
        s.OpenRoot();
        for (int i = 1; i < depth; ++i) s.U8(kNest).Raw({0xDF, 0xFF, 0x01, 0xB0, 0x04});
        for (int i = 1; i < depth; ++i) s.U8(kEndNest);
        return s.End().bytes();
    };
    EXPECT_NE(decode(documents(64)), "");
    EXPECT_EQ(decode(documents(65)), "");

    // A million open elements with the default limits: refused, no deep call stack.
    Stream deep;
    deep.Name("e").QName(0, 0, 1);
    for (int i = 0; i < 1000000; ++i) deep.Element(1);
    for (int i = 0; i < 1000000; ++i) deep.End();
    EXPECT_EQ(Convert(deep.bytes()), "");
}

TEST(StoredXml, TextBeyondTheOutputLimitGivesEmptyText) {
    // A long name, defined once, named by a thousand two-byte references.
    Stream stream;
    stream.Name(std::string(1000, 'n')).QName(0, 0, 1).Name("r").QName(0, 0, 2).Element(2);
    for (int i = 0; i < 1000; ++i) stream.Element(1).End();
    stream.End();
    const Bytes& bytes = stream.bytes();
    pw::BinaryXmlLimits limits;
    limits.textBytesPerStoredByte = 4;
    limits.maxTextBytes = 2 * 1000 * 1000;
    std::string text;
    EXPECT_TRUE(pw::DecodeBinaryXml(pw::ByteView(bytes.data(), bytes.size()), text, limits));
    EXPECT_EQ(text.size(), 3 + 1000 * (1 + 1000 + 3) + 4u);
    limits.maxTextBytes = 500 * 1000;
    EXPECT_FALSE(pw::DecodeBinaryXml(pw::ByteView(bytes.data(), bytes.size()), text, limits));
    EXPECT_EQ(text, "");

    // The same through attribute names, which are gathered before anything is written.
    Stream attributes;
    attributes.Name(std::string(1000, 'a')).QName(0, 0, 1).Name("r").QName(0, 0, 2).Element(2);
    for (int i = 0; i < 1000; ++i) attributes.Attribute(1);
    attributes.EndAttributes().End();
    const Bytes& attributeBytes = attributes.bytes();
    limits.maxTextBytes = 2 * 1000 * 1000;
    EXPECT_TRUE(pw::DecodeBinaryXml(pw::ByteView(attributeBytes.data(), attributeBytes.size()), text, limits));
    limits.maxTextBytes = 500 * 1000;
    EXPECT_FALSE(pw::DecodeBinaryXml(pw::ByteView(attributeBytes.data(), attributeBytes.size()), text, limits));
}

// -- Fragments ---------------------------------------------------------------------

Bytes SampleStream() {
    return Stream().OpenRoot().NVarChar("split over fragments").Name("v").QName(0, 0, 2).Element(2).End().End().bytes();
}

TEST(StoredXml, FragmentsAreJoinedInListOrderAndReleased) {
    const Bytes whole = SampleStream();
    const std::string expected = "<r>split over fragments<v /></r>";
    ASSERT_EQ(Convert(whole), expected);

    std::vector<pw::XmlFragment> fragments;
    const std::size_t cuts[] = {0, 3, 17, 18, whole.size()};
    for (std::size_t i = 0; i + 1 < std::size(cuts); ++i) {
        pw::XmlFragment f;
        f.bytes.assign(whole.begin() + static_cast<std::ptrdiff_t>(cuts[i]),
                       whole.begin() + static_cast<std::ptrdiff_t>(cuts[i + 1]));
        f.length = static_cast<std::int32_t>(f.bytes.size());
        fragments.push_back(std::move(f));
    }
    EXPECT_EQ(pw::ConvertXmlFragments(fragments), expected);
    ASSERT_EQ(fragments.size(), 4u);
    for (const pw::XmlFragment& f : fragments) {
        EXPECT_EQ(f.length, 0);
        EXPECT_TRUE(f.bytes.empty());
    }
}

TEST(StoredXml, FragmentLengthsLimitWhatIsTaken) {
    const Bytes whole = SampleStream();
    std::vector<pw::XmlFragment> fragments(3);
    fragments[0].bytes.assign(whole.begin(), whole.begin() + 10);
    fragments[0].bytes.push_back(0xAA);  // beyond the stated length: not part of the value
    fragments[0].length = 10;
    fragments[1].bytes = {0xBB};
    fragments[1].length = -1;  // nothing taken
    fragments[2].bytes.assign(whole.begin() + 10, whole.end());
    fragments[2].length = 100000;  // more than it holds: what it holds
    EXPECT_EQ(pw::ConvertXmlFragments(fragments), "<r>split over fragments<v /></r>");
}

TEST(StoredXml, FragmentsOutOfOrderOrMissingGiveEmptyText) {
    const Bytes whole = SampleStream();
    std::vector<std::vector<std::uint8_t>> swapped = {Bytes(whole.begin() + 8, whole.end()),
                                                      Bytes(whole.begin(), whole.begin() + 8)};
    EXPECT_EQ(pw::ConvertXmlFragments(swapped), "");
    EXPECT_TRUE(swapped[0].empty() && swapped[1].empty());

    std::vector<std::vector<std::uint8_t>> none;
    EXPECT_EQ(pw::ConvertXmlFragments(none), "");
    std::vector<pw::XmlFragment> empties(2);
    EXPECT_EQ(pw::ConvertXmlFragments(empties), "");

    std::vector<std::vector<std::uint8_t>> lastMissing = {Bytes(whole.begin(), whole.end() - 1)};
    EXPECT_EQ(pw::ConvertXmlFragments(lastMissing), "");
}

TEST(StoredXml, AnyFragmentListWithLengthAndBytesIsAccepted) {
    struct OtherFragment {
        std::int32_t length = 0;
        std::vector<std::uint8_t> bytes;
    };
    const Bytes whole = SampleStream();
    std::vector<OtherFragment> fragments(2);
    fragments[0].bytes.assign(whole.begin(), whole.begin() + 5);
    fragments[0].length = 5;
    fragments[1].bytes.assign(whole.begin() + 5, whole.end());
    fragments[1].length = static_cast<std::int32_t>(fragments[1].bytes.size());
    EXPECT_EQ(pw::ConvertXmlFragments(fragments), "<r>split over fragments<v /></r>");
    EXPECT_TRUE(fragments[0].bytes.empty() && fragments[1].bytes.empty());
}

}  // namespace
