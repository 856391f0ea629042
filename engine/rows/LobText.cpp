#include "rows/LobText.h"

#include <iconv.h>

#include <cerrno>

#include "support/Utf.h"

namespace pw {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

ByteView UpToZeroByte(ByteView bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes.data()[i] == 0) return bytes.Sub(0, i);
    return bytes;
}

std::string IconvName(std::int32_t codePage) {
    if (codePage == 65001) return "UTF-8";
    if (codePage == 28591) return "ISO-8859-1";
    return "CP" + std::to_string(codePage);
}

// Used when iconv does not know the code page: bytes taken as ISO-8859-1.
std::string Latin1Text(ByteView bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) AppendUtf8(out, bytes.data()[i]);
    return out;
}

}  // namespace

std::string HexText(ByteView bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = bytes.data()[i];
        out.push_back(kHexDigits[b >> 4]);
        out.push_back(kHexDigits[b & 0x0F]);
    }
    return out;
}

std::string AnsiText(ByteView bytes, std::int32_t codePage) {
    const ByteView text = UpToZeroByte(bytes);
    if (text.empty()) return {};
    bool ascii = true;
    for (std::size_t i = 0; i < text.size() && ascii; ++i) ascii = text.data()[i] < 0x80;
    if (ascii) return std::string(reinterpret_cast<const char*>(text.data()), text.size());

    iconv_t cd = iconv_open("UTF-8", IconvName(codePage).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return Latin1Text(text);
    std::string out;
    char buffer[1024];
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof(buffer);
        const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof(buffer) - outLeft);
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // An undefined or cut-off byte sequence: one replacement character, then go on.
            AppendUtf8(out, 0xFFFD);
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

std::string Utf16Text(ByteView bytes) {
    std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        if (bytes.U16(2 * i) == 0) {
            units = i;
            break;
        }
    }
    return Utf16LeToUtf8(bytes.Sub(0, 2 * units));
}

std::size_t CountZeroBytes(ByteView bytes) {
    std::size_t zeros = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes.data()[i] == 0) ++zeros;
    return zeros;
}

std::optional<std::string> CompactUtf16(ByteView bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const std::uint8_t low = bytes.data()[i];
        if (low == 0 && (i + 1 >= bytes.size() || bytes.data()[i + 1] == 0)) break;
        if (low >= 0x80) return std::nullopt;
        if (i + 1 < bytes.size() && bytes.data()[i + 1] != 0) return std::nullopt;
        out.push_back(static_cast<char>(low));
    }
    return out;
}

}  // namespace pw
