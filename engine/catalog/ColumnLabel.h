#pragma once
// The label of a column in the object tree and in column listings.

#include <string>

#include "catalog/ColumnDescriptor.h"

namespace pw {

// name, two spaces, type text; then "[Primary Key]", or else "[Unique]" for a
// unique column; then, for a foreign key column,
// "  (foreign key) references " table "( " column ")".
inline std::string ColumnLabel(const ColumnDescriptor& d) {
    std::string label = d.name + "  " + d.typeText;
    if (d.isPrimaryKey)
        label += "[Primary Key]";
    else if (d.isUniqueConstraint || d.isUnique)
        label += "[Unique]";
    if (d.isForeignKey) label += "  (foreign key) references " + d.refTable + "( " + d.refColumn + ")";
    return label;
}

}  // namespace pw
