#pragma once
// A folder under the system's temporary folder, removed with everything in it.

#include <string>

namespace forge {

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    // The folder, ending with '/'; empty when it could not be created.
    const std::string& Path() const { return path_; }
    // The path of `name` inside the folder.
    std::string File(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Writes `bytes` to `path` (created or truncated); false on failure.
bool WriteFile(const std::string& path, const std::string& bytes);

}  // namespace forge
