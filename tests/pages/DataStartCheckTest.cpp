#include <gtest/gtest.h>

#include <cstring>

#include "FileSetTestSupport.h"
#include "pages/DataStartCheck.h"
#include "pages/SequentialPageReader.h"

namespace {

using forge::DataFileBuilder;
using pw::DataStartMatch;

struct StartCase {
    const char* label;
    DataFileBuilder builder;
    DataStartMatch match;
    std::uint64_t dataStart;
};

DataFileBuilder NumberedFrom(std::uint32_t pages, std::int64_t delta) {
    DataFileBuilder builder(pages);
    builder.NumberPagesFrom(delta);
    return builder;
}

// A 5-page file in which only the page at `inLine` carries its own number.
DataFileBuilder FivePagesInLineAt(std::uint32_t inLine) {
    DataFileBuilder builder = NumberedFrom(5, 50);
    forge::PutLE(builder.Page(inLine), 32, inLine, 4);
    return builder;
}

TEST(DataStartCheck, SettlesWherePagesStart) {
    const std::vector<StartCase> cases = {
        {"aligned file, no remainder", DataFileBuilder(1000), DataStartMatch::kRemainderAligned, 0},
        {"remainder trailing the pages", DataFileBuilder(20).TrailingBytes(100), DataStartMatch::kZeroAligned, 0},
        {"remainder in front of the pages", DataFileBuilder(20).LeadingBytes(100), DataStartMatch::kRemainderAligned,
         100},
        {"remainder, no page in line", NumberedFrom(20, 4).TrailingBytes(100), DataStartMatch::kNone, 100},
        {"shifted pages, no remainder", NumberedFrom(20, 4), DataStartMatch::kNone, 0},
        {"5 pages: the check starts at position 1", FivePagesInLineAt(1), DataStartMatch::kRemainderAligned, 0},
        {"5 pages: position 0 is not looked at", FivePagesInLineAt(0).TrailingBytes(8), DataStartMatch::kNone, 8},
        {"a page in line only at the end", FivePagesInLineAt(4).TrailingBytes(8), DataStartMatch::kZeroAligned, 0},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.label);
        forge::TempFolder folder;
        const std::string bytes = c.builder.Bytes();
        ASSERT_TRUE(forge::WriteFile(folder.File("db.mdf"), bytes));
        pw::ReadOnlyFile file;
        ASSERT_TRUE(file.Open(folder.File("db.mdf")));
        pw::AppState state;
        forge::RecordingEventSink sink;
        DataStartMatch match{};
        const std::uint64_t count = bytes.size() / pw::kPageSize, remainder = bytes.size() % pw::kPageSize;
        const bool keep = pw::CheckDataStart(file, count, remainder, state, sink, &match);
        EXPECT_EQ(match, c.match);
        EXPECT_EQ(keep ? remainder : 0, c.dataStart);
        EXPECT_EQ(sink.statusTexts, (std::vector<std::string>{"Checking for file corruption ...........",
                                                              "Checking for file corruption is done..........."}));
        EXPECT_EQ(sink.rangeHigh, static_cast<std::int64_t>(count));
        EXPECT_EQ(sink.position, static_cast<std::int64_t>(count));

        // The file set opened on the same bytes settles on the same data start.
        pagestest::ScanFixture scan;
        EXPECT_EQ(scan.Open(bytes).dataStartOffset, c.dataStart);
    }
}

TEST(DataStartCheck, LeadingRemainderPagesAreReadInLine) {
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(20).DataPage(12, 1977).LeadingBytes(300));
    ASSERT_TRUE(files.IsOpened());
    ASSERT_EQ(files.dataStartOffset, 300u);
    const auto header = files.ReadPageHeaderOnly(1, 12);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->thisPage.page, 12);
    EXPECT_EQ(header->objectId, 1977);
    EXPECT_EQ(files.DataPageMap().at(1977), (std::vector<pw::PageRef>{{12, 1, 1}}));
}

TEST(DataStartCheck, StopEndsBothSearches) {
    forge::TempFolder folder;
    ASSERT_TRUE(DataFileBuilder(20).TrailingBytes(100).WriteTo(folder.File("db.mdf")));
    pw::ReadOnlyFile file;
    ASSERT_TRUE(file.Open(folder.File("db.mdf")));
    pw::AppState state;
    state.m_bStopRequested = true;
    forge::RecordingEventSink sink;
    DataStartMatch match{};
    EXPECT_TRUE(pw::CheckDataStart(file, 20, 100, state, sink, &match));
    EXPECT_EQ(match, DataStartMatch::kNone);
    EXPECT_EQ(sink.statusTexts.back(), "Checking for file corruption is done...........");
}

TEST(DataStartCheck, ProgressStepIsAHundredthRoundedUp) {
    EXPECT_EQ(pw::ProgressStep(0), 1u);
    EXPECT_EQ(pw::ProgressStep(1), 1u);
    EXPECT_EQ(pw::ProgressStep(100), 1u);
    EXPECT_EQ(pw::ProgressStep(101), 2u);
    EXPECT_EQ(pw::ProgressStep(1000), 10u);
}

// Block reads must give exactly what one 8192-byte read per page gives.
TEST(SequentialPageReader, BlocksMatchSinglePageReads) {
    forge::TempFolder folder;
    std::string bytes(300 * pw::kPageSize + 777, '\0');
    std::uint32_t seed = 12345;
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 24);
    }
    ASSERT_TRUE(forge::WriteFile(folder.File("f"), bytes));
    pw::ReadOnlyFile file;
    ASSERT_TRUE(file.Open(folder.File("f")));
    for (const std::uint64_t start : {std::uint64_t{0}, std::uint64_t{777}, std::uint64_t{5 * pw::kPageSize + 1}}) {
        for (const std::size_t block : {pw::kPageSize, 3 * pw::kPageSize + 5, std::size_t{1} << 20}) {
            SCOPED_TRACE(testing::Message() << "start " << start << " block " << block);
            pw::SequentialPageReader reader(file, start, block);
            ASSERT_TRUE(reader.Ready());
            for (std::uint64_t n = 0; n < 305; ++n) {
                std::vector<std::uint8_t> expected(pw::kPageSize, 0);
                file.ReadAt(start + n * pw::kPageSize, expected.data(), expected.size());
                const pw::ByteView got = reader.Next();
                ASSERT_EQ(got.size(), pw::kPageSize);
                ASSERT_EQ(std::memcmp(got.data(), expected.data(), pw::kPageSize), 0) << "page " << n;
            }
        }
    }
}

}  // namespace
