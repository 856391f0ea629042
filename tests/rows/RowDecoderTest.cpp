// The row decoder over forge-built data pages: the column procedure of the
// four members, the record filter, NULL cells, bit runs, sparse and complex
// columns, placeholders and compressed records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/ColumnKinds.h"
#include "forge/CompressedPageBuilder.h"
#include "forge/LobBuilder.h"
#include "forge/MemoryPageSource.h"
#include "forge/PageBuilder.h"
#include "forge/RecordBuilder.h"
#include "pages/DataPage.h"
#include "rows/RowDecoder.h"
#include "rows/ValueKind.h"
#include "support/AppState.h"
#include "support/CodePage.h"

namespace {

using forge::Bytes;
using forge::RecordBuilder;

Bytes LE(std::uint64_t value, std::size_t width) {
    Bytes out(width);
    for (std::size_t i = 0; i < width; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A stored column: physical number `ordinal`, place `leafOffset` (negative
// n: variable column -n-1), null bit `nullBit`.
pw::ColumnDescriptor Col(const std::string& name, const std::string& typeText, int kind, int ordinal,
                         std::int16_t leafOffset, int nullBit) {
    pw::ColumnDescriptor d = pw::MakeDescriptor(name, typeText, kind);
    d.columnId = ordinal;
    d.ordinal = ordinal;
    d.leafOffset = leafOffset;
    d.nullBit = nullBit;
    d.inRow = 1;
    d.isNullable = 1;
    return d;
}

std::vector<std::string> Cells(const pw::DecodedRow& row) {
    std::vector<std::string> cells;
    for (const pw::ColumnDescriptor& d : row) cells.push_back(d.value);
    return cells;
}

class RowDecoder : public ::testing::Test {
protected:
    pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    forge::MemoryPageSource pages;

    // id int (fixed at 4), name nvarchar (var 0), flag bit (fixed at 8), data varbinary (var 1).
    std::vector<pw::ColumnDescriptor> Table() const {
        return {Col("id", "int(4)", pw::kKindInt, 1, 4, 1), Col("name", "nvarchar(100)", pw::kKindNVarChar, 2, -1, 2),
                Col("flag", "bit(1)", pw::kKindBit, 3, 8, 3), Col("data", "varbinary(16)", pw::kKindVarBinary, 4, -2, 4)};
    }

    static Bytes Row(std::int32_t id, const std::string& name, bool flag, const Bytes& data,
                     const std::vector<int>& nulls = {}, int type = 0) {
        return RecordBuilder()
            .Type(type)
            .Fixed(Cat({LE(static_cast<std::uint32_t>(id), 4), {static_cast<std::uint8_t>(flag ? 1 : 0)}}))
            .Columns(4)
            .Nulls(nulls)
            .Var(forge::Utf16Bytes(name))
            .Var(data)
            .Build();
    }

    static pw::PageImage Page(const std::vector<Bytes>& records) {
        forge::PageBuilder builder;
        builder.Type(pw::kDataPage).ThisPage(1, 20);
        for (const Bytes& record : records) builder.AddRecord(record);
        return builder.Build();
    }

    pw::RowSet Decode(const pw::PageImage& image, std::vector<pw::ColumnDescriptor> columns, bool rowsetColumns = true) {
        pw::WorkingTable table(std::move(columns), rowsetColumns);
        pw::CDataPage page(image, nullptr, &pages, state, table.recordColumns);
        pw::RowSet rows;
        if (pw::UsesRowsetMembers(state, table))
            pw::DecodeRowsetRows(page, rows, table, context);
        else
            pw::DecodeLegacyRows(page, rows, table, context);
        return rows;
    }
};

TEST_F(RowDecoder, RendersEveryKindOfColumnOfARecord) {
    const pw::RowSet rows = Decode(Page({Row(7, "Ann", true, {0xDE, 0xAD})}), Table());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"7", "Ann", "True", "0xDEAD"}));
    for (const pw::ColumnDescriptor& d : rows[0]) EXPECT_FALSE(d.isNull) << d.name;
}

TEST_F(RowDecoder, EachRowIsItsOwnCopy) {
    const pw::RowSet rows = Decode(Page({Row(1, "a", false, {1}), Row(2, "b", true, {2})}), Table());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"1", "a", "False", "0x01"}));
    EXPECT_EQ(Cells(rows[1]), (std::vector<std::string>{"2", "b", "True", "0x02"}));
}

