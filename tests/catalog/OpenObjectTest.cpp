#include <gtest/gtest.h>

#include "CatalogTestSupport.h"
#include "catalog/ColumnKinds.h"
#include "catalog/SystemRowBuilders.h"

namespace {

using catalogtest::LoadedCatalog;
using catalogtest::Names;
using forge::Bytes;
using forge::CatalogFileBuilder;
using forge::ColParRecord;
using forge::SchObjRecord;

const pw::ColumnDescriptor& Named(const std::vector<pw::ColumnDescriptor>& columns, const std::string& name) {
    for (const auto& c : columns)
        if (c.name == name) return c;
    static const pw::ColumnDescriptor none;
    ADD_FAILURE() << "no column " << name;
    return none;
}

TEST(OpenObject, NameLookupPrefersTheRequestedTypeOrAnyNonTable) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "X", "U "), SchObjRecord(1001, "X", "V "),
                              SchObjRecord(1002, "Y", "S "), SchObjRecord(1003, "x", "P ")});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 1, "a")});
    b.Table(pw::kSysScalarTypes, catalogtest::SystemTypes());
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);

    const auto view = catalog.OpenObject("X", "P ");
    ASSERT_EQ(view.size(), 3u);
    EXPECT_EQ(view[0].value, "1001");
    EXPECT_EQ(catalog.currentObject.typeCode, "V ");
    EXPECT_EQ(Names(catalog.OpenObject("X", "U ")), (std::vector<std::string>{"a"}));
    EXPECT_EQ(catalog.currentObject.id, 1000);
    // A table is not found under another table type; names compare exactly.
    EXPECT_TRUE(catalog.OpenObject("Y", "U ").empty());
    EXPECT_EQ(catalog.OpenObject("x", "P ")[0].value, "1003");
}

TEST(OpenObject, ChosenRowset) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::int64_t, std::int32_t>> rowsets;  // (rowset id, index id) in list order
        std::int64_t chosen;
    };
    const Case cases[] = {
        {"index ids 2, 1, 0: the lowest at most 1 wins", {{902, 2}, {901, 1}, {900, 0}}, 900},
        {"index ids 0, 1: a later 1 does not replace 0", {{900, 0}, {901, 1}}, 900},
        {"index ids 3, 5: the last row", {{903, 3}, {905, 5}}, 905},
        {"no rowset: defaults", {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CatalogFileBuilder b;
        b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "T", "U ")});
        b.Table(pw::kSysColPars, {ColParRecord(1000, 1, "a")});
        std::vector<Bytes> rowsets{forge::RowsetRecord(999, 77, 0)};  // another object's rowset
        for (const auto& [rowsetId, indexId] : c.rowsets) rowsets.push_back(forge::RowsetRecord(rowsetId, 1000, indexId));
        b.Table(pw::kSysRowsets, rowsets);
        LoadedCatalog db;
        pw::CCatalog& catalog = db.Load(b);
        catalog.OpenObject("T", "U ");
        EXPECT_EQ(catalog.chosenRowset.rowsetId, c.chosen);
        EXPECT_EQ(catalog.objectRowsets.size(), c.rowsets.size());
        if (c.rowsets.empty()) {
            EXPECT_EQ(catalog.chosenRowset.ownerType, 255);
        }
    }
}

