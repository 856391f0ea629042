// Row decoding throughput: data pages of a table (int, nvarchar(50),
// datetime, decimal(18,2), bit) parsed and decoded into cells, as every
// listing and export does. Reports rows per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/ColumnKinds.h"
#include "pages/DataPage.h"
#include "pages/PageHeader.h"
#include "rows/RenderContext.h"
#include "rows/RowDecoder.h"
#include "rows/ValueKind.h"
#include "support/AppState.h"
#include "support/CodePage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& out, std::size_t at, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Append(Bytes& out, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Fixed part: id int at 4, created datetime at 8, amount decimal(18,2) at 16
// (sign byte and 8 magnitude bytes), flag bit at 25; then name in var 0.
Bytes Record(std::uint32_t id) {
    Bytes r;
    r.push_back(0x30);  // null bitmap and variable columns present
    r.push_back(0);
    Append(r, 26, 2);
    Append(r, id, 4);
    Append(r, 300 + id % 1000, 4);            // time: ticks of 1/300 s
    Append(r, 40000 + id % 3650, 4);          // date: days since 1900
    r.push_back(1);                           // positive
    Append(r, 1234567ull * (id % 97 + 1), 8);  // 12345.67 and multiples
    r.push_back(static_cast<std::uint8_t>(id & 1));
    Append(r, 5, 2);  // column count
    r.push_back(0);   // null bitmap
    Append(r, 1, 2);  // one variable column
    std::u16string name = u"Customer name ";
    for (char c : std::to_string(id)) name.push_back(static_cast<char16_t>(c));
    const std::size_t end = r.size() + 2 + 2 * name.size();
    Append(r, end, 2);
    for (char16_t c : name) Append(r, c, 2);
    return r;
}

pw::PageImage Page(std::uint32_t pageNumber, std::uint32_t& nextId, int& rows) {
    Bytes image(pw::kPageSize, 0);
    image[0] = 1;
    image[1] = pw::kDataPage;
    Put(image, 32, pageNumber, 4);
    Put(image, 36, 1, 2);
    std::size_t at = pw::kPageHeaderSize;
    std::vector<std::uint16_t> slots;
    while (true) {
        const Bytes record = Record(nextId);
        if (at + record.size() + 2 * (slots.size() + 1) > pw::kPageSize) break;
        std::copy(record.begin(), record.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
        slots.push_back(static_cast<std::uint16_t>(at));
        at += record.size();
        ++nextId;
    }
    for (std::size_t s = 0; s < slots.size(); ++s) Put(image, pw::kPageSize - 2 * (s + 1), slots[s], 2);
    Put(image, 22, slots.size(), 2);
    Put(image, 30, at, 2);
    rows = static_cast<int>(slots.size());
    return image;
}

pw::ColumnDescriptor Column(const std::string& name, const std::string& typeText, int kind, int ordinal,
                            std::int16_t leafOffset) {
    pw::ColumnDescriptor d = pw::MakeDescriptor(name, typeText, kind);
    d.columnId = ordinal;
    d.ordinal = ordinal;
    d.leafOffset = leafOffset;
    d.nullBit = ordinal;
    d.inRow = 1;
    d.isNullable = 1;
    return d;
}

std::vector<pw::ColumnDescriptor> Table() {
    std::vector<pw::ColumnDescriptor> columns = {
        Column("id", "int(4)", pw::kKindInt, 1, 4), Column("name", "nvarchar(100)", pw::kKindNVarChar, 2, -1),
        Column("created", "datetime(8)", pw::kKindDateTime, 3, 8),
        Column("amount", "decimal(9)", pw::kKindDecimal, 4, 16), Column("flag", "bit(1)", pw::kKindBit, 5, 25)};
    columns[3].precision = 18;
    columns[3].scale = 2;
    return columns;
}

struct Pages {
    std::vector<pw::PageImage> images;
    int rows = 0;
};

const Pages& BenchPages() {
    static const Pages pages = [] {
        Pages p;
        std::uint32_t id = 1;
        for (std::uint32_t n = 0; n < 64; ++n) {
            int rows = 0;
            p.images.push_back(Page(100 + n, id, rows));
            p.rows += rows;
        }
        return p;
    }();
    return pages;
}

// Page walk and decoding, each row shown to a visitor (the streaming path of exports).
void BM_DecodeRowsStreaming(benchmark::State& state) {
    const Pages& pages = BenchPages();
    pw::AppState app;
    pw::CodePageConverter codePages;
    pw::RenderContext context{app, codePages};
    pw::WorkingTable table(Table(), true);
    std::size_t cells = 0;
    for (auto _ : state) {
        for (const pw::PageImage& image : pages.images) {
            pw::CDataPage page(image, nullptr, nullptr, app, table.recordColumns);
            pw::VisitTableRows(page, table, context, [&](const pw::DecodedRow& row) { cells += row[1].value.size(); });
        }
    }
    benchmark::DoNotOptimize(cells);
    state.SetItemsProcessed(state.iterations() * pages.rows);
    state.counters["rows_per_page"] = static_cast<double>(pages.rows) / static_cast<double>(pages.images.size());
}
BENCHMARK(BM_DecodeRowsStreaming);

// The same, each row copied into a RowSet (the record browser's page of rows).
void BM_DecodeRowsIntoRowSet(benchmark::State& state) {
    const Pages& pages = BenchPages();
    pw::AppState app;
    pw::CodePageConverter codePages;
    pw::RenderContext context{app, codePages};
    pw::WorkingTable table(Table(), true);
    for (auto _ : state) {
        for (const pw::PageImage& image : pages.images) {
            pw::CDataPage page(image, nullptr, nullptr, app, table.recordColumns);
            pw::RowSet rows;
            pw::DecodeRowsetRows(page, rows, table, context);
            benchmark::DoNotOptimize(rows.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * pages.rows);
}
BENCHMARK(BM_DecodeRowsIntoRowSet);

// Decoding alone: the page parsed once, its records decoded again and again.
void BM_DecodeCellsOnly(benchmark::State& state) {
    const Pages& pages = BenchPages();
    pw::AppState app;
    pw::CodePageConverter codePages;
    pw::RenderContext context{app, codePages};
    pw::WorkingTable table(Table(), true);
    std::vector<std::unique_ptr<pw::CDataPage>> parsed;
    for (const pw::PageImage& image : pages.images)
        parsed.push_back(std::make_unique<pw::CDataPage>(image, nullptr, nullptr, app, table.recordColumns));
    std::size_t cells = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Decoding releases variable values as it takes them: parse afresh.
        for (std::size_t i = 0; i < parsed.size(); ++i)
            parsed[i] = std::make_unique<pw::CDataPage>(pages.images[i], nullptr, nullptr, app, table.recordColumns);
        state.ResumeTiming();
        for (const auto& page : parsed)
            pw::VisitTableRows(*page, table, context, [&](const pw::DecodedRow& row) { cells += row[0].value.size(); });
    }
    benchmark::DoNotOptimize(cells);
    state.SetItemsProcessed(state.iterations() * pages.rows);
}
BENCHMARK(BM_DecodeCellsOnly);

}  // namespace
