// Damaged large-object data: cut and scrambled fragments, random text pages
// and random pointers never read out of bounds and always end.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "forge/LobBuilder.h"
#include "forge/MemoryPageSource.h"
#include "rows/ReadOutOfRowValue.h"
#include "rows/ReadTextPointerValue.h"
#include "rows/RenderLobFragment.h"
#include "support/AppState.h"
#include "support/CodePage.h"

namespace {

using forge::Bytes;

// A small tree: root on page 10 over an internal node (11) and data fragments (12, 13).
void AddTree(forge::MemoryPageSource& pages) {
    pages.Add(1, 10, forge::TextPage(1, 10, {forge::TextRecordBytes(forge::LargeRootPayload(1, {{1, 11, 1, 0}, {1, 13, 1, 0}}))}));
    pages.Add(1, 11, forge::TextPage(1, 11, {forge::TextRecordBytes(forge::InternalPayload(1, {{0, 12, 1, 0}, {9, 12, 1, 1}}))}));
    pages.Add(1, 12, forge::TextPage(1, 12, {forge::TextRecordBytes(forge::DataPayload(1, forge::Utf16Bytes("first fragment"))),
                                             forge::TextRecordBytes(forge::SmallRootPayload(1, forge::TextBytes("small one")))}));
    pages.Add(1, 13, forge::TextPage(1, 13, {forge::TextRecordBytes(forge::DataPayload(1, Bytes(40, 0xC3)))}));
}

TEST(LobBounds, EveryCutOfEveryFragmentPayload) {
    forge::MemoryPageSource pages;
    AddTree(pages);
    const pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    const std::vector<Bytes> payloads = {
        forge::SmallRootPayload(1, forge::TextBytes("a small root value")),
        forge::DataPayload(1, forge::Utf16Bytes("data fragment text")),
        forge::LargeRootPayload(1, {{1, 12, 1, 0}, {1, 12, 1, 1}, {1, 13, 1, 0}}),
        forge::InternalPayload(1, {{0, 12, 1, 0}, {1, 13, 1, 0}}),
    };
    for (const Bytes& payload : payloads) {
        for (std::size_t cut = 0; cut <= payload.size(); ++cut) {
            // A heap copy of exactly `cut` bytes, so that any read past it is caught.
            const std::vector<std::uint8_t> bytes(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(cut));
            for (int lengthDelta : {-1, 0, 1, 100}) {
                for (int mode = 0; mode < 8; ++mode) {
                    pw::LobFragmentList list;
                    const std::string text = pw::RenderLobFragment(
                        pw::ByteView(bytes), pages, context, nullptr, (mode & 1) != 0, (mode & 2) != 0,
                        static_cast<int>(cut) - 10 + lengthDelta, &list, false, (mode & 4) != 0);
                    EXPECT_LE(text.size(), 4096u);
                }
            }
        }
    }
}

TEST(LobBounds, RandomPagesAndPointers) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    forge::MemoryPageSource pages;
    AddTree(pages);
    // Random pages, and copies of the tree's pages with random bytes changed.
    for (std::uint32_t number = 20; number < 40; ++number) {
        pw::PageImage image(pw::kPageSize);
        for (auto& b : image) b = static_cast<std::uint8_t>(byte(random));
        image[1] = 3;
        image[22] = static_cast<std::uint8_t>(byte(random) % 40);
        image[23] = 0;
        pages.Add(1, number, image);
    }
    forge::MemoryPageSource tree;
    AddTree(tree);
    for (std::uint32_t number = 10; number < 14; ++number) {
        for (int copy = 0; copy < 8; ++copy) {
            pw::PageImage image = *tree.FetchPage(1, number);
            for (int k = 0; k < 24; ++k)
                image[96 + static_cast<std::size_t>(byte(random)) * 2] = static_cast<std::uint8_t>(byte(random));
            pages.Add(1, 100 + number * 10 + static_cast<std::uint32_t>(copy), image);
        }
    }
    const pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    std::uniform_int_distribution<std::uint32_t> pageNumber(8, 240);
    for (int round = 0; round < 3000; ++round) {
        Bytes pointer = forge::OutOfRowPointer({{1, pageNumber(random), 1, static_cast<std::uint16_t>(byte(random) % 6)},
                                                {1, pageNumber(random), 1, static_cast<std::uint16_t>(byte(random) % 6)}},
                                               4);
        pointer.resize(12 + static_cast<std::size_t>(byte(random)) % 20);
        pw::CRecord row;
        row.binaryValue = (round & 1) != 0;
        pw::LobFragmentList list;
        pw::ReadOutOfRowValue(row, pw::ByteView(pointer), pages, context, &list, (round & 2) != 0, (round & 4) != 0);
        const Bytes textPointer = forge::TextPointerBytes(pageNumber(random), 1, static_cast<std::uint16_t>(byte(random) % 6));
        const auto parsed = pw::ParseTextPointer(pw::ByteView(textPointer));
        ASSERT_TRUE(parsed.has_value());
        pw::ReadTextPointerValue(*parsed, pages, context, nullptr, {false, (round & 8) != 0, (round & 4) != 0}, &list,
                                 (round & 2) != 0);
    }
    SUCCEED() << pages.fetches << " page reads";
    EXPECT_GT(pages.fetches, 3000);
}

}  // namespace
