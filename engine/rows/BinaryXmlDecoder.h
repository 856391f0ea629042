#pragma once
// Decoder of SQL Server's binary xml form, the form in which an xml column
// value is stored in the data file.
//
// Stream layout (all integers little-endian):
//
//   DF FF          signature
//   01 | 02        version (00 is read as 01; version 2 adds the date/time
//                  tokens 7A..7F)
//   B0 04          encoding: code page 1200, UTF-16LE, the only one defined
//   [FE xmldecl]   version text [FD encoding text] standalone byte (0 none,
//                  1 yes, 2 no)
//   misc*          comments, processing instructions, name definitions
//   [FC doctype]   name text [FB system] [FA public] [F9 internal subset]
//   content        elements, text (typed values), CDATA, comments, PIs,
//                  nested documents, name definitions
//
// Integers of variable size ("mb32", "mb64") keep 7 bits per byte, least
// significant group first, the high bit meaning "another byte follows"; an
// mb32 has at most 5 bytes and fits a signed 32-bit value, an mb64 at most
// 10 bytes and fits a signed 64-bit value. Text is a character count (mb32,
// or mb64 where noted) followed by that many UTF-16LE code units.
//
// Names are not stored inline: F0 defines the next entry (1, 2, ...) of the
// name table, EF defines the next entry of the qualified-name table from
// three name references (namespace uri, prefix, local name; 0 is the empty
// name), elements and attributes refer to qualified names, E9 empties both
// tables, EA carries an extension block to skip. These may appear between
// any two tokens. A nested document (EC ... EB) has its own name tables but
// shares the namespace scope of its parent.
//
// Elements: F8 qname, then for each attribute F6 qname and zero or more
// typed values, F5 ending the attributes (when there are any), the content,
// F7. An attribute whose local name and namespace are empty is a namespace
// declaration; its prefix name is "xmlns" or "xmlns:p".
//
// The text produced is UTF-8 XML: element and attribute names with their
// prefixes, namespace declarations the document needs but does not carry
// added to the element that needs them, empty elements written "<a />",
// text escaped (& < > and CR), attribute values escaped (& < > " and TAB,
// LF, CR), typed values in their XML schema lexical form, binary values in
// base64 (binhex values in upper-case hexadecimal).
//
// Anything that does not follow the format - a bad header, an unknown or
// misplaced token, a reference to an undefined name, a length running past
// the end, an unclosed element - makes the whole decode fail. The decoder
// never recurses (elements and nested documents are kept on an explicit,
// capped stack) and caps the text it produces.

#include <cstddef>
#include <string>

#include "support/ByteView.h"

namespace pw {

// Safeguards against streams built to exhaust memory.
struct BinaryXmlLimits {
    // Most elements and nested documents open at one time. SQL Server itself
    // refuses xml nested deeper than 128 levels.
    std::size_t maxDepth = 4096;
    // The produced text may grow to `maxTextBytes`, or to `textBytesPerStoredByte`
    // times the stored size when that is larger; a stream that would produce
    // more is refused (a few bytes can name a long string over and over).
    std::size_t maxTextBytes = std::size_t{256} * 1024 * 1024;
    std::size_t textBytesPerStoredByte = 4;
};

// Decodes `stored`; on success `text` holds the document and the result is
// true. On failure the result is false and `text` is empty.
bool DecodeBinaryXml(ByteView stored, std::string& text, const BinaryXmlLimits& limits = {});

}  // namespace pw
