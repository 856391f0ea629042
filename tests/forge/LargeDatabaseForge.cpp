#include "forge/LargeDatabaseForge.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>

#include "catalog/SystemRowBuilders.h"
#include "forge/DataFileBuilder.h"
#include "forge/IamPageBuilder.h"
#include "forge/LobBuilder.h"
#include "forge/RecordBuilder.h"
#include "forge/SystemTableForge.h"
#include "pages/PageHeader.h"
#include "support/Utf.h"

namespace forge {

namespace {

// ---- ids ----------------------------------------------------------------------
constexpr std::int32_t kOrdersId = 1000;
constexpr std::int32_t kDocumentsId = 1001;
constexpr std::int32_t kOrdersKeyId = 1002;
constexpr std::int32_t kFirstFillerId = 2000;
constexpr std::int32_t kFirstCatalogTableId = 1'000'000;  // table k: + 2k, its key: + 2k + 1
// The object ids page headers carry (the allocation units' page keys).
constexpr std::int32_t kOrdersUnitKey = 5000;
constexpr std::int32_t kDocumentsUnitKey = 5001;
constexpr std::int32_t kDocumentsLobUnitKey = 5002;
constexpr std::int32_t kFirstFillerUnitKey = 6000;
constexpr std::int32_t kFirstCatalogUnitKey = 3'000'000;
constexpr std::int64_t kIdHigh = std::int64_t{1} << 56;  // high bits of rowset and allocation unit ids
// A page header names its allocation unit as (index id << 48) | (object id << 16):
// the header's index id of every unit here is the unit id's top 16 bits.
constexpr std::uint16_t kHeaderIndexId = static_cast<std::uint16_t>(kIdHigh >> 48);
constexpr std::int32_t kCollation = 872468488;          // SQL_Latin1_General_CP1_CI_AS (code page 1252)

std::int64_t RowsetIdOf(std::int32_t objectId, std::int32_t indexId) {
    return kIdHigh + std::int64_t{objectId} * 256 + indexId;
}
std::int64_t AllocUnitIdOf(std::int32_t unitKey) { return kIdHigh | (std::int64_t{unitKey} << 16); }

// ---- geometry -------------------------------------------------------------------
constexpr std::uint32_t kPagesPerExtent = 8;
// Pages one IAM page covers: its GAM interval (7988 bitmap bytes of 8 extents each).
constexpr std::uint32_t kGamInterval = 7988u * 8u * kPagesPerExtent;
constexpr std::uint32_t kFirstTablePage = 16;
constexpr std::uint32_t kFillerPagesPerTable = 65536;

std::uint32_t AlignToExtent(std::uint32_t page) { return (page + kPagesPerExtent - 1) / kPagesPerExtent * kPagesPerExtent; }

// ---- columns and cells ---------------------------------------------------------
enum class Type { kInt, kBigInt, kSmallInt, kTinyInt, kBit, kDateTime, kDecimal, kFloat, kNVarChar, kVarChar, kVarCharMax };

struct TypeInfo {
    std::uint8_t systemType;
    const char* name;
    std::int16_t fixedBytes;  // 0: variable
};

TypeInfo InfoOf(Type type) {
    switch (type) {
        case Type::kInt: return {56, "int", 4};
        case Type::kBigInt: return {127, "bigint", 8};
        case Type::kSmallInt: return {52, "smallint", 2};
        case Type::kTinyInt: return {48, "tinyint", 1};
        case Type::kBit: return {104, "bit", 1};
        case Type::kDateTime: return {61, "datetime", 8};
        case Type::kDecimal: return {106, "decimal", 9};
        case Type::kFloat: return {62, "float", 8};
        case Type::kNVarChar: return {231, "nvarchar", 0};
        case Type::kVarChar: return {167, "varchar", 0};
        case Type::kVarCharMax: return {167, "varchar", 0};
    }
    return {56, "int", 4};
}

struct Column {
    std::string name;
    Type type;
    std::int16_t maxBytes = 0;  // variable columns: declared bytes (-1 for max)
    bool nullable = false;
};

// Where each column lies in a record: fixed columns in column order from
// offset 4 (bit columns sharing bytes, eight to a byte), then the variable
// columns in column order.
struct Shape {
    std::vector<Column> columns;
    std::vector<std::int32_t> offsets;  // leaf offset, or -1, -2, ... for variable columns
    std::uint16_t fixedBytes = 0;       // bytes of the fixed part after the 4-byte record head

