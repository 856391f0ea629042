// Text pages: fragment records, the page build, the position correction by
// the stored page number, and values read through 16-byte text pointers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forge/LobBuilder.h"
#include "forge/MemoryPageSource.h"
#include "rows/ReadTextPage.h"
#include "rows/ReadTextPointerValue.h"
#include "rows/TextRecord.h"
#include "support/AppState.h"
#include "support/CodePage.h"

namespace {

using forge::Bytes;

TEST(TextRecordParse, PayloadOnlyWhenItFitsBeforeThePageEnd) {
    struct Case {
        const char* name;
        Bytes record;
        bool payload;
        int type;
        int typeLength;
    };
    Bytes fits = forge::TextRecordBytes(forge::DataPayload(7, forge::TextBytes("abcdefghij")));
    Bytes tooLong = fits;
    forge::PutLE(tooLong, 2, fits.size() + 1, 2);  // one byte past the page end
    Bytes fourOnly = {0x08, 0x00, 0x04, 0x00, 0xAA, 0xBB};
    Bytes negative = {0x08, 0x00, 0x02, 0x00, 0xAA, 0xBB};
    Bytes shortPayload = forge::TextRecordBytes(Bytes{1, 2, 3, 4, 5});
    Bytes bareType = forge::TextRecordBytes(forge::DataPayload(9, {}));
    const std::vector<Case> cases = {
        {"data fragment", fits, true, 3, 10},
        {"fixed part past the page end", tooLong, false, pw::kNoFragmentType, 0},
        {"fixed part of 4 bytes", fourOnly, false, pw::kNoFragmentType, 0},
        {"fixed part below 4", negative, false, pw::kNoFragmentType, 0},
        {"payload below 10 bytes", shortPayload, true, pw::kNoFragmentType, 5},
        {"payload of exactly 10 bytes", bareType, true, 3, 0},
        {"header cut short", Bytes{0x08, 0x00, 0x20}, false, pw::kNoFragmentType, 0},
    };
    for (const Case& c : cases) {
        const pw::TextRecord record = pw::TextRecord::Parse(pw::ByteView(c.record));
        EXPECT_EQ(record.HasPayload(), c.payload) << c.name;
        EXPECT_EQ(record.fragmentType, c.type) << c.name;
        EXPECT_EQ(record.typeLength, c.typeLength) << c.name;
    }
    const pw::TextRecord data = pw::TextRecord::Parse(pw::ByteView(fits));
    EXPECT_EQ(data.lobId, 7u);
    EXPECT_EQ(data.Payload().size(), fits.size() - 4);
}

TEST(TextRecordParse, StatusBits) {
    Bytes record = forge::TextRecordBytes(forge::DataPayload(1, forge::TextBytes("0123456789")));
    record[0] = 0x08 | 0x10 | 0x20 | 0x40;
    record[1] = 1;
    const pw::TextRecord parsed = pw::TextRecord::Parse(pw::ByteView(record));
    EXPECT_EQ(parsed.recordType, 4);
    EXPECT_TRUE(parsed.hasNullBitmap);
    EXPECT_TRUE(parsed.hasVarColumns);
    EXPECT_TRUE(parsed.hasVersionTag);
    EXPECT_TRUE(parsed.statusBIsOne);
    EXPECT_EQ(parsed.maxLength, static_cast<int>(record.size()));
}

TEST(TextMixPageBuild, OneEntryPerSlotAndEmptyEntriesForBadOffsets) {
    forge::PageBuilder builder;
    builder.Type(3).ThisPage(1, 20);
    builder.AddRecord(forge::TextRecordBytes(forge::DataPayload(1, forge::TextBytes("first one!"))));
    builder.AddSlot(9000);  // past the page end
    builder.AddSlot(8190);  // two bytes before the end: too short for a header
    builder.AddRecord(forge::TextRecordBytes(forge::DataPayload(2, forge::TextBytes("second one"))));
    const pw::AppState state;
    const pw::TextMixPage page(builder.Build(), nullptr, nullptr, state);
    ASSERT_EQ(page.records.size(), 4u);
    ASSERT_NE(page.Record(0), nullptr);
    EXPECT_EQ(page.Record(0)->lobId, 1u);
    EXPECT_EQ(page.Record(1), nullptr);
    ASSERT_NE(page.Record(2), nullptr);
    EXPECT_FALSE(page.Record(2)->HasPayload());
    ASSERT_NE(page.Record(3), nullptr);
    EXPECT_EQ(page.Record(3)->lobId, 2u);
    EXPECT_EQ(page.Record(4), nullptr);
    EXPECT_EQ(page.Record(0)->ownerPage, &page);
    EXPECT_FALSE(page.slotArray.has_value());
}

TEST(TextMixPageBuild, StopRequestLeavesTheRecordsUnread) {
    pw::AppState state;
    state.m_bStopRequested = true;
    const pw::TextMixPage page(forge::TextPage(1, 20, {forge::TextRecordBytes(forge::DataPayload(1, Bytes(12, 'a')))}),
                               nullptr, nullptr, state);
    EXPECT_TRUE(page.records.empty());
}

// Page images that say which page they are; the record tells where it was read from.
pw::PageImage Marked(std::uint16_t file, std::uint32_t stored, std::uint8_t mark) {
    return forge::TextPage(file, stored, {forge::TextRecordBytes(forge::DataPayload(mark, Bytes(12, mark)))});
}

TEST(ReadTextPageTest, PositionCorrectedByTheStoredPageNumber) {
    struct Case {
        const char* name;
        std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint8_t>> pages;  // position, stored number, mark
        std::uint16_t storedFile;
        int expectedMark;  // -1: no page
        int fetches;
    };
    const std::vector<Case> cases = {
        {"page where it belongs", {{10, 10, 1}}, 1, 1, 1},
        {"stored number larger by 2: read from 8", {{10, 12, 1}, {8, 10, 2}}, 1, 2, 2},
        {"stored number smaller by 3: read from 13", {{10, 7, 1}, {13, 10, 2}}, 1, 2, 2},
        {"corrected position missing", {{10, 12, 1}}, 1, -1, 2},
        {"blank header says nothing", {{10, 0, 1}, {20, 10, 2}}, 1, 1, 1},
        {"header of another file says nothing", {{10, 12, 1}, {8, 10, 2}}, 3, 1, 1},
        {"no page at all", {}, 1, -1, 1},
    };
    const pw::AppState state;
    for (const Case& c : cases) {
        forge::MemoryPageSource pages;
        for (const auto& [position, stored, mark] : c.pages)
            pages.Add(1, position, Marked(c.storedFile, stored, mark));
        const auto page = pw::ReadTextPage(pages, nullptr, state, 1, 10);
        EXPECT_EQ(pages.fetches, c.fetches) << c.name;
        if (c.expectedMark < 0) {
            EXPECT_EQ(page, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(page, nullptr) << c.name;
        ASSERT_NE(page->Record(0), nullptr) << c.name;
        EXPECT_EQ(page->Record(0)->lobId, static_cast<std::uint64_t>(c.expectedMark)) << c.name;
    }
}

struct PointerFixture {
    forge::MemoryPageSource pages;
    pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    std::string Read(const Bytes& pointerBytes, pw::LobValueFlags flags, pw::LobFragmentList* list = nullptr,
                     bool collect = false) {
        const auto pointer = pw::ParseTextPointer(pw::ByteView(pointerBytes));
        if (!pointer) return "<no pointer>";
        return pw::ReadTextPointerValue(*pointer, pages, context, nullptr, flags, list, collect);
    }
};

TEST(TextPointerValue, TextNtextAndImageValues) {
    PointerFixture f;
    f.pages.Add(1, 40, forge::TextPage(1, 40, {
        forge::TextRecordBytes(forge::SmallRootPayload(1, forge::TextBytes("plain text"))),
        forge::TextRecordBytes(forge::SmallRootPayload(2, forge::Utf16Bytes("wide text"))),
        forge::TextRecordBytes(forge::SmallRootPayload(3, Bytes{0xDE, 0xAD, 0x00, 0xEF})),
        forge::TextRecordBytes(forge::SmallRootPayload(4, forge::Utf16Bytes("Привет, мир"))),
    }));
    const pw::LobValueFlags text{};
    const pw::LobValueFlags ntext{false, false, true};
    const pw::LobValueFlags image{true, false, false};
    EXPECT_EQ(f.Read(forge::TextPointerBytes(40, 1, 0), text), "plain text");
    EXPECT_EQ(f.Read(forge::TextPointerBytes(40, 1, 1), ntext), "wide text");
    EXPECT_EQ(f.Read(forge::TextPointerBytes(40, 1, 2), image), "DEAD00EF");
    EXPECT_EQ(f.Read(forge::TextPointerBytes(40, 1, 3), ntext), "Привет, мир");
    EXPECT_EQ(f.Read(Bytes(15, 0), text), "<no pointer>");
}

TEST(TextPointerValue, MissingPiecesGiveEmptyTextAndEmptyRenderingsASpace) {
    PointerFixture f;
    f.pages.Add(1, 41, forge::TextPage(1, 41, {
        Bytes{0x08, 0x00, 0x04, 0x00},                                   // no payload
        forge::TextRecordBytes(forge::SmallRootPayload(5, Bytes(4, 0x41), 0)),  // data length 0
        forge::TextRecordBytes(forge::DataPayload(6, Bytes(4, 'x'))),     // type-specific part below 10
        forge::TextRecordBytes(forge::LargeRootPayload(7, {{1, 999, 1, 0}})),  // root over a missing page
    }));
    const pw::LobValueFlags text{};
    EXPECT_EQ(f.Read(forge::TextPointerBytes(41, 1, 0), text), "");
    EXPECT_EQ(f.Read(forge::TextPointerBytes(41, 1, 1), text), " ");
    EXPECT_EQ(f.Read(forge::TextPointerBytes(41, 1, 2), text), " ");
    EXPECT_EQ(f.Read(forge::TextPointerBytes(41, 1, 3), text), " ");
    EXPECT_EQ(f.Read(forge::TextPointerBytes(41, 1, 4), text), "");   // slot beyond the slot count
    EXPECT_EQ(f.Read(forge::TextPointerBytes(42, 1, 0), text), "");   // no such page
}

TEST(TextPointerValue, LargeRootOverDataFragmentsAndCollectMode) {
    PointerFixture f;
    f.pages.Add(1, 50, forge::TextPage(1, 50, {forge::TextRecordBytes(
                                                   forge::LargeRootPayload(8, {{12, 51, 1, 0}, {12, 52, 1, 1}}))}));
    f.pages.Add(1, 51, forge::TextPage(1, 51, {forge::TextRecordBytes(forge::DataPayload(8, forge::TextBytes("first part, ")))}));
    f.pages.Add(1, 52, forge::TextPage(1, 52, {
        forge::TextRecordBytes(forge::DataPayload(9, forge::TextBytes("not this one"))),
        forge::TextRecordBytes(forge::DataPayload(8, forge::TextBytes("second part"))),
    }));
    EXPECT_EQ(f.Read(forge::TextPointerBytes(50, 1, 0), {}), "first part, second part");

    pw::LobFragmentList list;
    EXPECT_EQ(f.Read(forge::TextPointerBytes(50, 1, 0), {}, &list, true), " ");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].length, 12);
    const Bytes joined = pw::JoinLobFragments(list);
    EXPECT_EQ(std::string(joined.begin(), joined.end()), "first part, second part");
}

}  // namespace
