#include "pages/SecondaryFileNames.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace pw {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string OpenableFolder(const std::string& folder) { return folder.empty() ? std::string(".") : folder; }

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Names of the entries of a folder (without "." and "..").
std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(OpenableFolder(folder).c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string FileNameOfPath(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ListedSecondaryFileName(std::string_view listedPath) {
    std::string name = FileNameOfPath(listedPath);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.resize(dot);
    return name + ".ndf";
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool HasNdfExtension(std::string_view name) {
    constexpr std::string_view kExtension = ".ndf";
    return name.size() >= kExtension.size() && EqualsIgnoringCase(name.substr(name.size() - kExtension.size()), kExtension);
}

std::string ResolveInFolder(const std::string& folder, const std::string& name) {
    const std::string exact = folder + name;
    if (IsRegularFile(exact)) return exact;
    for (const std::string& entry : FolderEntries(folder)) {
        if (EqualsIgnoringCase(entry, name) && IsRegularFile(folder + entry)) return folder + entry;
    }
    return exact;
}

std::vector<std::string> FindNdfFiles(const std::string& folder) {
    std::vector<std::string> paths;
    for (const std::string& entry : FolderEntries(folder)) {
        if (HasNdfExtension(entry) && IsRegularFile(folder + entry)) paths.push_back(folder + entry);
    }
    return paths;
}

}  // namespace pw