    explicit Shape(std::vector<Column> list) : columns(std::move(list)) {
        std::int32_t at = 4;
        std::int32_t var = 0;
        std::int32_t bitByte = -1, bitsInByte = 8;
        for (const Column& c : columns) {
            const TypeInfo info = InfoOf(c.type);
            if (info.fixedBytes == 0) {
                offsets.push_back(--var);
            } else if (c.type == Type::kBit) {
                if (bitsInByte == 8) {
                    bitByte = at++;
                    bitsInByte = 0;
                }
                ++bitsInByte;
                offsets.push_back(bitByte);
            } else {
                offsets.push_back(at);
                at += info.fixedBytes;
            }
        }
        fixedBytes = static_cast<std::uint16_t>(at - 4);
    }
};

// One cell: its stored bytes and the text a listing shows.
struct Cell {
    Bytes bytes;
    std::string text;
    bool null = false;
    bool complex = false;  // a variable column holding a pointer out of the row
};

Bytes LE(std::uint64_t value, std::size_t width) {
    Bytes b(width);
    PutLE(b, 0, value, width);
    return b;
}

Cell IntCell(std::int64_t v, std::size_t width) {
    return {LE(static_cast<std::uint64_t>(v), width), std::to_string(v)};
}

Cell BitCell(bool v) { return {Bytes{static_cast<std::uint8_t>(v ? 1 : 0)}, v ? "True" : "False"}; }

// Days from 1900-01-01 to a civil date (proleptic Gregorian).
std::int64_t DaysFrom1900(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 - (-25567);  // 1970-01-01 is day 25567 after 1900-01-01
}

std::string Two(std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); }

// A datetime of day `day` after 2010-01-01 at `seconds` after midnight.
Cell DateTimeCell(std::int64_t day, std::int64_t seconds) {
    const std::int64_t days = DaysFrom1900(2010, 1, 1) + day;
    // Civil date from the day number (days since 1970 for the algorithm).
    const std::int64_t z = days - 25567 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    Cell cell;
    cell.bytes = LE(static_cast<std::uint64_t>(seconds * 300), 4);
    const Bytes dayBytes = LE(static_cast<std::uint64_t>(days), 4);
    cell.bytes.insert(cell.bytes.end(), dayBytes.begin(), dayBytes.end());
    cell.text = std::to_string(y) + "-" + Two(m) + "-" + Two(d) + " " + Two(seconds / 3600) + ":" +
                Two(seconds / 60 % 60) + ":" + Two(seconds % 60);
    return cell;
}

// A decimal(18,2) of `cents` (at least 100 in magnitude).
Cell DecimalCell(std::int64_t cents) {
    const std::uint64_t magnitude = static_cast<std::uint64_t>(cents < 0 ? -cents : cents);
    Cell cell;
    cell.bytes.push_back(cents < 0 ? 0 : 1);
    const Bytes value = LE(magnitude, 8);
    cell.bytes.insert(cell.bytes.end(), value.begin(), value.end());
    cell.text = (cents < 0 ? "-" : "") + std::to_string(magnitude / 100) + "." + Two(static_cast<std::int64_t>(magnitude % 100));
    return cell;
}

// A float of `whole` + 0.5.
Cell HalfFloatCell(std::int64_t whole) {
    const double v = static_cast<double>(whole) + 0.5;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return {LE(bits, 8), std::to_string(whole) + ".5"};
}

Cell NVarCharCell(const std::string& utf8) {
    const std::string wide = pw::Utf8ToUtf16Le(utf8);
    return {Bytes(wide.begin(), wide.end()), utf8};
}

Cell VarCharCell(const std::string& ascii) { return {Bytes(ascii.begin(), ascii.end()), ascii}; }

Cell NullCell() {
    Cell cell;
    cell.null = true;
    cell.text = "NULL";
    return cell;
}

Bytes EncodeRecord(const Shape& shape, const std::vector<Cell>& cells) {
    Bytes fixed(shape.fixedBytes, 0);
    std::vector<int> nulls;
    RecordBuilder record;
    std::int32_t bitColumn = 0;  // bit columns seen in the current byte
    std::int32_t lastBitByte = -1;
    std::vector<const Cell*> vars;
    for (std::size_t i = 0; i < shape.columns.size(); ++i) {
        const Cell& cell = cells[i];
        const std::int32_t offset = shape.offsets[i];
        if (cell.null) nulls.push_back(static_cast<int>(i));
        if (offset < 0) {
            vars.push_back(&cell);
            continue;
        }
        if (shape.columns[i].type == Type::kBit) {
            if (offset != lastBitByte) {
                lastBitByte = offset;
                bitColumn = 0;
            }
            if (!cell.null && !cell.bytes.empty() && cell.bytes[0] != 0)
                fixed[static_cast<std::size_t>(offset - 4)] |= static_cast<std::uint8_t>(1u << bitColumn);
            ++bitColumn;
            continue;
        }
        if (!cell.null) std::copy(cell.bytes.begin(), cell.bytes.end(), fixed.begin() + (offset - 4));
    }
    record.Fixed(fixed).Columns(static_cast<std::uint16_t>(shape.columns.size())).Nulls(nulls);
    for (const Cell* cell : vars) record.Var(cell->null ? Bytes{} : cell->bytes, cell->complex);
    return record.Build();
}

// ---- table contents --------------------------------------------------------------
const char* const kFirstNames[] = {"Anna",  "Bernd", "Chloé",  "Dmitri", "Eva",   "François", "Günther", "Hana",
                                   "Ines",  "József", "Kasia", "Lars",   "Mårten", "Nadia",   "Øystein", "Zoë"};
const char* const kLastNames[] = {"Andersen", "Bauer", "Castillo", "Dubois", "Eriksen", "Fischer", "García",
                                  "Hoffmann", "Ivanova", "Jäger", "Kowalski", "López", "Müller", "Nowak",
                                  "O'Brien", "Petrović", "Quist", "Rossi", "Schäfer", "Takahashi"};

Shape OrdersShape() {
    return Shape({{"OrderId", Type::kInt},
                  {"CustomerName", Type::kNVarChar, 100, true},
                  {"OrderDate", Type::kDateTime},
                  {"Amount", Type::kDecimal},
                  {"IsShipped", Type::kBit}});
}

std::vector<Cell> OrderRow(std::int64_t n) {
    std::vector<Cell> cells;
    cells.push_back(IntCell(n, 4));
    if (n % 1000 == 0) {
        cells.push_back(NullCell());
    } else {
        const auto u = static_cast<std::uint64_t>(n);
        cells.push_back(NVarCharCell(std::string(kFirstNames[u % 16]) + " " + kLastNames[(u / 16) % 20] + " " +
                                     std::to_string(n % 9973)));
    }
    cells.push_back(DateTimeCell(n % 4000, (n * 7919) % 86400));
    const std::int64_t cents = 100 + (n * 7907) % 10'000'000;
    cells.push_back(DecimalCell(n % 17 == 0 ? -cents : cents));
    cells.push_back(BitCell(n % 3 == 0));
    return cells;
}

Shape DocumentsShape() {
    return Shape({{"DocId", Type::kInt}, {"Title", Type::kNVarChar, 200, false}, {"Body", Type::kVarCharMax, -1, true}});
}

std::string DocumentTitle(std::int64_t n) {
    return "Dokument Nr. " + std::to_string(n) + " – " + kLastNames[static_cast<std::uint64_t>(n) % 20];
}

// Odd documents keep a short body in the row; even ones a long body on a text page.
std::string DocumentBody(std::int64_t n) {
    static const char kWords[] =
        "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore. ";
    const std::size_t length = n % 2 == 1 ? 40 + static_cast<std::size_t>(n % 150) : 1200 + static_cast<std::size_t>(n * 37 % 6000);
    std::string body = "Body of document " + std::to_string(n) + ": ";
    while (body.size() < length) body += kWords;
    body.resize(length);
    return body;
}

Shape FillerShape() { return Shape({{"Id", Type::kInt}, {"Payload", Type::kVarChar, 300, false}}); }

std::string FillerPayload() {
    std::string text = "Filler row to bring the file up to size. ";
    while (text.size() < 280) text += text;
    text.resize(280);
    return text;
}

const Type kCatalogTypes[] = {Type::kInt,      Type::kNVarChar, Type::kDateTime, Type::kDecimal,  Type::kBit,
                              Type::kBigInt,   Type::kVarChar,  Type::kSmallInt, Type::kTinyInt, Type::kFloat};

Shape CatalogShape() {
    std::vector<Column> columns;
    for (int c = 0; c < 20; ++c) {
        const Type type = kCatalogTypes[c % 10];
        Column column{"c" + Two(c + 1), type, 0, c != 0};
        if (type == Type::kNVarChar) column.maxBytes = 80;
        if (type == Type::kVarChar) column.maxBytes = 30;
        columns.push_back(column);
    }
    return Shape(std::move(columns));
}

std::vector<Cell> CatalogRow(std::int32_t k) {
    std::vector<Cell> cells;
    for (int c = 0; c < 20; ++c) {
        const std::int64_t v = std::int64_t{k} * 31 + c;
        switch (kCatalogTypes[c % 10]) {
            case Type::kInt: cells.push_back(IntCell(c == 0 ? k : -v, 4)); break;
            case Type::kNVarChar: cells.push_back(NVarCharCell("Tabelle " + std::to_string(k) + " Spalte " + std::to_string(c + 1))); break;
            case Type::kDateTime: cells.push_back(DateTimeCell(v % 3000, v % 86400)); break;
            case Type::kDecimal: cells.push_back(DecimalCell(100 + v)); break;
            case Type::kBit: cells.push_back(BitCell((v & 1) != 0)); break;
            case Type::kBigInt: cells.push_back(IntCell(v * 1'000'003, 8)); break;
            case Type::kVarChar: cells.push_back(VarCharCell("t" + std::to_string(k) + "c" + std::to_string(c + 1))); break;
            case Type::kSmallInt: cells.push_back(IntCell(v % 30000, 2)); break;
            case Type::kTinyInt: cells.push_back(IntCell(v % 256, 1)); break;
            default: cells.push_back(HalfFloatCell(v % 100000)); break;
        }
    }
    // Every tenth table leaves its second half NULL.
    if (k % 10 == 0)
        for (int c = 10; c < 20; ++c) cells[static_cast<std::size_t>(c)] = NullCell();
    return cells;
}

std::vector<std::string> Texts(const std::vector<Cell>& cells) {
    std::vector<std::string> texts;
    for (const Cell& c : cells) texts.push_back(c.text);
    return texts;
}

// ---- writing pages -------------------------------------------------------------------
// Pages go out in file order through a buffer; a page written before can be
// replaced (IAM pages, which are only known once their table is complete).
class PageStreamWriter {
public:
    ~PageStreamWriter() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Open(const std::string& path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0) Fail("cannot create " + path + ": " + std::strerror(errno));
        buffer_.reserve(kBufferPages * pw::kPageSize);
        return fd_ >= 0;
    }
    std::uint32_t Position() const { return next_; }
    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