TEST(OpenObject, DataPagesOfEveryRowsetAndUnit) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "T", "U "), SchObjRecord(1001, "Empty", "U ")});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 1, "a"), ColParRecord(1001, 1, "a")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 1), forge::RowsetRecord(901, 1000, 2)});
    // In-row unit of the clustered index with pages; a large-object unit; a unit of the second index.
    b.Table(pw::kSysAllocUnits, {forge::AllocUnitRecord(std::int64_t{5000} << 16, 1, 900, 3, 1),
                                 forge::AllocUnitRecord(std::int64_t{5001} << 16, 2, 900),
                                 forge::AllocUnitRecord(std::int64_t{5002} << 16, 1, 901)});
    const std::uint32_t first = b.NextPosition();
    b.DataPages(5000, 2).DataPages(5001, 1).DataPages(5002, 1);
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    catalog.OpenObject("T", "U ");
    const std::vector<pw::DataPageAddress> expected{{1, first}, {1, first + 1}, {1, first + 2}, {1, first + 3}};
    EXPECT_EQ(catalog.dataPages, expected);
    EXPECT_EQ(catalog.objectAllocUnits.size(), 3u);
    EXPECT_EQ(catalog.inRowAllocUnit.allocUnitId, std::int64_t{5000} << 16);
    EXPECT_EQ(catalog.inRowAllocUnit.firstPage, (pw::PagePointer{first + 1, 1}));

    // A table without rowsets, units or pages still gets its columns.
    EXPECT_EQ(Names(catalog.OpenObject("Empty", "U ")), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(catalog.dataPages.empty());
    EXPECT_EQ(catalog.inRowAllocUnit.type, 255);
}

TEST(OpenObject, InRowUnitWithoutPagesStaysAsRead) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "T", "U ")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 0)});
    b.Table(pw::kSysAllocUnits, {forge::AllocUnitRecord(std::int64_t{5000} << 16, 1, 900)});
    b.DataPages(5000, 1);
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    catalog.OpenObject("T", "U ");
    EXPECT_EQ(catalog.inRowAllocUnit.firstPage, (pw::PagePointer{0, 0}));
    EXPECT_EQ(catalog.dataPages.size(), 1u);
}

// Types, kinds and the kind rules over one table of many column types.
TEST(OpenObject, DescriptorsByTypeAndKind) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "T", "U ")});
    forge::ColParSpec nullableIdentity = forge::Col(1000, 1, "id");
    nullableIdentity.status = 5;
    nullableIdentity.identity = Bytes{0, 0, 1, 0, 7, 0};
    forge::ColParSpec notNull = forge::Col(1000, 14, "guid", 36, 36, 16);
    notNull.status = 1 | 8;  // not nullable, row guid
    forge::ColParSpec sparse = forge::Col(1000, 15, "sp");
    sparse.status = 1 << 24;
    forge::ColParSpec otherNumber = forge::Col(1000, 16, "param");
    otherNumber.number = 1;  // not a column of the table itself
    b.Table(pw::kSysColPars,
            {forge::ColParRecord(nullableIdentity), ColParRecord(1000, 2, "alias", 231, 257, 100),
             ColParRecord(1000, 3, "name", 231, 256, 256), ColParRecord(1000, 4, "h", 240, 128, 892),
             ColParRecord(1000, 5, "geom", 240, 129, -1), ColParRecord(1000, 6, "geog", 240, 130, -1),
             ColParRecord(1000, 7, "nt", 99, 99, 16), ColParRecord(1000, 8, "tx", 35, 35, 16),
             ColParRecord(1000, 9, "img", 34, 34, 16), ColParRecord(1000, 10, "vc", 167, 167, -1),
             ColParRecord(1000, 11, "ch", 175, 175, 10), ColParRecord(1000, 12, "dropped", 0, 0, 4),
             ColParRecord(1000, 13, "unknown", 200, 200, 3), forge::ColParRecord(notNull),
             forge::ColParRecord(sparse), forge::ColParRecord(otherNumber),
             ColParRecord(1000 | (3 << 24), 17, "masked"), ColParRecord(1000, 1, "duplicate")});
    std::vector<Bytes> types = catalogtest::SystemTypes();
    types.push_back(forge::ScalarTypeRecord(257, 231, 100, "Phone", 1));  // an alias type
    types.push_back(forge::ScalarTypeRecord(36, 36, 16, "uniqueidentifier", 4));
    b.Table(pw::kSysScalarTypes, types);
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    const auto columns = catalog.OpenObject("T", "U ");
    EXPECT_EQ(Names(columns), (std::vector<std::string>{"id", "alias", "name", "h", "geom", "geog", "nt", "tx", "img",
                                                         "vc", "ch", "unknown", "guid", "sp", "masked"}));

    struct Expected {
        const char* name;
        const char* typeText;
        int kind;
        int maxLength;
        int isVariable;
    };
    const Expected expected[] = {
        {"id", "int(4)", 9, 0, 0},
        {"alias", "nvarchar(100)", 11, 100, 1},  // alias types show their base type
        {"name", "nvarchar(256)", 11, 256, 1},
        {"h", "(892)", 31, 892, 1},  // CLR types are told apart by the user type
        {"geom", "(-1)", 32, -1, 1},
        {"geog", "(-1)", 33, -1, 1},
        {"nt", "ntext(16)", 19, 0, 1},
        {"tx", "text(16)", 26, 16, 1},
        {"img", "image(16)", 25, 0, 1},
        {"vc", "varchar(-1)", 17, 0, 1},
        {"ch", "char(10)", 3, 10, 0},
        {"unknown", "(3)", 3, 3, 0},
        {"guid", "uniqueidentifier(16)", 15, 0, 1},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const pw::ColumnDescriptor& d = Named(columns, e.name);
        EXPECT_EQ(d.typeText, e.typeText);
        EXPECT_EQ(d.valueKind, e.kind);
        EXPECT_EQ(d.maxLength, e.maxLength);
        EXPECT_EQ(d.isVariable, e.isVariable);
    }
    EXPECT_EQ(Named(columns, "id").identityText, "identity(7,1)");
    EXPECT_EQ(Named(columns, "id").isNullable, 0);  // status bit 0 set
    EXPECT_EQ(Named(columns, "ch").isNullable, 1);
    EXPECT_EQ(Named(columns, "guid").isNullable, 0);
    EXPECT_EQ(Named(columns, "guid").isRowGuid, 1);
    EXPECT_EQ(Named(columns, "sp").isSparse, 1);
    EXPECT_EQ(Named(columns, "ch").nullBit, -1);
    EXPECT_EQ(Named(columns, "ch").collationId, 0);  // from the column row
}

