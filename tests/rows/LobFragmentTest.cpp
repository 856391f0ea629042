// The fragment dispatcher on single fragments: small roots and data
// fragments in text, unicode, binary and sql_variant form, compaction, the
// 8192-byte fragment, short and unknown fragments, and collect mode.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forge/LobBuilder.h"
#include "forge/MemoryPageSource.h"
#include "rows/LobStructure.h"
#include "rows/RenderLobFragment.h"
#include "support/AppState.h"
#include "support/CodePage.h"

namespace {

using forge::Bytes;

struct Flags {
    bool variant = false;
    bool binary = false;
    bool unicode = false;
};

std::string Render(const Bytes& payload, Flags flags, std::int32_t codePage = 1252) {
    forge::MemoryPageSource pages;
    pw::AppState state;
    state.m_nAnsiCodePage = codePage;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    const int typeLength = static_cast<int>(payload.size()) - 10;
    return pw::RenderLobFragment(pw::ByteView(payload), pages, context, nullptr, flags.variant, flags.binary, typeLength,
                                 nullptr, false, flags.unicode);
}

Bytes Repeat(const std::string& unit, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += unit;
    return forge::TextBytes(text);
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A sql_variant value: base type, 7 more header bytes, then the value.
Bytes Variant(std::uint8_t baseType, const Bytes& value) {
    Bytes bytes = {baseType, 1, 0, 0, 0, 0, 0, 0};
    return Concat(bytes, value);
}

TEST(RenderLobFragmentTest, Table) {
    const std::string asciiWide = "The quick brown fox jumps over the lazy dog, again and again!";
    const std::string cyrillic = "Съешь же ещё этих мягких французских булок, да выпей чаю";
    const std::string mostlyAscii = "Plain text with a few words: мир and more plain text to pad it out well";
    struct Case {
        const char* name;
        Bytes payload;
        Flags flags;
        std::string expected;
    };
    const std::vector<Case> cases = {
        // Small roots.
        {"small root text", forge::SmallRootPayload(1, forge::TextBytes("hello world")), {}, "hello world"},
        {"small root text ends at a zero byte", forge::SmallRootPayload(1, forge::TextBytes(std::string("ab\0cd", 5))),
         {}, "ab"},
        {"small root binary", forge::SmallRootPayload(1, Bytes{0x00, 0x01, 0xAB, 0xFF}), {false, true, false},
         "0001ABFF"},
        {"small root of single-byte UTF-16 is compacted", forge::SmallRootPayload(1, forge::Utf16Bytes("ABCDE")), {},
         "ABCDE"},
        {"small root ntext of other characters", forge::SmallRootPayload(1, forge::Utf16Bytes("Ωμέγα")),
         {false, false, true}, "Ωμέγα"},
        {"small root binary with half zero bytes stays binary", forge::SmallRootPayload(1, Bytes{0x41, 0, 0x42, 0}),
         {false, true, false}, "41004200"},
        {"small root variant varbinary", forge::SmallRootPayload(1, Variant(165, Bytes{0xCA, 0xFE})),
         {true, false, false}, "CAFE"},
        {"small root variant binary", forge::SmallRootPayload(1, Variant(173, Bytes{0x01, 0x02})),
         {true, false, false}, "0102"},
        {"small root variant varchar", forge::SmallRootPayload(1, Variant(167, forge::TextBytes("text"))),
         {true, false, false}, "text"},
        {"small root variant without a value", forge::SmallRootPayload(1, Bytes{167, 1, 0, 0, 0, 0, 0, 0}),
         {true, false, false}, ""},
        {"small root data length 0", forge::SmallRootPayload(1, Bytes(8, 'x'), 0), {}, ""},
        {"small root data length past the record", forge::SmallRootPayload(1, Bytes(8, 'x'), 9), {}, ""},
        {"small root data length above 8192", forge::SmallRootPayload(1, Bytes(8, 'x'), 8193), {}, ""},
        // Data fragments.
        {"data text", forge::DataPayload(2, forge::TextBytes("0123456789abc")), {}, "0123456789abc"},
        {"data ANSI code page", forge::DataPayload(2, forge::TextBytes("caf\xE9 au lait")), {}, "café au lait"},
        {"data binary", forge::DataPayload(2, Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF9}), {false, true, false},
         "000102030405060708F9"},
        {"data nvarchar of ASCII is compacted, last character included",
         forge::DataPayload(2, forge::Utf16Bytes(asciiWide)), {false, false, true}, asciiWide},
        {"data nvarchar of other characters is UTF-16", forge::DataPayload(2, forge::Utf16Bytes(cyrillic)),
         {false, false, true}, cyrillic},
        {"data nvarchar short of other characters is UTF-16", forge::DataPayload(2, forge::Utf16Bytes("Привет!")),
         {false, false, true}, "Привет!"},
        {"data nvarchar mostly ASCII keeps every character", forge::DataPayload(2, forge::Utf16Bytes(mostlyAscii)),
         {false, false, true}, mostlyAscii},
        {"data nvarchar ends at a zero code unit",
         forge::DataPayload(2, Concat(forge::Utf16Bytes("stop here"), Bytes{0, 0, 'x', 0})), {false, false, true},
         "stop here"},
        {"data variant varbinary", forge::DataPayload(2, Variant(165, Bytes{0xBE, 0xEF, 0x01})),
         {true, false, false}, "BEEF01"},
        {"data variant char", forge::DataPayload(2, Variant(175, forge::TextBytes("chars"))), {true, false, false},
         "chars"},
        // Short and unknown fragments.
        {"data part below 10 bytes", forge::DataPayload(2, Bytes(9, 'x')), {}, ""},
        {"payload below 10 bytes", Bytes{1, 2, 3, 4, 5, 6, 7, 8, 3}, {}, ""},
        {"type 1", Concat(Bytes{1, 0, 0, 0, 0, 0, 0, 0, 1, 0}, Repeat("x", 20)), {}, ""},
        {"type 7", Concat(Bytes{1, 0, 0, 0, 0, 0, 0, 0, 7, 0}, Repeat("x", 20)), {}, ""},
        {"type 8", Concat(Bytes{1, 0, 0, 0, 0, 0, 0, 0, 8, 0}, Repeat("x", 20)), {}, ""},
        {"type 300", Concat(Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0x2C, 1}, Repeat("x", 20)), {}, ""},
        {"no payload", Bytes{}, {}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Render(c.payload, c.flags), c.expected) << c.name;
}

TEST(RenderLobFragmentTest, AnsiCodePageIsTheSetting) {
    const Bytes payload = forge::DataPayload(2, forge::TextBytes("\xCF\xF0\xE8\xE2\xE5\xF2 text"));
    EXPECT_EQ(Render(payload, {}, 1251), "Привет text");
    EXPECT_EQ(Render(payload, {}, 1252), "Ïðèâåò text");
}

TEST(RenderLobFragmentTest, FragmentOf8192BytesIsRenderedButNotCollected) {
    forge::MemoryPageSource pages;
    const pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    for (const std::size_t size : {std::size_t{8191}, std::size_t{8192}, std::size_t{8193}}) {
        Bytes data(size, 'q');
        data.back() = 'z';
        const Bytes payload = forge::DataPayload(3, data);
        const int typeLength = static_cast<int>(size);
        const std::string text =
            pw::RenderLobFragment(pw::ByteView(payload), pages, context, nullptr, false, false, typeLength, nullptr, false, false);
        const std::string hex =
            pw::RenderLobFragment(pw::ByteView(payload), pages, context, nullptr, false, true, typeLength, nullptr, false, false);
        pw::LobFragmentList list;
        const std::string collected =
            pw::RenderLobFragment(pw::ByteView(payload), pages, context, nullptr, false, false, typeLength, &list, true, false);
        EXPECT_EQ(collected, "") << size;
        if (size == 8193) {
            EXPECT_EQ(text, "") << size;
            EXPECT_TRUE(list.empty()) << size;
            continue;
        }
        EXPECT_EQ(text, std::string(size - 1, 'q') + "z") << size;
        EXPECT_EQ(hex.size(), 2 * size) << size;
        EXPECT_EQ(hex.substr(hex.size() - 4), "717A") << size;
        if (size == 8192) {
            EXPECT_TRUE(list.empty());
        } else {
            ASSERT_EQ(list.size(), 1u);
            EXPECT_EQ(list[0].length, 8191);
            EXPECT_EQ(list[0].bytes, data);
        }
    }
}

TEST(RenderLobFragmentTest, CollectModeTakesTheRawBytes) {
    forge::MemoryPageSource pages;
    const pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    pw::LobFragmentList list;
    const Bytes wide = forge::Utf16Bytes("<a>xml</a>");
    for (const Bytes& payload : {forge::SmallRootPayload(1, wide), forge::DataPayload(1, wide)}) {
        const int typeLength = static_cast<int>(payload.size()) - 10;
        EXPECT_EQ(pw::RenderLobFragment(pw::ByteView(payload), pages, context, nullptr, false, false, typeLength, &list,
                                        true, true),
                  "");
    }
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].bytes, wide);
    EXPECT_EQ(list[1].bytes, wide);
}

