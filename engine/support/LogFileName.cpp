#include "support/LogFileName.h"

namespace pw {

std::string LogFileName(const std::tm& t) {
    // std::tm counts months from 0 and years from 1900.
    return kLogFileNamePrefix + std::to_string(t.tm_mday) + "-" + std::to_string(t.tm_mon + 1) + "-" +
           std::to_string(t.tm_year + 1900) + "-" + std::to_string(t.tm_hour) + "-" + std::to_string(t.tm_min) +
           "-" + std::to_string(t.tm_sec) + kLogFileNameSuffix;
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local;
}

}  // namespace pw
