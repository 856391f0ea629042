#include <gtest/gtest.h>

#include <sys/stat.h>

#include "FileSetTestSupport.h"

namespace {

using forge::DataFileBuilder;
using pagestest::ScanFixture;
using pw::PageZero;

struct SizeCase {
    const char* label;
    std::string bytes;
    bool opened;
    std::uint64_t wholePageCount;
    std::uint64_t dataStart;
};

TEST(DatabaseFileSet, FileSizeBoundaries) {
    const std::string onePage = DataFileBuilder(1).Bytes();
    const std::vector<SizeCase> cases = {
        {"8191 bytes", onePage.substr(0, 8191), false, 0, 0},
        {"8192 bytes", onePage, true, 1, 0},
        {"3 pages + 100 trailing bytes", DataFileBuilder(3).TrailingBytes(100).Bytes(), true, 3, 0},
        {"3 pages + 100 leading bytes", DataFileBuilder(3).LeadingBytes(100).Bytes(), true, 3, 100},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.label);
        ScanFixture scan;
        pw::CDatabaseFileSet& files = scan.Open(c.bytes);
        EXPECT_EQ(files.IsOpened(), c.opened);
        if (!c.opened) {
            EXPECT_EQ(scan.sink.fatalErrors, std::vector<std::string>{pagestest::kNotValid});
            continue;
        }
        EXPECT_TRUE(scan.sink.fatalErrors.empty());
        EXPECT_EQ(files.fileSize, c.bytes.size());
        EXPECT_EQ(files.wholePageCount, c.wholePageCount);
        EXPECT_EQ(files.extentCount, c.wholePageCount / 8);
        EXPECT_EQ(files.dataStartOffset, c.dataStart);
    }
}

TEST(DatabaseFileSet, TrailingPartialPageReadsItsBytesThenZeros) {
    ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(3).TrailingBytes(100, 0xCD));
    ASSERT_TRUE(files.IsOpened());
    ASSERT_EQ(files.dataStartOffset, 0u);
    const auto last = files.ReadPage(1, 3);
    ASSERT_TRUE(last.has_value());
    ASSERT_EQ(last->size(), pw::kPageSize);
    for (std::size_t i = 0; i < pw::kPageSize; ++i) {
        ASSERT_EQ((*last)[i], i < 100 ? 0xCD : 0x00) << "byte " << i;
    }
}

TEST(DatabaseFileSet, PageRequestsOutsideTheFilesYieldNothing) {
    ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(12));
    ASSERT_TRUE(files.IsOpened());
    struct Request {
        std::int32_t file;
        std::int64_t page;
        PageZero zero;
        bool found;
    };
    const Request requests[] = {
        {1, 0, PageZero::kRefuse, false}, {1, 0, PageZero::kAccept, true},  {0, 5, PageZero::kRefuse, false},
        {-1, 5, PageZero::kRefuse, false}, {7, 5, PageZero::kRefuse, false}, {1, -1, PageZero::kAccept, false},
        {1, 1, PageZero::kRefuse, true},  {1, 11, PageZero::kRefuse, true}, {1, 12, PageZero::kRefuse, true},
        {1, 13, PageZero::kRefuse, false}, {70000, 1, PageZero::kRefuse, false},
    };
    for (const Request& r : requests) {
        SCOPED_TRACE(testing::Message() << "file " << r.file << " page " << r.page);
        const auto image = files.ReadPage(r.file, r.page, r.zero);
        ASSERT_EQ(image.has_value(), r.found);
        if (!image) continue;
        ASSERT_EQ(image->size(), pw::kPageSize);
        // Pages inside the file carry their own number; the one at the end of the file is zeros.
        const pw::CPage page(*image, nullptr);
        EXPECT_EQ(page.Header().thisPage.page, r.page < 12 ? r.page : 0);
    }
}

TEST(DatabaseFileSet, PageHeaderReadsKeepOrDropTheImage) {
    ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(12).DataPage(10, 1977));
    ASSERT_TRUE(files.IsOpened());

    const auto header = files.ReadPageHeader(1, 10);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->objectId, 1977);
    EXPECT_EQ(header->pageType, pw::kDataPage);
    ASSERT_EQ(files.currentPageImage.size(), pw::kPageSize);
    EXPECT_EQ(pw::ByteView(files.currentPageImage.data(), files.currentPageImage.size()).I32(24), 1977);
    files.ReleaseCurrentPageImage();
    EXPECT_TRUE(files.currentPageImage.empty());

    EXPECT_FALSE(files.ReadPageHeader(1, 0).has_value());
    EXPECT_TRUE(files.currentPageImage.empty());

    const auto only = files.ReadPageHeaderOnly(1, 10);
    ASSERT_TRUE(only.has_value());
    EXPECT_EQ(only->thisPage.page, 10);
    EXPECT_TRUE(files.currentPageImage.empty());
}

