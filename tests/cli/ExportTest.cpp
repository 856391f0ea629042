// export: the four writers over the forge-built demo database, the column
// types and literals they write, file names, a table that fails part-way,
// and exit codes.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "CliRunner.h"
#include "Export.h"
#include "ExportHelpers.h"
#include "Session.h"
#include "export/ExportTypes.h"
#include "export/FileNames.h"
#include "forge/DemoDatabase.h"
#include "rows/ValueKind.h"

namespace {

namespace fs = std::filesystem;
using clitest::ReadWhole;
using clitest::RunCli;
using exporttest::ReadCsv;
using exporttest::ReadJsonLine;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

pw::ColumnDescriptor Column(int kind, const std::string& typeText, std::uint8_t precision = 0, std::uint8_t scale = 0) {
    pw::ColumnDescriptor d;
    d.valueKind = kind;
    d.typeText = typeText;
    d.precision = precision;
    d.scale = scale;
    return d;
}

pw::ColumnDescriptor Cell(int kind, const std::string& value, bool isNull = false) {
    pw::ColumnDescriptor d = Column(kind, "");
    d.value = value;
    d.isNull = isNull;
    return d;
}

// ---- types, literals, names -------------------------------------------------------

TEST(ExportTypes, SqlServerTypesFromKindsAndStoredLengths) {
    const std::vector<std::pair<pw::ColumnDescriptor, std::string>> cases = {
        {Column(pw::kKindNVarChar, "nvarchar(100)"), "nvarchar(50)"},
        {Column(pw::kKindNVarChar, "nvarchar(-1)"), "nvarchar(max)"},
        {Column(pw::kKindVarChar, "MyAlias(-1)"), "varchar(max)"},  // an alias type: its base type
        {Column(pw::kKindVarChar, "varchar(8000)"), "varchar(8000)"},
        {Column(pw::kKindNChar, "nchar(20)"), "nchar(10)"},
        {Column(pw::kKindChar, "char(0)"), "char(1)"},
        {Column(pw::kKindVarBinary, "varbinary(-1)"), "varbinary(max)"},
        {Column(pw::kKindBinary, "binary(16)"), "binary(16)"},
        {Column(pw::kKindDecimal, "decimal(9)", 10, 2), "decimal(10,2)"},
        {Column(pw::kKindNumeric, "numeric(5)", 0, 0), "numeric(18,0)"},  // no precision recorded
        {Column(pw::kKindDateTime2, "datetime2(8)", 0, 7), "datetime2(7)"},
        {Column(pw::kKindTime, "time(4)", 0, 3), "time(3)"},
        {Column(pw::kKindDateTimeOffset, "datetimeoffset(10)", 0, 9), "datetimeoffset(7)"},
        {Column(pw::kKindTimestamp, "timestamp(8)"), "binary(8)"},
        {Column(pw::kKindClr, "geography(-1)"), "geography"},
        {Column(pw::kKindClr, "MyClrType(-1)"), "varbinary(max)"},
        {Column(pw::kKindHierarchyId, "hierarchyid(892)"), "hierarchyid"},
        {Column(pw::kKindImage, "image(16)"), "image"},
        {Column(pw::kKindXml, "xml(-1)"), "xml"},
        {Column(pw::kKindSqlVariant, "sql_variant(8016)"), "sql_variant"},
    };
    for (const auto& [column, expected] : cases) EXPECT_EQ(pw::SqlServerTypeOf(column), expected) << column.typeText;
}

TEST(ExportTypes, SqliteStorageClasses) {
    using pw::SqliteClass;
    const std::vector<std::pair<pw::ColumnDescriptor, SqliteClass>> cases = {
        {Column(pw::kKindBigInt, "bigint(8)"), SqliteClass::kInteger},
        {Column(pw::kKindBit, "bit(1)"), SqliteClass::kInteger},
        {Column(pw::kKindFloat, "float(8)"), SqliteClass::kReal},
        {Column(pw::kKindSmallMoney, "smallmoney(4)"), SqliteClass::kReal},
        {Column(pw::kKindMoney, "money(8)"), SqliteClass::kText},           // 19 digits
        {Column(pw::kKindDecimal, "decimal(9)", 15, 2), SqliteClass::kReal},
        {Column(pw::kKindDecimal, "decimal(9)", 16, 2), SqliteClass::kText},
        {Column(pw::kKindVarBinary, "varbinary(-1)"), SqliteClass::kBlob},
        {Column(pw::kKindTimestamp, "timestamp(8)"), SqliteClass::kBlob},
        {Column(pw::kKindNVarChar, "nvarchar(10)"), SqliteClass::kText},
        {Column(pw::kKindDateTime, "datetime(8)"), SqliteClass::kText},
        {Column(pw::kKindUniqueIdentifier, "uniqueidentifier(16)"), SqliteClass::kText},
    };
    for (const auto& [column, expected] : cases)
        EXPECT_EQ(static_cast<int>(pw::SqliteClassOf(column)), static_cast<int>(expected)) << column.typeText;
}

TEST(ExportTypes, SqlLiterals) {
    const std::vector<std::pair<pw::ColumnDescriptor, std::string>> cases = {
        {Cell(pw::kKindInt, "NULL", true), "NULL"},
        {Cell(pw::kKindVarChar, "NULL"), "'NULL'"},  // the text, not a NULL
        {Cell(pw::kKindVarChar, "O'Brien"), "'O''Brien'"},
        {Cell(pw::kKindVarChar, "Malmö"), "N'Malmö'"},
        {Cell(pw::kKindNVarChar, "abc"), "N'abc'"},
        {Cell(pw::kKindNText, ""), "N''"},
        {Cell(pw::kKindInt, "-42"), "-42"},
        {Cell(pw::kKindInt, ""), "NULL"},  // nothing decoded
        {Cell(pw::kKindFloat, "1.5E+20"), "1.5E+20"},
        {Cell(pw::kKindDecimal, "12.30"), "12.30"},
        {Cell(pw::kKindMoney, "1.2.3"), "NULL"},
        {Cell(pw::kKindBit, "True"), "1"},
        {Cell(pw::kKindBit, "False"), "0"},
        {Cell(pw::kKindBinary, "0xDEAD"), "0xDEAD"},
        {Cell(pw::kKindVarBinary, "CAFE"), "0xCAFE"},
        {Cell(pw::kKindVarBinary, ""), "0x"},
        {Cell(pw::kKindImage, "<BIG BINARY DATA>"), "NULL"},
        {Cell(pw::kKindDateTime, "2010-02-03 04:05:06.007"), "'2010-02-03T04:05:06.007'"},
        {Cell(pw::kKindSmallDateTime, "2010-02-03 04:05:00"), "'2010-02-03T04:05:00'"},
        {Cell(pw::kKindDateTime, " "), "NULL"},  // an invalid date
        {Cell(pw::kKindDate, "0001-01-01"), "'0001-01-01'"},
        {Cell(pw::kKindDateTimeOffset, "2011-03-02 09:30:00.0000000  +1:0"), "'2011-03-02 09:30:00.0000000 +01:00'"},
        {Cell(pw::kKindDateTimeOffset, "2011-03-02 09:30:00  -10:30"), "'2011-03-02 09:30:00 -10:30'"},
        {Cell(pw::kKindUniqueIdentifier, "6F9619FF-8B86-D011-B42D-00C04FC964FF"), "'6F9619FF-8B86-D011-B42D-00C04FC964FF'"},
    };
    for (const auto& [cell, expected] : cases) EXPECT_EQ(pw::SqlLiteral(cell), expected) << cell.value;
}

TEST(ExportTypes, HexAndNumbers) {
    std::string bytes;
    EXPECT_TRUE(pw::DecodeHexText("0x00FFa1", bytes));
    EXPECT_EQ(bytes, std::string("\x00\xFF\xA1", 3));
    EXPECT_TRUE(pw::DecodeHexText("", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(pw::DecodeHexText("0xABC", bytes));
    EXPECT_FALSE(pw::DecodeHexText("zz", bytes));
    for (const char* text : {"0", "-1", "+2.5", ".5", "5.", "1e10", "-3.25E-7"}) EXPECT_TRUE(pw::IsNumberText(text)) << text;
    for (const char* text : {"", "-", ".", "1e", "1.2.3", "NaN", "inf", "12a", " 1"}) EXPECT_FALSE(pw::IsNumberText(text)) << text;
}

TEST(ExportFileNames, SafeAndUnique) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Orders", "Orders"},
        {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"tab\there", "tab_here"},
        {"..", "_"},
        {".hidden", "_.hidden"},
        {"trailing. ", "trailing"},
        {"", "_"},
        {"CON", "CON_"},
        {"com1.txt", "com1.txt_"},
        {"Ünïcödé", "Ünïcödé"},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(pw::SafeFileStem(name), expected) << name;
    // Long names are cut at 200 bytes, never inside a UTF-8 sequence.
    std::string longName;
    for (int i = 0; i < 150; ++i) longName += "é";
    const std::string cut = pw::SafeFileStem(longName);
    EXPECT_LE(cut.size(), 200u);
    EXPECT_EQ(cut.size() % 2, 0u);

    pw::UniqueNames names;
    EXPECT_EQ(names.Take("Orders"), "Orders");
    EXPECT_EQ(names.Take("orders"), "orders_2");  // case-insensitive file systems
    EXPECT_EQ(names.Take("Orders"), "Orders_3");
    names.Reserve("pagewright_definitions");
    EXPECT_EQ(names.Take("PageWright_Definitions"), "PageWright_Definitions_2");
}

// ---- the demo database --------------------------------------------------------------

class DemoExport : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.File("demo.mdf");
        std::string error;
        ASSERT_TRUE(forge::WriteDemoDatabase(path, error)) << error;
    }
    clitest::CliResult Export(const std::string& format, const std::string& out, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"export", path, "--format", format, "--out", out};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args);
    }
    forge::TempFolder folder;
    std::string path;
};

