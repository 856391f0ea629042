// Values read through row-overflow pointers and in-row large-object roots:
// link order, skipped links, file ids above 1000, large roots and internal
// nodes over data fragments, collect mode, and the guards against looping
// or runaway trees.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forge/LobBuilder.h"
#include "forge/MemoryPageSource.h"
#include "rows/ReadOutOfRowValue.h"
#include "rows/RenderLobFragment.h"
#include "support/AppState.h"
#include "support/CodePage.h"

namespace {

using forge::Bytes;
using forge::LobNodeLink;
using forge::LobRootLink;

struct Fixture {
    forge::MemoryPageSource pages;
    pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    pw::CRecord row;

    void Page(std::uint16_t file, std::uint32_t page, const std::vector<Bytes>& payloads) {
        std::vector<Bytes> records;
        for (const Bytes& payload : payloads) records.push_back(forge::TextRecordBytes(payload));
        pages.Add(file, page, forge::TextPage(file, page, records));
    }
    std::string Read(const Bytes& pointer, bool unicode = false, pw::LobFragmentList* list = nullptr,
                     bool collect = false) {
        return pw::ReadOutOfRowValue(row, pw::ByteView(pointer), pages, context, list, collect, unicode);
    }
};

TEST(OutOfRowValue, RowOverflowPointerHasOneLink) {
    Fixture f;
    f.Page(1, 300, {forge::DataPayload(11, forge::TextBytes("spilled out of the row"))});
    const Bytes pointer = forge::OutOfRowPointer({{22, 300, 1, 0}});
    ASSERT_EQ(pointer.size(), 24u);
    EXPECT_EQ(f.Read(pointer), "spilled out of the row");
    EXPECT_EQ(f.pages.fetches, 1);
    // The bytes past the column's length are not links.
    Bytes longer = pointer;
    forge::PutLE(longer, 24, 22, 4);
    forge::PutLE(longer, 28, 300, 4);
    forge::PutLE(longer, 32, 1, 2);
    EXPECT_EQ(pw::ReadOutOfRowValue(f.row, pw::ByteView(longer.data(), 24), f.pages, f.context, nullptr, false, false),
              "spilled out of the row");
}

TEST(OutOfRowValue, LinksInOrderSkippingEmptyOnesAndMissingPieces) {
    Fixture f;
    f.Page(1, 300, {forge::DataPayload(11, forge::TextBytes("first+++++")),
                    forge::DataPayload(11, forge::TextBytes("second++++"))});
    f.Page(1, 301, {forge::DataPayload(11, forge::TextBytes("third+++++"))});
    const Bytes pointer = forge::OutOfRowPointer({
        {10, 301, 1, 0},
        {0, 300, 1, 0},     // size 0: skipped
        {-4, 300, 1, 0},    // negative size: skipped
        {10, 300, 1, 7},    // slot beyond the page's records
        {10, 999, 1, 0},    // no such page
        {10, 300, 1, 1},
        {10, 300, 1, 0},
    }, 4);
    EXPECT_EQ(f.Read(pointer), "third+++++second++++first+++++");
}

TEST(OutOfRowValue, FileIdAbove1000IsReadFromFile1) {
    Fixture f;
    f.Page(1, 310, {forge::DataPayload(11, forge::TextBytes("from the primary file"))});
    f.Page(3, 310, {forge::DataPayload(11, forge::TextBytes("from secondary file 3"))});
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{21, 310, 1001, 0}})), "from the primary file");
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{21, 310, 65535, 0}})), "from the primary file");
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{21, 310, 1000, 0}})), "");
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{21, 310, 3, 0}})), "from secondary file 3");
}

TEST(OutOfRowValue, VarbinaryLargeRootOverSeveralDataFragments) {
    for (const std::uint16_t rootType : {std::uint16_t{4}, std::uint16_t{5}, std::uint16_t{6}}) {
        Fixture f;
        f.row.binaryValue = true;
        f.Page(1, 400, {forge::LargeRootPayload(21, {{10, 402, 1, 1}, {10, 401, 1, 0}, {10, 403, 3, 0}}, rootType)});
        f.Page(1, 401, {forge::DataPayload(21, Bytes(10, 0x22))});
        f.Page(1, 402, {forge::DataPayload(99, Bytes(12, 0x99)), forge::DataPayload(21, Bytes(10, 0x11))});
        f.Page(3, 403, {forge::DataPayload(21, Bytes{0x33, 0x00, 0x33, 0x00, 0x33, 0x00, 0x33, 0x00, 0x33, 0x00})});
        const std::string expected =
            std::string(20, '1') + std::string(20, '2') + "33003300330033003300";
        EXPECT_EQ(f.Read(forge::OutOfRowPointer({{30, 400, 1, 0}}, 4)), expected) << rootType;
    }
}

