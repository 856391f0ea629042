#pragma once
// Builds whole data files for tests: a run of 8192-byte pages with chosen
// headers, a boot page, leading or trailing extra bytes, written to disk.
//
// By default every page is a formatted, empty page whose header carries its
// own number (its position) and the builder's file id, with page type 0 and
// object id 0, as the allocation pages and unused pages of a real file look to
// the page maps. A primary file (file id 1) also gets a file header page at 0
// and a boot page at 9 when it is long enough.

#include <cstdint>
#include <string>
#include <vector>

#include "forge/PageBuilder.h"

namespace forge {

struct BootPageFields {
    std::uint16_t version = 661;
    std::uint16_t createVersion = 661;
    std::string name = "Forge";  // UTF-8, stored as UTF-16LE padded with 0x20 bytes
    std::int32_t collationId = 872468488;  // SQL_Latin1_General_CP1_CI_AS
};

// A boot page image (page type 13, object id 99) numbered `pageNumber`.
pw::PageImage BootPageImage(const BootPageFields& fields, std::uint32_t pageNumber = 9);

class DataFileBuilder {
public:
    explicit DataFileBuilder(std::uint32_t pageCount, std::uint16_t fileId = 1);

    std::uint32_t PageCount() const { return static_cast<std::uint32_t>(pages_.size()); }
    std::uint16_t FileId() const { return fileId_; }

    // Replaces the page at `position` (the image is padded or cut to 8192 bytes).
    DataFileBuilder& SetPage(std::uint32_t position, pw::PageImage image);
    // A page of `objectId` of type `pageType`, numbered as its position.
    DataFileBuilder& ObjectPage(std::uint32_t position, std::int32_t objectId, std::uint8_t pageType);
    DataFileBuilder& DataPage(std::uint32_t position, std::int32_t objectId) {
        return ObjectPage(position, objectId, pw::kDataPage);
    }
    DataFileBuilder& IamPage(std::uint32_t position, std::int32_t objectId) {
        return ObjectPage(position, objectId, pw::kIamPage);
    }
    DataFileBuilder& Boot(const BootPageFields& fields, std::uint32_t position = 9);
    // Every page's stored number becomes position + `delta` (a file whose
    // first pages were lost: page 24 sits at position 20 for delta 4).
    DataFileBuilder& NumberPagesFrom(std::int64_t delta);
    // A page of all zeros (as never written).
    DataFileBuilder& ZeroPage(std::uint32_t position);
    // Bytes before the first page / after the last page.
    DataFileBuilder& LeadingBytes(std::size_t count, std::uint8_t value = 0xAB);
    DataFileBuilder& TrailingBytes(std::size_t count, std::uint8_t value = 0xCD);
    pw::PageImage& Page(std::uint32_t position) { return pages_.at(position); }

    // The whole file.
    std::string Bytes() const;
    bool WriteTo(const std::string& path) const;

private:
    std::uint16_t fileId_;
    std::vector<pw::PageImage> pages_;
    std::size_t leading_ = 0, trailing_ = 0;
    std::uint8_t leadingValue_ = 0, trailingValue_ = 0;
};

}  // namespace forge