TEST_F(RowDecoder, NullCells) {
    struct Case {
        const char* what;
        std::vector<int> nullBits;  // 0-based bitmap positions set
        int notInRow;               // column index with inRow 0, or -1
        std::vector<std::string> cells;
        std::vector<bool> isNull;
    };
    const Case cases[] = {
        {"bitmap: a nullable variable column", {1}, -1, {"3", "NULL", "False", "0x0F"}, {false, true, false, false}},
        {"bitmap: a fixed column", {0, 2}, -1, {"NULL", "x", "NULL", "0x0F"}, {true, false, true, false}},
        {"inRow 0 whatever the bitmap says", {}, 0, {"NULL", "x", "False", "0x0F"}, {true, false, false, false}},
    };
    for (const Case& c : cases) {
        std::vector<pw::ColumnDescriptor> columns = Table();
        if (c.notInRow >= 0) columns[static_cast<std::size_t>(c.notInRow)].inRow = 0;
        const pw::RowSet rows = Decode(Page({Row(3, "x", false, {0x0F}, c.nullBits)}), columns);
        ASSERT_EQ(rows.size(), 1u) << c.what;
        EXPECT_EQ(Cells(rows[0]), c.cells) << c.what;
        for (std::size_t i = 0; i < c.isNull.size(); ++i) EXPECT_EQ(rows[0][i].isNull, c.isNull[i]) << c.what << " " << i;
    }
}

TEST_F(RowDecoder, ColumnsBeyondTheRecordsOwnAreNull) {
    // The record was written before the last two columns were added.
    const Bytes record =
        RecordBuilder().Fixed(LE(9, 4)).Columns(2).Var(forge::Utf16Bytes("old")).Build();
    const pw::RowSet rows = Decode(Page({record}), Table());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"9", "old", "NULL", "NULL"}));
    EXPECT_TRUE(rows[0][2].isNull);
    EXPECT_TRUE(rows[0][3].isNull);
}

TEST_F(RowDecoder, ComputedColumnsKeepTheirDefinitionAndDoNotShiftStoredOnes) {
    std::vector<pw::ColumnDescriptor> columns = Table();
    pw::ColumnDescriptor computed = pw::MakeDescriptor("total", "int(4)", pw::kKindInt);
    computed.ordinal = pw::kNotStoredOrdinal;
    computed.value = "([id]*(2))";
    columns.insert(columns.begin() + 1, computed);
    const pw::RowSet rows = Decode(Page({Row(5, "n", true, {})}), columns);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"5", "([id]*(2))", "n", "True", "0x"}));
}

TEST_F(RowDecoder, ZeroLengthBinaryShowsThePrefixOnly) {
    const pw::RowSet rows = Decode(Page({Row(1, "", false, {})}), Table());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1].value, "");
    EXPECT_FALSE(rows[0][1].isNull);
    EXPECT_EQ(rows[0][3].value, "0x");
}

TEST_F(RowDecoder, RecordFilter) {
    const std::vector<Bytes> records = {Row(1, "live", false, {}), Row(2, "index", false, {}, {}, 3),
                                        Row(3, "ghost", false, {}, {}, 6), Row(4, "live2", false, {})};
    struct Case {
        bool showDeleted;
        std::vector<std::string> ids;
    };
    for (const Case& c : {Case{false, {"1", "4"}}, Case{true, {"1", "3", "4"}}}) {
        state.m_bShowDeleted = c.showDeleted;
        const pw::RowSet rows = Decode(Page(records), Table());
        std::vector<std::string> ids;
        for (const pw::DecodedRow& row : rows) ids.push_back(row[0].value);
        EXPECT_EQ(ids, c.ids) << "show deleted " << c.showDeleted;
    }
}

TEST_F(RowDecoder, ARecordWhoseCellsAreAllNullIsKept) {
    const pw::RowSet rows = Decode(Page({Row(0, "", false, {}, {0, 1, 2, 3})}), Table());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"NULL", "NULL", "NULL", "NULL"}));
}

TEST_F(RowDecoder, BitRunsShareBytes) {
    // Nine bit columns and an int: the bits take two bytes, the int follows.
    // Placed by leaf offsets, and once more with unknown offsets (the fixed
    // data cursor moves by one byte only for the first bit of each byte).
    for (const bool known : {true, false}) {
        std::vector<pw::ColumnDescriptor> columns;
        for (int i = 0; i < 9; ++i)
            columns.push_back(Col("b" + std::to_string(i), "bit(1)", pw::kKindBit, i + 1,
                                  static_cast<std::int16_t>(known ? (i < 8 ? 4 : 5) : 0), i + 1));
        columns.push_back(Col("n", "int(4)", pw::kKindInt, 10, static_cast<std::int16_t>(known ? 6 : 0), 10));
        const Bytes record =
            RecordBuilder().Fixed(Cat({{0b10100101, 0b1}, LE(77, 4)})).Columns(10).Build();
        const pw::RowSet rows = Decode(Page({record}), columns);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"True", "False", "True", "False", "False", "True", "False",
                                                             "True", "True", "77"}))
            << "leaf offsets known: " << known;
    }
}

