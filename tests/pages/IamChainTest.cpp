// Collecting a unit's pages from its IAM pages: slot and extent order, pages
// outside their file, chains that loop, unreadable links, the stop request,
// the SQL Server 2000 list walk, and real files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileSetTestSupport.h"
#include "forge/IamPageBuilder.h"
#include "pages/IamChain.h"
#include "pages/IamPage.h"

namespace {

using forge::IamPageBuilder;
using pw::PageId;

std::vector<PageId> Pages(std::uint16_t file, std::initializer_list<std::uint32_t> numbers) {
    std::vector<PageId> pages;
    for (const std::uint32_t n : numbers) pages.push_back(PageId{file, n});
    return pages;
}

std::vector<PageId> Join(std::vector<PageId> a, const std::vector<PageId>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A primary file of 64 pages with two IAM pages of object 300 linked 10 -> 11 -> 10.
//   IAM 10: slots (1,20) (1,21) (1,500: past the end) (0,22: no file) (1,0)
//           (2,5: unknown file); extent 3 (pages 24-31)
//   IAM 11: slot (1,44); extent 0 (pages 0-7: page 0 is no table page)
forge::DataFileBuilder LoopingChainFile() {
    forge::DataFileBuilder builder(64);
    builder.SetPage(10, IamPageBuilder()
                            .At(1, 10)
                            .ObjectId(300)
                            .Slot(0, 1, 20)
                            .Slot(1, 1, 21)
                            .Slot(2, 1, 500)
                            .Slot(3, 0, 22)
                            .Slot(4, 1, 0)
                            .Slot(5, 2, 5)
                            .Extent(3)
                            .Next(1, 11)
                            .Build());
    builder.SetPage(11, IamPageBuilder().At(1, 11).ObjectId(300).Slot(0, 1, 44).Extent(0).Next(1, 10).Build());
    return builder;
}

const std::vector<PageId> kPagesOf10 = Join(Pages(1, {20, 21}), Pages(1, {24, 25, 26, 27, 28, 29, 30, 31}));
const std::vector<PageId> kPagesOf11 = Join(Pages(1, {44}), Pages(1, {1, 2, 3, 4, 5, 6, 7}));

TEST(IamChain, LoopingChainEndsAtTheFirstIamPageSeenTwice) {
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(LoopingChainFile());
    ASSERT_TRUE(files.IsOpened());
    EXPECT_EQ(pw::CollectIamChainPages(files, PageId{1, 10}), Join(kPagesOf10, kPagesOf11));
    EXPECT_EQ(pw::CollectIamChainPages(files, PageId{1, 11}), Join(kPagesOf11, kPagesOf10));
}

TEST(IamChain, ChainEnds) {
    struct Case {
        std::string name;
        PageId next;  // IAM 11's next pointer (IAM 10 -> 11 stays)
        PageId start;
        std::vector<PageId> expected;
    };
    const std::vector<Case> cases = {
        {"a null next pointer ends the chain", {0, 0}, {1, 10}, Join(kPagesOf10, kPagesOf11)},
        {"page 0 ends the chain", {1, 0}, {1, 10}, Join(kPagesOf10, kPagesOf11)},
        {"a page past the end of the file", {1, 9000}, {1, 10}, Join(kPagesOf10, kPagesOf11)},
        {"an unknown file", {6, 12}, {1, 10}, Join(kPagesOf10, kPagesOf11)},
        {"a page pointing at itself", {1, 11}, {1, 11}, kPagesOf11},
        {"no first IAM page", {0, 0}, {1, 0}, {}},
        {"a first IAM page outside the file", {0, 0}, {1, 64000}, {}},
    };
    for (const Case& c : cases) {
        forge::DataFileBuilder builder = LoopingChainFile();
        forge::PutLE(builder.Page(11), 16, c.next.pageNumber, 4);
        forge::PutLE(builder.Page(11), 20, c.next.fileId, 2);
        pagestest::ScanFixture scan;
        pw::CDatabaseFileSet& files = scan.Open(builder);
        ASSERT_TRUE(files.IsOpened()) << c.name;
        EXPECT_EQ(pw::CollectIamChainPages(files, c.start), c.expected) << c.name;
    }
}

TEST(IamChain, PagesNamedTwiceAreListedOnce) {
    forge::DataFileBuilder builder = LoopingChainFile();
    // IAM 11 also names page 21 in a slot and marks extent 3 (pages 24-31).
    builder.SetPage(11, IamPageBuilder().At(1, 11).Slot(0, 1, 21).Slot(1, 1, 44).Extent(3).Build());
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(builder);
    ASSERT_TRUE(files.IsOpened());
    EXPECT_EQ(pw::CollectIamChainPages(files, PageId{1, 10}), Join(kPagesOf10, Pages(1, {44})));
}

TEST(IamChain, StopRequestEndsTheWalk) {
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(LoopingChainFile());
    ASSERT_TRUE(files.IsOpened());
    scan.state.m_bStopRequested = true;
    EXPECT_TRUE(pw::CollectIamChainPages(files, PageId{1, 10}).empty());
}

TEST(IamChain, ListWalkVisitsTheScansIamPagesInOrder) {
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(LoopingChainFile());
    ASSERT_TRUE(files.IsOpened());
    // The scan filed both IAM pages under their object id, in file order.
    const auto& iamMap = files.IamPageMap();
    ASSERT_EQ(iamMap.count(300), 1u);
    EXPECT_EQ(pw::CollectIamListPages(files, iamMap.at(300)), Join(kPagesOf10, kPagesOf11));

    // The list's order rules, not the next pointers; position 0 or an unreadable page ends it.
    const std::vector<pw::PageRef> reversed = {{11, 1, pw::kIamPage}, {10, 1, pw::kIamPage}};
    EXPECT_EQ(pw::CollectIamListPages(files, reversed), Join(kPagesOf11, kPagesOf10));
    const std::vector<pw::PageRef> zeroFirst = {{0, 1, pw::kIamPage}, {10, 1, pw::kIamPage}};
    EXPECT_TRUE(pw::CollectIamListPages(files, zeroFirst).empty());
    const std::vector<pw::PageRef> unreadable = {{11, 1, pw::kIamPage}, {900, 1, pw::kIamPage},
                                                 {10, 1, pw::kIamPage}};
    EXPECT_EQ(pw::CollectIamListPages(files, unreadable), kPagesOf11);
    const std::vector<pw::PageRef> repeated = {{11, 1, pw::kIamPage}, {11, 1, pw::kIamPage},
                                               {10, 1, pw::kIamPage}};
    EXPECT_EQ(pw::CollectIamListPages(files, repeated), kPagesOf11);
}

// Real files: every IAM page's pages lie inside the file, and most of the
// formatted pages they name carry the IAM page's own object id (a few were
// freed and reused since, or keep bytes of an earlier owner).
TEST(IamChain, RealFiles) {
    namespace fs = std::filesystem;
    const fs::path folder(PAGEWRIGHT_CORPUS_DIR);
    std::error_code error;
    if (!fs::is_directory(folder, error)) GTEST_SKIP() << "no real data files in " << PAGEWRIGHT_CORPUS_DIR;

    long owned = 0, foreign = 0, iamPages = 0;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string extension = entry.path().extension().string();
        for (auto& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (!entry.is_regular_file() || extension != ".mdf") continue;
        pw::AppState state;
        pw::NullEventSink sink;
        const auto files = pw::CDatabaseFileSet::OpenFileSet(entry.path().string(), state, sink);
        if (!files->IsOpened()) continue;
        for (const auto& [objectId, refs] : files->IamPageMap()) {
            for (const pw::PageRef& ref : refs) {
                const auto iam = files->ReadIamPage(ref.fileId, ref.position);
                if (!iam) continue;
                ++iamPages;
                std::vector<PageId> pages;
                pw::AppendIamPagePages(*iam, *files, pages);
                for (const PageId& page : pages) {
                    ASSERT_TRUE(files->IsInsideFile(page.fileId, page.pageNumber)) << entry.path();
                    const auto header = files->ReadPageHeaderOnly(page.fileId, page.pageNumber);
                    ASSERT_TRUE(header.has_value()) << entry.path();
                    if (header->pageType == 0) continue;  // allocated, never formatted
                    (header->objectId == iam->Header().objectId ? owned : foreign) += 1;
                }
                // Chains from every IAM page end.
                const std::vector<PageId> chain = pw::CollectIamChainPages(*files, PageId{ref.fileId, ref.position});
                EXPECT_LE(chain.size(), files->wholePageCount) << entry.path();
            }
        }
    }
    EXPECT_GT(iamPages, 0);
    EXPECT_GT(owned, 0);
    EXPECT_GE(owned, 9 * foreign) << owned << " owned, " << foreign << " foreign";
}

}  // namespace
