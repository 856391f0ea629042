#include <gtest/gtest.h>

#include "CliRunner.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/SystemTableForge.h"

namespace {

using clitest::RunCli;
using forge::CatalogFileBuilder;
using forge::ColParRecord;
using forge::SchObjRecord;

std::string WriteDatabase(const forge::TempFolder& folder) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "Orders", "U "), SchObjRecord(1001, "Audit Log", "U "),
                              SchObjRecord(5, "sysrowsets", "S "), SchObjRecord(1002, "v", "V "),
                              SchObjRecord(1100, "PK_Orders", "PK", 1000, 0, 1)});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 2, "note", 231, 231, 100), ColParRecord(1000, 1, "id"),
                              ColParRecord(1001, 1, "at", 61, 61, 8), ColParRecord(5, 1, "rowsetid", 127, 127, 8)});
    b.Table(pw::kSysScalarTypes, {forge::ScalarTypeRecord(56, 56, 4, "int"), forge::ScalarTypeRecord(61, 61, 8, "datetime"),
                                  forge::ScalarTypeRecord(127, 127, 8, "bigint"),
                                  forge::ScalarTypeRecord(231, 231, 8000, "nvarchar")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 1)});
    b.Table(pw::kSysAllocUnits, {forge::AllocUnitRecord(std::int64_t{5000} << 16, 1, 900)});
    b.Table(pw::kSysIdxStats, {forge::IdxStatRecord(1000, 1, 0x21, "PK_Orders")});
    b.Table(pw::kSysIsCols, {forge::IsColRecord(1000, 1, 1, 1, 1)});
    b.DataPages(5000, 2);
    const std::string path = folder.File("shop.mdf");
    EXPECT_TRUE(b.File().WriteTo(path));
    return path;
}

TEST(TablesCommand, OneLinePerTable) {
    forge::TempFolder folder;
    const std::string path = WriteDatabase(folder);
    const clitest::CliResult result = RunCli({"tables", path});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Orders\tU \t1000\t2\t2\n"
              "Audit Log\tU \t1001\t0\t1\n"
              "sysrowsets\tS \t5\t0\t1\n");
}

TEST(ColumnsCommand, LabelsAndUnknownTable) {
    forge::TempFolder folder;
    const std::string path = WriteDatabase(folder);
    clitest::CliResult result = RunCli({"columns", path, "Orders"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "id  int(4)[Primary Key]\nnote  nvarchar(100)\n");
    result = RunCli({"columns", path, "Audit Log"});
    EXPECT_EQ(result.out, "at  datetime(8)\n");
    result = RunCli({"columns", path, "sysrowsets"});
    EXPECT_EQ(result.out, "rowsetid  bigint(8)\n");
    // A view is no table; names compare exactly.
    EXPECT_EQ(RunCli({"columns", path, "v"}).exitCode, 3);
    EXPECT_EQ(RunCli({"columns", path, "orders"}).exitCode, 3);
    EXPECT_EQ(RunCli({"columns", path}).exitCode, 1);
    EXPECT_EQ(RunCli({"tables", folder.File("missing.mdf")}).exitCode, 2);
}

TEST(InfoCommand, CountsObjectsAndUserTables) {
    forge::TempFolder folder;
    const std::string path = WriteDatabase(folder);
    const clitest::CliResult result = RunCli({"info", path});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto keys = result.Keys();
    EXPECT_EQ(keys.at("objects"), "5");
    EXPECT_EQ(keys.at("user_tables"), "2");
    EXPECT_EQ(keys.at("layout"), "2005");
}

}  // namespace
