#include "support/CodePage.h"

#include <iconv.h>

#include <cerrno>

#include "support/Utf.h"

namespace pw {

namespace {

const iconv_t kInvalidIconv = reinterpret_cast<iconv_t>(-1);

// Code pages whose bytes 0x00..0x7F are ASCII: such text needs no iconv call
// while it holds no byte above 0x7F.
bool IsAsciiCompatible(std::int32_t codePage) {
    switch (codePage) {
        case 874: case 932: case 936: case 949: case 950:
        case 1250: case 1251: case 1252: case 1253: case 1254:
        case 1255: case 1256: case 1257: case 1258:
        case 437: case 850: case 852: case 866:
        case 20127: case 65001:
            return true;
        default:
            return codePage >= 28591 && codePage <= 28605;
    }
}

}  // namespace

std::vector<std::string> IconvNamesOfCodePage(std::int32_t codePage) {
    std::vector<std::string> names;
    switch (codePage) {
        case 65001: names.push_back("UTF-8"); break;
        case 20127: names.push_back("ASCII"); break;
        case 20866: names.push_back("KOI8-R"); break;
        case 21866: names.push_back("KOI8-U"); break;
        case 20932: case 51932: names.push_back("EUC-JP"); break;
        case 51949: names.push_back("EUC-KR"); break;
        case 54936: names.push_back("GB18030"); break;
        case 50220: names.push_back("ISO-2022-JP"); break;
        case 52936: names.push_back("HZ"); break;
        case 10000: names.push_back("MACINTOSH"); break;
        default: break;
    }
    if (codePage >= 28591 && codePage <= 28605) names.push_back("ISO-8859-" + std::to_string(codePage - 28590));
    const std::string number = std::to_string(codePage);
    names.push_back("CP" + number);
    if (number.size() < 3) names.push_back("CP" + std::string(3 - number.size(), '0') + number);
    names.push_back("IBM" + number);
    if (codePage > 20000 && codePage < 21000) names.push_back("IBM" + std::to_string(codePage - 20000));
    return names;
}

void AppendWidenedBytes(std::string& out, ByteView bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) AppendUtf8(out, bytes.data()[i]);
}

CodePageConverter::~CodePageConverter() {
    for (const Entry& entry : entries_)
        if (entry.descriptor) iconv_close(static_cast<iconv_t>(entry.descriptor));
}

void* CodePageConverter::DescriptorFor(std::int32_t codePage) {
    for (const Entry& entry : entries_)
        if (entry.codePage == codePage) return entry.descriptor;
    void* descriptor = nullptr;
    if (codePage > 0) {
        for (const std::string& name : IconvNamesOfCodePage(codePage)) {
            iconv_t cd = iconv_open("UTF-8", name.c_str());
            if (cd != kInvalidIconv) {
                descriptor = cd;
                break;
            }
        }
    }
    entries_.push_back({codePage, descriptor});
    return descriptor;
}

bool CodePageConverter::Supports(std::int32_t codePage) { return DescriptorFor(codePage) != nullptr; }

std::string CodePageConverter::ToUtf8(std::int32_t codePage, ByteView bytes) {
    std::string out;
    if (bytes.empty()) return out;

    if (IsAsciiCompatible(codePage)) {
        bool ascii = true;
        for (std::size_t i = 0; i < bytes.size() && ascii; ++i) ascii = bytes.data()[i] < 0x80;
        if (ascii) {
            out.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            return out;
        }
    }

    void* descriptor = DescriptorFor(codePage);
    if (!descriptor) {
        AppendWidenedBytes(out, bytes);
        return out;
    }
    auto cd = static_cast<iconv_t>(descriptor);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state

    // Every input byte gives at most one code point of at most 4 UTF-8 bytes.
    std::string buffer(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    while (inLeft > 0) {
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        if (rc != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            // Cannot happen with the size above; grow anyway rather than lose text.
            std::size_t used = static_cast<std::size_t>(outPtr - buffer.data());
            buffer.resize(buffer.size() * 2);
            outPtr = buffer.data() + used;
            outLeft = buffer.size() - used;
            continue;
        }
        // EILSEQ or EINVAL: the byte at `in` starts no character of this code
        // page (or a character cut short at the end). Whatever the decoder
        // still holds goes out first, then the byte is widened and the
        // conversion goes on after it.
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        const auto bad = static_cast<unsigned char>(*in);
        if (outLeft < 2) break;  // cannot happen: the buffer keeps 4 bytes per input byte
        if (bad < 0x80) {
            *outPtr++ = static_cast<char>(bad);
            --outLeft;
        } else {
            *outPtr++ = static_cast<char>(0xC0 | (bad >> 6));
            *outPtr++ = static_cast<char>(0x80 | (bad & 0x3F));
            outLeft -= 2;
        }
        ++in;
        --inLeft;
    }
    // Flush characters a stateful decoder (1258's combining marks) still holds.
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    buffer.resize(static_cast<std::size_t>(outPtr - buffer.data()));
    return buffer;
}

}  // namespace pw
