#include "pages/PageMapping.h"

#include "pages/DataStartCheck.h"
#include "pages/PageHeader.h"
#include "pages/SequentialPageReader.h"

namespace pw {

namespace {

// Header fields the mapping pass reads straight from the raw page.
constexpr std::size_t kPageTypeOffset = 1;
constexpr std::size_t kObjectIdOffset = 24;
constexpr std::size_t kFileIdOffset = 36;
// Object ids up to this value belong to the system (system base tables,
// allocation pages, unused pages with id 0).
constexpr std::int32_t kLastSystemObjectId = 100;

struct RawHeader {
    std::int32_t objectId;
    std::int32_t pageType;
    std::uint16_t fileId;
};

RawHeader ReadRawHeader(ByteView page) {
    return {page.I32(kObjectIdOffset), page.U8(kPageTypeOffset), page.U16(kFileIdOffset)};
}

void AppendAll(PageMap& to, const PageMap& from) {
    for (const auto& [objectId, refs] : from) {
        auto& list = to[objectId];
        list.insert(list.end(), refs.begin(), refs.end());
    }
}

}  // namespace

bool IsSecondarySystemObject(std::int32_t objectId) {
    switch (objectId) {
        case 3: case 4: case 5: case 7: case 8: case 13: case 34:
        case 41: case 50: case 54: case 55: case 60: case 74:
            return true;
        default:
            return false;
    }
}

void PageMaps::Append(const PageMaps& other) {
    AppendAll(SystemPageMap, other.SystemPageMap);
    AppendAll(DataPageMap, other.DataPageMap);
    AppendAll(IamPageMap, other.IamPageMap);
}

PrimaryMapResult MapPrimaryFilePages(const ReadOnlyFile& file, std::uint64_t dataStartOffset,
                                     std::uint64_t wholePageCount, PageMaps& maps, AppState& state,
                                     EventSink& sink) {
    PrimaryMapResult result;
    maps.SystemPageMap.clear();
    maps.DataPageMap.clear();

    sink.ProgressRange(0, static_cast<std::int64_t>(wholePageCount));
    sink.ProgressPosition(0);
    sink.StatusText("Mapping Database Objects...........");

    SequentialPageReader reader(file, dataStartOffset);
    if (!reader.Ready()) return result;
    const std::uint64_t step = ProgressStep(wholePageCount);
    for (std::uint64_t i = 0; i <= wholePageCount && !state.StopRequested(); ++i) {
        const RawHeader h = ReadRawHeader(reader.Next());
        const PageRef ref{static_cast<std::uint32_t>(i), h.fileId, h.pageType};
        if (i == 0) {
            result.firstPageType = h.pageType;
            result.firstPageFileId = h.fileId;
        }
        ++result.headerFileIds[h.fileId];
        if (h.objectId <= kLastSystemObjectId) {
            maps.SystemPageMap[h.objectId].push_back(ref);
            ++result.systemEntries;
        }
        if (h.objectId > 0 && h.pageType == kDataPage) maps.DataPageMap[h.objectId].push_back(ref);
        if (h.objectId > 0 && h.pageType == kIamPage) maps.IamPageMap[h.objectId].push_back(ref);
        if ((i + 1) % step == 0) sink.ProgressPosition(static_cast<std::int64_t>(i + 1));
    }

    sink.ProgressPosition(static_cast<std::int64_t>(wholePageCount));
    sink.StatusText("Mapping of Database Objects has been done ......................");
    return result;
}

std::uint16_t MapSecondaryFilePages(const ReadOnlyFile& file, std::uint64_t dataStartOffset,
                                    std::uint64_t wholePageCount, std::uint16_t listedFileId,
                                    PageMaps& maps, AppState& state, EventSink& sink) {
    std::uint16_t ownFileId = 0;
    sink.ProgressRange(0, static_cast<std::int64_t>(wholePageCount));
    sink.ProgressPosition(0);

    SequentialPageReader reader(file, dataStartOffset);
    if (!reader.Ready()) return ownFileId;
    const std::uint64_t step = ProgressStep(wholePageCount);
    for (std::uint64_t j = 0; j <= wholePageCount && !state.StopRequested(); ++j) {
        const RawHeader h = ReadRawHeader(reader.Next());
        // A listed file is known by its listed id, whatever a damaged header says.
        const std::uint16_t fileId = listedFileId > 0 ? listedFileId : h.fileId;
        const PageRef ref{static_cast<std::uint32_t>(j), fileId, h.pageType};
        if (IsSecondarySystemObject(h.objectId)) maps.SystemPageMap[h.objectId].push_back(ref);
        if (h.objectId > 0 && h.pageType == kDataPage) {
            maps.DataPageMap[h.objectId].push_back(ref);
            if (ownFileId == 0 && h.fileId > 1) ownFileId = h.fileId;
        }
        if ((j + 1) % step == 0) sink.ProgressPosition(static_cast<std::int64_t>(j + 1));
    }
    sink.ProgressPosition(static_cast<std::int64_t>(wholePageCount));
    return ownFileId;
}

}  // namespace pw
