#include "forge/SampleDatabase.h"

#include "catalog/SystemRowBuilders.h"
#include "forge/IamPageBuilder.h"
#include "forge/RecordBuilder.h"

namespace forge {

namespace {

Bytes Int32(std::int32_t value) {
    Bytes out(4);
    PutLE(out, 0, static_cast<std::uint32_t>(value), 4);
    return out;
}

Bytes Chars(const std::string& text, std::size_t width) {
    Bytes out(text.begin(), text.end());
    out.resize(width, ' ');
    return out;
}

// An allocation unit row whose first IAM page is (page, file 1).
Bytes AllocUnitWithIam(std::int64_t allocUnitId, std::int64_t ownerId, std::uint32_t iamPage) {
    Bytes record = AllocUnitRecord(allocUnitId, 1, ownerId);
    PutLE(record, 4 + 35, iamPage, 4);
    PutLE(record, 4 + 39, 1, 2);
    return record;
}

struct TableSpec {
    std::string name;
    std::int32_t objectId;
    int pages;
};

}  // namespace

SampleDatabase BuildSampleDatabase(int rowsPerPage) {
    SampleDatabase db;
    const TableSpec specs[] = {{"Customers", 1000, 2}, {"Orders", 1001, 3}, {"Empty", 1002, 0}};

    // User table pages come after the system tables; their positions are fixed first
    // so the allocation units can name their IAM pages.
    const std::uint32_t firstUserPage = 24;
    std::uint32_t next = firstUserPage;
    for (const TableSpec& shape : specs) {
        SampleTable table;
        table.name = shape.name;
        table.objectId = shape.objectId;
        table.pageKey = shape.objectId + 4000;
        for (int p = 0; p < shape.pages; ++p) {
            table.dataPages.push_back(next++);
            table.rowsPerPage.push_back(rowsPerPage);
        }
        db.tables.push_back(table);
    }
    for (const SampleTable& table : db.tables)
        db.iamPages.push_back(table.dataPages.empty() ? 0 : next++);

    std::vector<Bytes> objects, columns, rowsets, allocUnits, rsCols;
    for (std::size_t t = 0; t < db.tables.size(); ++t) {
        const SampleTable& table = db.tables[t];
        const std::int32_t id = table.objectId;
        const std::int64_t rowsetId = std::int64_t{id} * 1000;
        objects.push_back(SchObjRecord(id, table.name, "U "));
        rowsets.push_back(RowsetRecord(rowsetId, id, 0));
        allocUnits.push_back(AllocUnitWithIam(std::int64_t{table.pageKey} << 16, rowsetId, db.iamPages[t]));
    }
    // Customers (id int, city char(10), name varchar(40)).
    columns.push_back(ColParRecord(1000, 1, "id"));
    columns.push_back(ColParRecord(1000, 2, "city", 175, 175, 10));
    columns.push_back(ColParRecord(1000, 3, "name", 167, 167, 40));
    rsCols.push_back(RsColRecord(1000000, 1, 1, 4, 1));
    rsCols.push_back(RsColRecord(1000000, 2, 2, 8, 2));
    rsCols.push_back(RsColRecord(1000000, 3, 3, -1, 3));
    // Orders (id int, customer int, note nvarchar(60)).
    columns.push_back(ColParRecord(1001, 1, "id"));
    columns.push_back(ColParRecord(1001, 2, "customer"));
    columns.push_back(ColParRecord(1001, 3, "note", 231, 231, 120));
    rsCols.push_back(RsColRecord(1001000, 1, 1, 4, 1));
    rsCols.push_back(RsColRecord(1001000, 2, 2, 8, 2));
    rsCols.push_back(RsColRecord(1001000, 3, 3, -1, 3));
    // Empty (id int).
    columns.push_back(ColParRecord(1002, 1, "id"));
    rsCols.push_back(RsColRecord(1002000, 1, 1, 4, 1));

    CatalogFileBuilder& b = db.builder;
    const auto table = [&](std::int32_t objectId, const std::vector<Bytes>& records) {
        std::vector<std::uint32_t> positions;
        const std::uint32_t first = b.NextPosition();
        b.Table(objectId, records);
        for (std::uint32_t p = first; p < b.NextPosition(); ++p) positions.push_back(p);
        db.systemPages.emplace_back(objectId, positions);
    };
    table(pw::kSysSchObjs, objects);
    table(pw::kSysColPars, columns);
    table(pw::kSysScalarTypes, {ScalarTypeRecord(56, 56, 4, "int"), ScalarTypeRecord(167, 167, 8000, "varchar"),
                                ScalarTypeRecord(175, 175, 8000, "char"), ScalarTypeRecord(231, 231, 8000, "nvarchar")});
    table(pw::kSysRowsets, rowsets);
    table(pw::kSysAllocUnits, allocUnits);
    table(pw::kSysRsCols, rsCols);
    // The file list names a secondary file, which holds no table pages.
    table(pw::kSysFiles1, {SysFilesRecord(1, "Sample", "C:\\Data\\sample.mdf"),
                           SysFilesRecord(3, "Sample_2", "C:\\Data\\sample_2.ndf")});

    // The user tables' data pages, chained through their headers, and one IAM page each.
    for (std::size_t t = 0; t < db.tables.size(); ++t) {
        const SampleTable& st = db.tables[t];
        for (std::size_t p = 0; p < st.dataPages.size(); ++p) {
            PageBuilder page;
            page.Type(pw::kDataPage).ObjectId(st.pageKey).ThisPage(1, st.dataPages[p]);
            if (p > 0) page.PrevPage(1, st.dataPages[p - 1]);
            if (p + 1 < st.dataPages.size()) page.NextPage(1, st.dataPages[p + 1]);
            for (int r = 0; r < st.rowsPerPage[p]; ++r) {
                const std::int32_t id = static_cast<std::int32_t>(p) * 1000 + r + 1;
                const std::string text = st.name + " page " + std::to_string(st.dataPages[p]) + " slot " + std::to_string(r);
                RecordBuilder record;
                if (st.objectId == 1000) {
                    Bytes fixed = Int32(id);
                    const Bytes city = Chars("City" + std::to_string(r % 7), 10);
                    fixed.insert(fixed.end(), city.begin(), city.end());
                    record.Fixed(fixed).Columns(3).Var(Bytes(text.begin(), text.end()));
                } else {
                    Bytes fixed = Int32(id);
                    const Bytes customer = Int32(r % 5 + 1);
                    fixed.insert(fixed.end(), customer.begin(), customer.end());
                    record.Fixed(fixed).Columns(3).Var(Utf16(text));
                }
                page.AddRecord(record.Build());
            }
            b.File().SetPage(st.dataPages[p], page.Build());
        }
        if (db.iamPages[t] != 0) {
            IamPageBuilder iam;
            iam.At(1, db.iamPages[t]).ObjectId(st.pageKey);
            for (std::size_t p = 0; p < st.dataPages.size() && p < 8; ++p) iam.Slot(p, 1, st.dataPages[p]);
            b.File().SetPage(db.iamPages[t], iam.Build());
        }
    }
    return db;
}

}  // namespace forge
