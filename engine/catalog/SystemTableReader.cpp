#include "catalog/SystemTableReader.h"

#include "pages/DataPage.h"
#include "pages/DatabaseFileSet.h"

namespace pw {

namespace {

template <typename Row, typename Make>
void AppendTo(std::vector<Row>& rows, Make&& make) {
    std::optional<Row> row = make();
    if (row) rows.push_back(std::move(*row));
}

}  // namespace

CSystemTableReader::CSystemTableReader(CDatabaseFileSet& files) : files_(files), state_(files.State()) {}

void CSystemTableReader::Walk(std::int32_t objectId,
                              const std::function<void(const SystemRecord&, const CPage&)>& onRecord,
                              const std::function<void()>& afterPage) {
    const PageMap& map = files_.SystemPageMap();
    const auto found = map.find(objectId);
    if (found == map.end()) return;
    // The list is copied: reading a page never changes the maps, but the
    // copy keeps this loop independent of that.
    const std::vector<PageRef> refs = found->second;
    for (const PageRef& ref : refs) {
        if (state_.StopRequested()) break;
        // Only data pages hold catalog rows. The object's IAM pages (whose
        // bitmap record would otherwise be read as a row) and the pages of its
        // nonclustered indexes carry the same object id and are passed over.
        if (ref.pageType != kDataPage) continue;
        // The catalog's page reader also accepts page 0 of a file; stubs are
        // followed through the file set.
        std::optional<PageImage> image = files_.ReadPage(ref.fileId, ref.position, PageZero::kAccept);
        if (!image) continue;
        CDataPage page(std::move(*image), &files_, &files_, state_);
        const auto slotCount = static_cast<std::size_t>(page.Header().slotCount > 0 ? page.Header().slotCount : 0);
        for (std::size_t i = 0; i < slotCount && i < page.records.size(); ++i) {
            if (state_.StopRequested()) break;
            std::unique_ptr<CRecord>& record = page.records[i];
            if (!record) continue;
            onRecord(SystemRecord::Of(*record), page);
            record.reset();  // a page's memory is given back record by record
        }
        if (afterPage) afterPage();
    }
}

void CSystemTableReader::ReadFiles(std::vector<FileRow>& rows) {
    Walk(kSysFiles1, [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeFileRow(r); }); });
}

void CSystemTableReader::ReadObjects(std::int32_t objectId, ObjectLayout layout, std::vector<ObjectRow>& rows) {
    nameCounter = 0;
    Walk(objectId, [&](const SystemRecord& r, const CPage&) {
        AppendTo(rows, [&] { return MakeObjectRow(r, layout, nameCounter); });
    });
    nameCounter = 0;
}

void CSystemTableReader::ReadAllocUnits(std::vector<AllocUnitRow>& rows) {
    Walk(kSysAllocUnits,
         [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeAllocUnitRow(r); }); });
}

void CSystemTableReader::ReadRowsets(std::vector<RowsetRow>& rows) {
    Walk(kSysRowsets, [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeRowsetRow(r); }); });
}

void CSystemTableReader::ReadColumns(std::vector<ColumnRow>& rows) {
    nameCounter = 0;
    Walk(kSysColPars, [&](const SystemRecord& r, const CPage&) {
        AppendTo(rows, [&] { return MakeColumnRow(r, nameCounter); });
    });
    nameCounter = 0;
}

void CSystemTableReader::ReadTypes(std::vector<TypeRow>& rows) {
    Walk(kSysScalarTypes, [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeTypeRow(r); }); });
}

void CSystemTableReader::ReadRowsetColumns(std::vector<RowsetColumnRow>& rows) {
    Walk(kSysRsCols,
         [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeRowsetColumnRow(r); }); });
}

void CSystemTableReader::ReadObjectRefs(std::vector<ObjectRefRow>& rows) {
    Walk(kSysSingleObjRefs,
         [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeObjectRefRow(r); }); });
}

void CSystemTableReader::ReadIndexes(std::vector<IndexRow>& rows) {
    Walk(kSysIdxStats, [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeIndexRow(r); }); });
}

void CSystemTableReader::ReadIndexColumns(std::vector<IndexColumnRow>& rows) {
    Walk(kSysIsCols,
         [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeIndexColumnRow(r); }); });
}

void CSystemTableReader::ReadHobtColumns(std::vector<HobtColumnRow>& rows) {
    Walk(kSysHobtColumns2005,
         [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeHobtColumnRow(r); }); });
}

void CSystemTableReader::ReadRowsetColumns2005(std::vector<RowsetColumn2005Row>& rows) {
    Walk(kSysRowsetColumns2005,
         [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeRowsetColumn2005Row(r); }); });
}

void CSystemTableReader::ReadIndexes2000(Index2000Map& entries) {
    Walk(kSysIndexes2000, [&](const SystemRecord& r, const CPage& page) {
        const std::optional<Index2000Entry> entry = MakeIndex2000Entry(r, page.Header().thisPage.file);
        if (entry && entry->indexId == 1) entries[entry->objectId] = *entry;
    });
}

void CSystemTableReader::ReadColumns2000(std::vector<Column2000Row>& rows,
                                         const std::function<void(std::size_t)>& afterPage) {
    nameCounter = 0;
    std::size_t firstOfPage = rows.size();
    Walk(
        kSysRsCols,
        [&](const SystemRecord& r, const CPage&) { AppendTo(rows, [&] { return MakeColumn2000Row(r, nameCounter); }); },
        [&] {
            if (afterPage) afterPage(firstOfPage);
            firstOfPage = rows.size();
        });
    nameCounter = 0;
}

}  // namespace pw
