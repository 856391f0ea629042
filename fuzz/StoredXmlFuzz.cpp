// Stored xml: a binary xml value decoded whole, and the same bytes cut into
// collected fragments (with stated lengths that may differ from the bytes).
//
// Input: cut byte (fragment size 1..256, 0: no cut), then the value (the rest).

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "rows/StoredXml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    const std::uint8_t cut = in.U8();
    const fuzz::Bytes value = in.Rest();
    std::size_t seen = pw::ConvertXmlValue(pw::ByteView(value.data(), value.size())).size();
    if (cut != 0) {
        std::vector<pw::XmlFragment> fragments;
        for (std::size_t at = 0; at < value.size(); at += cut) {
            pw::XmlFragment fragment;
            fragment.bytes.assign(value.begin() + static_cast<std::ptrdiff_t>(at),
                                  value.begin() + static_cast<std::ptrdiff_t>(std::min(value.size(), at + cut)));
            // Every seventh fragment states a length longer than its bytes.
            fragment.length = static_cast<std::int32_t>(fragment.bytes.size() + (fragments.size() % 7 == 6 ? 9 : 0));
            fragments.push_back(std::move(fragment));
        }
        seen += pw::ConvertXmlFragments(fragments).size();
    }
    fuzz::Keep(seen);
    return 0;
}
