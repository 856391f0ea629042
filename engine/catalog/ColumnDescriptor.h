#pragma once
// One column of an opened object. The same structure is the cell type of a
// decoded row: the row decoder copies the table's descriptors and fills each
// `value` with the rendered cell text.

#include <cstdint>
#include <string>

namespace pw {

// Physical column number of a column that is not stored in the row (computed columns).
constexpr int kNotStoredOrdinal = -99;

struct ColumnDescriptor {
    std::string name;
    int columnId = 0;
    int ordinal = 0;             // physical column number; kNotStoredOrdinal when not in the row
    int valueKind = 0;           // ValueKind code 0..34
    std::string typeText;        // type name, "(", declared length, ")"
    std::int16_t maxLength = 0;  // the number between the parentheses for some kinds
    std::uint8_t isVariable = 0;
    std::uint8_t isNullable = 0;
    std::uint8_t isSparse = 0;
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;
    int collationId = -1;
    std::string identityText;    // "identity(seed,increment)" or empty
    std::uint8_t isRowGuid = 0;
    std::uint8_t inRow = 0;      // the physical position is known
    std::int16_t leafOffset = 0; // fixed-column offset or variable-column code
    std::int16_t xoffset = 0;    // stored column offset of the SQL Server 2000 layout
    int nullBit = -1;            // null bitmap position
    std::string value;           // cell text; for a column not in the row, its definition
    bool isNull = false;         // the cell is SQL NULL (value then reads "NULL")
    std::uint8_t isPrimaryKey = 0;
    std::uint8_t isUnique = 0;
    std::uint8_t isUniqueConstraint = 0;
    std::uint8_t keyOrder = 0;
    std::uint8_t isForeignKey = 0;
    std::string refTable;
    std::string refColumn;
};

}  // namespace pw
