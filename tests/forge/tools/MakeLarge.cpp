// pagewright-make-large FILE SIZE_MB [--tables N] [--orders N] [--documents N]
//
// Writes a large synthetic primary data file for benchmarks (see
// forge/LargeDatabaseForge.h) and a FILE.layout beside it: key=value lines
// telling where the Orders table's pages lie.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "forge/LargeDatabaseForge.h"

namespace {

const char kUsage[] =
    "Usage: make-large FILE SIZE_MB [--tables N] [--orders N] [--documents N]\n"
    "  FILE           the data file to write (replaced when it exists)\n"
    "  SIZE_MB        about this many MiB; filler tables make up the size\n"
    "  --tables N     a catalog of N more tables of 20 columns each\n"
    "  --orders N     rows of the clustered table Orders (default 1000000)\n"
    "  --documents N  rows of the heap Documents with large values (default 2000)\n";

constexpr int kLayoutFormat = 2;

bool ParseCount(const char* text, long long max, long long& out) {
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v > max) return false;
    out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    forge::LargeDatabaseSpec wanted;
    const std::string path = argv[1];
    long long sizeMb = 0;
    if (!ParseCount(argv[2], 1LL << 20, sizeMb)) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    wanted.targetBytes = static_cast<std::uint64_t>(sizeMb) << 20;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        long long value = 0;
        if (i + 1 >= argc || !ParseCount(argv[i + 1], 100'000'000LL, value)) {
            std::fputs(kUsage, stderr);
            return 1;
        }
        ++i;
        if (arg == "--tables" && value <= 1'000'000) wanted.catalogTables = static_cast<std::int32_t>(value);
        else if (arg == "--orders") wanted.orderRows = value;
        else if (arg == "--documents") wanted.documentRows = value;
        else {
            std::fputs(kUsage, stderr);
            return 1;
        }
    }

    forge::LargeDatabaseLayout layout;
    std::string error;
    if (!forge::WriteLargeDatabase(path, wanted, layout, error)) {
        std::fprintf(stderr, "make-large: %s\n", error.c_str());
        return 2;
    }
    std::ofstream out(path + ".layout");
    // `format` changes whenever the generator writes different files, so
    // that bench/run knows to generate them again.
    out << "format=" << kLayoutFormat << "\n"
        << "pages=" << layout.pages << "\n"
        << "orders_rows=" << wanted.orderRows << "\n"
        << "orders_first_page=" << layout.ordersFirstPage << "\n"
        << "orders_last_page=" << layout.ordersLastPage << "\n"
        << "orders_pages=" << layout.ordersPageCount << "\n"
        << "orders_first_iam_page=" << layout.ordersFirstIamPage << "\n"
        << "documents_rows=" << wanted.documentRows << "\n"
        << "documents_pages=" << layout.documentsPageCount << "\n"
        << "document_text_pages=" << layout.documentTextPageCount << "\n"
        << "catalog_tables=" << wanted.catalogTables << "\n"
        << "filler_tables=" << layout.fillerTables << "\n"
        << "filler_rows=" << layout.fillerRows << "\n"
        << "system_tables_first_page=" << layout.catalogFirstPage << "\n";
    if (!out) {
        std::fprintf(stderr, "make-large: cannot write %s.layout\n", path.c_str());
        return 2;
    }
    std::printf("%s: %llu pages (%llu MiB), Orders %lld rows on %u pages, %d filler tables, %d catalog tables\n",
                path.c_str(), static_cast<unsigned long long>(layout.pages),
                static_cast<unsigned long long>(layout.pages / 128), static_cast<long long>(wanted.orderRows),
                layout.ordersPageCount, layout.fillerTables, wanted.catalogTables);
    return 0;
}
