#pragma once
// SystemRecord: the parts of one record that the catalog readers use.
//
// A catalog row is built from a record's type, its fixed part and at most its
// first two variable columns. This view lets the row builders work on plain
// byte buffers as well as on records parsed from a page; it owns nothing.

#include <cstddef>
#include <vector>

#include "support/ByteView.h"

namespace pw {

class CRecord;

struct SystemRecord {
    int recordType = 0;
    ByteView fixed;            // the fixed part (record offset 4 up to its end)
    int columnCount = 0;       // the record's column count
    std::vector<ByteView> vars;  // variable column values, in order

    std::size_t FixedLength() const { return fixed.size(); }
    bool HasFixedData() const { return !fixed.empty(); }
    // Variable column `i`, empty when the record has no such column.
    ByteView Var(std::size_t i) const { return i < vars.size() ? vars[i] : ByteView(); }

    // A view of a parsed record (valid while the record lives).
    static SystemRecord Of(const CRecord& record);
};

}  // namespace pw
