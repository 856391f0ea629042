// Record parse and length probe: one record's bytes with a fuzzed room to the
// page end, parsed as a plain or compressed record, as an anchor record and
// by the deleted-record scan's length probe.
//
// Input: option byte, maxLength (16 bits), the owner page's header bytes
// (part), then the record bytes (the rest).

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "FuzzOptions.h"
#include "forge/MemoryPageSource.h"
#include "pages/PrimaryRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    pw::AppState state;
    fuzz::ApplyOptions(state, in.U8());
    const int maxLength = static_cast<std::int16_t>(in.U16());
    pw::PageImage ownerImage = in.Part();
    ownerImage.resize(pw::kPageSize, 0);
    const pw::CPage owner(std::move(ownerImage), nullptr);
    const fuzz::Bytes record = in.Rest();
    const pw::ByteView bytes(record.data(), record.size());

    // A stub followed through this source finds the same bytes as a page of their own.
    forge::MemoryPageSource pages;
    pw::PageImage page(record);
    page.resize(pw::kPageSize, 0);
    pages.Add(1, 1, page);

    std::size_t seen = 0;
    const pw::CPrimaryRecord parsed(bytes, &owner, maxLength, state, &pages);
    seen += parsed.fixedData.size() + parsed.nullBitmap.size() + parsed.varValues.size() + parsed.sparseVector.size();
    for (const pw::VarValue& v : parsed.varValues) seen += v.data.size();
    if (const auto anchor = pw::CPrimaryRecord::ParseAnchor(bytes, &owner, maxLength, state))
        seen += anchor->descriptorCodes.size();
    seen += static_cast<std::size_t>(pw::CPrimaryRecord::ProbeLength(bytes, &owner, state) + 1);
    fuzz::Keep(seen);
    return 0;
}