TEST_F(DemoExport, SqliteHoldsEveryTableWithItsRowsAndTheDefinitions) {
    const std::string db = folder.File("out/demo.sqlite");
    const clitest::CliResult result = Export("sqlite", db);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::map<std::string, std::int64_t> counts;
    std::string error;
    ASSERT_TRUE(exporttest::SqliteCounts(db, counts, error)) << error;
    for (const forge::DemoTableFacts& facts : forge::DemoFacts()) EXPECT_EQ(counts[facts.name], facts.rows) << facts.name;
    EXPECT_EQ(counts.size(), forge::DemoFacts().size() + 1);
    EXPECT_EQ(counts["pagewright_definitions"], 6);  // view, procedure, function, trigger, check, default
    EXPECT_NE(result.err.find("Exported tables: 4, rows: 191, failed tables: 0, definitions: 6"), std::string::npos)
        << result.err;

    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const auto scalar = [&](const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        std::string text = "(error)";
        if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            text = sqlite3_column_type(statement, 0) == SQLITE_NULL
                       ? "(null)"
                       : reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
        return text;
    };
    // Typed columns.
    EXPECT_EQ(scalar("SELECT group_concat(name || ':' || type, ' ') FROM pragma_table_info('Products')"),
              "ProductID:INTEGER Name:TEXT Price:REAL ListPrice:TEXT Discount:REAL Weight:REAL Rating:REAL "
              "Stock:INTEGER Shelf:INTEGER Barcode:INTEGER Sku:TEXT Checksum:BLOB Code:TEXT Tolerance:REAL "
              "AddedOn:TEXT Photo:BLOB");
    EXPECT_EQ(scalar("SELECT typeof(Price) || typeof(Barcode) || typeof(Checksum) FROM Products WHERE ProductID=1"),
              "realintegerblob");
    EXPECT_EQ(scalar("SELECT hex(Checksum) FROM Products WHERE ProductID=2"), "DEAD0201");
    // The out-of-row photo in full, its bytes and not hex text.
    EXPECT_EQ(scalar("SELECT length(Photo) || ' ' || hex(substr(Photo,1,4)) FROM Products WHERE ProductID=3"),
              "20000 89504E47");
    // The long note from its text pages, in full.
    EXPECT_EQ(scalar("SELECT length(Body) > 10000 AND Body LIKE '%Paragraph 80:%' FROM Notes WHERE NoteID=2"), "1");
    // NULL and the text "NULL" stay apart.
    EXPECT_EQ(scalar("SELECT Comment FROM Orders WHERE OrderID=1"), "(null)");
    EXPECT_EQ(scalar("SELECT Comment FROM Orders WHERE OrderID=10"), "NULL");
    EXPECT_EQ(scalar("SELECT typeof(Comment) FROM Orders WHERE OrderID=10"), "text");
    EXPECT_EQ(scalar("SELECT IsActive FROM Customers WHERE CustomerID=4"), "0");
    EXPECT_EQ(scalar("SELECT City FROM Customers WHERE CustomerID=6"), "Москва");
    EXPECT_EQ(scalar("SELECT type FROM pagewright_definitions WHERE name='vw_OrderTotals'"), "V");
    EXPECT_EQ(scalar("SELECT definition LIKE 'CREATE PROCEDURE dbo.usp_CustomerOrders%' FROM pagewright_definitions "
                     "WHERE type='P'"),
              "1");
    sqlite3_close(handle);

    // With the deleted rows, Orders grows by its ghost records.
    const std::string withDeleted = folder.File("deleted.sqlite");
    ASSERT_EQ(Export("sqlite", withDeleted, {"--deleted", "--tables", "Orders", "--quiet"}).exitCode, 0);
    counts.clear();
    ASSERT_TRUE(exporttest::SqliteCounts(withDeleted, counts, error)) << error;
    EXPECT_EQ(counts["Orders"], forge::DemoFacts()[2].rows + forge::DemoFacts()[2].deletedRows);
    EXPECT_EQ(counts.count("Customers"), 0u);
}

