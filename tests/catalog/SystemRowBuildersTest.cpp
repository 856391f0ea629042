#include <gtest/gtest.h>

#include <random>

#include "CatalogTestSupport.h"
#include "catalog/CatalogNaming.h"
#include "catalog/SystemRowBuilders.h"
#include "pages/Record.h"

namespace {

using catalogtest::RecordBytes;
using forge::Bytes;
using forge::Fixed;
using forge::Utf16;

Bytes Zeros(std::size_t n) { return Bytes(n, 0); }

TEST(ObjectRows, NameFromVarZeroOrRepairNameWithCounter) {
    std::uint64_t counter = 0;
    Fixed f(40);
    f.Put(0, 77, 4).Chars(13, "U ").Put(15, 5, 4);
    const RecordBytes named{f.bytes(), {Utf16("Orders")}};
    const RecordBytes noVar{f.bytes(), {}};
    const RecordBytes emptyVar{f.bytes(), {Bytes{}}};
    const RecordBytes nulName{f.bytes(), {Bytes{0, 0, 0, 0}}};

    auto row = pw::MakeObjectRow(named.View(), pw::ObjectLayout::kSql2005, counter);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->name, "Orders");
    EXPECT_EQ(row->id, 77);
    EXPECT_EQ(row->typeCode, "U ");
    EXPECT_EQ(row->parentId, 5);
    EXPECT_EQ(counter, 0u);

    EXPECT_EQ(pw::MakeObjectRow(noVar.View(), pw::ObjectLayout::kSql2005, counter)->name, "Repairname0");
    EXPECT_EQ(pw::MakeObjectRow(emptyVar.View(), pw::ObjectLayout::kSql2005, counter)->name, "Repairname1");
    // A name that reads as empty text is repaired the same way.
    EXPECT_EQ(pw::MakeObjectRow(nulName.View(), pw::ObjectLayout::kSql2005, counter)->name, "Repairname2");
    EXPECT_EQ(counter, 3u);

    std::uint64_t columns = 0;
    pw::ColumnRow column = *pw::MakeColumnRow(RecordBytes{Zeros(41), {}}.View(), columns);
    EXPECT_EQ(column.name, "RepairColumn0");
}

TEST(ObjectRows, DroppedWhenShortOrWithoutPositiveId) {
    std::uint64_t counter = 0;
    Fixed positive(19);
    positive.Put(0, 5, 4);
    Fixed zeroId(40);
    Fixed negativeId(40);
    negativeId.Put(0, 0xFFFFFFFF, 4);
    for (const Bytes& fixed : {positive.bytes(), zeroId.bytes(), negativeId.bytes()})
        EXPECT_FALSE(pw::MakeObjectRow(RecordBytes{fixed, {Utf16("x")}}.View(), pw::ObjectLayout::kSql2005, counter));
    // Blob fragments are never catalog rows.
    Fixed good(40);
    good.Put(0, 5, 4);
    EXPECT_FALSE(pw::MakeObjectRow(RecordBytes{good.bytes(), {}, 4}.View(), pw::ObjectLayout::kSql2005, counter));
    EXPECT_EQ(counter, 0u);  // no name was made for a dropped row
}

TEST(ObjectRows, Sql2000OffsetsForTypeAndParent) {
    std::uint64_t counter = 0;
    Fixed f(28);
    f.Put(0, 300, 4).Chars(4, "PK").Put(15, 111, 4).Put(24, 222, 4);
    auto row = pw::MakeObjectRow(RecordBytes{f.bytes(), {Utf16("pk1")}}.View(), pw::ObjectLayout::kSql2000, counter);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->typeCode, "PK");
    EXPECT_EQ(row->parentId, 222);
    // With a fixed part shorter than 24 the parent comes from offset 15.
    f.Resize(22);
    row = pw::MakeObjectRow(RecordBytes{f.bytes(), {Utf16("pk1")}}.View(), pw::ObjectLayout::kSql2000, counter);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->parentId, 111);
}

