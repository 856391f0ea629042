#include "pages/DatabaseFileSet.h"

#include <algorithm>

#include "pages/DataPage.h"
#include "pages/DataStartCheck.h"
#include "pages/IamPage.h"

namespace pw {

namespace {

constexpr char kCannotOpen[] = "File cannot be open...........";
constexpr char kNotValid[] = "Wheteher File is not valid mdf file or file is highly corrupted...........";

// Bounds shared by every file: page numbers 1 to wholePageCount (0 only when
// asked for), and an offset no further than the end of the file (an offset
// equal to the size gives a zero page).
std::optional<std::uint64_t> PageOffset(std::int64_t pageNumber, PageZero pageZero, std::uint64_t wholePageCount,
                                        std::uint64_t dataStart, std::uint64_t size) {
    if (pageNumber < 0 || (pageNumber == 0 && pageZero == PageZero::kRefuse)) return std::nullopt;
    const auto page = static_cast<std::uint64_t>(pageNumber);
    if (page > wholePageCount) return std::nullopt;
    const std::uint64_t offset = page * kPageSize + dataStart;
    if (offset > size) return std::nullopt;
    return offset;
}

std::optional<PageImage> ReadImage(const ReadOnlyFile& file, std::uint64_t offset) {
    PageImage image(kPageSize, 0);  // a short read leaves zeros
    file.ReadAt(offset, image.data(), image.size());
    return image;
}

}  // namespace

CDatabaseFileSet::~CDatabaseFileSet() = default;

std::unique_ptr<CDatabaseFileSet> CDatabaseFileSet::OpenFileSet(const std::string& primaryPath, AppState& state,
                                                                 EventSink& sink) {
    auto set = std::make_unique<CDatabaseFileSet>(state, sink);
    set->primaryPath_ = primaryPath;
    set->opened_ = true;
    if (!set->primary_.Open(primaryPath)) {
        sink.FatalError(kCannotOpen);
        set->opened_ = false;
    } else if (set->primary_.Size() < kPageSize) {
        sink.FatalError(kNotValid);
        set->opened_ = false;
    } else {
        set->fileSize = set->primary_.Size();
        set->wholePageCount = set->fileSize / kPageSize;
        set->dataStartOffset = set->fileSize % kPageSize;
        set->extentCount = set->wholePageCount / 8;
        set->CheckDataStart();
        if (!set->MapDatabaseObjects()) {
            set->opened_ = false;
            sink.FatalError(kNotValid);
        }
    }
    // A stop ends this scan's passes, not the next command.
    state.m_bStopRequested.store(false);
    return set;
}

bool CDatabaseFileSet::CheckDataStart() {
    const std::uint64_t remainder = fileSize % kPageSize;
    const bool keep = pw::CheckDataStart(primary_, wholePageCount, remainder, state_, sink_);
    dataStartOffset = keep ? remainder : 0;
    return keep;
}

bool CDatabaseFileSet::MapDatabaseObjects() {
    const PrimaryMapResult result =
        MapPrimaryFilePages(primary_, dataStartOffset, wholePageCount, maps_, state_, sink_);
    if (result.firstPageType == kFileHeaderPage && result.firstPageFileId != 0) {
        headerFileId_ = result.firstPageFileId;
    } else {
        // Without a file header page, an id counts only when at least half of
        // the pages carry it: bytes that are no pages give no id at all.
        std::uint64_t best = 0, pages = 0;
        std::uint16_t bestId = 0;
        for (const auto& [fileId, count] : result.headerFileIds) {
            pages += count;
            if (fileId != 0 && count > best) {
                best = count;
                bestId = fileId;
            }
        }
        headerFileId_ = 2 * best >= pages ? bestId : 0;
    }
    return result.systemEntries > 0;
}

std::optional<PageImage> CDatabaseFileSet::ReadPage(std::int32_t fileId, std::int64_t pageNumber,
                                                    PageZero pageZero) const {
    if (fileId <= 0) return std::nullopt;
    if (fileId == 1) {
        if (!primary_.IsOpen()) return std::nullopt;
        const auto offset = PageOffset(pageNumber, pageZero, wholePageCount, dataStartOffset, fileSize);
        if (!offset) return std::nullopt;
        return ReadImage(primary_, *offset);
    }
    if (fileId > 0xFFFF) return std::nullopt;
    const auto found = secondaryFiles_.find(static_cast<std::uint16_t>(fileId));
    if (found == secondaryFiles_.end() || found->second.path.empty()) return std::nullopt;
    const DataFileEntry& entry = found->second;
    const auto offset = PageOffset(pageNumber, pageZero, entry.wholePageCount,
                                   static_cast<std::uint64_t>(std::max(entry.dataStartOffset, 0)), entry.fileSize);
    if (!offset) return std::nullopt;
    // Secondary files are never held open between reads.
    ReadOnlyFile file;
    if (!file.Open(entry.path)) return std::nullopt;
    return ReadImage(file, *offset);
}

std::optional<CPage_Header> CDatabaseFileSet::ReadPageHeader(std::int32_t fileId, std::int64_t pageNumber) {
    currentPageImage.clear();
    auto image = ReadPage(fileId, pageNumber);
    if (!image) return std::nullopt;
    currentPageImage = std::move(*image);
    return CPage_Header(std::span<std::uint8_t>(currentPageImage));
}

std::unique_ptr<CDataPage> CDatabaseFileSet::ReadDataPage(std::int32_t fileId, std::int64_t pageNumber) {
    return ReadDataPage(fileId, pageNumber, {});
}

std::unique_ptr<CDataPage> CDatabaseFileSet::ReadDataPage(std::int32_t fileId, std::int64_t pageNumber,
                                                          std::span<const ColumnDescriptor> listingColumns) {
    auto image = ReadPage(fileId, pageNumber);
    if (!image) return nullptr;
    return std::make_unique<CDataPage>(std::move(*image), this, this, state_, listingColumns);
}

std::unique_ptr<IamPage> CDatabaseFileSet::ReadIamPage(std::int32_t fileId, std::int64_t pageNumber) {
    auto image = ReadPage(fileId, pageNumber);
    if (!image) return nullptr;
    return std::make_unique<IamPage>(std::move(*image), this, this, state_);
}

std::uint64_t CDatabaseFileSet::FilePageCount(std::int32_t fileId) const {
    if (fileId == 0 || fileId == 1) return wholePageCount;
    if (fileId < 0 || fileId > 0xFFFF) return 0;
    const auto found = secondaryFiles_.find(static_cast<std::uint16_t>(fileId));
    // A listed file that was not found on this machine has no pages to read.
    if (found == secondaryFiles_.end() || found->second.path.empty()) return 0;
    return found->second.wholePageCount;
}

std::optional<CPage_Header> CDatabaseFileSet::ReadPageHeaderOnly(std::int32_t fileId, std::int64_t pageNumber) const {
    auto image = ReadPage(fileId, pageNumber);
    if (!image) return std::nullopt;
    return CPage_Header(std::span<std::uint8_t>(*image));
}

}  // namespace pw
