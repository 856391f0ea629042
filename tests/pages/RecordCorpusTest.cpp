// The record layer over the data pages of real data files: every page walks
// without fault, and the records of live slots parse.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pages/DataPage.h"
#include "support/AppState.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> PrimaryFiles() {
    std::vector<fs::path> files;
    const fs::path folder(PAGEWRIGHT_CORPUS_DIR);
    std::error_code error;
    if (!fs::is_directory(folder, error)) return files;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string extension = entry.path().extension().string();
        for (auto& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (entry.is_regular_file() && extension == ".mdf") files.push_back(entry.path());
    }
    return files;
}

struct Counts {
    long pages = 0, slots = 0, valid = 0, invalid = 0, recoveredExtra = 0;
};

TEST(RecordCorpus, DataPagesOfRealFiles) {
    const std::vector<fs::path> files = PrimaryFiles();
    if (files.empty()) GTEST_SKIP() << "no real data files in " << PAGEWRIGHT_CORPUS_DIR;

    Counts counts;
    pw::AppState plain;
    plain.m_bShowDeleted = true;
    pw::AppState advanced;
    advanced.m_bShowDeleted = true;
    advanced.m_bShowAdvancedDeleted = true;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t start = bytes.size() % pw::kPageSize;
        for (std::size_t at = start; at + pw::kPageSize <= bytes.size(); at += pw::kPageSize) {
            pw::PageImage image(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                bytes.begin() + static_cast<std::ptrdiff_t>(at + pw::kPageSize));
            if (image[1] != pw::kDataPage || (image[2] & pw::kCompressedPageFlag) != 0) continue;
            const pw::CDataPage page(image, nullptr, nullptr, plain);
            ++counts.pages;
            for (std::size_t i = 0; i < page.records.size(); ++i) {
                const pw::CPrimaryRecord* record = page.Record(i);
                if (record == nullptr) continue;
                ++counts.slots;
                if (record->isInvalid) {
                    ++counts.invalid;
                } else {
                    ++counts.valid;
                    EXPECT_LE(record->recordImage.size(), pw::kPageSize);
                }
            }
            const pw::CDataPage recovered(image, nullptr, nullptr, advanced);
            ASSERT_GE(recovered.records.size(), page.records.size()) << file << " @" << at;
            counts.recoveredExtra += static_cast<long>(recovered.records.size() - page.records.size());
        }
    }
    RecordProperty("data_pages", std::to_string(counts.pages));
    RecordProperty("recovered_extra", std::to_string(counts.recoveredExtra));
    ASSERT_GT(counts.pages, 0);
    // Live slots of real pages hold sound records (forwarding stubs are not followed here and still count).
    EXPECT_GT(counts.valid, counts.slots * 99 / 100) << counts.invalid << " invalid of " << counts.slots;
}

}  // namespace
