// Damaged, truncated and random records: nothing is ever read from outside
// the bytes the record was given (the sanitizer build checks the reads; the
// assertions check that no copied piece is longer than the room it came from).

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "forge/MemoryPageSource.h"
#include "forge/RecordBuilder.h"
#include "pages/DataPage.h"
#include "support/AppState.h"

namespace {

using forge::Bytes;

// Every piece of `record` lies inside `room` bytes; the whole-record copy is a prefix of `input`.
void ExpectInsideRoom(const pw::CRecord& record, const Bytes& input, std::size_t room, const std::string& where) {
    EXPECT_LE(record.fixedData.size(), room) << where;
    EXPECT_LE(record.nullBitmap.size(), room) << where;
    EXPECT_LE(record.recordImage.size(), room) << where;
    std::size_t varBytes = 0;
    for (const pw::VarValue& value : record.varValues) {
        EXPECT_EQ(value.data.size(), static_cast<std::size_t>(value.length)) << where;
        varBytes += value.data.size();
    }
    EXPECT_LE(varBytes, room) << where;
    for (const pw::SparseEntry& entry : record.sparseVector) EXPECT_LE(entry.data.size(), room) << where;
    if (!record.recordImage.empty()) {
        ASSERT_LE(record.recordImage.size(), input.size()) << where;
        EXPECT_TRUE(std::equal(record.recordImage.begin(), record.recordImage.end(), input.begin())) << where;
    }
}

// Parses the first `room` bytes of `bytes` from a buffer of exactly that size.
pw::CPrimaryRecord ParseCut(const Bytes& bytes, std::size_t room, int maxLength, const pw::AppState& state) {
    const Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(room));
    return pw::CPrimaryRecord(pw::ByteView(cut.data(), cut.size()), nullptr, maxLength, state);
}

TEST(RecordBounds, PiecesThatWouldLieBeyondThePageEnd) {
    struct Case {
        const char* name;
        Bytes bytes;
        bool invalid;
        int fixedLength;
        int recordLength;
    };
    const std::vector<Case> cases = {
        {"column count past the end", {0x10, 0x00, 0x06, 0x00, 0x01, 0x02}, true, 2, 0},
        {"column count half past the end", {0x10, 0x00, 0x06, 0x00, 0x01, 0x02, 0x01}, true, 2, 0},
        {"null bitmap past the end", {0x10, 0x00, 0x06, 0x00, 0x01, 0x02, 0x10, 0x00, 0x00}, true, 2, 0},
        {"fixed part past the end is not taken", {0x10, 0x00, 0x20, 0x00, 0x01, 0x00, 0x00}, false, 0, 7},
        {"variable offsets past the end read as 0", {0x30, 0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00}, false,
         0, 11},
        {"variable value past the end stays empty",
         {0x30, 0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00, 'a'}, false, 0, 11},
        {"compressed null bitmap past the end", {0x11, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, true, 0,
         0},
        {"compressed short data past the end", {0x01, 0x02, 0x99, 0x01}, false, 0, 3},
    };
    const pw::AppState state;
    for (const Case& c : cases) {
        const pw::CPrimaryRecord record = ParseCut(c.bytes, c.bytes.size(), static_cast<int>(c.bytes.size()), state);
        EXPECT_EQ(record.isInvalid, c.invalid) << c.name;
        EXPECT_EQ(record.fixedLength, c.fixedLength) << c.name;
        EXPECT_EQ(record.recordLength, c.recordLength) << c.name;
        EXPECT_TRUE(record.recordLength > static_cast<int>(c.bytes.size()) ? record.recordImage.empty() : true)
            << c.name;
        ExpectInsideRoom(record, c.bytes, c.bytes.size(), c.name);
    }
}

TEST(RecordBounds, TruncatedRecordsAtEveryLength) {
    const Bytes sparse = forge::SparseVector({{7, Bytes(9, 's')}, {9, Bytes(3, 't')}});
    const std::vector<std::pair<const char*, Bytes>> records = {
        {"plain", forge::RecordBuilder()
                      .Fixed(Bytes(12, 0x41))
                      .Columns(6)
                      .Nulls({1})
                      .Var(Bytes(5, 'v'))
                      .Var(sparse, true)
                      .Var(Bytes(16, 'p'), true)
                      .Build()},
        {"compressed", forge::CompressedRecordBuilder()
                           .Short({0x81, 0x02})
                           .Column(0)
                           .Long(Bytes(7, 'L'))
                           .Symbol(2)
                           .Long(Bytes(20, 'M'), true)
                           .NullBitmap({0x02})
                           .Build()},
        {"ghost", forge::RecordBuilder().Type(6).Fixed(Bytes(3, 1)).Columns(2).Var(Bytes(4, 'g')).Build()},
    };
    pw::AppState state;
    state.m_bShowDeleted = true;
    for (const auto& [name, bytes] : records) {
        const pw::CPrimaryRecord whole = ParseCut(bytes, bytes.size(), static_cast<int>(bytes.size()), state);
        ASSERT_FALSE(whole.isInvalid) << name;
        EXPECT_EQ(whole.recordImage, bytes) << name;
        for (std::size_t room = 1; room <= bytes.size(); ++room) {
            const std::string where = std::string(name) + " cut to " + std::to_string(room);
            // The room the page claims may exceed the bytes there are; the parse must hold to the bytes.
            for (int maxLength : {static_cast<int>(room), 8192 - 96}) {
                const pw::CPrimaryRecord record = ParseCut(bytes, room, maxLength, state);
                ExpectInsideRoom(record, bytes, room, where);
                if (room < bytes.size()) {
                    EXPECT_NE(record.recordImage, bytes) << where;
                }
            }
            const int probe =
                pw::CPrimaryRecord::ProbeLength(pw::ByteView(bytes.data(), room), nullptr, state);
            EXPECT_GE(probe, -1) << where;
        }
    }
}

TEST(RecordBounds, RandomRecords) {
    std::mt19937 random(20240611);
    const std::uint8_t statuses[] = {0x00, 0x10, 0x20, 0x30, 0x3C, 0x1C, 0x04, 0x02, 0x32, 0x01, 0x11, 0x21, 0x31};
    for (int round = 0; round < 20000; ++round) {
        const std::size_t size = 1 + random() % 96;
        Bytes bytes(size);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random() % 4 == 0 ? random() % 256 : random() % 24);
        bytes[0] = random() % 3 == 0 ? static_cast<std::uint8_t>(random()) : statuses[random() % std::size(statuses)];
        pw::AppState state;
        state.m_bShowDeleted = (round & 1) != 0;
        const int maxLength = round % 3 == 0 ? static_cast<int>(size) : 8192 - static_cast<int>(random() % 8000);
        const pw::CPrimaryRecord record(pw::ByteView(bytes.data(), bytes.size()), nullptr, maxLength, state);
        ExpectInsideRoom(record, bytes, size, "round " + std::to_string(round));
        pw::CPrimaryRecord::ParseAnchor(pw::ByteView(bytes.data(), bytes.size()), nullptr, maxLength, state);
        EXPECT_GE(pw::CPrimaryRecord::ProbeLength(pw::ByteView(bytes.data(), bytes.size()), nullptr, state), -1);
        if (HasFatalFailure() || HasFailure()) return;
    }
}