    void Write(const std::uint8_t* page) {
        buffer_.insert(buffer_.end(), page, page + pw::kPageSize);
        ++next_;
        if (buffer_.size() >= kBufferPages * pw::kPageSize) Flush();
    }
    void Write(const pw::PageImage& page) { Write(page.data()); }
    // Formatted empty pages: header with the page's own number, type 0, object 0.
    void WriteFormatted(std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t* page = Blank();
            PutRaw(page, 32, next_, 4);
            Write(page);
        }
    }
    void Patch(std::uint32_t position, const pw::PageImage& page) {
        if (position >= bufferStart_) {
            std::memcpy(buffer_.data() + std::size_t{position - bufferStart_} * pw::kPageSize, page.data(), pw::kPageSize);
            return;
        }
        WriteAt(std::uint64_t{position} * pw::kPageSize, page.data(), pw::kPageSize);
    }
    bool Close() {
        Flush();
        if (fd_ >= 0 && ::close(fd_) != 0) Fail(std::string("close failed: ") + std::strerror(errno));
        fd_ = -1;
        return Ok();
    }

private:
    static constexpr std::size_t kBufferPages = 256;

    static void PutRaw(std::uint8_t* page, std::size_t at, std::uint64_t value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) page[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    std::uint8_t* Blank() {
        std::memset(blank_.data(), 0, blank_.size());
        blank_[0] = 1;
        PutRaw(blank_.data(), 36, 1, 2);  // file id 1
        PutRaw(blank_.data(), 30, pw::kPageHeaderSize, 2);
        return blank_.data();
    }
    void Flush() {
        if (!buffer_.empty()) WriteAt(std::uint64_t{bufferStart_} * pw::kPageSize, buffer_.data(), buffer_.size());
        bufferStart_ = next_;
        buffer_.clear();
    }
    void WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t length) {
        while (length > 0 && fd_ >= 0) {
            const ssize_t n = ::pwrite(fd_, data, length, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                Fail(std::string("write failed: ") + std::strerror(errno));
                return;
            }
            data += n;
            length -= static_cast<std::size_t>(n);
            offset += static_cast<std::uint64_t>(n);
        }
    }
    void Fail(const std::string& message) {
        if (error_.empty()) error_ = message;
    }

    int fd_ = -1;
    std::uint32_t next_ = 0;
    std::uint32_t bufferStart_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::array<std::uint8_t, pw::kPageSize> blank_{};
    std::string error_;
};

