#include "GuiForge.h"

#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "catalog/SystemRowBuilders.h"
#include "forge/PageBuilder.h"
#include "forge/SystemTableForge.h"

namespace guitest {

namespace {

constexpr std::int32_t kNumbersId = 1000;
constexpr std::int32_t kEmptyId = 1001;
constexpr std::int64_t kNumbersRowset = 900;
// The page header's object id of the table's in-row allocation unit (unit id >> 16).
constexpr std::int32_t kNumbersPageKey = 5000;

forge::CatalogFileBuilder CatalogOf(std::uint32_t pageCount) {
    forge::CatalogFileBuilder b(pageCount);
    b.Table(pw::kSysSchObjs, {forge::SchObjRecord(kNumbersId, "Numbers", "U "),
                              forge::SchObjRecord(kEmptyId, "Empty", "U ")});
    b.Table(pw::kSysColPars, {forge::ColParRecord(kNumbersId, 1, "id"), forge::ColParRecord(kNumbersId, 2, "twice"),
                              forge::ColParRecord(kEmptyId, 1, "id")});
    b.Table(pw::kSysScalarTypes, {forge::ScalarTypeRecord(56, 56, 4, "int")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(kNumbersRowset, kNumbersId, 0)});
    b.Table(pw::kSysAllocUnits,
            {forge::AllocUnitRecord(std::int64_t{kNumbersPageKey} << 16, 1, kNumbersRowset)});
    return b;
}

}  // namespace

bool WriteNumbersDatabase(const std::string& path, std::int32_t rows) {
    // About 500 records of 15 bytes and their slots fit on a page.
    constexpr std::int32_t kPerPage = 400;
    const std::uint32_t dataPages = static_cast<std::uint32_t>((rows + kPerPage - 1) / kPerPage);
    forge::CatalogFileBuilder b = CatalogOf(96 + dataPages);
    std::int32_t id = 1;
    for (std::uint32_t p = 0; p < dataPages; ++p) {
        const std::uint32_t position = b.NextPosition();
        forge::PageBuilder page;
        page.Type(pw::kDataPage).ObjectId(kNumbersPageKey).IndexId(0).ThisPage(1, position);
        for (std::int32_t i = 0; i < kPerPage && id <= rows; ++i, ++id) {
            forge::Fixed fixed(8);
            fixed.Put(0, static_cast<std::uint32_t>(id), 4).Put(4, static_cast<std::uint32_t>(2 * id), 4);
            page.AddRecord(forge::PlainRecord(fixed.bytes(), {}, 0, 2));
        }
        b.Page(page.Build());
    }
    return b.File().WriteTo(path);
}

bool WriteLargeDatabase(const std::string& path, std::int64_t megabytes) {
    forge::CatalogFileBuilder b = CatalogOf(96);
    if (!b.File().WriteTo(path)) return false;
    // The rest of the file: a hole, read back as zero pages.
    const int fd = ::open(path.c_str(), O_WRONLY);
    if (fd < 0) return false;
    const bool sized = ::ftruncate(fd, static_cast<off_t>(megabytes * 1024 * 1024)) == 0;
    ::close(fd);
    return sized;
}

}  // namespace guitest