TEST(LobStructureTest, LinksAreReadOnlyInsideThePayload) {
    // A large root claiming 5 links but holding 2, and one with L of 16 or less.
    Bytes root = forge::LargeRootPayload(1, {{10, 100, 1, 0}, {20, 101, 1, 1}});
    forge::PutLE(root, 12, 5, 2);
    const pw::LargeRootYukon parsed(pw::ByteView(root), static_cast<int>(root.size()) - 10, nullptr);
    EXPECT_EQ(parsed.linkCount, 5);
    ASSERT_EQ(parsed.links.size(), 2u);
    EXPECT_EQ(parsed.links[1].page, 101u);
    EXPECT_EQ(parsed.links[1].slot, 1);
    EXPECT_EQ(parsed.links[1].offsetOrSize, 20);
    const pw::LargeRootYukon tiny(pw::ByteView(root), 16, nullptr);
    EXPECT_TRUE(tiny.links.empty());
    // The type-specific length bounds the links as well as the payload does.
    const pw::LargeRootYukon cut(pw::ByteView(root), 22, nullptr);
    EXPECT_EQ(cut.links.size(), 1u);

    Bytes node = forge::InternalPayload(1, {{0, 200, 2, 3}, {8040, 201, 2, 4}, {16080, 202, 2, 5}}, 1);
    node.resize(node.size() - 1);  // the last link is cut short
    const pw::Internal internal(pw::ByteView(node), nullptr);
    EXPECT_EQ(internal.level, 1);
    ASSERT_EQ(internal.links.size(), 2u);
    EXPECT_EQ(internal.links[1].offsetOrSize, 8040);
    EXPECT_EQ(internal.links[1].file, 2);
    EXPECT_EQ(internal.links[1].slot, 4);

    const Bytes data = forge::DataPayload(1, forge::TextBytes(std::string("abc\0def", 7)));
    const pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    const pw::LobSData fragment(pw::ByteView(data), static_cast<int>(data.size()) - 10, nullptr);
    EXPECT_EQ(fragment.LobId(), 1u);
    EXPECT_EQ(fragment.RenderAsHex(), "61626300646566");
    EXPECT_EQ(fragment.RenderAsText(context), "abc");
    const pw::LobSData tooLong(pw::ByteView(data), static_cast<int>(data.size()), nullptr);
    EXPECT_TRUE(tooLong.data.empty());
    const pw::SmallRoot root0(pw::ByteView(data), nullptr);
    EXPECT_EQ(root0.RenderAsText(context), "");
    EXPECT_EQ(root0.RenderAsHex(), "");
}

}  // namespace
