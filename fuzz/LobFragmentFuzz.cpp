// Large-object fragment dispatch: one fragment payload rendered (or
// collected) with its links followed into fuzzed text pages.
//
// Input: option byte (see ApplyOptions), flag byte (bit 0 variant, bit 1
// binary, bit 2 unicode, bit 3 collect), type length (signed 16 bits; 0 means
// payload length - 10), the payload (part), then text pages: the rest cut
// into 8192-byte images, each filed both under the number its header gives
// and under its position (file 1, pages 1, 2, ...).

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "FuzzOptions.h"
#include "forge/MemoryPageSource.h"
#include "rows/RenderLobFragment.h"
#include "rows/StoredXml.h"
#include "support/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    pw::AppState state;
    fuzz::ApplyOptions(state, in.U8());
    const std::uint8_t flags = in.U8();
    int typeLength = static_cast<std::int16_t>(in.U16());
    const fuzz::Bytes payload = in.Part();
    if (typeLength == 0) typeLength = static_cast<int>(payload.size()) - 10;

    forge::MemoryPageSource pages;
    for (std::int64_t position = 1; in.Remaining() > 0 && position <= 16; ++position) {
        pw::PageImage image = in.Take(pw::kPageSize);
        image.resize(pw::kPageSize, 0);
        const pw::CPage_Header header{std::span<std::uint8_t>(image)};
        pages.Add(header.thisPage.file, header.thisPage.page, image);
        pages.Add(1, position, image);
    }

    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    pw::LobFragmentList fragments;
    const bool collect = (flags & 8) != 0;
    const std::string text =
        pw::RenderLobFragment(pw::ByteView(payload.data(), payload.size()), pages, context, nullptr, (flags & 1) != 0,
                              (flags & 2) != 0, typeLength, &fragments, collect, (flags & 4) != 0);
    std::size_t seen = text.size() + fragments.size();
    if (collect) seen += pw::ConvertXmlFragments(fragments).size();
    fuzz::Keep(seen);
    return 0;
}
