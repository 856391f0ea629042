#include "workflow/FailureExplanation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "catalog/Catalog.h"
#include "pages/DatabaseFileSet.h"
#include "pages/PageHeader.h"

namespace pw {

std::string ExplainUnreadableFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT)
            return path + ": no such file. Check the path and the spelling; the primary data file of a database "
                          "usually ends in .mdf.";
        if (error == EACCES)
            return path + ": permission denied on a folder of the path. Give your user access to the folder, or "
                          "copy the file somewhere you can read.";
        return path + ": " + std::strerror(error) + ".";
    }
    if (S_ISDIR(info.st_mode))
        return path + " is a folder. Give the primary data file (.mdf) inside it; its .ndf files are found beside it.";
    if (!S_ISREG(info.st_mode)) return path + " is not a regular file. Give the path of the .mdf file itself.";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            return path + ": permission denied. Only read access is needed: run as a user who may read the file "
                          "(its owner or with sudo), or copy the file somewhere readable.";
        return path + " cannot be opened: " + std::strerror(error) + ".";
    }
    ::close(fd);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size < kPageSize)
        return path + " is " + std::to_string(size) + " bytes long; a data file holds whole pages of " +
               std::to_string(kPageSize) +
               " bytes, so this is not one (or only its first bytes survived a copy). Check that the copy is "
               "complete.";
    return "No page of the system tables that every database holds was found in " + path +
           ": it is not a data file, or it is damaged throughout. Check that it is the .mdf (not a .ldf log or a "
           ".bak backup) and that it is not encrypted or compressed.";
}

namespace {

bool IsLogFileName(const std::string& name) {
    if (name.size() < 4) return false;
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".ldf";
}

}  // namespace

std::string ExplainMissingSecondaryFiles(const CDatabaseFileSet& files, const CCatalog& catalog) {
    std::string text;
    for (const DataFileEntry& entry : catalog.fileList) {
        if (entry.fileId <= 1 || files.SecondaryFiles().count(entry.fileId) != 0) continue;
        // The file list also names the transaction log: file id 2 always, and
        // further log files by their .ldf name. They hold no data pages.
        if (entry.fileId == 2 || IsLogFileName(entry.name)) continue;
        const std::string where = entry.path.empty() ? entry.name : entry.path;
        text += "Secondary data file " + std::to_string(entry.fileId) + " was not found or could not be read (" +
                where + "); rows on its pages cannot be listed. Put the database's .ndf files beside the .mdf.\n";
    }
    return text;
}

std::string ExplainEmptyCatalog(const CDatabaseFileSet& files, const CCatalog& catalog) {
    if (!catalog.objects.empty()) return {};
    const BootPageFacts& boot = files.BootFacts();
    const bool bootFound = boot.found && boot.pageType == kBootPage;
    return std::string("The database's catalog could not be read: ") +
           (bootFound ? "its system tables, which describe every table and column, are damaged or missing"
                      : "neither the boot page (page 9) nor the system tables that describe the tables were found") +
           ", so no table can be listed. Try another copy of the database files if there is one.";
}

}  // namespace pw