TEST(KindRules, MaxLengthVariableFlagAndStoredKind) {
    struct Case {
        int kind;
        const char* typeText;
        int storedKind;
        int maxLength;
        int isVariable;
    };
    const Case cases[] = {
        {1, "binary(8)", 1, 8, 0},     {3, "char(10)", 3, 10, 0},        {9, "int(4)", 9, 0, 0},
        {10, "nchar(20)", 10, 20, 0},  {11, "nvarchar(50)", 11, 50, 1},  {15, "uniqueidentifier(16)", 15, 0, 1},
        {16, "varbinary(-1)", 16, 0, 1}, {18, "(7)", 11, 7, 1},           {19, "ntext(16)", 19, 0, 1},
        {20, "sql_variant(8016)", 20, 0, 1}, {23, "numeric(9)", 23, 9, 0}, {24, "decimal(5)", 24, 5, 0},
        {26, "text(16)", 26, 16, 1},   {31, "(892)", 17, 0, 1},          {32, "(-1)", 17, 0, 1},
        {33, "(-1)", 33, -1, 1},       {34, "xml(-1)", 34, -1, 1},        {35, "x(3)", 17, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typeText);
        const pw::ColumnDescriptor d = pw::MakeDescriptor("c", c.typeText, c.kind);
        EXPECT_EQ(d.valueKind, c.storedKind);
        EXPECT_EQ(d.maxLength, c.maxLength);
        EXPECT_EQ(d.isVariable, c.isVariable);
        EXPECT_EQ(d.nullBit, -1);
        EXPECT_EQ(d.collationId, -1);
        EXPECT_EQ(d.leafOffset, 0);
    }
    EXPECT_EQ(pw::NumberInParentheses("no parentheses"), 0);
    EXPECT_EQ(pw::NumberInParentheses("x(abc)"), 0);
    EXPECT_EQ(pw::NumberInParentheses("x(99999999)"), 0);
}

