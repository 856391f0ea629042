// pagewright-cli info FILE

#include <cstdio>
#include <string>

#include "CliEventSink.h"
#include "Commands.h"
#include "catalog/Catalog.h"
#include "pages/DatabaseFileSet.h"
#include "support/AppState.h"
#include "support/CollationTable.h"
#include "workflow/FailureExplanation.h"

namespace cli {

namespace {

constexpr char kNotValid[] = "Wheteher File is not valid mdf file or file is highly corrupted...........";

void PrintKey(const char* key, const std::string& value) { std::printf("%s: %s\n", key, value.c_str()); }

void PrintKey(const char* key, std::uint64_t value) { std::printf("%s: %llu\n", key, static_cast<unsigned long long>(value)); }

void PrintKey(const char* key, std::int64_t value) { std::printf("%s: %lld\n", key, static_cast<long long>(value)); }

// The version texts start with a blank (they follow "Database version: " in the log).
std::string WithoutLeadingBlank(const std::string& text) {
    return (!text.empty() && text.front() == ' ') ? text.substr(1) : text;
}

}  // namespace

int Info(const Options& options) {
    const std::string& path = options.positional.at(0);
    pw::AppState state;
    pw::LoadCollationTable(pw::ExecutablePath(), state.m_mapCollations);
    std::string error;
    if (!ApplyReadingOptions(options, state, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    CliEventSink sink(/*quiet=*/true);

    auto files = pw::CDatabaseFileSet::OpenFileSet(path, state, sink);
    if (!files->IsOpened()) {
        // The sink printed the engine's message; say what went wrong and what to try.
        std::fprintf(stderr, "%s\n", pw::ExplainUnreadableFile(path).c_str());
        return kExitUnreadable;
    }

    PrintKey("file", path);
    PrintKey("pages", files->wholePageCount);
    PrintKey("data_start", files->dataStartOffset);

    // Every page of a secondary file carries its own file id (above 1). Such
    // a file holds no boot page and no catalog: it cannot be read alone.
    if (files->HeaderFileId() > 1) {
        PrintKey("file_type", std::string("secondary"));
        PrintKey("file_id", static_cast<std::uint64_t>(files->HeaderFileId()));
        std::fprintf(stderr,
                     "%s is a secondary data file (file id %u) of a database; open its primary data file "
                     "(.mdf) with the secondary files beside it to read it.\n",
                     path.c_str(), static_cast<unsigned>(files->HeaderFileId()));
        return kExitUnreadable;
    }

    // The catalog build reads the boot page, the database's file list (and
    // through it the secondary files) and the system tables.
    pw::CCatalog catalog(state);
    catalog.LoadCatalog(*files);
    const pw::BootPageFacts& boot = files->BootFacts();
    if (!boot.found || boot.pageType != pw::kBootPage) {
        std::fprintf(stderr, "%s\nNo boot page was found (page 9 of the primary file, page type 13).\n", kNotValid);
        return kExitUnreadable;
    }

    std::fputs(pw::ExplainMissingSecondaryFiles(*files, catalog).c_str(), stderr);
    PrintKey("file_type", std::string("primary"));
    PrintKey("version", static_cast<std::uint64_t>(boot.version));
    PrintKey("version_text", WithoutLeadingBlank(state.m_strSqlVersion));
    PrintKey("create_version", static_cast<std::uint64_t>(boot.createVersion));
    PrintKey("database", files->databaseName);
    PrintKey("collation", state.m_bCollationResolved ? state.m_strCollationName : std::string("Unknown Collation"));
    PrintKey("collation_id", state.m_bCollationResolved ? state.m_nCollationId : std::int64_t{boot.collationId});
    PrintKey("code_page", std::int64_t{state.m_nCodePage});
    // The layout is the one the catalog found: object 34 holds no object row in the SQL Server 2000 layout.
    PrintKey("layout", std::string(state.m_bIsSql2000 ? "2000" : "2005"));
    PrintKey("secondary_files", static_cast<std::uint64_t>(files->SecondaryFiles().size()));
    for (const auto& [fileId, entry] : files->SecondaryFiles())
        std::printf("secondary_file: %u %s\n", static_cast<unsigned>(fileId), entry.path.c_str());
    std::uint64_t userTables = 0;
    for (const pw::ObjectRow& row : catalog.objects)
        if (row.typeCode == "U ") ++userTables;
    PrintKey("objects", static_cast<std::uint64_t>(catalog.objects.size()));
    PrintKey("user_tables", userTables);
    return kExitDone;
}

}  // namespace cli