TEST(OutOfRowValue, InternalNodeOverDataFragments) {
    Fixture f;
    f.Page(1, 500, {forge::LargeRootPayload(31, {{16080, 501, 1, 0}, {12, 504, 1, 0}})});
    f.Page(1, 501, {forge::InternalPayload(31, {{0, 502, 1, 0}, {10, 503, 1, 0}, {20, 502, 1, 1}})});
    f.Page(1, 502, {forge::DataPayload(31, forge::TextBytes("alpha-----")), forge::DataPayload(31, forge::TextBytes("gamma-----"))});
    f.Page(1, 503, {forge::DataPayload(31, forge::TextBytes("beta------"))});
    f.Page(1, 504, {forge::DataPayload(31, forge::TextBytes("delta-----"))});
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{40, 500, 1, 0}}, 4)), "alpha-----beta------gamma-----delta-----");

    // An internal node linked straight from the row.
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{30, 501, 1, 0}}, 4)), "alpha-----beta------gamma-----");
}

TEST(OutOfRowValue, NvarcharMaxFragmentsAreCompactedOrUtf16) {
    Fixture f;
    const std::string ascii = "An nvarchar(max) value of plain characters only, rendered compactly.";
    const std::string greek = "Ξεσκεπάζω την ψυχοφθόρα βδελυγμία, και πάλι ξανά";
    f.Page(1, 600, {forge::DataPayload(41, forge::Utf16Bytes(ascii)), forge::DataPayload(41, forge::Utf16Bytes(greek))});
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{1, 600, 1, 0}, {1, 600, 1, 1}}, 4), true), ascii + greek);
}

TEST(OutOfRowValue, CollectModeGathersTheFragmentsInLinkOrder) {
    Fixture f;
    const Bytes part1 = forge::Utf16Bytes("<root><item>");
    const Bytes part2 = forge::Utf16Bytes("one</item>");
    const Bytes part3 = forge::Utf16Bytes("</root>");
    f.Page(1, 700, {forge::LargeRootPayload(51, {{1, 701, 1, 1}, {1, 701, 1, 0}})});
    f.Page(1, 701, {forge::DataPayload(51, part2), forge::DataPayload(51, part1)});
    f.Page(1, 702, {forge::SmallRootPayload(51, part3)});
    pw::LobFragmentList list;
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{1, 700, 1, 0}, {1, 702, 1, 0}}, 4), true, &list, true), "");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].bytes, part1);
    EXPECT_EQ(list[1].bytes, part2);
    EXPECT_EQ(list[2].bytes, part3);
    EXPECT_EQ(list[2].length, static_cast<std::int32_t>(part3.size()));
    const Bytes joined = pw::JoinLobFragments(list);
    Bytes expected = part1;
    expected.insert(expected.end(), part2.begin(), part2.end());
    expected.insert(expected.end(), part3.begin(), part3.end());
    EXPECT_EQ(joined, expected);
}

TEST(OutOfRowValue, LoopingChainsEndAndTheNextValueIsReadAsUsual) {
    Fixture f;
    // A root that links to itself after one data fragment.
    f.Page(1, 800, {forge::LargeRootPayload(61, {{1, 801, 1, 0}, {1, 800, 1, 0}, {1, 801, 1, 1}})});
    f.Page(1, 801, {forge::DataPayload(61, forge::TextBytes("before the loop")),
                    forge::DataPayload(61, forge::TextBytes("never reached"))});
    // Two internal nodes pointing at each other.
    f.Page(1, 810, {forge::InternalPayload(62, {{0, 812, 1, 0}, {10, 811, 1, 0}})});
    f.Page(1, 811, {forge::InternalPayload(62, {{0, 812, 1, 1}, {10, 810, 1, 0}})});
    f.Page(1, 812, {forge::DataPayload(62, forge::TextBytes("node one..")), forge::DataPayload(62, forge::TextBytes("node two.."))});

    pw::LobWalk walk(f.pages, f.context, nullptr, nullptr, false, false);
    EXPECT_EQ(pw::ReadOutOfRowValue(walk, f.row, pw::ByteView(forge::OutOfRowPointer({{1, 800, 1, 0}}, 4))),
              "before the loop");
    EXPECT_TRUE(walk.LoopFound());
    EXPECT_TRUE(walk.Ended());

    pw::LobWalk nodes(f.pages, f.context, nullptr, nullptr, false, false);
    EXPECT_EQ(pw::ReadOutOfRowValue(nodes, f.row, pw::ByteView(forge::OutOfRowPointer({{1, 810, 1, 0}}, 4))),
              "node one..node two..");
    EXPECT_TRUE(nodes.LoopFound());

    // Two links of the row to the same record: one value, read once.
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{1, 812, 1, 0}, {1, 812, 1, 0}, {1, 812, 1, 1}}, 4)), "node one..");

    // Each value has its own walk: the next values read in full.
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{1, 801, 1, 1}}, 2)), "never reached");
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{1, 812, 1, 1}, {1, 812, 1, 0}}, 4)), "node two..node one..");
}

