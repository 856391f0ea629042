#pragma once
// How a column descriptor is made from a column's name, type text and value kind.

#include <cstdint>
#include <string>

#include "catalog/ColumnDescriptor.h"

namespace pw {

// The integer written between the first "(" and the following ")" of a type
// text such as "nvarchar(50)" or "varbinary(-1)"; 0 when there is none.
std::int16_t NumberInParentheses(const std::string& typeText);

// A descriptor made by the kind rules:
//  - maxLength is the number in the type text for kinds that read it
//    (binary, char, nchar, nvarchar, the empty kind, numeric, decimal, text,
//    CLR types, xml), 0 for every other kind;
//  - isVariable is set for kinds 11, 15, 16, 17, 18, 19, 20, 25, 26, 33 and 34;
//  - kind 18 is stored as 11; a kind above 34, or 31 or 32, is stored as 17
//    (variable);
//  - every other member keeps its initial value (leafOffset 0, nullBit -1,
//    collationId -1).
ColumnDescriptor MakeDescriptor(const std::string& name, const std::string& typeText, int kind);

}  // namespace pw