TEST_F(RowDecoder, SparseColumnsComeFromTheSparseVector) {
    // id int, then two sparse columns (ids 5 and 6) and a third (id 7) not stored.
    std::vector<pw::ColumnDescriptor> columns = {Col("id", "int(4)", pw::kKindInt, 1, 4, 1)};
    for (int id : {5, 6, 7}) {
        pw::ColumnDescriptor sparse = pw::MakeDescriptor("s" + std::to_string(id), "int(4)", pw::kKindInt);
        sparse.columnId = id;
        sparse.ordinal = 2;
        sparse.isSparse = 1;
        sparse.inRow = 1;
        sparse.nullBit = 2;
        columns.push_back(sparse);
    }
    const Bytes vector = forge::SparseVector({{5, LE(500, 4)}, {6, LE(600, 4)}});
    // The null bit of the sparse vector column is set: sparse values ignore it.
    const Bytes record = RecordBuilder().Fixed(LE(1, 4)).Columns(2).Nulls({1}).Var(vector, true).Build();
    const pw::RowSet rows = Decode(Page({record}), columns);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"1", "500", "600", "NULL"}));
    EXPECT_TRUE(rows[0][3].isNull);
}

TEST_F(RowDecoder, AComplexColumnWithoutBytesLeavesItsCellEmptyAndTheCounterMoves) {
    // Two variable columns placed by the counter (no leaf offset): the first
    // is a complex value whose bytes are missing.
    std::vector<pw::ColumnDescriptor> columns = {Col("id", "int(4)", pw::kKindInt, 1, 4, 1),
                                                 Col("big", "varchar(-1)", pw::kKindVarChar, 2, 0, 2),
                                                 Col("note", "varchar(10)", pw::kKindVarChar, 3, 0, 3)};
    const Bytes record =
        RecordBuilder().Fixed(LE(4, 4)).Columns(3).Var({}, true).Var(forge::TextBytes("after")).Build();
    const pw::RowSet rows = Decode(Page({record}), columns);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"4", "", "after"}));
}

TEST_F(RowDecoder, LargeValuesArePlaceholdersOnlyWhileAListingShowsItsFirstPage) {
    // A varbinary(max) value behind an in-row root (complex type 4) whose link
    // leads to a small root on a text page.
    pages.Add(1, 30, forge::TextPage(1, 30, {forge::TextRecordBytes(forge::SmallRootPayload(1, {0xCA, 0xFE, 0xBA, 0xBE, 0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04}))}));
    std::vector<pw::ColumnDescriptor> columns = {Col("id", "int(4)", pw::kKindInt, 1, 4, 1),
                                                 Col("blob", "varbinary(-1)", pw::kKindVarBinary, 2, -1, 2)};
    const Bytes pointer = forge::OutOfRowPointer({{2, 30, 1, 0}}, 4);
    const Bytes record = RecordBuilder().Fixed(LE(1, 4)).Columns(2).Var(pointer, true).Build();
    state.m_bListing = true;
    pw::RowSet rows = Decode(Page({record}), columns);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1].value, pw::kBigBinaryDataText);
    state.m_bListing = false;
    rows = Decode(Page({record}), columns);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1].value, "0xCAFEBABEDEADBEEF01020304");
}

TEST_F(RowDecoder, ForwardedRecordsAreListedAtTheirStub) {
    // Page 21 holds the forwarded record; page 20 the stub pointing to it.
    forge::PageBuilder target;
    target.Type(pw::kDataPage).ThisPage(1, 21);
    target.AddRecord(Row(8, "moved", true, {}, {}, 1));
    target.AddRecord(Row(9, "stays", false, {}));
    pages.Add(1, 21, target.Build());
    const pw::RowSet atStub = Decode(Page({forge::ForwardingStub(1, 21, 0)}), Table());
    ASSERT_EQ(atStub.size(), 1u);
    EXPECT_EQ(atStub[0][1].value, "moved");
    const pw::RowSet atTarget = Decode(target.Build(), Table());
    ASSERT_EQ(atTarget.size(), 1u);
    EXPECT_EQ(atTarget[0][1].value, "stays");
}

