#include <gtest/gtest.h>

#include "CatalogTestSupport.h"
#include "catalog/ColumnLabel.h"
#include "catalog/Keys.h"
#include "catalog/Scripts.h"
#include "catalog/SystemRowBuilders.h"

namespace {

using catalogtest::LoadedCatalog;
using forge::CatalogFileBuilder;
using forge::ColParRecord;
using forge::IdxStatRecord;
using forge::IsColRecord;
using forge::ObjRefRecord;
using forge::SchObjRecord;

std::vector<std::string> Labels(const std::vector<pw::ColumnDescriptor>& columns) {
    std::vector<std::string> labels;
    for (const auto& c : columns) labels.push_back(pw::ColumnLabel(c));
    return labels;
}

// Orders (1000): order_id, line, customer_id, region, country, note;
// Customers (1001): id, region, country.
// PK_Orders on (line, order_id) in key order, with sub-ids the other way round;
// UQ_Orders on note; a plain unique index on order_id; an index whose
// status bit 0x01 is clear on region; FK_Orders_Customers on customer_id;
// a two-column FK (region, country) -> Customers(region, country).
CatalogFileBuilder KeyedDatabase() {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs,
            {SchObjRecord(1000, "Orders", "U "), SchObjRecord(1001, "Customers", "U "),
             SchObjRecord(1100, "PK_Orders", "PK", 1000, 0, 1), SchObjRecord(1101, "UQ_Orders", "UQ", 1000, 0, 2),
             SchObjRecord(1102, "FK_Orders_Customers", "F ", 1000, 7), SchObjRecord(1103, "CK_Orders", "C ", 1000),
             SchObjRecord(1104, "FK_Region", "F ", 1000), SchObjRecord(1105, "DF_note", "D ", 1000)});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 1, "order_id"), ColParRecord(1000, 2, "line"),
                              ColParRecord(1000, 3, "customer_id"), ColParRecord(1000, 4, "region"),
                              ColParRecord(1000, 5, "country"), ColParRecord(1000, 6, "note"),
                              ColParRecord(1001, 1, "id"), ColParRecord(1001, 2, "region"),
                              ColParRecord(1001, 3, "country")});
    b.Table(pw::kSysScalarTypes, catalogtest::SystemTypes());
    b.Table(pw::kSysIdxStats, {IdxStatRecord(1000, 0, 0, ""), IdxStatRecord(1000, 1, 0x01 | 0x08 | 0x20, "PK_Orders"),
                               IdxStatRecord(1000, 2, 0x01 | 0x08 | 0x40, "UQ_Orders"),
                               IdxStatRecord(1000, 3, 0x01 | 0x08, "IX_unique"), IdxStatRecord(1000, 4, 0x08, "IX_off"),
                               IdxStatRecord(1001, 1, 0x01 | 0x20, "PK_Customers")});
    b.Table(pw::kSysIsCols, {IsColRecord(1000, 1, 1, 1, 2), IsColRecord(1000, 1, 2, 2, 1), IsColRecord(1000, 2, 1, 6, 1),
                             IsColRecord(1000, 3, 1, 1, 1), IsColRecord(1000, 4, 1, 4, 1),
                             IsColRecord(1001, 1, 1, 1, 1)});
    b.Table(pw::kSysSingleObjRefs,
            {ObjRefRecord(28, 1102, 1, 1000, 3), ObjRefRecord(29, 1102, 1, 1001, 1),
             // Two column pairs, the class 29 rows in the other order.
             ObjRefRecord(28, 1104, 1, 1000, 4), ObjRefRecord(28, 1104, 2, 1000, 5),
             ObjRefRecord(29, 1104, 2, 1001, 3), ObjRefRecord(29, 1104, 1, 1001, 2),
             // A class 29 row without partner.
             ObjRefRecord(29, 1199, 1, 1001, 1)});
    return b;
}