TEST(OutOfRowValue, DeepChainOfInternalNodesEnds) {
    Fixture f;
    // Internal node on page 900 + i links to the node on the next page; no loop, only depth.
    const int nodes = 200;
    for (int i = 0; i < nodes; ++i) {
        const auto page = static_cast<std::uint32_t>(900 + i);
        f.Page(1, page, {forge::InternalPayload(71, {{0, 1200, 1, 0}, {0, page + 1, 1, 0}}),
                         forge::DataPayload(71, forge::TextBytes("unused...."))});
    }
    f.Page(1, 1200, {forge::DataPayload(71, forge::TextBytes("x123456789"))});
    pw::LobWalk walk(f.pages, f.context, nullptr, nullptr, false, false);
    // The shared data fragment is read once; the second visit ends the walk.
    EXPECT_EQ(pw::ReadOutOfRowValue(walk, f.row, pw::ByteView(forge::OutOfRowPointer({{1, 900, 1, 0}}, 4))),
              "x123456789");
    EXPECT_TRUE(walk.LoopFound());

    // Without shared records the nesting limit ends the descent.
    Fixture g;
    for (int i = 0; i < nodes; ++i) {
        const auto page = static_cast<std::uint32_t>(2000 + i);
        g.Page(1, page, {forge::InternalPayload(72, {{0, page, 1, 1}, {0, page + 1, 1, 0}}),
                         forge::DataPayload(72, forge::TextBytes("0123456789"))});
    }
    const std::string text = g.Read(forge::OutOfRowPointer({{1, 2000, 1, 0}}, 4));
    EXPECT_EQ(text.size(), 10u * static_cast<std::size_t>(pw::kMaxLobDepth));
    EXPECT_LT(g.pages.fetches, 2 * (pw::kMaxLobDepth + 2));
}

TEST(OutOfRowValue, ValueIsAssembledUpToTheByteLimit) {
    Fixture f;
    f.Page(1, 1300, {forge::DataPayload(81, Bytes(10, 'a')), forge::DataPayload(81, Bytes(10, 'b')),
                     forge::DataPayload(81, Bytes(10, 'c'))});
    const Bytes pointer = forge::OutOfRowPointer({{1, 1300, 1, 0}, {1, 1300, 1, 1}, {1, 1300, 1, 2}}, 4);
    pw::LobWalk walk(f.pages, f.context, nullptr, nullptr, false, false, 25);
    EXPECT_EQ(pw::ReadOutOfRowValue(walk, f.row, pw::ByteView(pointer)), std::string(10, 'a') + std::string(10, 'b'));
    EXPECT_TRUE(walk.LimitReached());
    EXPECT_EQ(walk.AssembledBytes(), 20u);

    pw::LobFragmentList list;
    pw::LobWalk collect(f.pages, f.context, nullptr, &list, true, false, 25);
    EXPECT_EQ(pw::ReadOutOfRowValue(collect, f.row, pw::ByteView(pointer)), "");
    EXPECT_EQ(list.size(), 2u);
    EXPECT_TRUE(collect.LimitReached());

    EXPECT_EQ(pw::kMaxLobValueBytes, std::uint64_t{2} * 1024 * 1024 * 1024);
}

TEST(OutOfRowValue, StopRequestEndsTheWalk) {
    Fixture f;
    f.Page(1, 1400, {forge::DataPayload(91, Bytes(10, 'a'))});
    f.state.m_bStopRequested = true;
    EXPECT_EQ(f.Read(forge::OutOfRowPointer({{1, 1400, 1, 0}})), "");
    EXPECT_EQ(f.pages.fetches, 0);
}

}  // namespace