// Fills pages with records, tracking the room left (record bytes grow up
// from the header, the slot array down from the end of the page).
class RecordPage {
public:
    bool Fits(std::size_t bytes) const { return free_ + bytes + 2 * (slots_ + 1) <= pw::kPageSize; }
    std::uint16_t Add(const Bytes& record) {
        page_.AddRecord(record);
        free_ += record.size();
        return slots_++;
    }
    bool Empty() const { return slots_ == 0; }
    PageBuilder& Builder() { return page_; }
    void Reset() {
        page_ = PageBuilder();
        free_ = pw::kPageHeaderSize;
        slots_ = 0;
    }

private:
    PageBuilder page_;
    std::size_t free_ = pw::kPageHeaderSize;
    std::uint16_t slots_ = 0;
};

// The pages of one allocation unit in uniform extents, with one IAM page
// per GAM interval the unit reaches (chained in file order). Pages of a
// unit follow one another; an IAM page opens each interval.
class ExtentUnitWriter {
public:
    ExtentUnitWriter(PageStreamWriter& out, std::int32_t unitKey, std::uint8_t pageType, std::uint16_t headerIndexId,
                     bool chained)
        : out_(out), key_(unitKey), type_(pageType), indexId_(headerIndexId), chained_(chained) {}

    // Appends a record; returns (page, slot).
    std::pair<std::uint32_t, std::uint16_t> Add(const Bytes& record) {
        if (!open_) StartPage();
        if (!page_.Fits(record.size())) {
            ClosePage();
            StartPage();
        }
        return {position_, page_.Add(record)};
    }
    // Appends a whole page of records (its header fields are set here).
    std::uint32_t AddPage(pw::PageImage image) {
        if (open_) ClosePage();
        StartPage();
        open_ = false;
        SetHeader(image);
        pending_ = std::move(image);
        return position_;
    }
    // Writes the last page and the IAM pages.
    void Finish() {
        if (open_) ClosePage();
        if (pending_) {
            PutLE(*pending_, 16, 0, 4);  // the last page of the chain points nowhere
            PutLE(*pending_, 20, 0, 2);
            out_.Write(*pending_);
            pending_.reset();
        }
        // The rest of the last extent stays empty: an extent belongs to one unit.
        out_.WriteFormatted(AlignToExtent(out_.Position()) - out_.Position());
        for (std::size_t i = 0; i < iams_.size(); ++i) {
            const Iam& iam = iams_[i];
            IamPageBuilder builder;
            builder.At(1, iam.position).ObjectId(key_);
            if (i + 1 < iams_.size()) builder.Next(1, iams_[i + 1].position);
            for (std::uint32_t e = iam.firstExtent; iam.used && e <= iam.lastExtent; ++e) builder.Extent(e);
            pw::PageImage image = builder.Build();
            PutLE(image, 6, indexId_, 2);
            out_.Patch(iam.position, image);
        }
    }

