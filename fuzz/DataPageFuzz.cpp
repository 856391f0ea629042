// Page header and page walk: a data page built over a fuzzed image with every
// option combination, the one-slot build, the deleted-record scan, the row
// decoder with the fuzzed columns as the table (bit 4 of the option byte: its
// physical columns are known) and an IAM page over the same bytes.
//
// Input: option byte (see ApplyOptions; bit 6 marks the page compressed, bit 7
// passes the listing columns), slot byte for the one-slot build, columns,
// then the page image (any length; images from a file are 8192 bytes).

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "FuzzOptions.h"
#include "forge/MemoryPageSource.h"
#include "pages/DataPage.h"
#include "pages/IamPage.h"
#include "rows/RowDecoder.h"
#include "support/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    pw::AppState state;
    const std::uint8_t options = in.U8();
    fuzz::ApplyOptions(state, options);
    const std::uint8_t slot = in.U8();
    const std::vector<pw::ColumnDescriptor> columns = fuzz::ReadColumns(in);
    pw::PageImage image = in.Rest();
    if ((options & 0x40) && image.size() > 2) image[2] |= pw::kCompressedPageFlag;
    const std::span<const pw::ColumnDescriptor> listing =
        (options & 0x80) ? std::span<const pw::ColumnDescriptor>(columns) : std::span<const pw::ColumnDescriptor>();

    // Forwarding stubs on the page may point at the page itself.
    forge::MemoryPageSource pages;
    const pw::CPage_Header header{std::span<std::uint8_t>(image)};
    pw::PageImage whole = image;
    whole.resize(pw::kPageSize, 0);
    pages.Add(header.thisPage.file, header.thisPage.page, whole);

    std::size_t seen = 0;
    {
        pw::CDataPage page(image, nullptr, &pages, state, listing);
        for (std::size_t i = 0; i < page.records.size(); ++i) {
            const pw::CPrimaryRecord* record = page.Record(i);
            if (!record) continue;
            seen += record->fixedData.size() + record->varValues.size() + record->recordImage.size();
            if (pw::IsListableRecord(record, state)) ++seen;
        }
        page.RecoverRemovedRecords();
        // The row decoder over the same page, with the fuzzed columns as the table.
        if (!columns.empty()) {
            pw::CodePageConverter codePages;
            pw::RenderContext context{state, codePages};
            pw::WorkingTable table(columns, (options & 0x10) != 0);
            seen += pw::VisitTableRows(page, table, context, [&](const pw::DecodedRow& row) {
                for (const pw::ColumnDescriptor& cell : row) seen += cell.value.size();
            });
        }
    }
    {
        pw::PrimaryRecordPage one(image, nullptr, &pages, state, pw::OneSlot{slot}, listing);
        if (const pw::CPrimaryRecord* record = one.Record(0)) seen += record->fixedData.size();
    }
    {
        pw::IamPage iam(image, nullptr, &pages, state);
        for (const pw::PagePointer& p : iam.singlePages) seen += p.file;
    }
    fuzz::Keep(seen);
    return 0;
}
