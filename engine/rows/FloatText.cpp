#include "rows/FloatText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace pw {

std::string FloatText(double value) {
    if (!std::isfinite(value)) return "0";
    // Digits after the point: enough for 15 significant digits. The count
    // comes from the magnitude, so a negative value keeps the digits of the
    // positive one.
    const double magnitude = std::fabs(value);
    int places = 6;
    if (magnitude > 0) {
        const double digitsBefore = std::ceil(std::log10(magnitude));
        const int p = 15 - static_cast<int>(digitsBefore);
        if (p >= 0) places = p;
    }
    // Up to 309 integer digits, 340 fraction digits for the smallest subnormals.
    char buffer[704];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, places);
    if (result.ec != std::errc{}) return "0";
    char* end = result.ptr;
    if (std::memchr(buffer, '.', static_cast<std::size_t>(end - buffer))) {
        while (end > buffer && end[-1] == '0') --end;
        if (end > buffer && end[-1] == '.') --end;
    }
    return std::string(buffer, end);
}

std::string RealText(float value) {
    const double widened = value;
    if (!std::isfinite(widened)) return "0";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, widened, std::chars_format::general, 6);
    if (result.ec != std::errc{}) return "0";
    std::string text(buffer, result.ptr);
    if (text.find("e-") != std::string::npos) return "0";
    return text;
}

}  // namespace pw
