#pragma once
// Builds 8192-byte page images for tests: header fields, records and the slot array.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "pages/Page.h"

namespace forge {

using Bytes = std::vector<std::uint8_t>;

// Writes a little-endian integer of `width` bytes at `offset`.
void PutLE(Bytes& image, std::size_t offset, std::uint64_t value, std::size_t width);

class PageBuilder {
public:
    PageBuilder();

    PageBuilder& Type(std::uint8_t pageType);
    PageBuilder& TypeFlags(std::uint8_t bits);
    PageBuilder& Level(std::uint8_t level);
    PageBuilder& Flags(std::uint16_t flagBits);
    PageBuilder& IndexId(std::uint16_t indexId);
    PageBuilder& ObjectId(std::int32_t objectId);
    PageBuilder& ThisPage(std::uint16_t file, std::uint32_t page);
    PageBuilder& PrevPage(std::uint16_t file, std::uint32_t page);
    PageBuilder& NextPage(std::uint16_t file, std::uint32_t page);
    PageBuilder& Lsn(std::int32_t first, std::int32_t second, std::int16_t third);
    PageBuilder& Xdes(std::int16_t first, std::int32_t second);
    PageBuilder& GhostRecords(std::int16_t count);
    PageBuilder& TornBits(std::uint32_t bits);
    // Any header or body field by offset, for cases the named setters do not cover.
    PageBuilder& Put(std::size_t offset, std::uint64_t value, std::size_t width);

    // Appends a record at the free-data position and a slot pointing at it.
    // Returns the record's offset in the page.
    std::uint16_t AddRecord(const Bytes& record);
    // Appends a slot with an arbitrary offset (damaged pages, removed records).
    PageBuilder& AddSlot(std::uint16_t offset);

    pw::PageImage Build() const { return image_; }

private:
    void SyncCounts();
    Bytes image_;
    std::vector<std::uint16_t> slots_;
    std::uint16_t freeData_ = pw::kPageHeaderSize;
};

}  // namespace forge
