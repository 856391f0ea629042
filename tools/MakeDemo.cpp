// pagewright-make-demo OUT.mdf
//     writes the bundled demo database (a small shop, SQL Server 2008 R2 format).
// pagewright-make-demo --large-rows N [--all-types] OUT.mdf
//     writes a database with one clustered table "Events" of N generated rows
//     (for export benchmarks); --all-types adds the table with every type.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "forge/DemoDatabase.h"

int main(int argc, char** argv) {
    std::string out;
    long long largeRows = -1;
    bool allTypes = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--large-rows" && i + 1 < argc) {
            largeRows = std::atoll(argv[++i]);
        } else if (arg == "--all-types") {
            allTypes = true;
        } else if (arg == "--help" || arg == "-h") {
            std::puts("Usage: pagewright-make-demo [--large-rows N [--all-types]] OUT.mdf");
            return 0;
        } else if (out.empty() && !arg.empty() && arg[0] != '-') {
            out = arg;
        } else {
            std::fprintf(stderr, "Unknown argument %s\n", arg.c_str());
            return 1;
        }
    }
    if (out.empty()) {
        std::fputs("Usage: pagewright-make-demo [--large-rows N [--all-types]] OUT.mdf\n", stderr);
        return 1;
    }
    std::string error;
    if (largeRows < 0) {
        if (!forge::WriteDemoDatabase(out, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
        return 0;
    }
    forge::DatabaseForge db("PagewrightLarge");
    db.AddTable(forge::LargeTable("Events", largeRows));
    if (allTypes) db.AddTable(forge::AllTypesTable(100));
    if (!db.Write(out, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    std::fprintf(stderr, "%s: %lld rows, %u pages\n", out.c_str(), static_cast<long long>(db.RowsWritten().at(0)),
                 db.PageCount());
    return 0;
}
