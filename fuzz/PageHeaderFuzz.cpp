// The 96-byte page header and the torn-page bits: any image, any length.

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "pages/PageHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    fuzz::Bytes image = in.Rest();
    const pw::CPage_Header header{std::span<std::uint8_t>(image)};
    pw::RestoreTornBits(std::span<std::uint8_t>(image), header.tornBits ^ 0xFFFFFFFFu);
    fuzz::Keep(header.lsnText.size() + header.xdesText.size());
    return 0;
}
