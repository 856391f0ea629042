#include "export/FileNames.h"

#include <algorithm>
#include <cctype>

namespace pw {

namespace {

std::string Lower(const std::string& text) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lower;
}

bool IsReservedDeviceName(const std::string& stem) {
    static const char* const kNames[] = {"con", "prn", "aux", "nul"};
    const std::string lower = Lower(stem.substr(0, stem.find('.')));
    for (const char* name : kNames)
        if (lower == name) return true;
    return lower.size() == 4 && (lower.compare(0, 3, "com") == 0 || lower.compare(0, 3, "lpt") == 0) &&
           lower[3] >= '1' && lower[3] <= '9';
}

constexpr std::size_t kMaxStemBytes = 200;

}  // namespace

std::string SafeFileStem(const std::string& name) {
    std::string stem;
    stem.reserve(name.size());
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        const bool refused = u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' ||
                             c == '"' || c == '<' || c == '>' || c == '|';
        stem += refused ? '_' : c;
    }
    if (stem.size() > kMaxStemBytes) {
        std::size_t cut = kMaxStemBytes;
        // Never inside a UTF-8 sequence: back up over continuation bytes.
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
        stem.resize(cut);
    }
    while (!stem.empty() && (stem.back() == '.' || stem.back() == ' ')) stem.pop_back();
    if (stem.empty() || stem.front() == '.') stem.insert(stem.begin(), '_');
    if (IsReservedDeviceName(stem)) stem += '_';
    return stem;
}

std::string UniqueNames::Take(const std::string& stem) {
    std::string name = stem;
    for (int n = 2; taken_.count(Lower(name)) != 0; ++n) name = stem + "_" + std::to_string(n);
    taken_.insert(Lower(name));
    return name;
}

void UniqueNames::Reserve(const std::string& name) { taken_.insert(Lower(name)); }

}  // namespace pw
