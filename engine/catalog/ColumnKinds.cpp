#include "catalog/ColumnKinds.h"

#include <limits>

namespace pw {

namespace {

bool KindReadsLength(int kind) {
    switch (kind) {
        case 1: case 3: case 10: case 11: case 18: case 23: case 24: case 26: case 33: case 34:
            return true;
        default:
            return false;
    }
}

bool KindIsVariable(int kind) {
    switch (kind) {
        case 11: case 15: case 16: case 17: case 18: case 19: case 20: case 25: case 26: case 33: case 34:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::int16_t NumberInParentheses(const std::string& typeText) {
    const std::size_t open = typeText.find('(');
    if (open == std::string::npos) return 0;
    const std::size_t close = typeText.find(')', open + 1);
    if (close == std::string::npos) return 0;
    std::size_t i = open + 1;
    bool negative = false;
    if (i < close && (typeText[i] == '-' || typeText[i] == '+')) {
        negative = typeText[i] == '-';
        ++i;
    }
    long long value = 0;
    bool digits = false;
    for (; i < close && typeText[i] >= '0' && typeText[i] <= '9'; ++i) {
        digits = true;
        value = value * 10 + (typeText[i] - '0');
        if (value > 1000000) break;  // no declared length is that long
    }
    if (!digits) return 0;
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int16_t>::max() || value < std::numeric_limits<std::int16_t>::min()) return 0;
    return static_cast<std::int16_t>(value);
}

ColumnDescriptor MakeDescriptor(const std::string& name, const std::string& typeText, int kind) {
    ColumnDescriptor d;
    d.name = name;
    d.typeText = typeText;
    d.maxLength = KindReadsLength(kind) ? NumberInParentheses(typeText) : std::int16_t{0};
    d.isVariable = KindIsVariable(kind) ? 1 : 0;
    if (kind == 18) kind = 11;
    if (kind > 34 || kind == 31 || kind == 32) {
        kind = 17;
        d.isVariable = 1;
    }
    d.valueKind = kind;
    d.leafOffset = 0;
    d.nullBit = -1;
    d.collationId = -1;
    return d;
}

}  // namespace pw
