#pragma once
// Data files for the GUI tests, built in memory and written to disk.

#include <cstdint>
#include <string>

namespace guitest {

// A primary data file with one user table "Numbers" (id int, twice int) of
// `rows` rows (id 1..rows, twice = 2 * id) on data pages of its own, and a
// second, empty user table "Empty". True when written.
bool WriteNumbersDatabase(const std::string& path, std::int32_t rows);

// A primary data file of `megabytes` MB: a valid start (file header, boot
// page, a small catalog) and then never-written pages, stored sparsely so
// the test costs no disk space. The scan maps every page.
bool WriteLargeDatabase(const std::string& path, std::int64_t megabytes);

}  // namespace guitest
