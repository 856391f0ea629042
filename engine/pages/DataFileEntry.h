#pragma once
// One secondary data file (.ndf) of the database.

#include <cstdint>
#include <string>
#include <vector>

namespace pw {

struct DataFileEntry {
    std::uint16_t fileId = 0;
    // The logical file's physical name as the database's file list stores it
    // (a Windows path); empty for a file found by searching the folder.
    std::string name;
    // Where the file is read from on this machine.
    std::string path;
    std::uint64_t fileSize = 0;
    std::uint64_t wholePageCount = 0;
    std::int32_t dataStartOffset = 0;
};

using DataFileList = std::vector<DataFileEntry>;

}  // namespace pw