// var 1 of a syscolpars row of status 5: seed and increment by length.
TEST(IdentityText, LengthCases) {
    struct Case {
        const char* what;
        Bytes var1;
        const char* expected;
    };
    Bytes wide(24, 0);
    forge::PutLE(wide, 0, 1, 8);  // first bigint: high dword 0, low dword not 0
    forge::PutLE(wide, 8, 5, 8);  // increment
    forge::PutLE(wide, 16, 1000000000000LL, 8);  // seed
    Bytes wideOther(24, 0);
    forge::PutLE(wideOther, 0, 0x100000000ULL, 8);  // high dword not 0
    forge::PutLE(wideOther, 4, 3, 4);
    forge::PutLE(wideOther, 8, 9, 4);
    Bytes twelve(12, 0);
    forge::PutLE(twelve, 4, 2, 4);
    forge::PutLE(twelve, 8, 100, 4);
    Bytes twelveZeroSeed(12, 0);
    forge::PutLE(twelveZeroSeed, 4, 7, 4);
    Bytes six(6, 0);
    forge::PutLE(six, 2, 3, 2);
    forge::PutLE(six, 4, 10, 2);
    Bytes bigUnsigned(24, 0);
    forge::PutLE(bigUnsigned, 0, 1, 8);
    forge::PutLE(bigUnsigned, 8, 0xFFFFFFFFFFFFFFFFULL, 8);
    forge::PutLE(bigUnsigned, 16, 2, 8);
    const Case cases[] = {
        {"24 bytes, first bigint 1", wide, "identity(1000000000000,5)"},
        {"24 bytes, first bigint with high dword", wideOther, "identity(9,3)"},
        {"12 bytes", twelve, "identity(100,2)"},
        {"seed 0 shown as 1", twelveZeroSeed, "identity(1,7)"},
        {"6 bytes", six, "identity(10,3)"},
        {"4 bytes", Bytes{1, 2, 3, 4}, "identity(1,1)"},
        {"empty", Bytes{}, "identity(1,1)"},
        {"unsigned printed signed", bigUnsigned, "identity(2,-1)"},
    };
    for (const Case& c : cases) EXPECT_EQ(pw::IdentityText(pw::ByteView(c.var1.data(), c.var1.size())), c.expected) << c.what;
}

TEST(IdentityText, OnlyForStatusFiveWithTwoVariableColumns) {
    struct Case {
        std::int32_t status;
        std::size_t varCount;
        bool expected;
    };
    const Case cases[] = {{5, 2, true}, {7, 2, false}, {1, 2, false}, {5, 1, false}};
    for (const Case& c : cases) {
        Fixed f(41);
        f.Put(23, static_cast<std::uint32_t>(c.status), 4);
        RecordBytes r{f.bytes(), {Utf16("id")}};
        if (c.varCount == 2) r.vars.push_back(Bytes{1, 2, 3, 4});
        std::uint64_t counter = 0;
        const pw::ColumnRow row = *pw::MakeColumnRow(r.View(), counter);
        EXPECT_EQ(!row.identityText.empty(), c.expected) << "status " << c.status << " vars " << c.varCount;
        if (c.expected) {
            EXPECT_EQ(row.identityText, "identity(1,1)");
        }
    }
}