TEST(ForeignKeys, PairedInClass28OrderWithNames) {
    CatalogFileBuilder b = KeyedDatabase();
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    const auto& fks = catalog.foreignKeyColumns;
    ASSERT_EQ(fks.size(), 3u);
    EXPECT_EQ(fks[0].constraintName, "FK_Orders_Customers");
    EXPECT_EQ(fks[0].constraintStatus, 7);
    EXPECT_EQ(fks[0].parentTableName, "Orders");
    EXPECT_EQ(fks[0].parentColumnName, "customer_id");
    EXPECT_EQ(fks[0].referencedTableName, "Customers");
    EXPECT_EQ(fks[0].referencedColumnName, "id");
    EXPECT_EQ(fks[1].ordinal, 1);
    EXPECT_EQ(fks[1].parentColumnName, "region");
    EXPECT_EQ(fks[1].referencedColumnName, "region");
    EXPECT_EQ(fks[2].ordinal, 2);
    EXPECT_EQ(fks[2].parentColumnName, "country");
    EXPECT_EQ(fks[2].referencedColumnName, "country");
}

TEST(ColumnFlags, IndexMembershipForeignKeysAndLabels) {
    CatalogFileBuilder b = KeyedDatabase();
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    const auto columns = catalog.OpenObject("Orders", "U ");
    EXPECT_EQ(Labels(columns),
              (std::vector<std::string>{
                  "order_id  int(4)[Primary Key]",
                  "line  int(4)[Primary Key]",
                  "customer_id  int(4)  (foreign key) references Customers( id)",
                  "region  int(4)  (foreign key) references Customers( region)",
                  "country  int(4)  (foreign key) references Customers( country)",
                  "note  int(4)[Unique]",
              }));
    // order_id is in the primary key and in a unique index: both flags, one label.
    EXPECT_EQ(columns[0].isPrimaryKey, 1);
    EXPECT_EQ(columns[0].isUnique, 1);
    EXPECT_EQ(columns[5].isUniqueConstraint, 1);
    EXPECT_EQ(columns[5].keyOrder, 1);
    // The index whose bit 0x01 is clear flags nothing.
    EXPECT_EQ(columns[3].isUnique, 0);
    // Only real indexes of the table, each with its columns and status.
    ASSERT_EQ(catalog.objectIndexes.size(), 3u);
    ASSERT_EQ(catalog.objectIndexColumns.size(), 4u);
    EXPECT_EQ(catalog.objectIndexColumns[0].indexStatus, 0x29);

    // Key entries: every child object of the table, in catalog order, with its own id.
    ASSERT_EQ(catalog.keyEntries.size(), 6u);
    EXPECT_EQ(catalog.keyEntries[0].name, "PK_Orders");
    EXPECT_EQ(catalog.keyEntries[0].id, 1100);
    EXPECT_TRUE(catalog.keyEntries[0].isPrimaryKey);
    EXPECT_TRUE(catalog.keyEntries[1].isUnique);
    EXPECT_TRUE(catalog.keyEntries[2].isForeignKey);
    EXPECT_EQ(catalog.keyEntries[3].typeCode, "C ");
    EXPECT_FALSE(catalog.keyEntries[3].isPrimaryKey || catalog.keyEntries[3].isUnique);
}

TEST(ColumnLabels, UniqueBeforeForeignKeyAndNameless) {
    pw::ColumnDescriptor d;
    d.name = "c";
    d.typeText = "nchar(10)";
    d.isUniqueConstraint = 1;
    d.isForeignKey = 1;
    d.refTable = "T";
    d.refColumn = "k";
    EXPECT_EQ(pw::ColumnLabel(d), "c  nchar(10)[Unique]  (foreign key) references T( k)");
}

