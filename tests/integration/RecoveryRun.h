#pragma once
// One recovery run over a data file, as the whole-file tests need it: the file
// set opened, the catalog loaded, every object of the catalog opened and
// every user table listed through the record browser (every screen page, in
// either recovery mode), with the rows decoded by the row decoder.
// A run can be given a deadline: it then runs on a worker thread, and when the
// deadline passes the stop flag is raised (every engine loop polls it); a run
// that does not end even then is reported as hung.

#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pages/PageId.h"

namespace integration {

enum class ListingMode {
    kStandard,  // the page source the allocation unit names (page chain or IAM chain)
    kAdvanced,  // the pages the scan filed under the table
};

const char* ModeName(ListingMode mode);

// A row as a key: every cell's text, each followed by a TAB; cells of
// large-object and max types, which may live on pages of their own, read "*".
struct PageRows {
    pw::PageId page;
    std::vector<std::string> rows;
};

struct TableRows {
    std::string name;
    bool opened = false;
    std::multiset<std::string> listed;  // the rows the listing showed
    std::size_t listedCount = 0;
    std::vector<PageRows> pages;         // advanced mode: the decoded rows of each scan page
    std::size_t RowCount() const;
    bool Has(const std::string& row) const;
};

struct RecoveryResult {
    bool finished = false;   // ended by itself before the deadline
    bool hung = false;       // did not end even after the stop request
    bool opened = false;     // the file set opened
    std::size_t objects = 0; // catalog objects
    std::vector<std::string> fatalErrors;
    std::vector<std::string> logLines;
    std::map<std::string, TableRows> tables;  // user tables by name
    std::size_t RowCount() const;
};

// Runs the recovery on the calling thread.
RecoveryResult RunRecovery(const std::string& primaryPath, ListingMode mode);

// The same on a worker thread, ended by the stop flag after `deadline`.
RecoveryResult RunRecovery(const std::string& primaryPath, ListingMode mode, std::chrono::seconds deadline);

// ---- files ------------------------------------------------------------------
std::string ReadWholeFile(const std::string& path);
// A 64-bit FNV-1a hash of the file's bytes, and its size, as text.
std::string FileDigest(const std::string& path);

// Real data files beside the checkout (primary files first, then the rest);
// empty when the folder is absent.
std::vector<std::string> CorpusDataFiles();
const std::string& CorpusFolder();

}  // namespace integration
