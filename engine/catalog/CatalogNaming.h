#pragma once
// Names of catalog rows, and the repair names given when a name cannot be read.
//
// Object and column names are stored as UTF-16LE in the first variable column
// of their row. A row whose name is missing or empty still has to be shown
// and opened, so it gets a made-up name: a prefix and a running number
// ("Repairname0", "Repairname1", ...; "RepairColumn0", ...). The number
// comes from the reader's counter, which each object and column reader sets
// to 0 when it starts and when it ends.

#include <cstdint>
#include <string>

#include "catalog/SystemRecord.h"
#include "support/ByteView.h"

namespace pw {

inline constexpr char kRepairObjectPrefix[] = "Repairname";
inline constexpr char kRepairColumnPrefix[] = "RepairColumn";

// UTF-16LE text up to the first NUL character, as UTF-8.
std::string Utf16Name(ByteView bytes);

// The name held in var 0 of `record`, or `prefix` followed by `counter` in
// decimal (the counter is then incremented) when there is none or it is empty.
std::string NameOrRepair(const SystemRecord& record, const char* prefix, std::uint64_t& counter);

// "identity(seed,increment)" from var 1 of a syscolpars row (see the .cpp for the
// length cases).
std::string IdentityText(ByteView var1);

}  // namespace pw
