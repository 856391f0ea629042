#include "forge/DatabaseForge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "catalog/Keys.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/IamPageBuilder.h"
#include "forge/LobBuilder.h"
#include "forge/RecordBuilder.h"
#include "forge/SystemTableForge.h"

namespace forge {

namespace {

constexpr std::int32_t kCollationLatin1 = 872468488;  // SQL_Latin1_General_CP1_CI_AS
constexpr std::int32_t kFirstTableId = 1001;
constexpr std::int32_t kFirstOtherId = 5001;
constexpr std::int64_t kFirstRowsetId = 72057594038910976;
constexpr std::int32_t kFirstUnitKey = 7001;
constexpr std::size_t kRecordRoom = 8060;          // the largest record a page takes
constexpr std::size_t kTextChunk = 7000;           // bytes of a large value per text record
constexpr std::uint32_t kSystemPagesStart = 16;
constexpr std::int32_t kLobUnitKeyDistance = 10000;

struct TypeInfo {
    std::uint8_t systemType;
    const char* name;
};

TypeInfo InfoOf(ColumnType type) {
    switch (type) {
        case ColumnType::kInt: return {56, "int"};
        case ColumnType::kBigInt: return {127, "bigint"};
        case ColumnType::kSmallInt: return {52, "smallint"};
        case ColumnType::kTinyInt: return {48, "tinyint"};
        case ColumnType::kBit: return {104, "bit"};
        case ColumnType::kDecimal: return {106, "decimal"};
        case ColumnType::kNumeric: return {108, "numeric"};
        case ColumnType::kMoney: return {60, "money"};
        case ColumnType::kSmallMoney: return {122, "smallmoney"};
        case ColumnType::kFloat: return {62, "float"};
        case ColumnType::kReal: return {59, "real"};
        case ColumnType::kDateTime: return {61, "datetime"};
        case ColumnType::kSmallDateTime: return {58, "smalldatetime"};
        case ColumnType::kDate: return {40, "date"};
        case ColumnType::kTime: return {41, "time"};
        case ColumnType::kDateTime2: return {42, "datetime2"};
        case ColumnType::kDateTimeOffset: return {43, "datetimeoffset"};
        case ColumnType::kChar: return {175, "char"};
        case ColumnType::kVarChar: return {167, "varchar"};
        case ColumnType::kNChar: return {239, "nchar"};
        case ColumnType::kNVarChar: return {231, "nvarchar"};
        case ColumnType::kBinary: return {173, "binary"};
        case ColumnType::kVarBinary: return {165, "varbinary"};
        case ColumnType::kUniqueIdentifier: return {36, "uniqueidentifier"};
    }
    return {56, "int"};
}

std::size_t TimeSize(int scale) { return scale <= 2 ? 3 : scale <= 4 ? 4 : 5; }

std::size_t DecimalSize(int precision) { return precision <= 9 ? 5 : precision <= 19 ? 9 : precision <= 28 ? 13 : 17; }

bool IsVariable(ColumnType type) {
    return type == ColumnType::kVarChar || type == ColumnType::kNVarChar || type == ColumnType::kVarBinary;
}


// The length syscolpars keeps: the storage size, or the declared bytes.
std::int16_t StoredLength(const TableColumn& column) {
    const std::size_t fixed = FixedSize(column);
    return fixed != 0 ? static_cast<std::int16_t>(fixed) : column.length;
}

std::uint8_t PrecisionOf(const TableColumn& column) {
    switch (column.type) {
        case ColumnType::kDecimal:
        case ColumnType::kNumeric: return column.precision;
        case ColumnType::kFloat: return 53;
        case ColumnType::kReal: return 24;
        case ColumnType::kInt: return 10;
        case ColumnType::kBigInt: return 19;
        case ColumnType::kSmallInt: return 5;
        case ColumnType::kTinyInt: return 3;
        case ColumnType::kMoney: return 19;
        case ColumnType::kSmallMoney: return 10;
        case ColumnType::kBit: return 1;
        default: return 0;
    }
}

// Days from 0001-01-01 (proleptic Gregorian).
std::int64_t DayNumber(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t fromEpoch = static_cast<std::int64_t>(era) * 146097 + doe - 719468;  // days from 1970-01-01
    return fromEpoch + 719162;  // 0001-01-01 to 1970-01-01
}

Bytes Le(std::uint64_t value, std::size_t width) {
    Bytes bytes(width, 0);
    for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

void Append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

std::uint64_t Pow10(int n) {
    std::uint64_t v = 1;
    while (n-- > 0) v *= 10;
    return v;
}

// Writes page images at their positions.
class PageFile {
public:
    bool Open(const std::string& path) {
        file_ = std::fopen(path.c_str(), "wb");
        return file_ != nullptr;
    }
    ~PageFile() {
        if (file_) std::fclose(file_);
    }
    bool Put(std::uint32_t position, const pw::PageImage& image) {
        if (!file_) return false;
        if (fseeko(file_, static_cast<off_t>(position) * static_cast<off_t>(pw::kPageSize), SEEK_SET) != 0) return false;
        return std::fwrite(image.data(), 1, pw::kPageSize, file_) == pw::kPageSize;
    }
    bool Close() {
        const bool ok = file_ && std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    std::FILE* file_ = nullptr;
};

pw::PageImage EmptyPage(std::uint32_t position) {
    PageBuilder page;
    page.ThisPage(1, position);
    return page.Build();
}

struct TablePlan {
    std::int32_t id = 0;
    std::int64_t rowsetId = 0;
    std::int32_t unitKey = 0;
    std::uint32_t iamPage = 0;
    std::uint32_t firstPage = 0;
};

// The system table records of the database, with the tables placed as `plans` says.
struct SystemRecords {
    std::map<std::int32_t, std::vector<Bytes>> byTable;
};

}  // namespace

// ---- values ---------------------------------------------------------------------
Bytes IntBytes(std::int64_t value, std::size_t width) { return Le(static_cast<std::uint64_t>(value), width); }
Bytes BitBytes(bool value) { return Bytes{static_cast<std::uint8_t>(value ? 1 : 0)}; }

Bytes DecimalBytes(std::int64_t unscaled, std::uint8_t precision) {
    Bytes bytes{static_cast<std::uint8_t>(unscaled < 0 ? 0 : 1)};
    const std::uint64_t magnitude = unscaled < 0 ? static_cast<std::uint64_t>(-(unscaled + 1)) + 1 : static_cast<std::uint64_t>(unscaled);
    Append(bytes, Le(magnitude, DecimalSize(precision) - 1 >= 8 ? 8 : 4));
    bytes.resize(DecimalSize(precision), 0);
    return bytes;
}

Bytes MoneyBytes(std::int64_t tenThousandths) { return Le(static_cast<std::uint64_t>(tenThousandths), 8); }

Bytes SmallMoneyBytes(std::int32_t tenThousandths) { return Le(static_cast<std::uint32_t>(tenThousandths), 4); }

Bytes FloatBytes(double value) {
    std::uint64_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    return Le(raw, 8);
}

Bytes RealBytes(float value) {
    std::uint32_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    return Le(raw, 4);
}

Bytes DateTimeBytes(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    const std::int64_t days = DayNumber(year, month, day) - DayNumber(1900, 1, 1);
    const std::int64_t ticks = (static_cast<std::int64_t>(hour) * 3600 + minute * 60 + second) * 300 +
                               (static_cast<std::int64_t>(millisecond) * 300 + 500) / 1000;
    Bytes bytes = Le(static_cast<std::uint64_t>(ticks), 4);
    Append(bytes, Le(static_cast<std::uint64_t>(days), 4));
    return bytes;
}

Bytes SmallDateTimeBytes(int year, int month, int day, int hour, int minute) {
    const std::int64_t days = DayNumber(year, month, day) - DayNumber(1900, 1, 1);
    Bytes bytes = Le(static_cast<std::uint64_t>(hour * 60 + minute), 2);
    Append(bytes, Le(static_cast<std::uint64_t>(days), 2));
    return bytes;
}

Bytes DateBytes(int year, int month, int day) { return Le(static_cast<std::uint64_t>(DayNumber(year, month, day)), 3); }

Bytes TimeBytes(int hour, int minute, int second, std::uint64_t fraction, int scale) {
    const std::uint64_t units =
        (static_cast<std::uint64_t>(hour) * 3600 + static_cast<std::uint64_t>(minute) * 60 + static_cast<std::uint64_t>(second)) *
            Pow10(scale) +
        fraction;
    return Le(units, TimeSize(scale));
}

Bytes DateTime2Bytes(int year, int month, int day, int hour, int minute, int second, std::uint64_t fraction, int scale) {
    Bytes bytes = TimeBytes(hour, minute, second, fraction, scale);
    Append(bytes, DateBytes(year, month, day));
    return bytes;
}

Bytes DateTimeOffsetBytes(int year, int month, int day, int hour, int minute, int second, std::uint64_t fraction,
                          int scale, int offsetMinutes) {
    // Stored as UTC: the local time less the offset.
    std::int64_t days = DayNumber(year, month, day);
    std::int64_t minutes = static_cast<std::int64_t>(hour) * 60 + minute - offsetMinutes;
    while (minutes < 0) minutes += 1440, --days;
    while (minutes >= 1440) minutes -= 1440, ++days;
    Bytes bytes = TimeBytes(static_cast<int>(minutes / 60), static_cast<int>(minutes % 60), second, fraction, scale);
    Append(bytes, Le(static_cast<std::uint64_t>(days), 3));
    Append(bytes, Le(static_cast<std::uint64_t>(static_cast<std::int64_t>(offsetMinutes)), 2));
    return bytes;
}

Bytes CharBytes(const std::string& text, std::size_t width) {
    Bytes bytes(text.begin(), text.end());
    bytes.resize(width, ' ');
    return bytes;
}

Bytes NCharBytes(const std::string& utf8, std::size_t widthBytes) {
    Bytes bytes = Utf16(utf8);
    while (bytes.size() < widthBytes) {
        bytes.push_back(' ');
        bytes.push_back(0);
    }
    bytes.resize(widthBytes);
    return bytes;
}

Bytes VarCharBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes NVarCharBytes(const std::string& utf8) { return Utf16(utf8); }

Bytes GuidBytes(const std::string& text) {
    Bytes hex;
    for (const char c : text) {
        if (c == '-') continue;
        const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
        hex.push_back(static_cast<std::uint8_t>(v));
    }
    hex.resize(32, 0);
    Bytes raw(16);
    for (std::size_t i = 0; i < 16; ++i) raw[i] = static_cast<std::uint8_t>(hex[2 * i] << 4 | hex[2 * i + 1]);
    // The first three groups are stored little-endian.
    static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    Bytes stored(16);
    for (int i = 0; i < 16; ++i) stored[static_cast<std::size_t>(kOrder[i])] = raw[static_cast<std::size_t>(i)];
    return stored;
}

std::size_t FixedSize(const TableColumn& column) {
    switch (column.type) {
        case ColumnType::kInt: return 4;
        case ColumnType::kBigInt: return 8;
        case ColumnType::kSmallInt: return 2;
        case ColumnType::kTinyInt: return 1;
        case ColumnType::kBit: return 1;
        case ColumnType::kDecimal:
        case ColumnType::kNumeric: return DecimalSize(column.precision);
        case ColumnType::kMoney: return 8;
        case ColumnType::kSmallMoney: return 4;
        case ColumnType::kFloat: return 8;
        case ColumnType::kReal: return 4;
        case ColumnType::kDateTime: return 8;
        case ColumnType::kSmallDateTime: return 4;
        case ColumnType::kDate: return 3;
        case ColumnType::kTime: return TimeSize(column.scale);
        case ColumnType::kDateTime2: return TimeSize(column.scale) + 3;
        case ColumnType::kDateTimeOffset: return TimeSize(column.scale) + 5;
        case ColumnType::kChar:
        case ColumnType::kNChar:
        case ColumnType::kBinary: return static_cast<std::size_t>(std::max<int>(column.length, 1));
        case ColumnType::kUniqueIdentifier: return 16;
        default: return 0;
    }
}

// ---- the file -------------------------------------------------------------------

DatabaseForge::DatabaseForge(std::string databaseName, std::uint16_t version)
    : databaseName_(std::move(databaseName)), version_(version) {}

namespace {

// Builds every system record; `plans` give the tables' ids and pages.
SystemRecords BuildSystemRecords(const std::vector<TableSpec>& tables, const std::vector<TablePlan>& plans,
                                 const std::vector<ModuleSpec>& modules, const std::vector<ForeignKeySpec>& keys) {
    SystemRecords out;
    auto& objects = out.byTable[pw::kSysSchObjs];
    auto& columns = out.byTable[pw::kSysColPars];
    auto& types = out.byTable[pw::kSysScalarTypes];
    auto& rowsets = out.byTable[pw::kSysRowsets];
    auto& units = out.byTable[pw::kSysAllocUnits];
    auto& rscols = out.byTable[pw::kSysRsCols];
    auto& indexes = out.byTable[pw::kSysIdxStats];
    auto& indexColumns = out.byTable[pw::kSysIsCols];
    auto& refs = out.byTable[pw::kSysSingleObjRefs];
    auto& values = out.byTable[pw::kSysObjValues];

    // The system tables themselves, as the tree lists them.
    for (const auto& [id, name] : std::vector<std::pair<std::int32_t, const char*>>{
             {pw::kSysRsCols, "sysrscols"}, {pw::kSysRowsets, "sysrowsets"}, {pw::kSysAllocUnits, "sysallocunits"},
             {pw::kSysSchObjs, "sysschobjs"}, {pw::kSysColPars, "syscolpars"}, {pw::kSysScalarTypes, "sysscalartypes"},
             {pw::kSysIdxStats, "sysidxstats"}, {pw::kSysIsCols, "sysiscols"}, {pw::kSysObjValues, "sysobjvalues"},
             {pw::kSysSingleObjRefs, "syssingleobjrefs"}})
        objects.push_back(SchObjRecord(id, name, "S "));

    std::set<ColumnType> usedTypes;
    std::map<std::string, std::int32_t> tableIds;
    std::map<std::pair<std::string, std::string>, std::int32_t> columnIds;
    std::int32_t nextOther = kFirstOtherId;

    for (std::size_t t = 0; t < tables.size(); ++t) {
        const TableSpec& table = tables[t];
        const TablePlan& plan = plans[t];
        tableIds[table.name] = plan.id;
        objects.push_back(SchObjRecord(plan.id, table.name, "U "));
        const std::int32_t indexId = table.clustered ? 1 : 0;
        rowsets.push_back(RowsetRecord(plan.rowsetId, plan.id, indexId));
        Bytes unit = AllocUnitRecord(static_cast<std::int64_t>(plan.unitKey) << 16, 1, plan.rowsetId, plan.firstPage, 1);
        // The first IAM page pointer lies at fixed-part offset 35 (record offset 39).
        PutLE(unit, 4 + 35, plan.iamPage, 4);
        PutLE(unit, 4 + 39, 1, 2);
        units.push_back(unit);

        std::int32_t fixedOffset = 4;
        std::int32_t variableIndex = 0;
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const TableColumn& column = table.columns[c];
            const TypeInfo info = InfoOf(column.type);
            usedTypes.insert(column.type);
            const auto columnId = static_cast<std::int32_t>(c + 1);
            columnIds[{table.name, column.name}] = columnId;
            ColParSpec shape = Col(plan.id, columnId, column.name, info.systemType, info.systemType, StoredLength(column));
            shape.precision = PrecisionOf(column);
            shape.scale = column.scale;
            shape.status = column.identity ? 5 : column.nullable ? 0 : 1;
            if (column.identity) {
                Bytes identity(12, 0);
                identity[0] = info.systemType;
                PutLE(identity, 4, 1, 4);  // increment
                PutLE(identity, 8, 1, 4);  // seed
                shape.identity = identity;
            }
            if (column.type == ColumnType::kChar || column.type == ColumnType::kVarChar ||
                column.type == ColumnType::kNChar || column.type == ColumnType::kNVarChar)
                shape.collationId = kCollationLatin1;
            columns.push_back(ColParRecord(shape));
            std::int32_t offset;
            if (IsVariable(column.type)) {
                offset = static_cast<std::int32_t>(static_cast<std::uint16_t>(-(++variableIndex)));
            } else {
                offset = fixedOffset;
                fixedOffset += static_cast<std::int32_t>(FixedSize(column));
            }
            rscols.push_back(RsColRecord(plan.rowsetId, columnId, columnId, offset, columnId));
        }
        if (!table.primaryKey.empty()) {
            const std::int32_t keyId = nextOther++;
            const std::int32_t keyIndex = table.clustered ? 1 : 2;
            const std::string name = table.primaryKeyName.empty() ? "PK_" + table.name : table.primaryKeyName;
            objects.push_back(SchObjRecord(keyId, name, "PK", plan.id, 0, keyIndex));
            indexes.push_back(IdxStatRecord(plan.id, keyIndex,
                                            pw::kIndexIsIndex | pw::kIndexIsUnique | pw::kIndexIsPrimaryKey, name));
            for (std::size_t k = 0; k < table.primaryKey.size(); ++k)
                indexColumns.push_back(IsColRecord(plan.id, keyIndex, static_cast<std::int32_t>(k + 1),
                                                   table.primaryKey[k] + 1, static_cast<std::uint8_t>(k + 1)));
        }
    }
    for (const ColumnType type : usedTypes) {
        const TypeInfo info = InfoOf(type);
        types.push_back(ScalarTypeRecord(info.systemType, info.systemType, 0, info.name));
    }
    for (const ModuleSpec& module : modules) {
        const std::int32_t id = nextOther++;
        const auto parent = tableIds.find(module.table);
        objects.push_back(SchObjRecord(id, module.name, module.typeCode, parent == tableIds.end() ? 0 : parent->second));
        // sysobjvalues: valclass 1, objid, subobjid 0, valnum 0, value (empty), imageval (the UTF-16 text).
        Fixed fixed(13);
        fixed.Put(0, 1, 1).Put(1, static_cast<std::uint32_t>(id), 4);
        values.push_back(PlainRecord(fixed.bytes(), {Bytes{}, Utf16(module.text)}, 0, 6));
    }
    for (const ForeignKeySpec& key : keys) {
        const std::int32_t id = nextOther++;
        const std::int32_t table = tableIds.count(key.table) ? tableIds[key.table] : 0;
        const std::int32_t target = tableIds.count(key.refTable) ? tableIds[key.refTable] : 0;
        objects.push_back(SchObjRecord(id, key.name, "F ", table));
        refs.push_back(ObjRefRecord(28, id, 1, table, columnIds[{key.table, key.column}]));
        refs.push_back(ObjRefRecord(29, id, 1, target, columnIds[{key.refTable, key.refColumn}]));
    }
    return out;
}

// Pages the records of one system table take (CatalogFileBuilder's packing).
std::uint32_t PagesFor(const std::vector<Bytes>& records) {
    std::uint32_t pages = 0;
    std::size_t i = 0;
    do {
        std::size_t used = pw::kPageHeaderSize;
        for (; i < records.size(); ++i) {
            if (used + records[i].size() + 2 * 300 > pw::kPageSize) break;
            used += records[i].size();
        }
        ++pages;
    } while (i < records.size());
    return pages;
}

std::uint32_t AlignToExtent(std::uint32_t position) { return (position + 7) / 8 * 8; }

// Streams the pages of one table.
class TableWriter {
public:
    TableWriter(PageFile& file, const TableSpec& table, const TablePlan& plan, std::uint32_t& next)
        : file_(file), table_(table), plan_(plan), next_(next) {}

    bool Write(std::int64_t& rows, std::string& error) {
        StartPage();
        TableRow row;
        std::size_t listed = 0;
        while (true) {
            if (table_.source) {
                row = TableRow{};
                if (!table_.source(row)) break;
            } else {
                if (listed >= table_.rows.size()) break;
                row = table_.rows[listed++];
            }
            Bytes record;
            if (!BuildRecord(row, record, error)) return false;
            if (!Place(record, row.deleted, error)) return false;
            ++rows;
        }
        if (!FlushPage(0)) return Fail(error);
        // The IAM page: every extent holding a data page.
        IamPageBuilder iam;
        iam.At(1, plan_.iamPage).ObjectId(plan_.unitKey);
        for (const std::uint32_t extent : extents_) iam.Extent(extent);
        if (!file_.Put(plan_.iamPage, iam.Build())) return Fail(error);
        return true;
    }

private:
    bool Fail(std::string& error) {
        error = "cannot write the file";
        return false;
    }

    void StartPage() {
        page_ = std::make_unique<PageBuilder>();
        pagePosition_ = next_++;
        page_->Type(pw::kDataPage).ObjectId(plan_.unitKey).IndexId(0).ThisPage(1, pagePosition_);
        page_->PrevPage(previous_ == 0 ? 0 : 1, previous_);
        used_ = pw::kPageHeaderSize;
        ghosts_ = 0;
        extents_.insert(pagePosition_ / 8);
    }

    // Writes the page being filled, its next page being `nextPage` (0: none).
    bool FlushPage(std::uint32_t nextPage) {
        page_->NextPage(nextPage == 0 ? 0 : 1, nextPage);
        page_->GhostRecords(ghosts_);
        previous_ = pagePosition_;
        return file_.Put(pagePosition_, page_->Build());
    }

    bool Place(const Bytes& record, bool deleted, std::string& error) {
        if (record.size() > kRecordRoom) {
            error = "a row of " + table_.name + " takes " + std::to_string(record.size()) + " bytes";
            return false;
        }
        if (used_ + record.size() + 2 * (slots_ + 1) > pw::kPageSize) {
            const std::uint32_t nextPage = next_;
            if (!FlushPage(nextPage)) return Fail(error);
            slots_ = 0;
            StartPage();
        }
        page_->AddRecord(record);
        used_ += record.size();
        ++slots_;
        if (deleted) ++ghosts_;
        return true;
    }

    // A large value on text pages: one data fragment per text page, linked
    // from an in-row root. Returns the pointer's bytes.
    bool LargeValue(const Bytes& value, Bytes& pointer, std::string& error) {
        std::vector<LobRootLink> links;
        std::uint64_t end = 0;
        for (std::size_t at = 0; at < value.size(); at += kTextChunk) {
            const Bytes piece(value.begin() + static_cast<std::ptrdiff_t>(at),
                              value.begin() + static_cast<std::ptrdiff_t>(std::min(value.size(), at + kTextChunk)));
            end += piece.size();
            const std::uint32_t position = next_++;
            pw::PageImage text = TextPage(1, position, {TextRecordBytes(DataPayload(++lobId_, piece))});
            // Filed under an allocation unit of its own, as a table's large values are.
            PutLE(text, 24, static_cast<std::uint32_t>(plan_.unitKey + kLobUnitKeyDistance), 4);
            if (!file_.Put(position, text)) return Fail(error);
            links.push_back(LobRootLink{static_cast<std::int32_t>(end), position, 1, 0});
        }
        pointer = OutOfRowPointer(links, 4);
        return true;
    }

    bool BuildRecord(const TableRow& row, Bytes& record, std::string& error) {
        const std::vector<TableColumn>& columns = table_.columns;
        if (row.cells.size() != columns.size()) {
            error = table_.name + ": a row has " + std::to_string(row.cells.size()) + " cells for " +
                    std::to_string(columns.size()) + " columns";
            return false;
        }
        RecordBuilder builder;
        builder.Type(row.deleted ? 6 : 0);
        Bytes fixed;
        std::vector<int> nulls;
        std::vector<std::pair<Bytes, bool>> vars;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const TableColumn& column = columns[c];
            const Cell& cell = row.cells[c];
            if (!cell) nulls.push_back(static_cast<int>(c));
            if (!IsVariable(column.type)) {
                const std::size_t size = FixedSize(column);
                Bytes value = cell ? *cell : Bytes(size, 0);
                if (value.size() != size) {
                    error = table_.name + "." + column.name + ": a value of " + std::to_string(value.size()) +
                            " bytes for " + std::to_string(size);
                    return false;
                }
                Append(fixed, value);
                continue;
            }
            if (!cell) {
                vars.emplace_back(Bytes{}, false);
            } else if (column.length < 0 && cell->size() > kInRowLargeValueLimit) {
                Bytes pointer;
                if (!LargeValue(*cell, pointer, error)) return false;
                vars.emplace_back(pointer, true);
            } else {
                vars.emplace_back(*cell, false);
            }
        }
        builder.Fixed(fixed).Columns(static_cast<std::uint16_t>(columns.size())).Nulls(nulls);
        for (const auto& [bytes, complex] : vars) builder.Var(bytes, complex);
        record = builder.Build();
        return true;
    }

    PageFile& file_;
    const TableSpec& table_;
    const TablePlan& plan_;
    std::uint32_t& next_;
    std::unique_ptr<PageBuilder> page_;
    std::uint32_t pagePosition_ = 0;
    std::uint32_t previous_ = 0;
    std::size_t used_ = 0;
    std::size_t slots_ = 0;
    std::int16_t ghosts_ = 0;
    std::uint64_t lobId_ = 0;
    std::set<std::uint32_t> extents_;
};

}  // namespace

bool DatabaseForge::Write(const std::string& path, std::string& error) {
    rowsWritten_.assign(tables_.size(), 0);
    // Ids first; the pages follow once the system tables' room is known.
    std::vector<TablePlan> plans(tables_.size());
    for (std::size_t t = 0; t < tables_.size(); ++t) {
        plans[t].id = kFirstTableId + static_cast<std::int32_t>(t) * 2;
        plans[t].rowsetId = kFirstRowsetId + static_cast<std::int64_t>(t) * 65536;
        plans[t].unitKey = kFirstUnitKey + static_cast<std::int32_t>(t);
    }
    std::uint32_t systemPages = 0;
    for (const auto& [id, records] : BuildSystemRecords(tables_, plans, modules_, foreignKeys_).byTable)
        systemPages += PagesFor(records);
    std::uint32_t next = AlignToExtent(kSystemPagesStart + systemPages + 8);
    const std::uint32_t dataStart = next;

    PageFile file;
    if (!file.Open(path)) {
        error = "cannot create " + path;
        return false;
    }
    for (std::size_t t = 0; t < tables_.size(); ++t) {
        next = AlignToExtent(next);
        plans[t].iamPage = next++;
        next = AlignToExtent(next);
        plans[t].firstPage = next;
        TableWriter writer(file, tables_[t], plans[t], next);
        if (!writer.Write(rowsWritten_[t], error)) return false;
    }
    pageCount_ = AlignToExtent(next);
    for (std::uint32_t p = next; p < pageCount_; ++p)
        if (!file.Put(p, EmptyPage(p))) {
            error = "cannot write " + path;
            return false;
        }

    // The system part, now that every table's pages are known.
    CatalogFileBuilder system(dataStart);
    BootPageFields boot;
    boot.name = databaseName_;
    boot.version = version_;
    boot.createVersion = version_;
    system.File().Boot(boot);
    for (const auto& [id, records] : BuildSystemRecords(tables_, plans, modules_, foreignKeys_).byTable)
        if (!records.empty()) system.Table(id, records);
    if (system.NextPosition() > dataStart) {
        error = "the system tables outgrew their room";
        return false;
    }
    for (std::uint32_t p = 0; p < dataStart; ++p)
        if (!file.Put(p, system.File().Page(p))) {
            error = "cannot write " + path;
            return false;
        }
    if (!file.Close()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace forge