TEST(OpenObject, ColumnsSortedAndPlacedByRowsetColumns) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "T", "U ")});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 5, "five"), ColParRecord(1000, 2, "two"), ColParRecord(1000, 9, "nine")});
    b.Table(pw::kSysScalarTypes, catalogtest::SystemTypes());
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 0)});
    // Column 9 is not stored: a computed column.
    b.Table(pw::kSysRsCols, {forge::RsColRecord(900, 2, 1, 0x00030004, 1), forge::RsColRecord(900, 5, 2, 8, 2),
                             forge::RsColRecord(901, 9, 3, 12, 3)});
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    // The definition of column 9 as the definition table renders it (UTF-16 "([a]+1)" in hex).
    std::string hex = "0x";
    for (unsigned char ch : std::string("([a]+1)")) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%02X00", ch);
        hex += buffer;
    }
    catalog.computedTexts.push_back({"1000", "9", hex});
    catalog.computedTexts.push_back({"1000", "5", hex});  // a stored column keeps its value empty
    const auto columns = catalog.OpenObject("T", "U ");
    ASSERT_EQ(Names(columns), (std::vector<std::string>{"two", "five", "nine"}));
    EXPECT_EQ(columns[0].leafOffset, 4);  // low 16 bits of the offset
    EXPECT_EQ(columns[0].ordinal, 1);
    EXPECT_EQ(columns[1].ordinal, 2);
    EXPECT_EQ(columns[1].nullBit, 2);
    EXPECT_EQ(columns[1].value, "");
    EXPECT_EQ(columns[2].ordinal, pw::kNotStoredOrdinal);
    EXPECT_EQ(columns[2].inRow, 0);
    EXPECT_EQ(columns[2].value, "([a]+1)");
    EXPECT_EQ(catalog.firstRowColumn, 0u);
}

TEST(OpenObject, Sql2005PhysicalColumns) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "T", "U ")});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 1, "a"), ColParRecord(1000, 2, "b"), ColParRecord(1000, 3, "c")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(910, 1000, 1)});
    b.Table(pw::kSysHobtColumns2005, {forge::HobtColumnRecord(910, 1, 4, 1), forge::HobtColumnRecord(910, 2, -1, 2),
                                      forge::HobtColumnRecord(911, 3, 8, 3)});
    b.Table(pw::kSysRowsetColumns2005, {forge::RowsetColumn2005Record(910, 1, 2), forge::RowsetColumn2005Record(910, 2, 1)});
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    const auto columns = catalog.OpenObject("T", "U ");
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].leafOffset, 4);
    EXPECT_EQ(columns[0].nullBit, 1);
    EXPECT_EQ(columns[0].ordinal, 2);
    EXPECT_EQ(columns[1].leafOffset, -1);
    EXPECT_EQ(columns[1].ordinal, 1);
    EXPECT_EQ(columns[1].inRow, 1);
    // Column 3 belongs to another heap: it is not in the row.
    EXPECT_EQ(columns[2].ordinal, pw::kNotStoredOrdinal);
    EXPECT_EQ(catalog.firstRowColumn, 0u);
}

TEST(OpenObject, FirstRowColumnSkipsComputedColumns) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "T", "U ")});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 1, "computed"), ColParRecord(1000, 2, "stored")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 0)});
    b.Table(pw::kSysRsCols, {forge::RsColRecord(900, 2, 1, 4, 1)});
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    const auto columns = catalog.OpenObject("T", "U ");
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].ordinal, pw::kNotStoredOrdinal);
    EXPECT_EQ(catalog.firstRowColumn, 1u);
}

}  // namespace