TEST_F(DemoExport, CsvFilesAreTheRowsListingAndJsonLinesTheSameCells) {
    const std::string csvFolder = folder.File("csv");
    const std::string jsonFolder = folder.File("jsonl");
    ASSERT_EQ(Export("csv", csvFolder).exitCode, 0);
    ASSERT_EQ(Export("jsonl", jsonFolder).exitCode, 0);
    for (const forge::DemoTableFacts& facts : forge::DemoFacts()) {
        const std::string csv = ReadWhole(csvFolder + "/" + facts.name + ".csv");
        // Byte for byte what `rows` prints.
        const clitest::CliResult rows = RunCli({"rows", path, facts.name});
        ASSERT_EQ(rows.exitCode, 0) << rows.err;
        EXPECT_EQ(csv, rows.out) << facts.name;

        const std::vector<std::vector<std::string>> csvRows = ReadCsv(csv);
        const std::vector<std::string> jsonLines = Lines(ReadWhole(jsonFolder + "/" + facts.name + ".jsonl"));
        ASSERT_EQ(csvRows.size(), jsonLines.size() + 1) << facts.name;  // csv has a header
        ASSERT_EQ(static_cast<std::int64_t>(jsonLines.size()), facts.rows);
        for (std::size_t r = 0; r < jsonLines.size(); ++r) {
            const auto cells = ReadJsonLine(jsonLines[r]);
            ASSERT_TRUE(cells) << jsonLines[r];
            ASSERT_EQ(cells->size(), csvRows[0].size());
            for (std::size_t c = 0; c < cells->size(); ++c) {
                EXPECT_EQ((*cells)[c].first, csvRows[0][c]);
                // csv shows NULL as the grid does; JSON tells it apart.
                EXPECT_EQ((*cells)[c].second.value_or("NULL"), csvRows[r + 1][c]) << facts.name << " row " << r;
            }
        }
    }
    // Orders row 10 holds the text NULL, row 1 a NULL.
    const std::vector<std::string> orders = Lines(ReadWhole(jsonFolder + "/Orders.jsonl"));
    EXPECT_NE(orders[0].find("\"Comment\":null"), std::string::npos) << orders[0];
    EXPECT_NE(orders[9].find("\"Comment\":\"NULL\""), std::string::npos) << orders[9];
}