TEST(ShortFixedParts, RowsKeepTheirDefaults) {
    std::uint64_t counter = 0;
    // sysallocunits with 30 bytes: type 255, status -1, zero pages.
    Bytes au(30, 0x11);
    const pw::AllocUnitRow unit = *pw::MakeAllocUnitRow(RecordBytes{au, {}}.View());
    EXPECT_EQ(unit.type, 255);
    EXPECT_EQ(unit.status, -1);
    EXPECT_EQ(unit.allocUnitId, 0);
    EXPECT_EQ(unit.firstPage, (pw::PagePointer{0, 0}));
    EXPECT_EQ(unit.firstIamPage, (pw::PagePointer{0, 0}));

    // sysallocunits with 39 bytes: filled, but the first IAM page reaching past the fixed part stays 0.
    Bytes au39(39, 0);
    forge::PutLE(au39, 8, 1, 1);
    forge::PutLE(au39, 35, 0xFFFFFFFF, 4);
    const pw::AllocUnitRow unit39 = *pw::MakeAllocUnitRow(RecordBytes{au39, {}}.View());
    EXPECT_EQ(unit39.type, 1);
    EXPECT_EQ(unit39.firstIamPage, (pw::PagePointer{0, 0}));

    // sysfiles1 with 100 bytes: file id 0, empty names.
    Bytes files(100, 0x41);
    const pw::FileRow file = *pw::MakeFileRow(RecordBytes{files, {}}.View());
    EXPECT_EQ(file.fileId, 0);
    EXPECT_EQ(file.logicalName, "");
    EXPECT_EQ(file.physicalName, "");

    // syscolpars with 20 bytes: every field -1 or 255, empty name, no repair name used.
    const pw::ColumnRow column = *pw::MakeColumnRow(RecordBytes{Bytes(20, 0x22), {Utf16("c")}}.View(), counter);
    EXPECT_EQ(column.objectId, -1);
    EXPECT_EQ(column.columnId, -1);
    EXPECT_EQ(column.systemTypeId, 255);
    EXPECT_EQ(column.userTypeId, -1);
    EXPECT_EQ(column.length, -1);
    EXPECT_EQ(column.precision, 255);
    EXPECT_EQ(column.status, -1);
    EXPECT_EQ(column.name, "");
    EXPECT_EQ(counter, 0u);

    // sysrowsets, sysrscols, sysiscols, object 13 and object 4 are appended with defaults.
    const pw::RowsetRow rowset = *pw::MakeRowsetRow(RecordBytes{Bytes(10, 1), {}}.View());
    EXPECT_EQ(rowset.ownerType, 255);
    EXPECT_EQ(rowset.rowsetId, -1);
    EXPECT_EQ(rowset.majorId, -1);
    EXPECT_EQ(pw::MakeRowsetColumnRow(RecordBytes{Bytes(47, 1), {}}.View())->rowsetId, -1);
    EXPECT_EQ(pw::MakeIndexColumnRow(RecordBytes{Bytes(20, 1), {}}.View())->tinyProperty1, 255);
    const pw::HobtColumnRow hobt = *pw::MakeHobtColumnRow(RecordBytes{Bytes{}, {}}.View());
    EXPECT_EQ(hobt.hobtId, 0);
    EXPECT_EQ(hobt.columnId, -1);
    EXPECT_EQ(pw::MakeRowsetColumn2005Row(RecordBytes{Bytes{}, {}}.View())->rowsetId, -1);

    // Tables whose rows need a fixed part drop records without one.
    EXPECT_FALSE(pw::MakeTypeRow(RecordBytes{Bytes{}, {Utf16("int")}}.View()));
    EXPECT_FALSE(pw::MakeIndexRow(RecordBytes{Bytes{}, {}}.View()));
    EXPECT_FALSE(pw::MakeObjectRefRow(RecordBytes{Bytes{}, {}}.View()));
    // ... but keep short ones with defaults.
    const pw::TypeRow type = *pw::MakeTypeRow(RecordBytes{Bytes(10, 3), {Utf16("int")}}.View());
    EXPECT_EQ(type.typeId, -1);
    EXPECT_EQ(type.name, "");
    EXPECT_EQ(pw::MakeIndexRow(RecordBytes{Bytes(26, 3), {}}.View())->objectId, -1);
}

TEST(SkippedRecords, IndexRecordsAndBlobFragments) {
    std::uint64_t counter = 0;
    const RecordBytes indexRecord{Bytes(41, 0), {Utf16("c")}, pw::kIndexRecordType};
    const RecordBytes blob{Bytes(41, 0), {}, pw::kBlobFragmentType};
    EXPECT_FALSE(pw::MakeColumnRow(indexRecord.View(), counter));
    EXPECT_FALSE(pw::MakeColumnRow(blob.View(), counter));
    EXPECT_FALSE(pw::MakeColumn2000Row(indexRecord.View(), counter));
    // Other tables keep index records (only blob fragments are skipped everywhere).
    EXPECT_TRUE(pw::MakeRowsetRow(RecordBytes{Bytes(35, 0), {}, pw::kIndexRecordType}.View()));
    EXPECT_FALSE(pw::MakeRowsetRow(RecordBytes{Bytes(35, 0), {}, pw::kBlobFragmentType}.View()));
}

TEST(FileRows, NamesReadUpToNulAndStripped) {
    const Bytes record = forge::SysFilesRecord(3, "data2   ", "D:\\old\\sales_2.ndf");
    // Take the fixed part back out of the record (offset 4, 782 bytes).
    const RecordBytes r{Bytes(record.begin() + 4, record.begin() + 4 + 782), {}};
    const pw::FileRow row = *pw::MakeFileRow(r.View());
    EXPECT_EQ(row.fileId, 3);
    EXPECT_EQ(row.logicalName, "data2");
    EXPECT_EQ(row.physicalName, "D:\\old\\sales_2.ndf");
    // A fixed part of 600 bytes: the physical name is cut where the fixed part ends.
    const RecordBytes cut{Bytes(r.fixed.begin(), r.fixed.begin() + 270), {}};
    EXPECT_EQ(pw::MakeFileRow(RecordBytes{Bytes(r.fixed.begin(), r.fixed.begin() + 600), {}}.View())->physicalName,
              "D:\\old\\sales_2.ndf");
    EXPECT_EQ(pw::MakeFileRow(cut.View())->fileId, 0);  // below 520 bytes: defaults
}