TEST_F(RowDecoder, LegacyMemberRules) {
    // No physical columns known: null bits by the processed-column counter,
    // empty cells of nullable columns read NULL, a row whose first cell is
    // empty is still kept.
    std::vector<pw::ColumnDescriptor> columns = {Col("code", "varchar(10)", pw::kKindVarChar, 1, 0, -1),
                                                 Col("n", "int(4)", pw::kKindInt, 2, 0, -1),
                                                 Col("note", "varchar(10)", pw::kKindVarChar, 3, 0, -1)};
    columns[2].isNullable = 0;
    const Bytes first = RecordBuilder().Fixed(LE(12, 4)).Columns(3).Var(forge::TextBytes("")).Var({}).Build();
    const Bytes second = RecordBuilder().Fixed(LE(0, 4)).Columns(3).Nulls({1}).Var(forge::TextBytes("k")).Var(forge::TextBytes("z")).Build();
    const pw::RowSet rows = Decode(Page({first, second}), columns, /*rowsetColumns=*/false);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"NULL", "12", ""}));
    EXPECT_EQ(Cells(rows[1]), (std::vector<std::string>{"k", "NULL", "z"}));
}

TEST_F(RowDecoder, LegacyMemberInTheSql2000Layout) {
    // Fixed columns at their stored offset (xoffset); a variable column whose
    // counter entry is empty takes the entry its stored offset names; an
    // in-row text pointer is a placeholder while a listing shows its first page.
    state.m_bIsSql2000 = true;
    std::vector<pw::ColumnDescriptor> columns = {Col("b", "smallint(2)", pw::kKindSmallInt, 1, 0, -1),
                                                 Col("a", "int(4)", pw::kKindInt, 2, 0, -1),
                                                 Col("v", "varchar(10)", pw::kKindVarChar, 3, 0, -1),
                                                 Col("t", "text(16)", pw::kKindText, 4, 0, -1)};
    columns[0].xoffset = 8;   // the smallint lies after the int
    columns[1].xoffset = 4;
    columns[2].xoffset = -2;  // second variable entry
    columns[3].xoffset = -1;
    columns[3].leafOffset = -3;  // third variable entry
    Bytes pointer = forge::TextPointerBytes(99, 1, 0);
    pointer[0] = 0;  // an in-row text pointer starts with a zero byte
    const Bytes record = RecordBuilder()
                             .Fixed(Cat({LE(123456, 4), LE(42, 2)}))
                             .Columns(4)
                             .Var({})
                             .Var(forge::TextBytes("two"))
                             .Var(pointer, true)
                             .Build();
    state.m_bListing = true;
    pw::RowSet rows = Decode(Page({record}), columns, /*rowsetColumns=*/true);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"42", "123456", "two", pw::kBinaryDataText}));
    state.m_bListing = false;
    rows = Decode(Page({record}), columns, /*rowsetColumns=*/true);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][3].value, "NULL");  // the pointed-to page does not exist: nothing read
}

class ModuleRows : public RowDecoder {
protected:
    pw::RowSet DecodeModule(const pw::PageImage& image, std::vector<pw::ColumnDescriptor> columns, bool rowset) {
        pw::WorkingTable table(std::move(columns), rowset);
        pw::CDataPage page(image, nullptr, &pages, state);
        pw::RowSet rows;
        if (rowset)
            pw::DecodeModuleRows(page, rows, table, context);
        else
            pw::DecodeLegacyModuleRows(page, rows, table, context);
        return rows;
    }

    // The columns as the definition reader makes them: no places known.
    static std::vector<pw::ColumnDescriptor> Columns() {
        return {pw::MakeDescriptor("objid", "int(4)", pw::kKindInt), pw::MakeDescriptor("sub", "smallint(2)", pw::kKindSmallInt),
                pw::MakeDescriptor("text", "varbinary(8000)", pw::kKindVarBinary),
                pw::MakeDescriptor("tail", "varbinary(8000)", pw::kKindVarBinary)};
    }
};