TEST_F(DemoExport, SqlScriptSplitsIntoCompleteStatements) {
    const std::string script = folder.File("demo.sql");
    ASSERT_EQ(Export("sql", script, {"--batch", "50"}).exitCode, 0);
    const std::string text = ReadWhole(script);
    const exporttest::SplitScript split = exporttest::SplitTsql(text);
    EXPECT_TRUE(split.problems.empty()) << split.problems.front();
    std::map<std::string, int> inserts;
    int creates = 0, go = 0;
    for (const std::string& s : split.statements) {
        if (s.rfind("INSERT INTO [", 0) == 0) {
            EXPECT_EQ(s.substr(s.size() - 2), ");") << s;
            ++inserts[s.substr(13, s.find(']') - 13)];
        }
        if (s.rfind("CREATE TABLE", 0) == 0) ++creates;
    }
    for (const std::string& line : Lines(text)) go += line == "GO" ? 1 : 0;
    EXPECT_EQ(creates, 4);
    for (const forge::DemoTableFacts& facts : forge::DemoFacts()) EXPECT_EQ(inserts[facts.name], facts.rows) << facts.name;
    EXPECT_GE(go, 191 / 50);
    // Identity values are given, so identity insert is switched on and off around them.
    EXPECT_NE(text.find("SET IDENTITY_INSERT [Customers] ON;"), std::string::npos);
    EXPECT_NE(text.find("SET IDENTITY_INSERT [Customers] OFF;"), std::string::npos);
    EXPECT_EQ(text.find("SET IDENTITY_INSERT [Products]"), std::string::npos);
    EXPECT_NE(text.find("CONSTRAINT [PK_Orders] PRIMARY KEY ([OrderID])"), std::string::npos);
    EXPECT_NE(text.find("N'Москва'"), std::string::npos);
    EXPECT_NE(text.find("'2011-03-02 09:30:00.0000000 +01:00'"), std::string::npos);
    EXPECT_NE(text.find("ADD FOREIGN KEY ([CustomerID]) REFERENCES [Customers] ([CustomerID])"), std::string::npos);
    EXPECT_NE(text.find("CREATE TRIGGER dbo.trg_Orders_Audit"), std::string::npos);
    // Rows come before the trigger, so it does not fire on them.
    EXPECT_LT(text.find("INSERT INTO [Orders]"), text.find("CREATE TRIGGER"));
    // The out-of-row photo in full.
    const std::size_t photo = text.find("VALUES (3, N'Saucer No. 3'");
    ASSERT_NE(photo, std::string::npos);
    const std::string row = text.substr(photo, text.find('\n', photo) - photo);
    EXPECT_NE(row.find("0x89504E47"), std::string::npos);
    EXPECT_GT(row.size(), 40000u);

    // With deleted rows the primary key is left out.
    ASSERT_EQ(Export("sql", script, {"--deleted"}).exitCode, 0);
    EXPECT_EQ(ReadWhole(script).find("PRIMARY KEY"), std::string::npos);
}