    std::uint32_t FirstPage() const { return firstPage_; }
    std::uint32_t LastPage() const { return lastPage_; }
    std::uint32_t FirstIamPage() const { return iams_.empty() ? 0 : iams_.front().position; }
    std::uint32_t PageCount() const { return pageCount_; }

private:
    struct Iam {
        std::uint32_t position = 0;
        std::uint32_t interval = 0;
        std::uint32_t firstExtent = 0, lastExtent = 0;
        bool used = false;
    };
    struct Placement {
        bool newIam = false;
        std::uint32_t iam = 0;
        std::uint32_t data = 0;
    };

    // Where the next data page goes when the stream stands at `at`.
    Placement Place(std::uint32_t at) const {
        if (!iams_.empty() && at / kGamInterval == iams_.back().interval) return {false, 0, at};
        // An interval's IAM page and the extents it lists share the interval.
        for (;;) {
            const std::uint32_t data = AlignToExtent(at + 1);
            if (data / kGamInterval == at / kGamInterval) return {true, at, data};
            at = data;
        }
    }

    void StartPage() {
        // The page written last waits for the position of this one.
        const std::uint32_t at = out_.Position() + (pending_ ? 1u : 0u);
        const Placement place = Place(at);
        if (pending_) {
            const std::uint32_t next = place.data;
            PutLE(*pending_, 16, next, 4);
            PutLE(*pending_, 20, 1, 2);
            out_.Write(*pending_);
            pending_.reset();
        }
        if (place.newIam) {
            out_.WriteFormatted(place.iam - out_.Position());
            iams_.push_back(Iam{place.iam, place.iam / kGamInterval});
            out_.WriteFormatted(place.data - out_.Position());  // the IAM page's place and the rest of its extent
        }
        position_ = place.data;
        if (pageCount_ == 0) firstPage_ = position_;
        lastPage_ = position_;
        ++pageCount_;
        Iam& iam = iams_.back();
        const std::uint32_t extent = (position_ % kGamInterval) / kPagesPerExtent;
        if (!iam.used) iam.firstExtent = extent;
        iam.lastExtent = extent;
        iam.used = true;
        page_.Reset();
        open_ = true;
    }

    void SetHeader(pw::PageImage& image) {
        PutLE(image, 1, type_, 1);
        PutLE(image, 6, indexId_, 2);
        PutLE(image, 24, static_cast<std::uint32_t>(key_), 4);
        PutLE(image, 32, position_, 4);
        PutLE(image, 36, 1, 2);
        if (chained_ && previous_ != 0) {
            PutLE(image, 8, previous_, 4);
            PutLE(image, 12, 1, 2);
        }
        if (chained_) previous_ = position_;
    }

    void ClosePage() {
        pw::PageImage image = page_.Builder().Build();
        SetHeader(image);
        open_ = false;
        pending_ = std::move(image);
    }

    PageStreamWriter& out_;
    std::int32_t key_;
    std::uint8_t type_;
    std::uint16_t indexId_;
    bool chained_;
    RecordPage page_;
    bool open_ = false;
    // A complete page waiting for the position of the next one (its next-page pointer).
    std::optional<pw::PageImage> pending_;
    std::uint32_t position_ = 0, previous_ = 0;
    std::uint32_t firstPage_ = 0, lastPage_ = 0, pageCount_ = 0;
    std::vector<Iam> iams_;
};

// A system table: its records packed into data pages filed under its object id.
class SystemTableWriter {
public:
    SystemTableWriter(PageStreamWriter& out, std::int32_t objectId) : out_(out), objectId_(objectId) {}
    ~SystemTableWriter() { Flush(); }
    void Add(const Bytes& record) {
        if (!page_.Fits(record.size())) Flush();
        page_.Add(record);
    }
    void Flush() {
        if (page_.Empty()) return;
        page_.Builder().Type(pw::kDataPage).ObjectId(objectId_).ThisPage(1, out_.Position());
        out_.Write(page_.Builder().Build());
        page_.Reset();
    }

private:
    PageStreamWriter& out_;
    std::int32_t objectId_;
    RecordPage page_;
};

