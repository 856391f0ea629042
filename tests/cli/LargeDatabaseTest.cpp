// The benchmark generator's databases, small: every table lists every row
// with the values the generator put (clustered Orders through its page
// chain and IAM chain, the heap Documents with bodies in and out of the row,
// the catalog tables through single-page IAM slots, the filler heaps), and
// extents never mix tables.

#include <gtest/gtest.h>

#include <sstream>

#include "CliRunner.h"
#include "forge/LargeDatabaseForge.h"
#include "forge/TempFolder.h"

namespace {

using clitest::RunCli;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string TsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    return line;
}

struct Generated {
    forge::TempFolder folder;
    std::string path = folder.File("large.mdf");
    forge::LargeDatabaseSpec wanted;
    forge::LargeDatabaseLayout layout;

    explicit Generated(std::int64_t orders, std::int32_t tables, std::uint64_t megabytes) {
        wanted.orderRows = orders;
        wanted.documentRows = 40;
        wanted.catalogTables = tables;
        wanted.targetBytes = megabytes << 20;
        std::string error;
        EXPECT_TRUE(forge::WriteLargeDatabase(path, wanted, layout, error)) << error;
    }

    // The rows of `table` as tsv lines, header first.
    std::vector<std::string> Rows(const std::string& table) const {
        const clitest::CliResult r = RunCli({"rows", path, table, "--format", "tsv"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return Lines(r.out);
    }
};

TEST(LargeDatabase, EveryTableListsEveryRowItWasGiven) {
    Generated g(/*orders=*/6000, /*tables=*/12, /*megabytes=*/6);
    ASSERT_GT(g.layout.fillerTables, 0);
    EXPECT_EQ(g.layout.pages % 8, 0u);

    const std::vector<std::string> orders = g.Rows("Orders");
    ASSERT_EQ(orders.size(), 6001u);
    EXPECT_EQ(orders[0], "OrderId\tCustomerName\tOrderDate\tAmount\tIsShipped");
    for (std::int64_t n = 1; n <= 6000; ++n)
        ASSERT_EQ(orders[static_cast<std::size_t>(n)], TsvLine(forge::OrderCells(n))) << "order " << n;

    const std::vector<std::string> documents = g.Rows("Documents");
    ASSERT_EQ(documents.size(), 41u);
    for (std::int64_t n = 1; n <= 40; ++n)
        EXPECT_EQ(documents[static_cast<std::size_t>(n)], TsvLine(forge::DocumentCells(n))) << "document " << n;

    for (std::int32_t k : {1, 10, 12}) {
        const std::vector<std::string> rows = g.Rows(forge::CatalogTableName(k));
        ASSERT_EQ(rows.size(), 2u) << k;
        EXPECT_EQ(rows[1], TsvLine(forge::CatalogTableCells(k)));
    }

    const std::vector<std::string> filler = g.Rows("Filler_001");
    EXPECT_EQ(filler.size(), g.layout.fillerRows + 1);
    EXPECT_EQ(filler.back().substr(0, filler.back().find('\t')), std::to_string(g.layout.fillerRows));
}

TEST(LargeDatabase, CellsAsTheRenderersSpellThem) {
    // Row 1000 has no customer; row 17 a negative amount; every third row is shipped.
    EXPECT_EQ(forge::OrderCells(1000)[1], "NULL");
    EXPECT_EQ(forge::OrderCells(17)[3].front(), '-');
    EXPECT_EQ(forge::OrderCells(3)[4], "True");
    EXPECT_EQ(forge::OrderCells(4)[4], "False");
    EXPECT_EQ(forge::OrderCells(1), (std::vector<std::string>{"1", "Bernd Andersen 1", "2010-01-02 02:11:59", "80.07", "False"}));
    // Every tenth catalog table leaves its last ten columns NULL.
    const std::vector<std::string> tenth = forge::CatalogTableCells(10);
    ASSERT_EQ(tenth.size(), 20u);
    EXPECT_EQ(tenth[19], "NULL");
    EXPECT_NE(forge::CatalogTableCells(11)[19], "NULL");
}

TEST(LargeDatabase, CatalogCountsAndTree) {
    Generated g(/*orders=*/500, /*tables=*/30, /*megabytes=*/1);
    const clitest::CliResult info = RunCli({"info", g.path});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    // Orders, Documents, the filler heaps and the catalog tables.
    EXPECT_EQ(info.Keys()["user_tables"], std::to_string(2 + g.layout.fillerTables + 30));

    const clitest::CliResult tables = RunCli({"tables", g.path});
    ASSERT_EQ(tables.exitCode, 0);
    EXPECT_NE(tables.out.find("Table_00030\tU \t"), std::string::npos);
    EXPECT_NE(tables.out.find("\t1\t20\n"), std::string::npos);  // one data page, 20 columns

    const clitest::CliResult tree = RunCli({"tree", g.path, "--quiet"});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    EXPECT_NE(tree.out.find("Table_00017"), std::string::npos);
    EXPECT_NE(tree.out.find("PK_Orders"), std::string::npos);
}

}  // namespace
