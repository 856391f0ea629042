#include "catalog/TableListing.h"

#include <algorithm>

#include "catalog/Catalog.h"

namespace pw {

namespace {

constexpr std::uint8_t kInRowDataUnit = 1;

}  // namespace

WorkingTable MakeWorkingTable(const CCatalog& catalog, std::vector<ColumnDescriptor> columns) {
    WorkingTable table(std::move(columns), !catalog.objectRowsetColumns.empty());
    if (catalog.objectRowsets.empty()) return table;
    // The partitions of the chosen heap or clustered index share its index id.
    const std::int32_t indexId = catalog.chosenRowset.minorId;
    for (const RowsetRow& rowset : catalog.objectRowsets) {
        if (rowset.minorId != indexId) continue;
        for (const AllocUnitRow& unit : catalog.objectAllocUnits) {
            if (unit.ownerId != rowset.rowsetId || unit.type != kInRowDataUnit) continue;
            if (std::find(table.inRowAllocUnits.begin(), table.inRowAllocUnits.end(), unit.allocUnitId) ==
                table.inRowAllocUnits.end())
                table.inRowAllocUnits.push_back(unit.allocUnitId);
        }
    }
    return table;
}

}  // namespace pw
