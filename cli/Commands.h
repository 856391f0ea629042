#pragma once
// The commands of pagewright-cli and their exit codes.

#include <string>

namespace cli {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitNoSuchObject = 3;

// `info FILE`: key: value lines describing a primary data file.
int Info(const std::string& path);

}  // namespace cli
