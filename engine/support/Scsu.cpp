#include "support/Scsu.h"

#include <array>

#include "support/Utf.h"

namespace pw {

namespace {

// Tags of single-byte mode.
constexpr std::uint8_t kSQ0 = 0x01;   // 0x01..0x08: quote one byte from window n
constexpr std::uint8_t kSDX = 0x0B;   // define an extended (supplementary) window
constexpr std::uint8_t kSQU = 0x0E;   // quote one UTF-16 code unit
constexpr std::uint8_t kSCU = 0x0F;   // change to Unicode mode
constexpr std::uint8_t kSC0 = 0x10;   // 0x10..0x17: change to dynamic window n
constexpr std::uint8_t kSD0 = 0x18;   // 0x18..0x1F: define dynamic window n and change to it

// Tags of Unicode mode.
constexpr std::uint8_t kUC0 = 0xE0;   // 0xE0..0xE7: change to window n, back to single-byte mode
constexpr std::uint8_t kUD0 = 0xE8;   // 0xE8..0xEF: define window n, back to single-byte mode
constexpr std::uint8_t kUQU = 0xF0;   // quote one code unit whose high byte is a tag
constexpr std::uint8_t kUDX = 0xF1;   // define an extended window, back to single-byte mode
constexpr std::uint8_t kUR2 = 0xF2;   // reserved

// Static windows, reached only through the quote tags with bytes 0x00..0x7F.
constexpr std::array<std::uint32_t, 8> kStaticWindows = {
    0x0000,  // quoting of control characters and tags
    0x0080,  // Latin-1 Supplement
    0x0100,  // Latin Extended-A
    0x0300,  // Combining Diacritical Marks
    0x2000,  // General Punctuation
    0x2080,  // Currency Symbols
    0x2100,  // Letterlike Symbols and Number Forms
    0x3000,  // CJK Symbols and Punctuation
};

// Initial positions of the eight dynamic windows.
constexpr std::array<std::uint32_t, 8> kInitialDynamicWindows = {
    0x0080,  // Latin-1 Supplement
    0x00C0,  // Latin-1 letters and Latin Extended-A
    0x0400,  // Cyrillic
    0x0600,  // Arabic
    0x0900,  // Devanagari
    0x3040,  // Hiragana
    0x30A0,  // Katakana
    0xFF00,  // Fullwidth ASCII
};

constexpr std::uint32_t kInvalidOffset = 0xFFFFFFFF;

// The window offset table of the define tags: the start of the window that
// index x selects, or kInvalidOffset for the reserved indexes.
std::uint32_t WindowOffset(std::uint8_t x) {
    if (x == 0) return kInvalidOffset;
    if (x < 0x68) return static_cast<std::uint32_t>(x) * 0x80;            // U+0080..U+3380
    if (x < 0xA8) return static_cast<std::uint32_t>(x) * 0x80 + 0xAC00;   // U+E000..U+FF80
    switch (x) {
    case 0xF9: return 0x00C0;  // Latin-1 letters and Latin Extended-A
    case 0xFA: return 0x0250;  // IPA Extensions
    case 0xFB: return 0x0370;  // Greek
    case 0xFC: return 0x0530;  // Armenian
    case 0xFD: return 0x3040;  // Hiragana
    case 0xFE: return 0x30A0;  // Katakana
    case 0xFF: return 0xFF60;  // Halfwidth Katakana
    default: return kInvalidOffset;  // 0xA8..0xF8 reserved
    }
}

// Collects UTF-16 code units and whole code points, pairing surrogates.
template <typename Sink>
class CodePointAssembler {
public:
    explicit CodePointAssembler(Sink& sink) : sink_(sink) {}

    void Unit(std::uint32_t unit) {
        if (unit >= 0xDC00 && unit <= 0xDFFF && pendingHigh_ != 0) {
            const std::uint32_t cp = 0x10000 + ((pendingHigh_ - 0xD800) << 10) + (unit - 0xDC00);
            pendingHigh_ = 0;
            Emit(cp);
            return;
        }
        Flush();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            pendingHigh_ = unit;
            return;
        }
        Emit(unit);
    }

    // A code point from a window (may be supplementary already).
    void CodePoint(std::uint32_t cp) {
        if (cp < 0x10000) {
            Unit(cp);
            return;
        }
        Flush();
        Emit(cp);
    }

    void Flush() {
        if (pendingHigh_ != 0) {
            pendingHigh_ = 0;
            Emit(0xFFFD);
        }
    }

private:
    void Emit(std::uint32_t cp) {
        if (cp > 0x10FFFF) return;                  // beyond Unicode: dropped
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // unpaired surrogate
        sink_(cp);
    }