TEST(Column2000Rows, CollationAndStatusOnlyWithMoreThanTwentyColumns) {
    std::uint64_t counter = 0;
    Fixed f(43);
    f.Put(0, 500, 4).Put(12, 3, 2).Put(34, 53256, 4).Put(42, 8, 1);
    const pw::Column2000Row many = *pw::MakeColumn2000Row(RecordBytes{f.bytes(), {Utf16("a")}, 0, 21}.View(), counter);
    EXPECT_EQ(many.collationId, 53256);
    EXPECT_EQ(many.status, 8);
    const pw::Column2000Row few = *pw::MakeColumn2000Row(RecordBytes{f.bytes(), {Utf16("a")}, 0, 20}.View(), counter);
    EXPECT_EQ(few.collationId, -1);
    EXPECT_EQ(few.status, 255);
    const pw::Column2000Row shortFixed =
        *pw::MakeColumn2000Row(RecordBytes{Bytes(f.bytes().begin(), f.bytes().begin() + 40), {Utf16("a")}, 0, 24}.View(), counter);
    EXPECT_EQ(shortFixed.collationId, 53256);
    EXPECT_EQ(shortFixed.status, 255);
    // Without a fixed part: defaults, no name.
    const pw::Column2000Row empty = *pw::MakeColumn2000Row(RecordBytes{Bytes{}, {Utf16("a")}}.View(), counter);
    EXPECT_EQ(empty.objectId, -1);
    EXPECT_EQ(empty.name, "");
}

}  // namespace

namespace {

// Random fixed parts and variable columns of every length: each builder reads
// only inside its record and keeps to its drop-or-default rule.
TEST(RowBuilders, RandomRecordsStayInBounds) {
    std::mt19937 random(77);
    for (int round = 0; round < 2000; ++round) {
        RecordBytes r;
        r.fixed.resize(random() % 900);
        for (auto& b : r.fixed) b = static_cast<std::uint8_t>(random());
        r.vars.resize(random() % 3);
        for (auto& v : r.vars) {
            v.resize(random() % 40);
            for (auto& b : v) b = static_cast<std::uint8_t>(random());
        }
        r.type = static_cast<int>(random() % 8);
        r.columnCount = static_cast<int>(random() % 40);
        const pw::SystemRecord view = r.View();
        std::uint64_t counter = 0;
        const bool blob = r.type == pw::kBlobFragmentType;
        EXPECT_EQ(pw::MakeFileRow(view).has_value(), !blob);
        if (auto row = pw::MakeObjectRow(view, pw::ObjectLayout::kSql2005, counter)) {
            EXPECT_GT(row->id, 0);
            EXPECT_FALSE(row->name.empty());
            EXPECT_LE(row->typeCode.size(), 4u);
        }
        pw::MakeObjectRow(view, pw::ObjectLayout::kSql2000, counter);
        EXPECT_EQ(pw::MakeAllocUnitRow(view).has_value(), !blob);
        EXPECT_EQ(pw::MakeRowsetRow(view).has_value(), !blob);
        EXPECT_EQ(pw::MakeColumnRow(view, counter).has_value(), !blob && r.type != pw::kIndexRecordType);
        EXPECT_EQ(pw::MakeTypeRow(view).has_value(), !blob && !r.fixed.empty());
        pw::MakeRowsetColumnRow(view);
        pw::MakeObjectRefRow(view);
        pw::MakeIndexRow(view);
        pw::MakeIndexColumnRow(view);
        pw::MakeHobtColumnRow(view);
        pw::MakeRowsetColumn2005Row(view);
        pw::MakeColumn2000Row(view, counter);
        if (pw::MakeIndex2000Entry(view, 1)) {
            EXPECT_GE(r.fixed.size(), 64u);
        }
    }
}

}  // namespace
