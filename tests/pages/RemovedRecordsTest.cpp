// Recovery of deleted records whose slot is gone but whose bytes remain.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forge/RecordBuilder.h"
#include "pages/DataPage.h"
#include "support/AppState.h"

namespace {

using forge::Bytes;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Both deleted-record options on, as the scan needs them.
struct AdvancedDeleted : pw::AppState {
    AdvancedDeleted() {
        m_bShowDeleted = true;
        m_bShowAdvancedDeleted = true;
    }
};

// A row of a table whose fixed part is 128 bytes: it starts 30 00 84 00 (or 3C 00 84 00 as a ghost).
Bytes WideRow(std::uint8_t tag, int type) {
    return forge::RecordBuilder().Type(type).Fixed(Bytes(128, tag)).Columns(3).Var(Text("wide")).Build();
}

TEST(RemovedRecords, RecordFoundAfterTheWellKnownPattern) {
    pw::PageImage image = forge::PageBuilder().Type(1).Build();
    const Bytes first = forge::RecordBuilder().Fixed({1, 1}).Columns(1).Build();
    const Bytes second = forge::RecordBuilder().Fixed({2, 2, 2}).Columns(1).Build();
    const Bytes removed = WideRow(0x33, 6);
    ASSERT_EQ(removed[0], 0x3C);
    forge::PlaceBytes(image, 96, first);
    forge::PlaceBytes(image, 200, second);
    forge::PlaceBytes(image, 400, removed);
    forge::SetSlots(image, {96, 200});

    const AdvancedDeleted state;
    const pw::CDataPage page(std::move(image), nullptr, nullptr, state);
    ASSERT_EQ(page.records.size(), 3u);
    EXPECT_EQ(page.Header().slotCount, 3);
    EXPECT_EQ(page.recordStarts, (std::vector<std::uint16_t>{96, 200, 400}));
    EXPECT_EQ(page.Record(0)->fixedData, (Bytes{1, 1}));
    EXPECT_EQ(page.Record(1)->fixedData, (Bytes{2, 2, 2}));
    const pw::CPrimaryRecord* found = page.Record(2);
    ASSERT_NE(found, nullptr);
    EXPECT_FALSE(found->isInvalid);
    EXPECT_EQ(found->recordType, 6);
    EXPECT_EQ(found->fixedData, Bytes(128, 0x33));
    ASSERT_EQ(found->varValues.size(), 1u);
    EXPECT_EQ(found->varValues[0].data, Text("wide"));
}

TEST(RemovedRecords, OnlyWithBothDeletedRecordOptions) {
    for (const auto& [showDeleted, showAdvanced] : {std::pair{false, false}, std::pair{true, false}, std::pair{false, true}}) {
        pw::PageImage image = forge::PageBuilder().Type(1).Build();
        forge::PlaceBytes(image, 96, forge::RecordBuilder().Fixed({1, 1}).Columns(1).Build());
        forge::PlaceBytes(image, 400, WideRow(0x33, 0));
        forge::SetSlots(image, {96});
        pw::AppState state;
        state.m_bShowDeleted = showDeleted;
        state.m_bShowAdvancedDeleted = showAdvanced;
        const pw::CDataPage page(std::move(image), nullptr, nullptr, state);
        EXPECT_EQ(page.records.size(), 1u) << showDeleted << showAdvanced;
        EXPECT_EQ(page.Header().slotCount, 1);
        EXPECT_TRUE(page.recordStarts.empty());
    }
}

// An ordinary table: an int, a date and a smallint make a 12-byte fixed part,
// so its rows start with status bytes and the fixed-part end 0x0010 — the
// page header's minimum record length.
struct OrdinaryTableCase {
    const char* name;
    int type;
    bool withVarColumns;
    std::uint8_t expectedStatusA;
};

void PrintTo(const OrdinaryTableCase& c, std::ostream* os) { *os << c.name; }

class RemovedOrdinaryRecords : public ::testing::TestWithParam<OrdinaryTableCase> {};

Bytes OrdinaryRow(std::uint8_t tag, int type, bool withVarColumns) {
    forge::RecordBuilder builder;
    builder.Type(type).Fixed(Bytes(12, tag)).Columns(4);
    if (withVarColumns) builder.Var(Text("name-" + std::string(1, static_cast<char>(tag))));
    return builder.Build();
}

TEST_P(RemovedOrdinaryRecords, ComeBackWithThePagesOwnFixedPartEnd) {
    const OrdinaryTableCase& c = GetParam();
    const Bytes live = OrdinaryRow(0x11, 0, true);
    const Bytes removed = OrdinaryRow(0x22, c.type, c.withVarColumns);
    ASSERT_EQ(removed[0], c.expectedStatusA);
    ASSERT_EQ(removed[2], 0x10);

    const auto build = [&](std::uint16_t minRecordLength) {
        pw::PageImage image = forge::PageBuilder().Type(1).Put(14, minRecordLength, 2).Build();
        forge::PlaceBytes(image, 96, live);
        // A stretch of zeros (the compacted gap) separates the live row from the removed one.
        forge::PlaceBytes(image, 700, removed);
        forge::PlaceBytes(image, 1000, live);
        forge::SetSlots(image, {96, 1000});
        return image;
    };

    const AdvancedDeleted state;
    const pw::CDataPage page(build(16), nullptr, nullptr, state);
    ASSERT_EQ(page.records.size(), 3u) << c.name;
    EXPECT_EQ(page.Header().slotCount, 3);
    EXPECT_EQ(page.recordStarts, (std::vector<std::uint16_t>{96, 1000, 700}));
    const pw::CPrimaryRecord* found = page.Record(2);
    ASSERT_NE(found, nullptr);
    EXPECT_FALSE(found->isInvalid);
    EXPECT_EQ(found->recordType, c.type);
    EXPECT_EQ(found->fixedData, Bytes(12, 0x22));
    EXPECT_EQ(found->recordImage, removed);
    EXPECT_TRUE(pw::IsListableRecord(found, state));

    // The fixed-end 0x84 patterns alone never find it.
    const pw::CDataPage without(build(0), nullptr, nullptr, state);
    EXPECT_EQ(without.records.size(), 2u) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Statuses, RemovedOrdinaryRecords,
                         ::testing::Values(OrdinaryTableCase{"row with variable columns", 0, true, 0x30},
                                           OrdinaryTableCase{"row without variable columns", 0, false, 0x10},
                                           OrdinaryTableCase{"ghost with variable columns", 6, true, 0x3C},
                                           OrdinaryTableCase{"ghost without variable columns", 6, false, 0x1C}),
                         [](const ::testing::TestParamInfo<OrdinaryTableCase>& param) { return "case" + std::to_string(param.index); });

TEST(RemovedRecords, RecordDirectlyAfterALiveOneIsFoundByItsLength) {
    const Bytes live = OrdinaryRow(0x11, 0, true);
    const Bytes removed = OrdinaryRow(0x22, 0, true);
    pw::PageImage image = forge::PageBuilder().Type(1).Put(14, 16, 2).Build();
    forge::PlaceBytes(image, 96, live);
    forge::PlaceBytes(image, 96 + live.size(), removed);
    forge::SetSlots(image, {96});
    const AdvancedDeleted state;
    const pw::CDataPage page(std::move(image), nullptr, nullptr, state);
    ASSERT_EQ(page.records.size(), 2u);
    EXPECT_EQ(page.recordStarts[1], 96 + live.size());
    EXPECT_EQ(page.Record(1)->fixedData, Bytes(12, 0x22));
}

TEST(RemovedRecords, LiveRecordsAreNotListedTwice) {
    forge::PageBuilder builder;
    builder.Type(1).Put(14, 16, 2);
    for (std::uint8_t i = 0; i < 6; ++i) builder.AddRecord(OrdinaryRow(i, 0, true));
    const AdvancedDeleted state;
    const pw::CDataPage page(builder.Build(), nullptr, nullptr, state);
    EXPECT_EQ(page.records.size(), 6u);
    EXPECT_EQ(page.Header().slotCount, 6);
}

TEST(RemovedRecords, RecordRunningPastThePageEndIsCutAtThePageEnd) {
    // The probe measures the record against the largest row size and accepts
    // it; the walk then parses it with the room the page leaves, and its
    // variable value, which would end beyond the page, stays empty.
    pw::PageImage image = forge::PageBuilder().Type(1).Put(14, 16, 2).Build();
    forge::PlaceBytes(image, 96, OrdinaryRow(1, 0, true));
    const Bytes tail = forge::RecordBuilder().Fixed(Bytes(12, 2)).Columns(4).Var(Bytes(30, 'x')).Build();
    const std::size_t at = 8150;
    forge::PlaceBytes(image, at, tail);
    forge::SetSlots(image, {96});
    const AdvancedDeleted state;
    const pw::CDataPage page(std::move(image), nullptr, nullptr, state);
    ASSERT_EQ(page.records.size(), 2u);
    EXPECT_EQ(page.recordStarts[1], at);
    const pw::CPrimaryRecord* cut = page.Record(1);
    ASSERT_NE(cut, nullptr);
    EXPECT_FALSE(cut->isInvalid);
    EXPECT_EQ(cut->fixedData, Bytes(12, 2));
    ASSERT_EQ(cut->varValues.size(), 1u);
    EXPECT_TRUE(cut->varValues[0].data.empty());
    EXPECT_EQ(cut->recordLength, 23);
    EXPECT_EQ(cut->recordImage, Bytes(tail.begin(), tail.begin() + 23));
}

TEST(RecordStartPattern, AcceptedStatusBytesAndFixedEnds) {
    struct Case {
        Bytes bytes;
        std::uint16_t pageFixedEnd;
        bool match;
    };
    const std::vector<Case> cases = {
        {{0x30, 0x00, 0x84, 0x00}, 0, true},    {{0x3C, 0x00, 0x84, 0x00}, 0, true},
        {{0x10, 0x00, 0x84, 0x00}, 0, false},   {{0x10, 0x00, 0x84, 0x00}, 0x84, true},
        {{0x30, 0x01, 0x84, 0x00}, 0, false},   {{0x30, 0x00, 0x10, 0x00}, 0x10, true},
        {{0x10, 0x00, 0x10, 0x00}, 0x10, true}, {{0x1C, 0x00, 0x10, 0x00}, 0x10, true},
        {{0x3C, 0x00, 0x10, 0x00}, 0x10, true}, {{0x32, 0x00, 0x10, 0x00}, 0x10, false},
        {{0x30, 0x00, 0x10, 0x00}, 0x11, false}, {{0x30, 0x00, 0x00, 0x00}, 0, false},
        {{0x30, 0x00, 0x02, 0x00}, 2, false},
    };
    for (const Case& c : cases) {
        const pw::ByteView view(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(pw::IsRecordStartPattern(view, 0, c.pageFixedEnd), c.match)
            << std::hex << int(c.bytes[0]) << " " << int(c.bytes[2]) << " page " << c.pageFixedEnd;
        EXPECT_FALSE(pw::IsRecordStartPattern(view, 1, c.pageFixedEnd));  // only three bytes left
    }
}

}  // namespace