// Whole random pages, shorter images included, walked with every option
// and with forwarding stubs pointing into other random pages.
TEST(RecordBounds, RandomPagesWithEveryOption) {
    std::mt19937 random(7);
    const auto randomPage = [&](std::size_t size) {
        pw::PageImage image(size);
        for (auto& b : image) b = static_cast<std::uint8_t>(random() % 3 == 0 ? random() % 256 : random() % 0x40);
        // A header that passes the sanity rules, so the records are parsed.
        for (std::size_t i = 0; i < std::min<std::size_t>(size, pw::kPageHeaderSize); ++i) image[i] = 0;
        const auto put = [&](std::size_t offset, std::uint64_t value, std::size_t width) {
            if (offset + width <= image.size()) forge::PutLE(image, offset, value, width);
        };
        put(1, 1, 1);
        const auto fixedEnd = static_cast<std::uint16_t>(8 + random() % 30);
        put(14, fixedEnd, 2);
        put(22, 1 + random() % 300, 2);
        // Sprinkle record-start patterns and stubs into the body.
        for (int k = 0; k < 20 && size > 200; ++k) {
            const std::size_t at = pw::kPageHeaderSize + random() % (size - 150);
            const Bytes stub = forge::ForwardingStub(1, random() % 4, static_cast<std::uint16_t>(random() % 5));
            if (k % 2 == 0)
                forge::PlaceBytes(image, at, stub);
            else
                forge::PlaceBytes(image, at,
                                  forge::RecordBuilder()
                                      .Fixed(Bytes(fixedEnd - 4u, 0x55))
                                      .Columns(static_cast<std::uint16_t>(1 + random() % 5))
                                      .Var(Bytes(random() % 20, 'r'))
                                      .Build());
        }
        return image;
    };

    forge::MemoryPageSource pages;
    for (std::int64_t n = 0; n < 3; ++n) pages.Add(1, n, randomPage(pw::kPageSize));
    pages.Add(1, 3, randomPage(500));

    int valid = 0, followed = 0, recovered = 0;
    for (int round = 0; round < 300; ++round) {
        const std::size_t size = round % 5 == 0 ? 96 + random() % (pw::kPageSize - 96) : pw::kPageSize;
        pw::AppState state;
        state.m_bShowDeleted = round % 4 != 0;
        state.m_bShowAdvancedDeleted = round % 2 == 0;
        state.m_bIsSql2000 = round % 7 == 0;
        const pw::PageImage image = randomPage(size);
        const pw::CDataPage page(image, nullptr, &pages, state);
        for (std::size_t i = 0; i < page.records.size(); ++i) {
            const pw::CPrimaryRecord* record = page.Record(i);
            if (record == nullptr) continue;
            if (!record->isInvalid && record->recordLength > 0) ++valid;
            if (record->recordType == 2 && record->fixedLength != pw::kForwardNotFollowed) ++followed;
            ExpectInsideRoom(*record, record->recordImage, pw::kPageSize, "round " + std::to_string(round));
            EXPECT_LE(record->recordImage.size(), size);
        }
        if (page.recordStarts.size() > static_cast<std::size_t>(image[22] | (image[23] << 8))) ++recovered;
        for (int slot = 0; slot < 4; ++slot) {
            const pw::PrimaryRecordPage one(image, nullptr, &pages, state, pw::OneSlot{slot});
            EXPECT_LE(one.records.size(), 1u);
        }
        if (HasFailure()) return;
    }
    // The random pages must reach the interesting paths, or the test proves nothing.
    EXPECT_GT(valid, 100);
    EXPECT_GT(followed, 5);
    EXPECT_GT(recovered, 5);
}

}  // namespace
