#pragma once
// CDatabaseFileSet: the open data files of one database and their page maps.
//
// Everything above the page layer reads pages only through this object, by
// (file id, page number). File id 1 is the primary file, which stays open
// read-only for the life of the file set; secondary files (ids above 1) are
// opened read-only for each read and closed again.
//
// Geometry of a file of S bytes:
//   wholePageCount  = S / 8192 (whole pages only)
//   dataStartOffset = byte offset of page 0: S mod 8192 at first, settled by
//                     the data start check (0 when the extra bytes trail)
//   extentCount     = wholePageCount / 8
// Page n of a file lies at n * 8192 + dataStartOffset. The page numbered
// wholePageCount is the trailing partial page (zero-filled past the end).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "catalog/ColumnDescriptor.h"
#include "pages/DataFileEntry.h"
#include "pages/Page.h"
#include "pages/PageMapping.h"
#include "pages/PageRef.h"
#include "pages/PageSource.h"
#include "pages/ReadOnlyFile.h"
#include "support/AppState.h"
#include "support/EventSink.h"

namespace pw {

class CDataPage;
class IamPage;

// What the boot page said, kept for reports (version numbers, raw collation id).
struct BootPageFacts {
    bool found = false;            // a page was read at the boot position
    std::int32_t pageType = 0;     // its header page type (13 for a boot page)
    std::uint16_t version = 0;     // on-disk format version
    std::uint16_t createVersion = 0;  // version the database was created with
    std::int32_t collationId = 0;  // the boot page's collation id as stored
};

// Whether page number 0 (the file header page) may be read. The catalog's
// readers of system tables accept it; every other reader refuses it.
enum class PageZero { kRefuse, kAccept };

class CDatabaseFileSet final : public PageSource {
public:
    CDatabaseFileSet(AppState& state, EventSink& sink) : state_(state), sink_(sink) {}
    CDatabaseFileSet(const CDatabaseFileSet&) = delete;
    CDatabaseFileSet& operator=(const CDatabaseFileSet&) = delete;
    ~CDatabaseFileSet() override;

    // Opens the primary file, settles its data start and maps its pages.
    // Never fails to return an object; the caller tests IsOpened(). Failures
    // are reported to the sink as fatal errors.
    static std::unique_ptr<CDatabaseFileSet> OpenFileSet(const std::string& primaryPath, AppState& state,
                                                         EventSink& sink);

    bool IsOpened() const { return opened_; }
    const std::string& PrimaryPath() const { return primaryPath_; }
    AppState& State() const { return state_; }
    EventSink& Sink() const { return sink_; }

    // ---- page reads ---------------------------------------------------------
    // The 8192-byte image of page `pageNumber` of file `fileId`, or nothing
    // when the page lies outside the file or the file is unknown.
    std::optional<PageImage> ReadPage(std::int32_t fileId, std::int64_t pageNumber,
                                      PageZero pageZero = PageZero::kRefuse) const;
    // The header of a page; its image is kept in currentPageImage (torn bits
    // restored) until the next read or ReleaseCurrentPageImage().
    std::optional<CPage_Header> ReadPageHeader(std::int32_t fileId, std::int64_t pageNumber);
    // The header of a page, without keeping its image.
    std::optional<CPage_Header> ReadPageHeaderOnly(std::int32_t fileId, std::int64_t pageNumber) const;
    void ReleaseCurrentPageImage() { currentPageImage.clear(); }
    // The page as a data page with its records parsed, or nothing. The page
    // object owns its image; forwarding stubs on it are followed through this
    // file set.
    std::unique_ptr<CDataPage> ReadDataPage(std::int32_t fileId, std::int64_t pageNumber);
    // The same for a listing: `listingColumns` (the stored columns of the table
    // being listed, in record order) let the page walk expand compressed records.
    std::unique_ptr<CDataPage> ReadDataPage(std::int32_t fileId, std::int64_t pageNumber,
                                            std::span<const ColumnDescriptor> listingColumns);
    // The page as an IAM page (extent bitmap and single-page slots), or
    // nothing when it cannot be read. The page type is not checked: the
    // caller reached it through a pointer that names it an IAM page.
    std::unique_ptr<IamPage> ReadIamPage(std::int32_t fileId, std::int64_t pageNumber);
    // PageSource: the pages forwarding stubs point at.
    std::optional<PageImage> FetchPage(std::uint16_t fileId, std::int64_t pageNumber) override {
        return ReadPage(fileId, pageNumber);
    }

    // ---- boot page and secondary files (run by the catalog build) ------------
    // Finds the boot page through the page maps (allowing for shifted pages),
    // sets databaseName, the version text and the collation in the state.
    void ReadBootPage();
    // Finds the secondary files of the database: those of `fileList` (the
    // database's own list, Windows paths) looked for beside the primary file,
    // or, when the list is empty, every ".ndf" file in the primary's folder;
    // files found by the search are appended to `fileList`. Maps their pages.
    void LocateSecondaryFiles(const std::string& primaryPath, DataFileList& fileList);

    // ---- maps and tables ------------------------------------------------------
    const PageMap& SystemPageMap() const { return maps_.SystemPageMap; }
    const PageMap& DataPageMap() const { return maps_.DataPageMap; }
    const PageMap& IamPageMap() const { return maps_.IamPageMap; }
    const std::map<std::uint16_t, DataFileEntry>& SecondaryFiles() const { return secondaryFiles_; }
    const BootPageFacts& BootFacts() const { return bootFacts_; }

    // The file id the primary file's own pages carry: the id of its file
    // header page (page 0), else the id at least half of its pages carry, else
    // 0. A value above 1 means a secondary file was opened on its own.
    std::uint16_t HeaderFileId() const { return headerFileId_; }

    // Runs the data start check on the primary file and sets dataStartOffset.
    bool CheckDataStart();
    // Maps every page of the primary file; true when a system page was found.
    bool MapDatabaseObjects();

    // Whole pages of file `fileId`: ids 0 and 1 name the primary file, others
    // the secondary files found; an unknown file has none.
    std::uint64_t FilePageCount(std::int32_t fileId) const;
    // A page of a table lies inside its file: page 1 up to the file's last
    // whole page (page 0 is the file header page).
    bool IsInsideFile(std::int32_t fileId, std::int64_t pageNumber) const {
        return pageNumber >= 1 && static_cast<std::uint64_t>(pageNumber) < FilePageCount(fileId);
    }

    // ---- geometry of the primary file ------------------------------------------
    std::uint64_t fileSize = 0;
    std::uint64_t wholePageCount = 0;
    std::uint64_t dataStartOffset = 0;
    std::uint64_t extentCount = 0;
    // The image read by the last ReadPageHeader.
    PageImage currentPageImage;
    // The database name from the boot page (empty until it is read).
    std::string databaseName;

private:
    void LocateBySearch(const std::string& folder, DataFileList& fileList);
    void LocateListed(const std::string& folder, DataFileList& fileList);

    AppState& state_;
    EventSink& sink_;
    bool opened_ = false;
    std::string primaryPath_;
    ReadOnlyFile primary_;
    PageMaps maps_;
    std::map<std::uint16_t, DataFileEntry> secondaryFiles_;
    BootPageFacts bootFacts_;
    std::uint16_t headerFileId_ = 0;
};

}  // namespace pw
