// pagewright-cli rows and definition over a forge-built database.

#include <gtest/gtest.h>

#include "CliRunner.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/LobBuilder.h"
#include "forge/PageBuilder.h"
#include "forge/RecordBuilder.h"
#include "forge/SystemTableForge.h"

namespace {

using clitest::CliResult;
using clitest::RunCli;
using forge::Bytes;
using forge::CatalogFileBuilder;

Bytes LE(std::uint64_t value, std::size_t width) {
    Bytes out(width);
    for (std::size_t i = 0; i < width; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return out;
}

Bytes OrderRow(std::uint32_t id, const std::string& note, std::uint32_t qty, const std::vector<int>& nulls = {},
               int type = 0) {
    Bytes fixed = LE(id, 4);
    const Bytes q = LE(qty, 4);
    fixed.insert(fixed.end(), q.begin(), q.end());
    return forge::RecordBuilder().Type(type).Fixed(fixed).Columns(3).Nulls(nulls).Var(forge::Utf16Bytes(note)).Build();
}

Bytes ObjValue(std::int32_t objectId, const std::string& text) {
    forge::Fixed fixed(13);
    fixed.Put(0, 1, 1).Put(1, static_cast<std::uint32_t>(objectId), 4);
    return forge::PlainRecord(fixed.bytes(), {{}, forge::Utf16Bytes(text)}, 0, 6);
}

// Orders (id int, note nvarchar(100), qty int) with a primary key, a check
// constraint and a view; one data page of five records (one a ghost).
std::string WriteDatabase(const forge::TempFolder& folder) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {forge::SchObjRecord(1000, "Orders", "U "), forge::SchObjRecord(1002, "v", "V "),
                              forge::SchObjRecord(1003, "CK_qty", "C ", 1000),
                              forge::SchObjRecord(1100, "PK_Orders", "PK", 1000, 0, 1)});
    b.Table(pw::kSysColPars, {forge::ColParRecord(1000, 1, "id"), forge::ColParRecord(1000, 2, "note", 231, 231, 100),
                              forge::ColParRecord(1000, 3, "qty")});
    b.Table(pw::kSysScalarTypes,
            {forge::ScalarTypeRecord(56, 56, 4, "int"), forge::ScalarTypeRecord(231, 231, 8000, "nvarchar")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 1)});
    b.Table(pw::kSysAllocUnits, {forge::AllocUnitRecord(std::int64_t{5000} << 16, 1, 900)});
    b.Table(pw::kSysRsCols, {forge::RsColRecord(900, 1, 1, 4, 1), forge::RsColRecord(900, 2, 2, 0xFFFF, 2),
                             forge::RsColRecord(900, 3, 3, 8, 3)});
    b.Table(pw::kSysIdxStats, {forge::IdxStatRecord(1000, 1, 0x21, "PK_Orders")});
    b.Table(pw::kSysIsCols, {forge::IsColRecord(1000, 1, 1, 1, 1)});
    b.Table(pw::kSysObjValues, {ObjValue(1002, "CREATE VIEW v AS SELECT 1"), ObjValue(1003, "([qty]>(0))")});
    forge::PageBuilder page;
    page.Type(pw::kDataPage).ObjectId(5000).ThisPage(1, b.NextPosition());
    page.AddRecord(OrderRow(1, "plain", 5));
    page.AddRecord(OrderRow(2, "a,\"b\"", 0, {2}));
    page.AddRecord(OrderRow(0, "", 0, {0, 1, 2}));
    page.AddRecord(OrderRow(9, "gone", 1, {}, 6));
    page.AddRecord(OrderRow(4, "line\nbreak\ttab", 7));
    b.Page(page.Build());
    const std::string path = folder.File("shop.mdf");
    EXPECT_TRUE(b.File().WriteTo(path));
    return path;
}

class RowsCommand : public ::testing::Test {
protected:
    forge::TempFolder folder;
    std::string path = WriteDatabase(folder);
};

TEST_F(RowsCommand, FormatsKeepEveryRowAndQuoteWhereNeeded) {
    struct Case {
        std::vector<std::string> options;
        std::string out;
    };
    const Case cases[] = {
        {{},
         "id,note,qty\r\n1,plain,5\r\n2,\"a,\"\"b\"\"\",NULL\r\nNULL,NULL,NULL\r\n4,\"line\nbreak\ttab\",7\r\n"},
        {{"--format", "tsv"}, "id\tnote\tqty\n1\tplain\t5\n2\ta,\"b\"\tNULL\nNULL\tNULL\tNULL\n4\tline\\nbreak\\ttab\t7\n"},
        {{"--format", "jsonl"},
         "{\"id\":\"1\",\"note\":\"plain\",\"qty\":\"5\"}\n{\"id\":\"2\",\"note\":\"a,\\\"b\\\"\",\"qty\":null}\n"
         "{\"id\":null,\"note\":null,\"qty\":null}\n{\"id\":\"4\",\"note\":\"line\\nbreak\\ttab\",\"qty\":\"7\"}\n"},
        {{"--limit", "2"}, "id,note,qty\r\n1,plain,5\r\n2,\"a,\"\"b\"\"\",NULL\r\n"},
        {{"--limit", "0", "--format", "tsv"}, "id\tnote\tqty\n"},
        {{"--deleted", "--format", "tsv", "--limit", "4"},
         "id\tnote\tqty\n1\tplain\t5\n2\ta,\"b\"\tNULL\nNULL\tNULL\tNULL\n9\tgone\t1\n"},
        {{"--mode", "advanced", "--limit", "1"}, "id,note,qty\r\n1,plain,5\r\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"rows", path, "Orders"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, c.out) << testing::PrintToString(c.options);
    }
}

TEST_F(RowsCommand, UsageAndUnknownTables) {
    EXPECT_EQ(RunCli({"rows", path, "Nope"}).exitCode, 3);
    EXPECT_EQ(RunCli({"rows", path, "v"}).exitCode, 3);  // a view has no rows
    EXPECT_EQ(RunCli({"rows", path}).exitCode, 1);
    EXPECT_EQ(RunCli({"rows", path, "Orders", "--format", "xml"}).exitCode, 1);
    EXPECT_EQ(RunCli({"rows", path, "Orders", "--limit", "-1"}).exitCode, 1);
    EXPECT_EQ(RunCli({"rows", path, "Orders", "--mode"}).exitCode, 1);
    EXPECT_EQ(RunCli({"rows", folder.File("missing.mdf"), "Orders"}).exitCode, 2);
}

TEST_F(RowsCommand, DefinitionsAndScripts) {
    struct Case {
        const char* name;
        int exitCode;
        std::string out;
    };
    const Case cases[] = {
        {"v", 0, "CREATE VIEW v AS SELECT 1\n"},
        {"CK_qty", 0, "ALTER TABLE  [dbo].[Orders] WITH NOCHECK ADD CONSTRAINT[CK_qty] CHECK ([qty]>(0))\n"},
        {"PK_Orders", 0, "ALTER TABLE Orders ADD PRIMARY KEY ( id )\n"},
        {"Orders", 3, ""},
        {"nothing", 3, ""},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli({"definition", path, c.name});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name << ": " << result.err;
        EXPECT_EQ(result.out, c.out) << c.name;
    }
    EXPECT_EQ(RunCli({"definition", path}).exitCode, 1);
}

}  // namespace