// What the catalog says about one table.
struct TableEntry {
    std::int32_t objectId = 0;
    std::string name;
    const Shape* shape = nullptr;
    std::int32_t indexId = 0;  // 0 heap, 1 clustered
    std::string keyName;       // the primary key (clustered tables)
    std::int32_t keyObjectId = 0;
    std::int32_t unitKey = 0;
    std::uint32_t firstPage = 0, firstIamPage = 0;
    std::int32_t lobUnitKey = 0;
    std::uint32_t lobFirstPage = 0, lobFirstIamPage = 0;
};

// Catalog tables are written through a compact list: their entries follow from k.
TableEntry CatalogEntry(std::int32_t k, const Shape& shape, std::uint32_t iamPage) {
    TableEntry e;
    e.objectId = kFirstCatalogTableId + 2 * k;
    e.name = CatalogTableName(k);
    e.shape = &shape;
    e.indexId = 1;
    e.keyName = "PK_" + e.name;
    e.keyObjectId = e.objectId + 1;
    e.unitKey = kFirstCatalogUnitKey + k;
    e.firstIamPage = iamPage;
    e.firstPage = iamPage + 1;
    return e;
}

void WriteCatalogRecords(PageStreamWriter& out, const std::string& databaseName,
                         const std::function<void(const std::function<void(const TableEntry&)>&)>& forEachTable) {
    {
        SystemTableWriter files(out, pw::kSysFiles1);
        files.Add(SysFilesRecord(1, databaseName, "C:\\Data\\" + databaseName + ".mdf"));
    }
    {
        SystemTableWriter objects(out, pw::kSysSchObjs);
        for (const auto& [id, name] : std::vector<std::pair<std::int32_t, const char*>>{
                 {3, "sysrscols"}, {5, "sysrowsets"}, {7, "sysallocunits"}, {34, "sysschobjs"}, {41, "syscolpars"}})
            objects.Add(SchObjRecord(id, name, "S "));
        forEachTable([&](const TableEntry& t) {
            objects.Add(SchObjRecord(t.objectId, t.name, "U "));
            if (!t.keyName.empty()) objects.Add(SchObjRecord(t.keyObjectId, t.keyName, "PK", t.objectId, 0, 1));
        });
    }
    {
        SystemTableWriter columns(out, pw::kSysColPars);
        forEachTable([&](const TableEntry& t) {
            for (std::size_t i = 0; i < t.shape->columns.size(); ++i) {
                const Column& c = t.shape->columns[i];
                const TypeInfo info = InfoOf(c.type);
                ColParSpec wanted = Col(t.objectId, static_cast<std::int32_t>(i + 1), c.name, info.systemType,
                                      info.systemType, info.fixedBytes != 0 ? info.fixedBytes : c.maxBytes);
                wanted.status = c.nullable ? 0 : 1;
                if (c.type == Type::kDecimal) {
                    wanted.precision = 18;
                    wanted.scale = 2;
                }
                if (c.type == Type::kNVarChar || c.type == Type::kVarChar || c.type == Type::kVarCharMax)
                    wanted.collationId = kCollation;
                columns.Add(ColParRecord(wanted));
            }
        });
    }
    {
        SystemTableWriter types(out, pw::kSysScalarTypes);
        for (const Type type : {Type::kInt, Type::kBigInt, Type::kSmallInt, Type::kTinyInt, Type::kBit, Type::kDateTime,
                                Type::kDecimal, Type::kFloat, Type::kNVarChar, Type::kVarChar}) {
            const TypeInfo info = InfoOf(type);
            const std::int16_t length = info.fixedBytes != 0 ? info.fixedBytes : 8000;
            types.Add(ScalarTypeRecord(info.systemType, info.systemType, length, info.name, 4));
        }
    }
    {
        SystemTableWriter rowsets(out, pw::kSysRowsets);
        forEachTable([&](const TableEntry& t) { rowsets.Add(RowsetRecord(RowsetIdOf(t.objectId, t.indexId), t.objectId, t.indexId)); });
    }
    {
        SystemTableWriter units(out, pw::kSysAllocUnits);
        const auto unit = [&](std::int32_t key, std::uint8_t type, std::int64_t owner, std::uint32_t first,
                              std::uint32_t firstIam) {
            Bytes record = AllocUnitRecord(AllocUnitIdOf(key), type, owner, first, 1);
            // The first IAM page pointer lies at fixed-part offset 35 (record offset 39).
            PutLE(record, 4 + 35, firstIam, 4);
            PutLE(record, 4 + 39, 1, 2);
            units.Add(record);
        };
        forEachTable([&](const TableEntry& t) {
            const std::int64_t owner = RowsetIdOf(t.objectId, t.indexId);
            unit(t.unitKey, 1, owner, t.firstPage, t.firstIamPage);
            if (t.lobUnitKey != 0) unit(t.lobUnitKey, 2, owner, t.lobFirstPage, t.lobFirstIamPage);
        });
    }
    {
        SystemTableWriter rsColumns(out, pw::kSysRsCols);
        forEachTable([&](const TableEntry& t) {
            const std::int64_t rowset = RowsetIdOf(t.objectId, t.indexId);
            for (std::size_t i = 0; i < t.shape->columns.size(); ++i) {
                const auto id = static_cast<std::int32_t>(i + 1);
                const std::int32_t offset = t.shape->offsets[i];
                rsColumns.Add(RsColRecord(rowset, id, id, static_cast<std::int32_t>(static_cast<std::uint32_t>(offset) & 0xFFFFu), id));
            }
        });
    }
    {
        SystemTableWriter indexes(out, pw::kSysIdxStats);
        forEachTable([&](const TableEntry& t) {
            if (t.indexId == 0) indexes.Add(IdxStatRecord(t.objectId, 0, 0, ""));
            else indexes.Add(IdxStatRecord(t.objectId, 1, 0x01 | 0x08 | 0x20, t.keyName));
        });
    }
    {
        SystemTableWriter indexColumns(out, pw::kSysIsCols);
        forEachTable([&](const TableEntry& t) {
            if (t.indexId == 1) indexColumns.Add(IsColRecord(t.objectId, 1, 1, 1, 1));
        });
    }
}

}  // namespace