TEST(DatabaseFileSet, FilesThatCannotBeOpened) {
    ScanFixture scan;
    const std::string missing = scan.folder.File("missing.mdf");
    auto files = pw::CDatabaseFileSet::OpenFileSet(missing, scan.state, scan.sink);
    EXPECT_FALSE(files->IsOpened());
    ASSERT_EQ(scan.sink.fatalErrors.size(), 1u);
    EXPECT_EQ(scan.sink.fatalErrors[0], pagestest::kCannotOpen);
    EXPECT_FALSE(files->ReadPage(1, 1).has_value());

    ASSERT_EQ(::mkdir(scan.folder.File("folder.mdf").c_str(), 0700), 0);
    files = pw::CDatabaseFileSet::OpenFileSet(scan.folder.File("folder.mdf"), scan.state, scan.sink);
    EXPECT_FALSE(files->IsOpened());
    ASSERT_EQ(scan.sink.fatalErrors.size(), 2u);
    EXPECT_EQ(scan.sink.fatalErrors[1], pagestest::kCannotOpen);
}

TEST(DatabaseFileSet, FileWithoutAnySystemPageFailsToOpen) {
    // Pages of a user object only; the trailing bytes make the last (partial)
    // page carry object id 0x7F7F7F7F, so no page at all has an id up to 100.
    DataFileBuilder builder(12);
    for (std::uint32_t n = 0; n < 12; ++n) builder.DataPage(n, 500);
    ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(builder.TrailingBytes(100, 0x7F));
    EXPECT_FALSE(files.IsOpened());
    EXPECT_EQ(scan.sink.fatalErrors, std::vector<std::string>{pagestest::kNotValid});
    EXPECT_TRUE(files.SystemPageMap().empty());
    EXPECT_EQ(files.DataPageMap().at(500).size(), 12u);
}

TEST(DatabaseFileSet, HeaderFileIdTellsPrimaryFromSecondary) {
    ScanFixture primary;
    EXPECT_EQ(primary.Open(DataFileBuilder(12)).HeaderFileId(), 1);
    ScanFixture secondary;
    EXPECT_EQ(secondary.Open(DataFileBuilder(12, 5), "alone.ndf").HeaderFileId(), 5);
    // Without a file header page, the id most pages carry decides.
    ScanFixture damaged;
    EXPECT_EQ(damaged.Open(DataFileBuilder(12, 5).ZeroPage(0), "alone.ndf").HeaderFileId(), 5);
}

TEST(DatabaseFileSet, StopRequestEndsThePassesAndIsClearedAfterwards) {
    // A sink that presses Stop as soon as mapping starts.
    class StoppingSink final : public pw::EventSink {
    public:
        explicit StoppingSink(pw::AppState& s) : state(s) {}
        void ProgressRange(std::int64_t, std::int64_t) override {}
        void ProgressPosition(std::int64_t) override {}
        void StatusText(const std::string& text) override {
            texts.push_back(text);
            if (text == "Mapping Database Objects...........") state.m_bStopRequested = true;
        }
        void LogLine(const std::string&) override {}
        void FatalError(const std::string& text) override { fatal.push_back(text); }
        pw::AppState& state;
        std::vector<std::string> texts, fatal;
    };
    forge::TempFolder folder;
    ASSERT_TRUE(DataFileBuilder(40).WriteTo(folder.File("db.mdf")));
    pw::AppState state;
    StoppingSink sink(state);
    auto files = pw::CDatabaseFileSet::OpenFileSet(folder.File("db.mdf"), state, sink);
    // Nothing was mapped before the stop: the open fails, the closing texts are still sent.
    EXPECT_FALSE(files->IsOpened());
    EXPECT_TRUE(files->SystemPageMap().empty());
    EXPECT_EQ(sink.fatal, std::vector<std::string>{pagestest::kNotValid});
    EXPECT_EQ(sink.texts.back(), "Mapping of Database Objects has been done ......................");
    EXPECT_FALSE(state.m_bStopRequested.load());
}

}  // namespace

namespace {

TEST(DatabaseFileSet, BytesThatAreNoPagesGiveNoFileId) {
    std::string random(40 * 8192, '\0');
    std::uint32_t seed = 77;
    for (char& c : random) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    pagestest::ScanFixture scan;
    EXPECT_EQ(scan.Open(random).HeaderFileId(), 0);
}

}  // namespace
