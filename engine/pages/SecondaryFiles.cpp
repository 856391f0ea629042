// Finding and mapping the secondary data files of a database.

#include "pages/DataStartCheck.h"
#include "pages/DatabaseFileSet.h"
#include "pages/SecondaryFileNames.h"
#include "support/CollationTable.h"

namespace pw {

namespace {

void LogTooShort(EventSink& sink, const std::string& path) {
    // Its page count would be 0: there is nothing to check or map.
    sink.LogLine("Secondary data file skipped, it is shorter than one page: " + path);
}

}  // namespace

void CDatabaseFileSet::LocateSecondaryFiles(const std::string& primaryPath, DataFileList& fileList) {
    const std::string folder = FolderOf(primaryPath);
    if (fileList.empty()) {
        LocateBySearch(folder, fileList);
    } else {
        LocateListed(folder, fileList);
    }
}

void CDatabaseFileSet::LocateBySearch(const std::string& folder, DataFileList& fileList) {
    for (const std::string& path : FindNdfFiles(folder)) {
        if (state_.StopRequested()) break;
        if (path == primaryPath_) continue;  // a secondary file opened as the primary one
        ReadOnlyFile file;
        if (!file.Open(path)) continue;
        if (file.Size() < kPageSize) {
            LogTooShort(sink_, path);
            continue;
        }
        DataFileEntry entry;
        entry.path = path;
        entry.fileSize = file.Size();
        entry.wholePageCount = entry.fileSize / kPageSize;
        const std::uint64_t remainder = entry.fileSize % kPageSize;
        const bool keep = pw::CheckDataStart(file, entry.wholePageCount, remainder, state_, sink_);
        entry.dataStartOffset = keep ? static_cast<std::int32_t>(remainder) : 0;

        // The file's id is only known once its data pages were read; its
        // entries join the maps only when it turns out to be one of ours.
        PageMaps found;
        const std::uint16_t fileId = MapSecondaryFilePages(
            file, static_cast<std::uint64_t>(entry.dataStartOffset), entry.wholePageCount, 0, found, state_, sink_);
        if (fileId <= 1) {
            sink_.LogLine("Secondary data file ignored, no data page carries its file id: " + path);
            continue;
        }
        if (secondaryFiles_.count(fileId) != 0) {
            sink_.LogLine("Secondary data file ignored, its file id " + std::to_string(fileId) +
                          " was already found: " + path);
            continue;
        }
        entry.fileId = fileId;
        fileList.push_back(entry);
        secondaryFiles_[fileId] = entry;
        maps_.Append(found);
    }
}

void CDatabaseFileSet::LocateListed(const std::string& folder, DataFileList& fileList) {
    for (DataFileEntry& entry : fileList) {
        if (state_.StopRequested()) break;
        if (entry.fileId <= 1) continue;
        entry.path = ResolveInFolder(folder, ListedSecondaryFileName(entry.name));
        ReadOnlyFile file;
        if (!file.Open(entry.path)) continue;
        if (file.Size() < kPageSize) {
            LogTooShort(sink_, entry.path);
            continue;
        }
        if (secondaryFiles_.count(entry.fileId) != 0) continue;  // the list names an id twice
        entry.fileSize = file.Size();
        entry.wholePageCount = entry.fileSize / kPageSize;
        // The pages of a file with extra bytes may start after them or at 0:
        // the same check as for the primary file settles it.
        const std::uint64_t remainder = entry.fileSize % kPageSize;
        const bool keep = pw::CheckDataStart(file, entry.wholePageCount, remainder, state_, sink_);
        entry.dataStartOffset = keep ? static_cast<std::int32_t>(remainder) : 0;
        secondaryFiles_[entry.fileId] = entry;
        MapSecondaryFilePages(file, static_cast<std::uint64_t>(entry.dataStartOffset), entry.wholePageCount,
                              entry.fileId, maps_, state_, sink_);
    }
}

}  // namespace pw