std::vector<std::string> OrderCells(std::int64_t n) { return Texts(OrderRow(n)); }

std::vector<std::string> DocumentCells(std::int64_t n) {
    return {std::to_string(n), DocumentTitle(n), DocumentBody(n)};
}

std::string CatalogTableName(std::int32_t k) {
    std::string digits = std::to_string(k);
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
    return "Table_" + digits;
}

std::vector<std::string> CatalogTableCells(std::int32_t k) { return Texts(CatalogRow(k)); }

std::int64_t FillerRowsPerPage() {
    const Shape shape = FillerShape();
    const Bytes record = EncodeRecord(shape, {IntCell(0, 4), VarCharCell(FillerPayload())});
    return static_cast<std::int64_t>((pw::kPageSize - pw::kPageHeaderSize) / (record.size() + 2));
}

bool WriteLargeDatabase(const std::string& path, const LargeDatabaseSpec& wanted, LargeDatabaseLayout& layout,
                        std::string& error) {
    layout = LargeDatabaseLayout{};
    PageStreamWriter out;
    if (!out.Open(path)) {
        error = out.Error();
        return false;
    }

    // File header page, allocation pages (formatted), boot page at 9.
    {
        DataFileBuilder head(kFirstTablePage);
        BootPageFields boot;
        boot.name = wanted.databaseName;
        head.Boot(boot);
        for (std::uint32_t p = 0; p < kFirstTablePage; ++p) out.Write(head.Page(p));
    }

    std::vector<TableEntry> tables;  // every table but the catalog tables

    // Orders: the clustered index's leaf pages, chained in key order.
    static const Shape orders = OrdersShape();
    {
        ExtentUnitWriter unit(out, kOrdersUnitKey, pw::kDataPage, kHeaderIndexId, /*chained=*/true);
        for (std::int64_t n = 1; n <= wanted.orderRows; ++n) unit.Add(EncodeRecord(orders, OrderRow(n)));
        unit.Finish();
        TableEntry t;
        t.objectId = kOrdersId;
        t.name = "Orders";
        t.shape = &orders;
        t.indexId = 1;
        t.keyName = "PK_Orders";
        t.keyObjectId = kOrdersKeyId;
        t.unitKey = kOrdersUnitKey;
        t.firstPage = unit.FirstPage();
        t.firstIamPage = unit.FirstIamPage();
        tables.push_back(t);
        layout.ordersFirstPage = unit.FirstPage();
        layout.ordersLastPage = unit.LastPage();
        layout.ordersPageCount = unit.PageCount();
        layout.ordersFirstIamPage = unit.FirstIamPage();
    }

    // Documents: the long bodies first (text pages of the large-object unit),
    // then the rows pointing at them.
    static const Shape documents = DocumentsShape();
    {
        struct Spot {
            std::uint32_t page;
            std::uint16_t slot;
        };
        std::vector<Spot> spots(static_cast<std::size_t>(wanted.documentRows / 2 + 1));
        ExtentUnitWriter lob(out, kDocumentsLobUnitKey, 3, kHeaderIndexId, /*chained=*/false);
        for (std::int64_t n = 2; n <= wanted.documentRows; n += 2) {
            const std::string body = DocumentBody(n);
            const auto [page, slot] =
                lob.Add(TextRecordBytes(DataPayload(static_cast<std::uint64_t>(n), Bytes(body.begin(), body.end()))));
            spots[static_cast<std::size_t>(n / 2)] = {page, slot};
        }
        lob.Finish();

        ExtentUnitWriter unit(out, kDocumentsUnitKey, pw::kDataPage, kHeaderIndexId, /*chained=*/false);
        for (std::int64_t n = 1; n <= wanted.documentRows; ++n) {
            std::vector<Cell> cells{IntCell(n, 4), NVarCharCell(DocumentTitle(n))};
            const std::string body = DocumentBody(n);
            if (n % 2 == 1) {
                cells.push_back(VarCharCell(body));
            } else {
                const Spot spot = spots[static_cast<std::size_t>(n / 2)];
                Cell pointer;
                pointer.bytes = OutOfRowPointer({{static_cast<std::int32_t>(body.size()), spot.page, 1, spot.slot}}, 4);
                pointer.complex = true;
                cells.push_back(pointer);
            }
            unit.Add(EncodeRecord(documents, cells));
        }
        unit.Finish();
        TableEntry t;
        t.objectId = kDocumentsId;
        t.name = "Documents";
        t.shape = &documents;
        t.unitKey = kDocumentsUnitKey;
        t.firstPage = unit.FirstPage();
        t.firstIamPage = unit.FirstIamPage();
        t.lobUnitKey = kDocumentsLobUnitKey;
        t.lobFirstPage = lob.FirstPage();
        t.lobFirstIamPage = lob.FirstIamPage();
        tables.push_back(t);
        layout.documentsPageCount = unit.PageCount();
        layout.documentTextPageCount = lob.PageCount();
    }

    // Catalog tables: an IAM page naming one data page in its first
    // single-page slot, then that page (both in mixed extents).
    static const Shape catalogShape = CatalogShape();
    const std::uint32_t catalogTablesFirst = out.Position();
    for (std::int32_t k = 1; k <= wanted.catalogTables; ++k) {
        const std::uint32_t iamAt = out.Position();
        const TableEntry t = CatalogEntry(k, catalogShape, iamAt);
        IamPageBuilder iam;
        iam.At(1, iamAt).ObjectId(t.unitKey).Slot(0, 1, iamAt + 1);
        pw::PageImage iamImage = iam.Build();
        PutLE(iamImage, 6, kHeaderIndexId, 2);
        out.Write(iamImage);
        RecordPage page;
        page.Add(EncodeRecord(catalogShape, CatalogRow(k)));
        page.Builder().Type(pw::kDataPage).ObjectId(t.unitKey).IndexId(kHeaderIndexId).ThisPage(1, iamAt + 1);
        out.Write(page.Builder().Build());
    }

    // Filler heaps up to the size asked for, leaving room for the system tables.
    static const Shape filler = FillerShape();
    {
        const std::uint64_t targetPages = wanted.targetBytes / pw::kPageSize;
        const std::uint64_t catalogPages = 32 + static_cast<std::uint64_t>(wanted.catalogTables) / 2;
        const std::uint64_t used = out.Position() + catalogPages;
        std::uint64_t left = targetPages > used ? targetPages - used : 0;
        const std::int64_t perPage = FillerRowsPerPage();
        // One page of rows as a template; each copy gets its own ids.
        RecordPage templatePage;
        std::vector<std::uint16_t> idOffsets;
        std::uint16_t at = pw::kPageHeaderSize;
        const std::string payload = FillerPayload();
        for (std::int64_t r = 0; r < perPage; ++r) {
            const Bytes record = EncodeRecord(filler, {IntCell(0, 4), VarCharCell(payload)});
            templatePage.Add(record);
            idOffsets.push_back(static_cast<std::uint16_t>(at + 4));
            at = static_cast<std::uint16_t>(at + record.size());
        }
        const pw::PageImage pageTemplate = templatePage.Builder().Build();
        std::int32_t number = 0;
        while (left > 0 && out.Ok()) {
            ++number;
            const std::uint64_t pages = std::min<std::uint64_t>(left, kFillerPagesPerTable);
            const std::int32_t unitKey = kFirstFillerUnitKey + number;
            ExtentUnitWriter unit(out, unitKey, pw::kDataPage, kHeaderIndexId, /*chained=*/false);
            std::int64_t id = 1;
            for (std::uint64_t p = 0; p < pages; ++p) {
                pw::PageImage image = pageTemplate;
                for (const std::uint16_t offset : idOffsets) PutLE(image, offset, static_cast<std::uint64_t>(id++), 4);
                unit.AddPage(std::move(image));
            }
            unit.Finish();
            left = targetPages > out.Position() + catalogPages ? targetPages - out.Position() - catalogPages : 0;
            TableEntry t;
            t.objectId = kFirstFillerId + number;
            std::string digits = std::to_string(number);
            if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
            t.name = "Filler_" + digits;
            t.shape = &filler;
            t.unitKey = unitKey;
            t.firstPage = unit.FirstPage();
            t.firstIamPage = unit.FirstIamPage();
            tables.push_back(t);
            layout.fillerRows += static_cast<std::uint64_t>(id - 1);
        }
        layout.fillerTables = number;
    }

    // The system tables describe everything written.
    layout.catalogFirstPage = out.Position();
    WriteCatalogRecords(out, wanted.databaseName, [&](const std::function<void(const TableEntry&)>& visit) {
        for (const TableEntry& t : tables) visit(t);
        for (std::int32_t k = 1; k <= wanted.catalogTables; ++k)
            visit(CatalogEntry(k, catalogShape, catalogTablesFirst + 2 * static_cast<std::uint32_t>(k - 1)));
    });
    // Whole extents, as a data file grows.
    out.WriteFormatted(AlignToExtent(out.Position()) - out.Position());
    layout.pages = out.Position();
    if (!out.Close()) {
        error = out.Error();
        return false;
    }
    return true;
}

}  // namespace forge
