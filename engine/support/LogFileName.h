#pragma once
// The name of a log file: "KestrelSQLDatabaseRec_log_" + day-month-year-
// hour-minute-second of the local time the file was started, each number
// without leading zeros, + ".txt". Started on 9 December 2024 at 17:05:03 it
// is "KestrelSQLDatabaseRec_log_9-12-2024-17-5-3.txt".

#include <ctime>
#include <string>

namespace pw {

inline constexpr char kLogFileNamePrefix[] = "KestrelSQLDatabaseRec_log_";
inline constexpr char kLogFileNameSuffix[] = ".txt";

// The name for the moment `localTime` (a broken-down local time).
std::string LogFileName(const std::tm& localTime);

// The current local time.
std::tm LocalTimeNow();

}  // namespace pw