    Sink& sink_;
    std::uint32_t pendingHigh_ = 0;
};

template <typename Sink>
void DecodeScsu(ByteView in, Sink& sink) {
    CodePointAssembler<Sink> out(sink);
    std::array<std::uint32_t, 8> dynamic = kInitialDynamicWindows;
    std::size_t active = 0;
    bool unicodeMode = false;
    std::size_t i = 0;
    const std::size_t n = in.size();

    auto defineExtended = [&](std::size_t at) -> bool {
        if (!in.Has(at, 2)) return false;
        const std::uint8_t high = in.U8(at);
        const std::uint8_t low = in.U8(at + 1);
        const std::size_t window = high >> 5;
        dynamic[window] = 0x10000 + ((static_cast<std::uint32_t>(high & 0x1F) << 8) | low) * 0x80;
        active = window;
        return true;
    };

    while (i < n) {
        const std::uint8_t b = in.U8(i);
        if (!unicodeMode) {
            if (b >= 0x80) {
                out.CodePoint(dynamic[active] + (b - 0x80u));
                ++i;
            } else if (b >= 0x20 || b == 0x00 || b == 0x09 || b == 0x0A || b == 0x0D) {
                out.CodePoint(b);
                ++i;
            } else if (b >= kSQ0 && b <= kSQ0 + 7) {
                if (!in.Has(i + 1, 1)) break;
                const std::uint8_t c = in.U8(i + 1);
                const std::size_t window = static_cast<std::size_t>(b - kSQ0);
                if (c < 0x80) out.CodePoint(kStaticWindows[window] + c);
                else out.CodePoint(dynamic[window] + (c - 0x80u));
                i += 2;
            } else if (b >= kSC0 && b <= kSC0 + 7) {
                active = static_cast<std::size_t>(b - kSC0);
                ++i;
            } else if (b >= kSD0 && b <= kSD0 + 7) {
                if (!in.Has(i + 1, 1)) break;
                const std::uint32_t offset = WindowOffset(in.U8(i + 1));
                if (offset != kInvalidOffset) {
                    const std::size_t window = static_cast<std::size_t>(b - kSD0);
                    dynamic[window] = offset;
                    active = window;
                }
                i += 2;
            } else if (b == kSDX) {
                if (!defineExtended(i + 1)) break;
                i += 3;
            } else if (b == kSQU) {
                if (!in.Has(i + 1, 2)) break;
                out.Unit(static_cast<std::uint32_t>(in.U8(i + 1)) << 8 | in.U8(i + 2));
                i += 3;
            } else if (b == kSCU) {
                unicodeMode = true;
                ++i;
            } else {
                ++i;  // 0x0C: reserved tag, skipped
            }
        } else {
            if (b >= kUC0 && b <= kUC0 + 7) {
                active = static_cast<std::size_t>(b - kUC0);
                unicodeMode = false;
                ++i;
            } else if (b >= kUD0 && b <= kUD0 + 7) {
                if (!in.Has(i + 1, 1)) break;
                const std::uint32_t offset = WindowOffset(in.U8(i + 1));
                if (offset != kInvalidOffset) {
                    const std::size_t window = static_cast<std::size_t>(b - kUD0);
                    dynamic[window] = offset;
                    active = window;
                }
                unicodeMode = false;
                i += 2;
            } else if (b == kUQU) {
                if (!in.Has(i + 1, 2)) break;
                out.Unit(static_cast<std::uint32_t>(in.U8(i + 1)) << 8 | in.U8(i + 2));
                i += 3;
            } else if (b == kUDX) {
                if (!defineExtended(i + 1)) break;
                unicodeMode = false;
                i += 3;
            } else if (b == kUR2) {
                ++i;  // reserved tag, skipped
            } else {
                if (!in.Has(i, 2)) break;  // a lone trailing byte ends the value
                out.Unit(static_cast<std::uint32_t>(b) << 8 | in.U8(i + 1));
                i += 2;
            }
        }
    }
    out.Flush();
}

}  // namespace

std::string ScsuToUtf8(ByteView bytes) {
    std::string text;
    auto sink = [&text](std::uint32_t cp) { AppendUtf8(text, cp); };
    DecodeScsu(bytes, sink);
    return text;
}

std::string ScsuToUtf16Le(ByteView bytes) {
    std::string text;
    auto unit = [&text](std::uint32_t u) {
        text.push_back(static_cast<char>(u & 0xFF));
        text.push_back(static_cast<char>((u >> 8) & 0xFF));
    };
    auto sink = [&unit](std::uint32_t cp) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
    };
    DecodeScsu(bytes, sink);
    return text;
}

}  // namespace pw