TEST(ExportCreateTable, ColumnTypesOfATableWithEveryType) {
    forge::TempFolder folder;
    forge::DatabaseForge db;
    db.AddTable(forge::AllTypesTable(8));
    std::string error;
    ASSERT_TRUE(db.Write(folder.File("types.mdf"), error)) << error;
    const clitest::CliResult result =
        RunCli({"export", folder.File("types.mdf"), "--format", "sql", "--out", folder.File("types.sql")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = ReadWhole(folder.File("types.sql"));
    const std::size_t start = text.find("CREATE TABLE [AllTypes] (\n");
    ASSERT_NE(start, std::string::npos);
    const std::string create = text.substr(start, text.find(");\n", start) - start);
    EXPECT_EQ(create,
              "CREATE TABLE [AllTypes] (\n"
              "    [c_int] int NOT NULL,\n"
              "    [c_bigint] bigint NULL,\n"
              "    [c_smallint] smallint NULL,\n"
              "    [c_tinyint] tinyint NULL,\n"
              "    [c_bit] bit NULL,\n"
              "    [c_decimal] decimal(18,4) NULL,\n"
              "    [c_numeric] numeric(5,2) NULL,\n"
              "    [c_money] money NULL,\n"
              "    [c_smallmoney] smallmoney NULL,\n"
              "    [c_float] float NULL,\n"
              "    [c_real] real NULL,\n"
              "    [c_datetime] datetime NULL,\n"
              "    [c_smalldatetime] smalldatetime NULL,\n"
              "    [c_date] date NULL,\n"
              "    [c_time] time(7) NULL,\n"
              "    [c_datetime2] datetime2(3) NULL,\n"
              "    [c_datetimeoffset] datetimeoffset(7) NULL,\n"
              "    [c_char] char(10) NULL,\n"
              "    [c_varchar] varchar(50) NULL,\n"
              "    [c_nchar] nchar(10) NULL,\n"
              "    [c_nvarchar] nvarchar(50) NULL,\n"
              "    [c_binary] binary(4) NULL,\n"
              "    [c_varbinary] varbinary(16) NULL,\n"
              "    [c_guid] uniqueidentifier NULL,\n"
              "    [c_nvarcharmax] nvarchar(max) NULL,\n"
              "    [c_varbinarymax] varbinary(max) NULL\n");
    const exporttest::SplitScript split = exporttest::SplitTsql(text);
    EXPECT_TRUE(split.problems.empty()) << split.problems.front();
    int inserts = 0;
    for (const std::string& s : split.statements) inserts += s.rfind("INSERT INTO [AllTypes]", 0) == 0 ? 1 : 0;
    EXPECT_EQ(inserts, 8);
    // A row of values: every literal as SQL Server reads it.
    EXPECT_NE(text.find("VALUES (3, -27000000000, -3, 3, 1, 37037.0367, -3.14, -3703.7034, 29.9997, -4.5, 0.75, "
                        "'1999-12-31T23:59:59', '2001-02-03T04:05:00', '0001-01-04', '23:59:59.9999999', "
                        "'9999-12-31 01:02:03.456', '2020-02-29 00:30:00.0000000 +02:00', 'ab''c      ', "
                        "'line1\nline2, \"quoted\"', N'ñø        ', N'Ünïcödé ✓ 3', 0x0001FEFF, 0xCAFE, "
                        "'0E984725-C51C-4BF4-9960-E1C80E27ABA0', N'short', 0x0102);"),
              std::string::npos)
        << text.substr(text.find("VALUES (3,"), 600);
}

// ---- a table that fails part-way ----------------------------------------------------------

// Passes everything to a real writer, but refuses the rows of one table after a count.
class FailingWriter : public pw::ExportWriter {
public:
    FailingWriter(pw::ExportWriter& inner, std::string table, std::int64_t failAfter)
        : inner_(inner), table_(std::move(table)), failAfter_(failAfter) {}
    bool BeginTable(const pw::ExportTable& table, std::string& error) override {
        current_ = table.name;
        written_ = 0;
        return inner_.BeginTable(table, error);
    }
    bool WriteRow(const std::vector<pw::ColumnDescriptor>& row, std::string& error) override {
        if (current_ == table_ && written_ >= failAfter_) {
            error = "disk full (simulated)";
            return false;
        }
        ++written_;
        return inner_.WriteRow(row, error);
    }
    bool EndTable(bool complete, std::string& error) override {
        ended_[current_] = complete;
        return inner_.EndTable(complete, error);
    }
    bool WriteDefinition(const pw::ExportDefinition& d, std::string& error) override {
        return inner_.WriteDefinition(d, error);
    }
    bool Finish(std::string& error) override { return inner_.Finish(error); }
    std::map<std::string, bool> ended_;

private:
    pw::ExportWriter& inner_;
    std::string table_;
    std::int64_t failAfter_;
    std::string current_;
    std::int64_t written_ = 0;
};

TEST_F(DemoExport, ATableThatFailsKeepsItsRowsAndTheOthersGoOn) {
    for (const pw::ExportFormat format : {pw::ExportFormat::kCsv, pw::ExportFormat::kSqlite}) {
        cli::Options options;
        std::string error;
        ASSERT_TRUE(cli::ParseCommandLine({"export", path, "--format", "csv", "--out", "x", "--quiet"}, options, error));
        cli::Session session(options);
        ASSERT_EQ(session.Scan(path), 0);
        std::vector<std::string> missing;
        const std::vector<std::string> tables = cli::ExportTableNames(session, {}, missing);
        ASSERT_EQ(tables.size(), 4u);

        pw::ExportSettings settings;
        settings.format = format;
        settings.out = folder.File(format == pw::ExportFormat::kCsv ? "partial" : "partial.sqlite");
        std::unique_ptr<pw::ExportWriter> inner = pw::MakeExportWriter(settings, error);
        ASSERT_TRUE(inner) << error;
        FailingWriter writer(*inner, "Orders", 10);
        cli::ProgressMeter meter(cli::ProgressStyle::kSilent);
        cli::ExportSummary summary;
        ASSERT_TRUE(cli::ExportDatabase(session, tables, writer, options, meter, summary));

        EXPECT_EQ(summary.FailedTables(), 1);
        std::map<std::string, std::int64_t> written;
        for (const cli::TableOutcome& t : summary.tables) {
            written[t.name] = t.rows;
            EXPECT_EQ(t.failed, t.name == "Orders") << t.name;
        }
        EXPECT_EQ(written["Orders"], 10);
        EXPECT_EQ(written["Customers"], 40);
        EXPECT_EQ(written["Notes"], 6);  // the table after the failure
        EXPECT_FALSE(writer.ended_["Orders"]);
        EXPECT_TRUE(writer.ended_["Notes"]);
        const std::string text = summary.Text();
        EXPECT_NE(text.find("failed tables: 1"), std::string::npos) << text;
        EXPECT_NE(text.find("Orders\t10 rows\tFAILED: disk full (simulated)"), std::string::npos) << text;

        // The rows written before the failure are in the output.
        if (format == pw::ExportFormat::kCsv) {
            EXPECT_EQ(ReadCsv(ReadWhole(settings.out + "/Orders.csv")).size(), 11u);
        } else {
            std::map<std::string, std::int64_t> counts;
            ASSERT_TRUE(exporttest::SqliteCounts(settings.out, counts, error)) << error;
            EXPECT_EQ(counts["Orders"], 10);
            EXPECT_EQ(counts["Notes"], 6);
        }
    }
}

// ---- exit codes ---------------------------------------------------------------------------

TEST_F(DemoExport, ExitCodesAndMessages) {
    const clitest::CliResult unknown = Export("csv", folder.File("x"), {"--tables", "Orders,NoSuchTable"});
    EXPECT_EQ(unknown.exitCode, 3);
    EXPECT_NE(unknown.err.find("No user table named NoSuchTable."), std::string::npos) << unknown.err;

    forge::WriteFile(folder.File("junk.mdf"), std::string(5000, 'x'));
    EXPECT_EQ(RunCli({"export", folder.File("junk.mdf"), "--format", "csv", "--out", folder.File("y")}).exitCode, 2);

    const clitest::CliResult usage = RunCli({"export", path, "--format", "xml", "--out", "z"});
    EXPECT_EQ(usage.exitCode, 1);
    EXPECT_NE(usage.err.find("export --format takes csv, jsonl, sql or sqlite, not xml."), std::string::npos) << usage.err;
    EXPECT_TRUE(usage.out.empty());

    const clitest::CliResult help = RunCli({"export", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: pagewright-cli export FILE", 0), 0u) << help.out;

    // The output cannot be made: a file stands where the folder should be.
    forge::WriteFile(folder.File("blocked"), "x");
    EXPECT_EQ(Export("csv", folder.File("blocked")).exitCode, 1);

    // A limit per table; quiet leaves stderr empty.
    const clitest::CliResult limited = Export("jsonl", folder.File("limited"), {"--limit", "3", "--quiet"});
    EXPECT_EQ(limited.exitCode, 0);
    EXPECT_TRUE(limited.err.empty()) << limited.err;
    EXPECT_EQ(Lines(ReadWhole(folder.File("limited/Orders.jsonl"))).size(), 3u);

    // Plain progress when stderr is no terminal: a line per table, then the summary.
    const clitest::CliResult plain = Export("csv", folder.File("plain"));
    EXPECT_NE(plain.err.find("[3/4] Orders: 120 rows"), std::string::npos) << plain.err;
    EXPECT_EQ(plain.err.find('\r'), std::string::npos);
}

}  // namespace