TEST_F(ModuleRows, ReductionsOfTheModuleMembers) {
    // The null bitmap is not consulted; binary cells get "0x" only when not empty.
    const Bytes record = RecordBuilder()
                             .Fixed(Cat({LE(1000, 4), LE(3, 2)}))
                             .Columns(4)
                             .Nulls({0, 2})
                             .Var({0x41, 0x00})
                             .Var({})
                             .Build();
    for (const bool rowset : {true, false}) {
        const pw::RowSet rows = DecodeModule(Page({record}), Columns(), rowset);
        ASSERT_EQ(rows.size(), 1u) << rowset;
        if (rowset) {
            EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"1000", "3", "0x4100", ""}));
        } else {
            // The 2000 reader takes the null bits by position and never shows NULL:
            // the objid and text columns are not decoded.
            EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"", "3", "", ""}));
        }
        for (const pw::ColumnDescriptor& d : rows[0]) EXPECT_FALSE(d.isNull);
    }
}

TEST_F(ModuleRows, TheLegacyModuleMemberDecodesDeletedRecordsAndStopsAtTheRecordsColumns) {
    state.m_bShowDeleted = true;
    const Bytes ghost = RecordBuilder().Type(6).Fixed(Cat({LE(7, 4), LE(1, 2)})).Columns(3).Var({0x42}).Build();
    const pw::RowSet legacy = DecodeModule(Page({ghost}), Columns(), false);
    ASSERT_EQ(legacy.size(), 1u);
    EXPECT_EQ(Cells(legacy[0]), (std::vector<std::string>{"7", "1", "0x42", ""}));
}

TEST_F(RowDecoder, CompressedRecordsReadTheirExpandedSlots) {
    std::vector<pw::ColumnDescriptor> columns = {Col("a", "int(4)", pw::kKindInt, 1, 0, 1),
                                                 Col("b", "int(4)", pw::kKindInt, 2, 0, 2),
                                                 Col("c", "int(4)", pw::kKindInt, 3, 0, 3),
                                                 Col("d", "varchar(20)", pw::kKindVarChar, 4, -1, 4),
                                                 Col("e", "bit(1)", pw::kKindBit, 5, 0, 5),
                                                 Col("f", "smallint(2)", pw::kKindSmallInt, 6, 0, 6)};
    pw::PageImage image = forge::BuildCompressedPage(
        {}, {forge::BuildCompressedRecord(
                {{2, {0x85}}, {0, {}}, {1, {}}, {10, forge::TextBytes("long text")}, {11, {}}, {3, {0x7F, 0xFF}}})});
    image[1] = pw::kDataPage;
    image[2] = 0;  // row compression: no compression information record
    const pw::RowSet rows = Decode(image, columns);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0]), (std::vector<std::string>{"5", "NULL", "0", "long text", "True", "-1"}));
    EXPECT_TRUE(rows[0][1].isNull);
}

TEST_F(RowDecoder, VisitorSeesTheWorkingRowWithoutCopies) {
    pw::WorkingTable table(Table(), true);
    pw::CDataPage page(Page({Row(1, "a", false, {}), Row(2, "b", true, {})}), nullptr, &pages, state);
    std::vector<std::string> names;
    const std::size_t shown = pw::VisitTableRows(page, table, context, [&](const pw::DecodedRow& row) {
        EXPECT_EQ(&row, &table.columns);
        names.push_back(row[1].value);
    });
    EXPECT_EQ(shown, 2u);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
}

TEST_F(RowDecoder, StopRequestEndsTheRecordLoop) {
    pw::WorkingTable table(Table(), true);
    pw::CDataPage page(Page({Row(1, "a", false, {})}), nullptr, &pages, state);
    state.m_bStopRequested = true;
    pw::RowSet rows;
    pw::DecodeRowsetRows(page, rows, table, context);
    EXPECT_TRUE(rows.empty());
}

TEST(PageOwnership, PagesOfOtherAllocationUnitsYieldNoRows) {
    pw::WorkingTable table;
    pw::CPage_Header header;
    header.objectId = 29;
    header.indexId = 256;
    EXPECT_TRUE(pw::PageBelongsToTable(header, table));  // units unknown
    table.inRowAllocUnits = {(std::int64_t{256} << 48) | (std::int64_t{29} << 16)};
    EXPECT_TRUE(pw::PageBelongsToTable(header, table));
    header.indexId = 1;  // another unit filed under the same object id
    EXPECT_FALSE(pw::PageBelongsToTable(header, table));
    // Units carried over from SQL Server 2000: headers keep old index ids.
    table.inRowAllocUnits = {(std::int64_t{1} << 48) | (std::int64_t{29} << 16)};
    header.indexId = 0;
    EXPECT_TRUE(pw::PageBelongsToTable(header, table));
}

}  // namespace
