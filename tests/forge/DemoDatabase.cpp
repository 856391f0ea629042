#include "forge/DemoDatabase.h"

#include <memory>

namespace forge {

namespace {

constexpr int kCustomers = 40;
constexpr int kProducts = 25;
constexpr int kOrders = 120;
constexpr int kDeletedOrders = 4;
constexpr int kNotes = 6;

TableColumn C(const std::string& name, ColumnType type, std::int16_t length = 0, bool nullable = true,
              std::uint8_t precision = 0, std::uint8_t scale = 0) {
    TableColumn column;
    column.name = name;
    column.type = type;
    column.length = length;
    column.nullable = nullable;
    column.precision = precision;
    column.scale = scale;
    return column;
}

TableColumn Identity(const std::string& name) {
    TableColumn column = C(name, ColumnType::kInt, 0, false);
    column.identity = true;
    return column;
}

const char* const kFirstNames[] = {"Anna", "Björn", "Chloé", "Dmitri", "Eva", "François", "Güler", "Hiroshi",
                                   "Inés", "József"};
const char* const kLastNames[] = {"Andersson", "Brodsky", "Çelik", "Dubois", "Eriksen", "Fernández", "Gómez",
                                  "Håkansson"};
const char* const kCities[] = {"Malmö", "København", "Zürich", "São Paulo", "Kraków", "Reykjavík", "Москва", "東京"};
const char* const kProductNames[] = {"Kettle", "Teapot", "Mug", "Saucer", "Spoon", "Strainer", "Tray", "Cosy"};

Bytes Photo(int seed, std::size_t size) {
    Bytes bytes(size);
    std::uint32_t x = 2463534242u + static_cast<std::uint32_t>(seed);
    for (std::uint8_t& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    // A PNG signature in front, as a picture column would hold.
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (std::size_t i = 0; i < sizeof png && i < size; ++i) bytes[i] = png[i];
    return bytes;
}

std::string LongText(int paragraphs) {
    std::string text;
    for (int p = 1; p <= paragraphs; ++p)
        text += "Paragraph " + std::to_string(p) +
                ": Kestrel tea shop notes — orders ship from Malmö on weekdays; "
                "returns within 30 days. Ünïcödé kept: ñ, ß, ø, €, 漢字.\r\n";
    return text;
}

TableSpec Customers() {
    TableSpec t;
    t.name = "Customers";
    t.clustered = true;
    t.primaryKey = {0};
    t.primaryKeyName = "PK_Customers";
    t.columns = {Identity("CustomerID"),
                 C("FirstName", ColumnType::kNVarChar, 80, false),
                 C("LastName", ColumnType::kNVarChar, 80, false),
                 C("City", ColumnType::kNVarChar, 60),
                 C("CountryCode", ColumnType::kChar, 2, false),
                 C("Email", ColumnType::kVarChar, 100),
                 C("BirthDate", ColumnType::kDate),
                 C("CreatedAt", ColumnType::kDateTime, 0, false),
                 C("LastLogin", ColumnType::kDateTime2, 0, true, 0, 7),
                 C("LastLoginLocal", ColumnType::kDateTimeOffset, 0, true, 0, 7),
                 C("PreferredTime", ColumnType::kTime, 0, true, 0, 3),
                 C("IsActive", ColumnType::kBit, 0, false)};
    const char* const countries[] = {"SE", "DK", "CH", "BR", "PL", "IS", "RU", "JP"};
    for (int i = 1; i <= kCustomers; ++i) {
        TableRow row;
        const std::string first = kFirstNames[i % 10];
        const std::string last = kLastNames[i % 8];
        std::string lower = first.substr(0, 1) + "." + std::to_string(i);
        row.cells = {IntBytes(i, 4),
                     NVarCharBytes(first),
                     NVarCharBytes(last),
                     i % 9 == 0 ? Cell{} : Cell{NVarCharBytes(kCities[i % 8])},
                     CharBytes(countries[i % 8], 2),
                     i % 7 == 0 ? Cell{} : Cell{VarCharBytes(lower + "@example.com")},
                     i % 5 == 0 ? Cell{} : Cell{DateBytes(1950 + i, 1 + i % 12, 1 + i % 28)},
                     DateTimeBytes(2010, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60, (i * 10) % 1000),
                     i % 6 == 0 ? Cell{} : Cell{DateTime2Bytes(2011, 3, 1 + i % 28, 8, i % 60, 5, 1234567u + static_cast<std::uint64_t>(i), 7)},
                     DateTimeOffsetBytes(2011, 3, 1 + i % 28, 9, 30, 0, 0, 7, (i % 2 ? 60 : -300)),
                     TimeBytes(7 + i % 12, 15, 0, 250, 3),
                     BitBytes(i % 4 != 0)};
        t.rows.push_back(row);
    }
    return t;
}

TableSpec Products() {
    TableSpec t;
    t.name = "Products";
    t.clustered = false;  // a heap
    t.primaryKey = {0};
    t.primaryKeyName = "PK_Products";
    t.columns = {C("ProductID", ColumnType::kInt, 0, false),
                 C("Name", ColumnType::kNVarChar, 100, false),
                 C("Price", ColumnType::kDecimal, 0, false, 10, 2),
                 C("ListPrice", ColumnType::kMoney),
                 C("Discount", ColumnType::kSmallMoney),
                 C("Weight", ColumnType::kFloat),
                 C("Rating", ColumnType::kReal),
                 C("Stock", ColumnType::kSmallInt),
                 C("Shelf", ColumnType::kTinyInt),
                 C("Barcode", ColumnType::kBigInt),
                 C("Sku", ColumnType::kUniqueIdentifier),
                 C("Checksum", ColumnType::kBinary, 4),
                 C("Code", ColumnType::kNChar, 20),
                 C("Tolerance", ColumnType::kNumeric, 0, true, 5, 3),
                 C("AddedOn", ColumnType::kSmallDateTime),
                 C("Photo", ColumnType::kVarBinary, -1)};
    for (int i = 1; i <= kProducts; ++i) {
        TableRow row;
        const std::string name = std::string(kProductNames[i % 8]) + " No. " + std::to_string(i);
        char guid[40];
        std::snprintf(guid, sizeof guid, "6F9619FF-8B86-D011-B42D-%012X", static_cast<unsigned>(i * 7919));
        Cell photo;
        if (i == 3) photo = Photo(i, 20000);        // out of row: three text pages
        else if (i % 4 == 0) photo = Photo(i, 48);  // small: kept in the row
        row.cells = {IntBytes(i, 4),
                     NVarCharBytes(name),
                     DecimalBytes(199 * i + 5, 10),
                     MoneyBytes(static_cast<std::int64_t>(i) * 123456),
                     i % 3 == 0 ? Cell{} : Cell{SmallMoneyBytes(-2500 * i)},
                     FloatBytes(0.125 * i + 1e-3),
                     RealBytes(static_cast<float>(i) / 4.0f),
                     IntBytes(i * 11 - 50, 2),
                     IntBytes(i % 256, 1),
                     IntBytes(7312345678900LL + i, 8),
                     GuidBytes(guid),
                     Bytes{0xDE, 0xAD, static_cast<std::uint8_t>(i), 0x01},
                     NCharBytes("P" + std::to_string(i), 20),
                     i % 5 == 0 ? Cell{} : Cell{DecimalBytes(-i * 125, 5)},
                     SmallDateTimeBytes(2009, 1 + i % 12, 1 + i % 28, 12, i % 60),
                     photo};
        t.rows.push_back(row);
    }
    return t;
}

TableSpec Orders() {
    TableSpec t;
    t.name = "Orders";
    t.clustered = true;
    t.primaryKey = {0};
    t.primaryKeyName = "PK_Orders";
    t.columns = {Identity("OrderID"),
                 C("CustomerID", ColumnType::kInt, 0, false),
                 C("ProductID", ColumnType::kInt, 0, false),
                 C("Quantity", ColumnType::kSmallInt, 0, false),
                 C("OrderedAt", ColumnType::kDateTime, 0, false),
                 C("Comment", ColumnType::kVarChar, 200)};
    for (int i = 1; i <= kOrders + kDeletedOrders; ++i) {
        TableRow row;
        // Every 31st order was deleted; its record is still on the page.
        row.deleted = i % 31 == 0;
        std::string comment = i % 3 == 0 ? "gift wrap, \"fragile\"; ring twice" : "";
        if (i % 10 == 0) comment = "NULL";  // the text, not a NULL
        row.cells = {IntBytes(i, 4),
                     IntBytes(1 + i % kCustomers, 4),
                     IntBytes(1 + i % kProducts, 4),
                     IntBytes(1 + i % 9, 2),
                     DateTimeBytes(2012, 1 + i % 12, 1 + i % 28, 10, i % 60, 0, 0),
                     comment.empty() ? Cell{} : Cell{VarCharBytes(comment)}};
        t.rows.push_back(row);
    }
    return t;
}

TableSpec Notes() {
    TableSpec t;
    t.name = "Notes";
    t.clustered = true;
    t.primaryKey = {0};
    t.columns = {C("NoteID", ColumnType::kInt, 0, false), C("Title", ColumnType::kNVarChar, 200),
                 C("Body", ColumnType::kNVarChar, -1)};
    for (int i = 1; i <= kNotes; ++i) {
        TableRow row;
        // Note 2 is long enough to live on text pages.
        const std::string body = i == 2 ? LongText(80) : i == 5 ? std::string() : LongText(1);
        row.cells = {IntBytes(i, 4), NVarCharBytes("Note " + std::to_string(i) + (i == 4 ? " — O'Brien's, \"quoted\"" : "")),
                     i == 6 ? Cell{} : Cell{NVarCharBytes(body)}};
        t.rows.push_back(row);
    }
    return t;
}

}  // namespace

DatabaseForge DemoDatabase() {
    DatabaseForge db("PagewrightDemo");
    db.AddTable(Customers());
    db.AddTable(Products());
    db.AddTable(Orders());
    db.AddTable(Notes());
    db.AddForeignKey({"FK_Orders_Customers", "Orders", "CustomerID", "Customers", "CustomerID"});
    db.AddForeignKey({"FK_Orders_Products", "Orders", "ProductID", "Products", "ProductID"});
    db.AddModule({"vw_OrderTotals", "V ",
                  "CREATE VIEW dbo.vw_OrderTotals AS\r\nSELECT o.CustomerID, SUM(o.Quantity * p.Price) AS Total\r\n"
                  "FROM dbo.Orders o JOIN dbo.Products p ON p.ProductID = o.ProductID\r\nGROUP BY o.CustomerID\r\n",
                  ""});
    db.AddModule({"usp_CustomerOrders", "P ",
                  "CREATE PROCEDURE dbo.usp_CustomerOrders @CustomerID int AS\r\nBEGIN\r\n  SET NOCOUNT ON;\r\n"
                  "  SELECT * FROM dbo.Orders WHERE CustomerID = @CustomerID ORDER BY OrderedAt;\r\nEND\r\n",
                  ""});
    db.AddModule({"fn_FullName", "FN",
                  "CREATE FUNCTION dbo.fn_FullName(@First nvarchar(40), @Last nvarchar(40)) RETURNS nvarchar(81) AS\r\n"
                  "BEGIN RETURN @First + N' ' + @Last; END\r\n",
                  ""});
    db.AddModule({"trg_Orders_Audit", "TR",
                  "CREATE TRIGGER dbo.trg_Orders_Audit ON dbo.Orders AFTER DELETE AS\r\n"
                  "BEGIN SET NOCOUNT ON; PRINT 'order deleted'; END\r\n",
                  "Orders"});
    db.AddModule({"CK_Products_Price", "C ", "([Price]>=(0))", "Products"});
    db.AddModule({"DF_Customers_IsActive", "D ", "((1))", "Customers"});
    return db;
}

bool WriteDemoDatabase(const std::string& path, std::string& error) {
    DatabaseForge db = DemoDatabase();
    return db.Write(path, error);
}

std::vector<DemoTableFacts> DemoFacts() {
    int deleted = 0;
    for (int i = 1; i <= kOrders + kDeletedOrders; ++i) deleted += i % 31 == 0 ? 1 : 0;
    return {{"Customers", kCustomers, 0},
            {"Products", kProducts, 0},
            {"Orders", kOrders + kDeletedOrders - deleted, deleted},
            {"Notes", kNotes, 0}};
}

TableSpec AllTypesTable(int rows) {
    TableSpec t;
    t.name = "AllTypes";
    t.columns = {C("c_int", ColumnType::kInt, 0, false),
                 C("c_bigint", ColumnType::kBigInt),
                 C("c_smallint", ColumnType::kSmallInt),
                 C("c_tinyint", ColumnType::kTinyInt),
                 C("c_bit", ColumnType::kBit),
                 C("c_decimal", ColumnType::kDecimal, 0, true, 18, 4),
                 C("c_numeric", ColumnType::kNumeric, 0, true, 5, 2),
                 C("c_money", ColumnType::kMoney),
                 C("c_smallmoney", ColumnType::kSmallMoney),
                 C("c_float", ColumnType::kFloat),
                 C("c_real", ColumnType::kReal),
                 C("c_datetime", ColumnType::kDateTime),
                 C("c_smalldatetime", ColumnType::kSmallDateTime),
                 C("c_date", ColumnType::kDate),
                 C("c_time", ColumnType::kTime, 0, true, 0, 7),
                 C("c_datetime2", ColumnType::kDateTime2, 0, true, 0, 3),
                 C("c_datetimeoffset", ColumnType::kDateTimeOffset, 0, true, 0, 7),
                 C("c_char", ColumnType::kChar, 10),
                 C("c_varchar", ColumnType::kVarChar, 50),
                 C("c_nchar", ColumnType::kNChar, 20),
                 C("c_nvarchar", ColumnType::kNVarChar, 100),
                 C("c_binary", ColumnType::kBinary, 4),
                 C("c_varbinary", ColumnType::kVarBinary, 16),
                 C("c_guid", ColumnType::kUniqueIdentifier),
                 C("c_nvarcharmax", ColumnType::kNVarChar, -1),
                 C("c_varbinarymax", ColumnType::kVarBinary, -1)};
    for (int i = 1; i <= rows; ++i) {
        TableRow row;
        const bool nulls = i % 4 == 0;
        const auto maybe = [&](Bytes bytes) { return nulls ? Cell{} : Cell{std::move(bytes)}; };
        row.cells = {IntBytes(i, 4),
                     maybe(IntBytes(-9000000000LL * i, 8)),
                     maybe(IntBytes(-i, 2)),
                     maybe(IntBytes(i % 256, 1)),
                     maybe(BitBytes(i % 2 == 1)),
                     maybe(DecimalBytes(123456789LL * i, 18)),
                     maybe(DecimalBytes(-314, 5)),
                     maybe(MoneyBytes(-12345678LL * i)),
                     maybe(SmallMoneyBytes(99999 * i)),
                     maybe(FloatBytes(-1.5 * i)),
                     maybe(RealBytes(0.25f * static_cast<float>(i))),
                     maybe(DateTimeBytes(1999, 12, 31, 23, 59, 59, 997)),
                     maybe(SmallDateTimeBytes(2001, 2, 3, 4, 5)),
                     maybe(DateBytes(1, 1, 1 + i % 28)),
                     maybe(TimeBytes(23, 59, 59, 9999999, 7)),
                     maybe(DateTime2Bytes(9999, 12, 31, 1, 2, 3, 456, 3)),
                     maybe(DateTimeOffsetBytes(2020, 2, 29, 0, 30, 0, 0, 7, 120)),
                     maybe(CharBytes("ab'c", 10)),
                     maybe(VarCharBytes("line1\nline2, \"quoted\"")),
                     maybe(NCharBytes("ñø", 20)),
                     maybe(NVarCharBytes("Ünïcödé ✓ " + std::to_string(i))),
                     maybe(Bytes{0x00, 0x01, 0xFE, 0xFF}),
                     maybe(Bytes{0xCA, 0xFE}),
                     maybe(GuidBytes("0E984725-C51C-4BF4-9960-E1C80E27ABA0")),
                     maybe(NVarCharBytes(i == 1 ? LongText(30) : "short")),
                     maybe(i == 2 ? Photo(i, 9000) : Bytes{0x01, 0x02})};
        t.rows.push_back(row);
    }
    return t;
}

TableSpec LargeTable(const std::string& name, std::int64_t rows) {
    TableSpec t;
    t.name = name;
    t.clustered = true;
    t.primaryKey = {0};
    t.columns = {C("EventID", ColumnType::kBigInt, 0, false), C("Kind", ColumnType::kInt, 0, false),
                 C("At", ColumnType::kDateTime, 0, false), C("Amount", ColumnType::kDecimal, 0, true, 12, 2),
                 C("Source", ColumnType::kVarChar, 40), C("Message", ColumnType::kNVarChar, 120)};
    auto next = std::make_shared<std::int64_t>(0);
    t.source = [next, rows](TableRow& row) {
        if (*next >= rows) return false;
        const std::int64_t i = ++*next;
        row.cells = {IntBytes(i, 8),
                     IntBytes(i % 17, 4),
                     DateTimeBytes(2013, 1 + static_cast<int>(i % 12), 1 + static_cast<int>(i % 28),
                                   static_cast<int>(i % 24), static_cast<int>(i % 60), 0, 0),
                     i % 10 == 0 ? Cell{} : Cell{DecimalBytes(i * 37 % 1000000, 12)},
                     VarCharBytes("sensor-" + std::to_string(i % 500)),
                     NVarCharBytes("event " + std::to_string(i) + " reading ok")};
        return true;
    };
    return t;
}

}  // namespace forge