TEST(Scripts, Sql2005KeysListTheirIndexColumnsInKeyOrder) {
    CatalogFileBuilder b = KeyedDatabase();
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    catalog.OpenObject("Orders", "U ");
    EXPECT_EQ(pw::PrimaryKeyScript(catalog, 0, "PK_Orders"), "ALTER TABLE Orders ADD PRIMARY KEY ( line , order_id )");
    EXPECT_EQ(pw::UniqueScript(catalog, 0, "UQ_Orders"),
              "ALTER TABLE[dbo].[Orders] WITH NOCHECK ADD CONSTRAINT[UQ_Orders] UNIQUE CLUSTERED \r\n(\r\n[ note ] "
              "DSC\r\n)");
    // Without an opened table the key is found in the whole catalog.
    catalog.OpenObject("Customers", "U ");
    EXPECT_EQ(pw::PrimaryKeyScript(catalog, 0, "PK_Orders"), "ALTER TABLE Orders ADD PRIMARY KEY ( line , order_id )");
    EXPECT_EQ(pw::PrimaryKeyScript(catalog, 0, "missing"), "ALTER TABLE  ADD PRIMARY KEY ( )");
}

TEST(Scripts, ExactFormats) {
    EXPECT_EQ(pw::CheckScript("Orders", "CK_Orders", "([qty]>(0))"),
              "ALTER TABLE  [dbo].[Orders] WITH NOCHECK ADD CONSTRAINT[CK_Orders] CHECK ([qty]>(0))");
    EXPECT_EQ(pw::CheckScript("Orders", "CK_Orders", ""),
              "ALTER TABLE  [dbo].[Orders] WITH NOCHECK ADD CONSTRAINT[CK_Orders] CHECK ");
    // A space, each name followed by " , ", trailing blanks stripped, the last character dropped.
    EXPECT_EQ(pw::ScriptColumnList({"a", "b"}), " a , b ");
    EXPECT_EQ(pw::ScriptColumnList({"a"}), " a ");
    EXPECT_EQ(pw::ScriptColumnList({}), "");
    // A name with % in it is copied, not interpreted.
    EXPECT_EQ(pw::CheckScript("100%s", "x", "y"), "ALTER TABLE  [dbo].[100%s] WITH NOCHECK ADD CONSTRAINT[x] CHECK y");
}

// Many tables and columns: every lookup goes through the indexes by object id.
TEST(LargeCatalog, EveryTableOpensWithItsOwnColumns) {
    pw::AppState state;
    pw::CCatalog catalog(state);
    constexpr int kTables = 10000;
    constexpr int kColumns = 20;
    for (int t = 0; t < kTables; ++t) {
        const int id = 100000 + t;
        catalog.objects.push_back({.id = id, .name = "T" + std::to_string(t), .schemaId = 1, .schemaClass = 0,
                                   .status = 0, .typeCode = "U ", .parentId = 0, .parentClass = 0, .intProperty = 0});
        catalog.rowsets.push_back({.rowsetId = id, .ownerType = 1, .majorId = id, .minorId = 0, .partitionNumber = 1,
                                   .status = 0, .filegroupId = 1, .rowCount = 0});
        for (int c = kColumns; c >= 1; --c) {
            pw::ColumnRow column;
            column.objectId = id;
            column.number = 0;
            column.columnId = c;
            column.systemTypeId = 56;
            column.userTypeId = 56;
            column.length = 4;
            column.status = 0;
            column.name = "c" + std::to_string(c);
            catalog.columns.push_back(column);
            pw::RowsetColumnRow rc;
            rc.rowsetId = id;
            rc.rowsetColumnId = c;
            rc.hobtColumnId = c;
            rc.offset = 4 * c;
            catalog.rowsetColumns.push_back(rc);
        }
    }
    catalog.types.push_back({.typeId = 56, .schemaId = 4, .systemTypeId = 56, .length = 4, .precision = 10,
                             .scale = 0, .collationId = 0, .status = 0, .name = "int"});
    std::size_t opened = 0;
    for (int t = 0; t < kTables; ++t) {
        const auto columns = catalog.OpenObject("T" + std::to_string(t), "U ");
        ASSERT_EQ(columns.size(), static_cast<std::size_t>(kColumns));
        ASSERT_EQ(columns.front().name, "c1");
        ASSERT_EQ(columns.back().leafOffset, 4 * kColumns);
        ++opened;
    }
    EXPECT_EQ(opened, static_cast<std::size_t>(kTables));
}

}  // namespace
