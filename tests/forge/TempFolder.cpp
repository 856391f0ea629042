#include "forge/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace forge {

TempFolder::TempFolder() {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "pagewright-test-XXXXXX").string();
    if (error) pattern = "/tmp/pagewright-test-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
}

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace forge
