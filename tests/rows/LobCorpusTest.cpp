// Large-object fragments of real data files: every fragment root on every
// text page renders without fault in every mode, and known values of the
// Northwind and pubs sample databases come out as text.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "rows/RenderLobFragment.h"
#include "rows/TextMixPage.h"
#include "support/AppState.h"
#include "support/CodePage.h"

namespace {

namespace fs = std::filesystem;

// The pages of one primary file held in memory (file id 1; page 0 at offset 0).
class WholeFilePages final : public pw::PageSource {
public:
    explicit WholeFilePages(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::optional<pw::PageImage> FetchPage(std::uint16_t fileId, std::int64_t pageNumber) override {
        if (fileId != 1 || pageNumber <= 0 || pageNumber >= PageCount()) return std::nullopt;
        const auto at = static_cast<std::ptrdiff_t>(pageNumber) * static_cast<std::ptrdiff_t>(pw::kPageSize);
        return pw::PageImage(bytes_.begin() + at, bytes_.begin() + at + static_cast<std::ptrdiff_t>(pw::kPageSize));
    }
    std::int64_t PageCount() const { return static_cast<std::int64_t>(bytes_.size() / pw::kPageSize); }

private:
    std::vector<std::uint8_t> bytes_;
};

std::vector<fs::path> PrimaryFiles() {
    std::vector<fs::path> files;
    const fs::path folder(PAGEWRIGHT_CORPUS_DIR);
    std::error_code error;
    if (!fs::is_directory(folder, error)) return files;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string extension = entry.path().extension().string();
        for (auto& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (entry.is_regular_file() && extension == ".mdf" && entry.file_size(error) % pw::kPageSize == 0)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every root fragment (small root, large root) of the file rendered with the given flags.
std::string RenderRoots(WholeFilePages& pages, pw::RenderContext& context, bool binary, bool unicode, int& roots) {
    std::string all;
    for (std::int64_t number = 1; number < pages.PageCount(); ++number) {
        std::optional<pw::PageImage> image = pages.FetchPage(1, number);
        if (!image || (*image)[1] != pw::kTextMixPage) continue;
        const pw::TextMixPage page(std::move(*image), nullptr, &pages, context.app);
        for (std::size_t slot = 0; slot < page.records.size(); ++slot) {
            const pw::TextRecord* record = page.Record(slot);
            if (!record || !record->HasPayload()) continue;
            const int type = record->fragmentType;
            if (type != 0 && type != 4 && type != 5 && type != 6) continue;
            ++roots;
            pw::LobWalk walk(pages, context, nullptr, nullptr, false, unicode);
            walk.Visit(1, number, slot);
            all += pw::RenderLobFragment(walk, record->Payload(), record->typeLength, false, binary);
            all += '\n';
            pw::LobFragmentList list;
            pw::LobWalk collect(pages, context, nullptr, &list, true, unicode);
            EXPECT_EQ(pw::RenderLobFragment(collect, record->Payload(), record->typeLength, false, binary), "");
        }
    }
    return all;
}

TEST(LobCorpus, FragmentRootsOfRealFiles) {
    const std::vector<fs::path> files = PrimaryFiles();
    if (files.empty()) GTEST_SKIP() << "no real data files in " << PAGEWRIGHT_CORPUS_DIR;
    const pw::AppState state;
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    int roots = 0;
    bool sawNorthwind = false;
    bool sawPubs = false;
    for (const fs::path& file : files) {
        WholeFilePages pages(file);
        const std::string unicodeText = RenderRoots(pages, context, false, true, roots);
        const std::string plainText = RenderRoots(pages, context, false, false, roots);
        const std::string hex = RenderRoots(pages, context, true, false, roots);
        const std::string name = file.filename().string();
        if (name.find("NORTHWND") != std::string::npos) {
            sawNorthwind = true;
            // Categories.Description and Employees.Notes (ntext).
            EXPECT_NE(unicodeText.find("Cheeses"), std::string::npos) << name;
            EXPECT_NE(unicodeText.find("Colorado State University"), std::string::npos) << name;
            // Categories.Picture (image): an OLE object wrapping a bitmap.
            EXPECT_NE(hex.find("151C2F00020000000D000E0014002100FFFFFFFF4269746D617020496D616765"), std::string::npos)
                << name;
        }
        if (name.find("pubs") != std::string::npos) {
            sawPubs = true;
            // pub_info.pr_info (text).
            EXPECT_NE(plainText.find("This is sample text data for"), std::string::npos) << name;
            // pub_info.logo (image): GIF pictures.
            EXPECT_NE(hex.find("47494638"), std::string::npos) << name;
        }
    }
    EXPECT_GT(roots, 0);
    if (!sawNorthwind || !sawPubs) std::cout << "note: Northwind or pubs file missing from the corpus\n";
}

}  // namespace
