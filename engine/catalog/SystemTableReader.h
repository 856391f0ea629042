#pragma once
// CSystemTableReader: reads the system base tables page by page into catalog rows.
//
// The catalog is never read through an index. Every system base table is
// found by its object id in the system page map built by the page pass, each
// of its pages is walked slot by slot, and a row builder turns each record
// into a catalog row (SystemRowBuilders.h). Rows are appended in the order
// they were read. A page that cannot be read, an empty slot or a record the
// builder does not take never stops a table; a stop request ends it after
// the current record.

#include <cstdint>
#include <functional>
#include <vector>

#include "catalog/CatalogRows.h"
#include "catalog/SystemRecord.h"
#include "catalog/SystemRowBuilders.h"

namespace pw {

class CDatabaseFileSet;
class CPage;
struct AppState;

class CSystemTableReader {
public:
    explicit CSystemTableReader(CDatabaseFileSet& files);

    void ReadFiles(std::vector<FileRow>& rows);
    // Object 34 with the SQL Server 2005 offsets, or object 1 with the SQL Server 2000 ones.
    void ReadObjects(std::int32_t objectId, ObjectLayout layout, std::vector<ObjectRow>& rows);
    void ReadAllocUnits(std::vector<AllocUnitRow>& rows);
    void ReadRowsets(std::vector<RowsetRow>& rows);
    void ReadColumns(std::vector<ColumnRow>& rows);
    void ReadTypes(std::vector<TypeRow>& rows);
    void ReadRowsetColumns(std::vector<RowsetColumnRow>& rows);
    void ReadObjectRefs(std::vector<ObjectRefRow>& rows);
    void ReadIndexes(std::vector<IndexRow>& rows);
    void ReadIndexColumns(std::vector<IndexColumnRow>& rows);
    void ReadHobtColumns(std::vector<HobtColumnRow>& rows);
    void ReadRowsetColumns2005(std::vector<RowsetColumn2005Row>& rows);
    // SQL Server 2000: sysindexes rows of index id 1, keyed by object id (a later row replaces an earlier one).
    void ReadIndexes2000(Index2000Map& entries);
    // SQL Server 2000: syscolumns; `afterPage` is called after each page with
    // the index of the first row that page added.
    void ReadColumns2000(std::vector<Column2000Row>& rows, const std::function<void(std::size_t)>& afterPage);

    // The running number of repair names while an object or column reader runs.
    std::uint64_t nameCounter = 0;

private:
    // Calls `onRecord` for every record of every page of `objectId` in the
    // system page map, then `afterPage` after each page that was read.
    void Walk(std::int32_t objectId, const std::function<void(const SystemRecord&, const CPage&)>& onRecord,
              const std::function<void()>& afterPage = {});

    CDatabaseFileSet& files_;
    AppState& state_;
};

}  // namespace pw
