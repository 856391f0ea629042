// The damage campaign: damaged copies of real data files and of a forge-built
// database, each recovered in both listing modes under a deadline. Nothing may
// crash, hang or read out of bounds (the sanitizer build runs the same
// campaign), and every row that lies on a data page the damage left intact is
// still listed in advanced mode as long as the catalog itself was not hit.
// The table of files x damage kinds x rows recovered is printed at the end.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>

#include "RecoveryRun.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/SampleDatabase.h"
#include "forge/TempFolder.h"
#include "pages/PageHeader.h"

namespace {

using integration::ListingMode;
using integration::RecoveryResult;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Each run must end by itself well within this; a run that does not is a hang.
constexpr std::chrono::seconds kDeadline{kSanitized ? 120 : 60};

constexpr std::size_t kPage = pw::kPageSize;

// What the page headers of the undamaged file say, by position.
struct PageFacts {
    int type = 0;
    std::int32_t objectId = 0;
    std::uint32_t prevPage = 0, nextPage = 0;
};

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

void PutU32(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

std::vector<PageFacts> ReadFacts(const std::string& bytes) {
    std::vector<PageFacts> facts(bytes.size() / kPage);
    for (std::size_t p = 0; p < facts.size(); ++p) {
        const std::size_t at = p * kPage;
        facts[p].type = static_cast<unsigned char>(bytes[at + 1]);
        facts[p].objectId = static_cast<std::int32_t>(U32(bytes, at + 24));
        facts[p].prevPage = U32(bytes, at + 8);
        facts[p].nextPage = U32(bytes, at + 16);
    }
    return facts;
}

const std::set<std::int32_t>& SystemTableIds() {
    static const std::set<std::int32_t> ids = {
        pw::kSysRsCols, pw::kSysRowsets, pw::kSysAllocUnits, pw::kSysFiles1, pw::kSysSchObjs, pw::kSysColPars,
        pw::kSysScalarTypes, pw::kSysIdxStats, pw::kSysIsCols, pw::kSysObjValues, pw::kSysSingleObjRefs,
        pw::kSysObjects2000, pw::kSysIndexes2000, pw::kSysRowsetColumns2005, pw::kSysHobtColumns2005};
    return ids;
}

bool IsSystemPage(const PageFacts& f) { return f.type == pw::kDataPage && SystemTableIds().count(f.objectId) != 0; }

// A damaged copy: its bytes, the positions whose content it destroyed, and
// whether the boot page, a page of a system table or the file header page was hit.
struct Damaged {
    std::string kind;
    std::string bytes;
    std::set<std::size_t> damagedPages;
    bool catalogHit = false;
    enum class Secondary { kPresent, kMissing, kTruncated } secondary = Secondary::kPresent;
};

void MarkDamaged(Damaged& d, const std::vector<PageFacts>& facts, std::size_t position) {
    d.damagedPages.insert(position);
    if (position == 0 || position == 9 || (position < facts.size() && IsSystemPage(facts[position]))) d.catalogHit = true;
}

void ZeroPage(Damaged& d, const std::vector<PageFacts>& facts, std::size_t position) {
    if ((position + 1) * kPage > d.bytes.size()) return;
    std::fill(d.bytes.begin() + static_cast<std::ptrdiff_t>(position * kPage),
              d.bytes.begin() + static_cast<std::ptrdiff_t>((position + 1) * kPage), '\0');
    MarkDamaged(d, facts, position);
}

std::vector<Damaged> MakeDamage(const std::string& original, bool withSecondary) {
    const std::vector<PageFacts> facts = ReadFacts(original);
    const std::size_t pages = facts.size();
    std::vector<Damaged> out;
    const auto copy = [&](const std::string& kind) -> Damaged& {
        out.push_back(Damaged{kind, original, {}, false, Damaged::Secondary::kPresent});
        return out.back();
    };
    std::mt19937 random(20240611u + static_cast<std::uint32_t>(pages));

    ZeroPage(copy("zeroed boot page"), facts, 9);

    std::map<std::int32_t, std::vector<std::size_t>> systemPages;
    for (std::size_t p = 1; p < pages; ++p)
        if (IsSystemPage(facts[p])) systemPages[facts[p].objectId].push_back(p);
    for (const auto& [objectId, positions] : systemPages) {
        Damaged& d = copy("zeroed system table " + std::to_string(objectId));
        for (std::size_t p : positions) ZeroPage(d, facts, p);
    }

    {
        Damaged& d = copy("bit flips in 1% of pages");
        const std::size_t count = std::max<std::size_t>(1, pages / 100);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t p = 1 + random() % (pages - 1);
            for (int flip = 0; flip < 8; ++flip) {
                const std::size_t at = p * kPage + random() % kPage;
                d.bytes[at] = static_cast<char>(d.bytes[at] ^ (1 << (random() % 8)));
            }
            MarkDamaged(d, facts, p);
        }
    }
    {
        Damaged& d = copy("truncated tail");
        const std::size_t keep = original.size() * 2 / 3 + 1000;
        d.bytes.resize(keep);
        for (std::size_t p = keep / kPage; p < pages; ++p) MarkDamaged(d, facts, p);
    }
    {
        Damaged& d = copy("4096 garbage bytes prepended");
        std::string garbage(4096, '\0');
        for (char& c : garbage) c = static_cast<char>(random());
        d.bytes = garbage + d.bytes;
    }
    {
        // Two user data pages of different objects change places: their contents are intact.
        Damaged& d = copy("pages swapped");
        std::vector<std::size_t> data;
        for (std::size_t p = 16; p < pages; ++p)
            if (facts[p].type == pw::kDataPage && !IsSystemPage(facts[p]) && facts[p].objectId != 0) data.push_back(p);
        for (std::size_t i = 0; i + 1 < data.size() && i < 8; i += 2) {
            std::swap_ranges(d.bytes.begin() + static_cast<std::ptrdiff_t>(data[i] * kPage),
                             d.bytes.begin() + static_cast<std::ptrdiff_t>((data[i] + 1) * kPage),
                             d.bytes.begin() + static_cast<std::ptrdiff_t>(data[i + 1] * kPage));
        }
    }
    {
        // Each chain's last data page points back to the page before it.
        Damaged& d = copy("looping page chain");
        for (std::size_t p = 1; p < pages; ++p)
            if (facts[p].type == pw::kDataPage && facts[p].nextPage == 0 && facts[p].prevPage != 0)
                PutU32(d.bytes, p * kPage + 16, facts[p].prevPage);
    }
    {
        // Every IAM page names itself as the next one.
        Damaged& d = copy("looping IAM chain");
        for (std::size_t p = 1; p < pages; ++p)
            if (facts[p].type == pw::kIamPage) PutU32(d.bytes, p * kPage + 16, static_cast<std::uint32_t>(p));
    }
    if (withSecondary) {
        copy("secondary file missing").secondary = Damaged::Secondary::kMissing;
        copy("secondary file truncated").secondary = Damaged::Secondary::kTruncated;
    }
    return out;
}

// One line of the report table.
struct ReportLine {
    std::string file, kind;
    std::size_t standardRows = 0, advancedRows = 0, intactRows = 0, intactFound = 0;
    bool catalogHit = false;
    std::size_t messages = 0;
};

std::vector<ReportLine>& Report() {
    static std::vector<ReportLine> lines;
    return lines;
}

void PrintReport() {
    std::printf("\n%-58s %-30s %9s %9s %12s %s\n", "file", "damage", "standard", "advanced", "intact rows", "notes");
    for (const ReportLine& l : Report()) {
        char intact[48];
        std::snprintf(intact, sizeof intact, "%zu/%zu", l.intactFound, l.intactRows);
        std::printf("%-58s %-30s %9zu %9zu %12s %s%s\n", l.file.substr(0, 58).c_str(), l.kind.c_str(), l.standardRows,
                    l.advancedRows, l.catalogHit ? "-" : intact, l.catalogHit ? "catalog hit; " : "",
                    (std::to_string(l.messages) + " messages").c_str());
    }
    std::fflush(stdout);
}

// Runs the campaign over one file: the undamaged file first, then every damaged copy.
void Campaign(const std::string& label, const std::string& original, bool withSecondary) {
    SCOPED_TRACE(label);
    forge::TempFolder folder;
    const std::string primary = folder.File("damaged.mdf");
    const std::string secondary = folder.File("sample_2.ndf");
    const auto writeSecondary = [&](Damaged::Secondary how) {
        ::unlink(secondary.c_str());
        if (!withSecondary || how == Damaged::Secondary::kMissing) return;
        std::string bytes = forge::SampleDatabase::SecondaryFile();
        if (how == Damaged::Secondary::kTruncated) bytes.resize(3 * kPage + kPage / 2);
        ASSERT_TRUE(forge::WriteFile(secondary, bytes));
    };

    ASSERT_TRUE(forge::WriteFile(primary, original));
    writeSecondary(Damaged::Secondary::kPresent);
    const RecoveryResult baseline = integration::RunRecovery(primary, ListingMode::kAdvanced, kDeadline);
    const RecoveryResult baselineStandard = integration::RunRecovery(primary, ListingMode::kStandard, kDeadline);
    ASSERT_TRUE(baseline.finished && baselineStandard.finished);
    const std::vector<PageFacts> facts = ReadFacts(original);
    Report().push_back({label, "(undamaged)", baselineStandard.RowCount(), baseline.RowCount(), baseline.RowCount(),
                        baseline.RowCount(), false, baseline.fatalErrors.size() + baseline.logLines.size()});

    for (const Damaged& damaged : MakeDamage(original, withSecondary)) {
        SCOPED_TRACE(damaged.kind);
        ASSERT_TRUE(forge::WriteFile(primary, damaged.bytes));
        writeSecondary(damaged.secondary);
        const RecoveryResult advanced = integration::RunRecovery(primary, ListingMode::kAdvanced, kDeadline);
        const RecoveryResult standard = integration::RunRecovery(primary, ListingMode::kStandard, kDeadline);
        EXPECT_TRUE(advanced.finished) << "advanced listing did not end within " << kDeadline.count() << " s";
        EXPECT_TRUE(standard.finished) << "standard listing did not end within " << kDeadline.count() << " s";

        ReportLine line{label, damaged.kind, standard.RowCount(), advanced.RowCount(), 0, 0, damaged.catalogHit,
                        advanced.fatalErrors.size() + advanced.logLines.size()};
        // Rows on intact pages, looked for in the same table of the damaged copy.
        for (const auto& [name, table] : baseline.tables) {
            const auto found = advanced.tables.find(name);
            for (const integration::PageRows& page : table.pages) {
                if (page.page.fileId == 1 && damaged.damagedPages.count(page.page.pageNumber)) continue;
                for (const std::string& row : page.rows) {
                    ++line.intactRows;
                    if (found != advanced.tables.end() && found->second.Has(row)) ++line.intactFound;
                    else if (!damaged.catalogHit && std::getenv("PAGEWRIGHT_CAMPAIGN_SHOW_LOST"))
                        std::printf("lost on page %u of %s: %s\n", page.page.pageNumber, name.c_str(), row.substr(0, 300).c_str());
                }
            }
        }
        if (!damaged.catalogHit) {
            EXPECT_EQ(line.intactFound, line.intactRows) << "rows on intact pages lost in advanced mode";
        }
        Report().push_back(line);
    }
}

std::string ReadCorpusFile(const std::string& name) { return integration::ReadWholeFile(integration::CorpusFolder() + name); }

TEST(DamageCampaign, ForgeDatabase) {
    forge::SampleDatabase db = forge::BuildSampleDatabase(12);
    const std::string bytes = db.Bytes();
    Campaign("forge sample database", bytes, true);

    // The undamaged sample lists every row of both tables with pages, in both modes.
    forge::TempFolder folder;
    ASSERT_TRUE(forge::WriteFile(folder.File("sample.mdf"), bytes));
    for (const ListingMode mode : {ListingMode::kStandard, ListingMode::kAdvanced}) {
        SCOPED_TRACE(integration::ModeName(mode));
        const RecoveryResult result = integration::RunRecovery(folder.File("sample.mdf"), mode);
        ASSERT_TRUE(result.opened);
        for (const forge::SampleTable& table : db.tables) {
            ASSERT_TRUE(result.tables.count(table.name)) << table.name;
            const integration::TableRows& rows = result.tables.at(table.name);
            EXPECT_EQ(rows.RowCount(), static_cast<std::size_t>(table.RowCount())) << table.name;
            // The cells are the decoded values: each row's text names its page and slot.
            for (std::size_t p = 0; p < table.dataPages.size(); ++p) {
                const std::string text = table.name + " page " + std::to_string(table.dataPages[p]) + " slot 3";
                EXPECT_EQ(std::count_if(rows.listed.begin(), rows.listed.end(),
                                        [&](const std::string& row) { return row.find("\t" + text + "\t") != std::string::npos; }),
                          1)
                    << text;
            }
        }
    }
    PrintReport();
    Report().clear();
}

TEST(DamageCampaign, CorpusFiles) {
    std::vector<std::string> files = integration::CorpusDataFiles();
    if (files.empty()) GTEST_SKIP() << "no real data files at " << integration::CorpusFolder();
    // The sanitizer build runs the same damage on every fourth file, to keep its time moderate.
    // PAGEWRIGHT_CAMPAIGN_FILES=text limits the campaign to the files whose name contains it.
    const char* only = std::getenv("PAGEWRIGHT_CAMPAIGN_FILES");
    std::size_t index = 0;
    for (const std::string& name : files) {
        if (only && name.find(only) == std::string::npos) continue;
        if (!kSanitized || index++ % 4 == 0) Campaign(name, ReadCorpusFile(name), false);
    }
    PrintReport();
    Report().clear();
}

}  // namespace
