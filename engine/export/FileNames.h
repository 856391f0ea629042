#pragma once
// File names made from table names: every character a file system refuses
// (path separators, control characters, the characters Windows reserves)
// becomes '_', trailing dots and blanks are cut, names Windows reserves
// (CON, NUL, COM1, ...) get a trailing '_', and the result is at most 200
// bytes without cutting a UTF-8 sequence. Names stay unique ignoring ASCII
// case (as on case-insensitive file systems) by a suffix _2, _3, ...

#include <set>
#include <string>

namespace pw {

std::string SafeFileStem(const std::string& name);

class UniqueNames {
public:
    // `stem` itself, or stem_2, stem_3, ... when taken already.
    std::string Take(const std::string& stem);
    // Marks a name as taken (a name the output uses for itself).
    void Reserve(const std::string& name);

private:
    std::set<std::string> taken_;  // lower-cased
};

}  // namespace pw
