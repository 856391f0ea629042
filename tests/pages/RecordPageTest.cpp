// The page walk: slot array, header sanity rules, empty entries, ghost-only
// pages, the one-slot build and forwarding stubs.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "forge/MemoryPageSource.h"
#include "forge/RecordBuilder.h"
#include "pages/DataPage.h"
#include "support/AppState.h"

namespace {

using forge::Bytes;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Row(std::uint8_t tag, int type = 0) {
    return forge::RecordBuilder().Type(type).Fixed({tag, tag, tag, tag}).Columns(2).Var(Text("row")).Build();
}

// Which entries of the page are records (true) and which are empty (false).
std::vector<bool> Shape(const pw::PrimaryRecordPage& page) {
    std::vector<bool> shape;
    for (std::size_t i = 0; i < page.records.size(); ++i) shape.push_back(page.Record(i) != nullptr);
    return shape;
}

TEST(RecordPageWalk, SlotCountsWithoutASlotArray) {
    for (int count : {0, -1, 4000, 4001}) {
        pw::PageImage image = forge::PageBuilder().Type(1).Build();
        forge::PutLE(image, 22, static_cast<std::uint16_t>(count), 2);
        const pw::AppState state;
        const pw::CDataPage page(std::move(image), nullptr, nullptr, state);
        EXPECT_TRUE(page.records.empty()) << count;
        EXPECT_FALSE(page.slotArray.has_value()) << count;
    }
}

TEST(RecordPageWalk, ZeroSlotGivesAnEmptyEntryBetweenRecords) {
    forge::PageBuilder builder;
    builder.Type(1);
    builder.AddRecord(Row(1));
    builder.AddSlot(0);
    builder.AddRecord(Row(3));
    const pw::AppState state;
    const pw::CDataPage page(builder.Build(), nullptr, nullptr, state);
    EXPECT_EQ(Shape(page), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(page.Record(2)->fixedData, (Bytes{3, 3, 3, 3}));
    EXPECT_FALSE(page.slotArray.has_value());  // dropped after the walk
    EXPECT_TRUE(page.tableRows.empty());
    EXPECT_TRUE(page.moduleRows.empty());
}

TEST(RecordPageWalk, SlotOffsetsOutsideTheBodyGiveEmptyEntries) {
    forge::PageBuilder builder;
    builder.Type(1);
    builder.AddSlot(50).AddSlot(95);
    builder.AddRecord(Row(1));
    builder.AddSlot(8193).AddSlot(0xFFFF);
    const pw::AppState state;
    const pw::CDataPage page(builder.Build(), nullptr, nullptr, state);
    EXPECT_EQ(Shape(page), (std::vector<bool>{false, false, true, false, false}));
}

TEST(RecordPageWalk, NonLeafIndexPageHasOnlyEmptyEntries) {
    forge::PageBuilder builder;
    builder.Type(2).Level(1);
    builder.AddRecord(Row(1));
    builder.AddRecord(Row(2));
    const pw::AppState state;
    const pw::PrimaryRecordPage page(builder.Build(), nullptr, nullptr, state);
    EXPECT_EQ(Shape(page), (std::vector<bool>{false, false}));

    forge::PageBuilder leaf;
    leaf.Type(2).Level(0);
    leaf.AddRecord(Row(1));
    const pw::PrimaryRecordPage leafPage(leaf.Build(), nullptr, nullptr, state);
    EXPECT_EQ(Shape(leafPage), (std::vector<bool>{true}));
}

TEST(RecordPageWalk, GhostOnlyPage) {
    forge::PageBuilder builder;
    builder.Type(1);
    for (std::uint8_t i = 0; i < 5; ++i) builder.AddRecord(Row(i, 6));
    builder.GhostRecords(5);
    const pw::PageImage image = builder.Build();

    pw::AppState hidden;
    const pw::CDataPage hiddenPage(image, nullptr, nullptr, hidden);
    EXPECT_EQ(Shape(hiddenPage), std::vector<bool>(5, false));

    pw::AppState shown;
    shown.m_bShowDeleted = true;
    const pw::CDataPage shownPage(image, nullptr, nullptr, shown);
    ASSERT_EQ(Shape(shownPage), std::vector<bool>(5, true));
    for (std::size_t i = 0; i < 5; ++i) {
        const pw::CPrimaryRecord* record = shownPage.Record(i);
        EXPECT_FALSE(record->isInvalid);
        EXPECT_FALSE(record->isDeleted);
        EXPECT_EQ(record->recordType, 6);
        EXPECT_EQ(record->fixedData, Bytes(4, static_cast<std::uint8_t>(i)));
        EXPECT_TRUE(pw::IsListableRecord(record, shown));
    }
}

TEST(RecordPageWalk, GhostAmongLivingRecordsCarriesTheDeletedMark) {
    forge::PageBuilder builder;
    builder.Type(1);
    builder.AddRecord(Row(1));
    builder.AddRecord(Row(2, 6));
    builder.GhostRecords(1);
    const pw::AppState state;
    const pw::CDataPage page(builder.Build(), nullptr, nullptr, state);
    ASSERT_EQ(Shape(page), (std::vector<bool>{true, true}));
    EXPECT_TRUE(pw::IsListableRecord(page.Record(0), state));
    EXPECT_TRUE(page.Record(1)->isInvalid);
    EXPECT_TRUE(page.Record(1)->isDeleted);
    EXPECT_FALSE(pw::IsListableRecord(page.Record(1), state));
}

TEST(RecordPageWalk, DamagedHeaderFieldsLeaveThePageWithoutRecords) {
    struct Case {
        const char* name;
        std::size_t offset;
        std::uint64_t value;
        std::size_t width;
    };
    const std::vector<Case> cases = {
        {"ghost record count", 58, 0xFFFF, 2},     {"free count", 28, 0x8000, 2},
        {"next page number", 16, 0x80000000, 4},   {"next page file", 20, 0x8001, 2},
        {"previous page number", 8, 0xFFFFFFFF, 4}, {"previous page file", 12, 0xFFFF, 2},
        {"own page number", 32, 0x80000000, 4},    {"own file id", 36, 0x8000, 2},
    };
    for (const Case& c : cases) {
        forge::PageBuilder builder;
        builder.Type(1);
        builder.AddRecord(Row(1));
        builder.Put(c.offset, c.value, c.width);
        const pw::AppState state;
        const pw::CDataPage page(builder.Build(), nullptr, nullptr, state);
        EXPECT_TRUE(page.records.empty()) << c.name;
    }
}

TEST(RecordPageWalk, StopRequestBeforeTheSlotArrayLeavesNoRecords) {
    forge::PageBuilder builder;
    builder.Type(1);
    builder.AddRecord(Row(1));
    pw::AppState state;
    state.m_bStopRequested = true;
    const pw::CDataPage page(builder.Build(), nullptr, nullptr, state);
    EXPECT_TRUE(page.records.empty());
}

TEST(RecordPageWalk, CompressedRecordsAreReadWithTheCompressedRules) {
    forge::PageBuilder builder;
    builder.Type(1);
    builder.AddRecord(forge::CompressedRecordBuilder().Short({0x85}).Column(0).Long(Text("abc")).Build());
    const pw::AppState state;
    const pw::CDataPage page(builder.Build(), nullptr, nullptr, state);
    ASSERT_NE(page.Record(0), nullptr);
    EXPECT_TRUE(page.Record(0)->isCompressed);
    EXPECT_EQ(page.Record(0)->descriptorCodes, (std::vector<std::uint8_t>{2, 0, 10}));
    ASSERT_EQ(page.Record(0)->varValues.size(), 1u);
    EXPECT_EQ(page.Record(0)->varValues[0].data, Text("abc"));
}

// --- one-slot build ---

TEST(OneSlotBuild, TakesOnlyTheRequestedSlot) {
    forge::PageBuilder builder;
    builder.Type(1);
    builder.AddRecord(Row(1));
    builder.AddRecord(Row(2));
    builder.AddSlot(8100);
    builder.AddSlot(50);
    const pw::PageImage image = builder.Build();
    const pw::AppState state;

    struct Case {
        int slot;
        std::vector<bool> shape;
    };
    for (const Case& c : {Case{0, {true}}, Case{1, {true}}, Case{2, {false}}, Case{3, {false}}, Case{4, {}},
                          Case{-1, {}}}) {
        const pw::PrimaryRecordPage page(image, nullptr, nullptr, state, pw::OneSlot{c.slot});
        EXPECT_EQ(Shape(page), c.shape) << "slot " << c.slot;
    }
    const pw::PrimaryRecordPage second(image, nullptr, nullptr, state, pw::OneSlot{1});
    EXPECT_EQ(second.Record(0)->fixedData, (Bytes{2, 2, 2, 2}));
}

TEST(OneSlotBuild, PageWithoutSlotArrayGivesOneEmptyEntry) {
    const pw::AppState state;
    const pw::PrimaryRecordPage page(forge::PageBuilder().Type(1).Build(), nullptr, nullptr, state, pw::OneSlot{0});
    EXPECT_EQ(Shape(page), (std::vector<bool>{false}));
}

// --- forwarding stubs ---

struct StubFixture {
    StubFixture() {
        forge::PageBuilder target;
        target.Type(1).ThisPage(1, 7);
        target.AddRecord(Row(9));
        forwarded = forge::RecordBuilder().Type(1).Fixed({5, 6, 7}).Columns(3).Var(Text("moved")).Var(Text("!")).Build();
        target.AddRecord(forwarded);
        pages.Add(1, 7, target.Build());
    }
    pw::PageImage StubPage(const Bytes& stub) const {
        forge::PageBuilder builder;
        builder.Type(1).ThisPage(1, 3);
        builder.AddRecord(stub);
        return builder.Build();
    }
    Bytes forwarded;
    forge::MemoryPageSource pages;
    pw::AppState state;
};

TEST(ForwardingStub, FollowedToTheForwardedRecord) {
    StubFixture f;
    const pw::CDataPage page(f.StubPage(forge::ForwardingStub(1, 7, 1)), nullptr, &f.pages, f.state);
    const pw::CPrimaryRecord* record = page.Record(0);
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->isInvalid);
    EXPECT_EQ(record->recordType, 2);  // still the stub by type
    EXPECT_EQ(record->fixedLength, 3);
    EXPECT_EQ(record->fixedData, (Bytes{5, 6, 7}));
    EXPECT_EQ(record->columnCount, 3);
    ASSERT_EQ(record->varValues.size(), 2u);
    EXPECT_EQ(record->varValues[0].data, Text("moved"));
    EXPECT_EQ(record->varValues[1].data, Text("!"));
    EXPECT_EQ(record->recordImage, f.forwarded);
    EXPECT_EQ(record->ownerPage, &page);
    EXPECT_EQ(f.pages.fetches, 1);
}

TEST(ForwardingStub, UnreadableTargetsLeaveTheStubUnfollowed) {
    struct Case {
        const char* name;
        Bytes stub;
        bool withSource;
    };
    const std::vector<Case> cases = {
        {"page outside the files", forge::ForwardingStub(1, 99999, 0), true},
        {"unknown file", forge::ForwardingStub(4, 7, 1), true},
        {"slot beyond the slot count", forge::ForwardingStub(1, 7, 2), true},
        {"no page source", forge::ForwardingStub(1, 7, 1), false},
        {"stub cut short by the page end", Bytes{0x04, 0x07, 0x00}, true},
    };
    for (const Case& c : cases) {
        StubFixture f;
        pw::PageImage image = f.StubPage(c.stub);
        if (c.stub.size() < 9) {
            // Move the short stub to the very end of the body so its pointer runs off the page.
            const std::uint16_t at = static_cast<std::uint16_t>(pw::kPageSize - 2 - c.stub.size());
            forge::PlaceBytes(image, at, c.stub);
            forge::SetSlots(image, {at});
        }
        const pw::CDataPage page(std::move(image), nullptr, c.withSource ? &f.pages : nullptr, f.state);
        const pw::CPrimaryRecord* record = page.Record(0);
        ASSERT_NE(record, nullptr) << c.name;
        EXPECT_EQ(record->fixedLength, pw::kForwardNotFollowed) << c.name;
        EXPECT_EQ(record->columnCount, 0) << c.name;
        EXPECT_TRUE(record->varValues.empty()) << c.name;
        EXPECT_TRUE(record->recordImage.empty()) << c.name;
    }
}

TEST(ForwardingStub, StubPointingAtAStubIsNotFollowedFurther) {
    // Page 5 slot 0 is a stub to itself: following must stop after one fetch.
    forge::MemoryPageSource pages;
    forge::PageBuilder loop;
    loop.Type(1).ThisPage(1, 5);
    loop.AddRecord(forge::ForwardingStub(1, 5, 0));
    pages.Add(1, 5, loop.Build());
    const pw::AppState state;
    const pw::CDataPage page(loop.Build(), nullptr, &pages, state);
    ASSERT_NE(page.Record(0), nullptr);
    EXPECT_EQ(page.Record(0)->fixedLength, pw::kForwardNotFollowed);
    EXPECT_EQ(pages.fetches, 1);
}

}  // namespace
