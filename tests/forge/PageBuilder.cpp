#include "forge/PageBuilder.h"

#include <algorithm>

namespace forge {

void PutLE(Bytes& image, std::size_t offset, std::uint64_t value, std::size_t width) {
    if (image.size() < offset + width) image.resize(offset + width, 0);
    for (std::size_t i = 0; i < width; ++i) image[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

PageBuilder::PageBuilder() : image_(pw::kPageSize, 0) {
    image_[0] = 1;  // header version written by SQL Server 2005 and later
    ThisPage(1, 0);
    SyncCounts();
}

PageBuilder& PageBuilder::Type(std::uint8_t t) { return Put(1, t, 1); }
PageBuilder& PageBuilder::TypeFlags(std::uint8_t b) { return Put(2, b, 1); }
PageBuilder& PageBuilder::Level(std::uint8_t l) { return Put(3, l, 1); }
PageBuilder& PageBuilder::Flags(std::uint16_t f) { return Put(4, f, 2); }
PageBuilder& PageBuilder::IndexId(std::uint16_t i) { return Put(6, i, 2); }
PageBuilder& PageBuilder::ObjectId(std::int32_t id) { return Put(24, static_cast<std::uint32_t>(id), 4); }
PageBuilder& PageBuilder::ThisPage(std::uint16_t file, std::uint32_t page) {
    Put(32, page, 4);
    return Put(36, file, 2);
}
PageBuilder& PageBuilder::PrevPage(std::uint16_t file, std::uint32_t page) {
    Put(8, page, 4);
    return Put(12, file, 2);
}
PageBuilder& PageBuilder::NextPage(std::uint16_t file, std::uint32_t page) {
    Put(16, page, 4);
    return Put(20, file, 2);
}
PageBuilder& PageBuilder::Lsn(std::int32_t a, std::int32_t b, std::int16_t c) {
    Put(40, static_cast<std::uint32_t>(a), 4);
    Put(44, static_cast<std::uint32_t>(b), 4);
    return Put(48, static_cast<std::uint16_t>(c), 2);
}
PageBuilder& PageBuilder::Xdes(std::int16_t first, std::int32_t second) {
    Put(56, static_cast<std::uint16_t>(first), 2);
    return Put(52, static_cast<std::uint32_t>(second), 4);
}
PageBuilder& PageBuilder::GhostRecords(std::int16_t n) { return Put(58, static_cast<std::uint16_t>(n), 2); }
PageBuilder& PageBuilder::TornBits(std::uint32_t bits) { return Put(60, bits, 4); }

PageBuilder& PageBuilder::Put(std::size_t offset, std::uint64_t value, std::size_t width) {
    if (offset + width <= image_.size()) PutLE(image_, offset, value, width);
    return *this;
}

std::uint16_t PageBuilder::AddRecord(const Bytes& record) {
    const std::uint16_t at = freeData_;
    const std::size_t room = pw::kPageSize - 2 * (slots_.size() + 1);
    const std::size_t length = std::min(record.size(), room > at ? room - at : 0);
    std::copy_n(record.begin(), length, image_.begin() + at);
    freeData_ = static_cast<std::uint16_t>(at + length);
    slots_.push_back(at);
    SyncCounts();
    return at;
}

PageBuilder& PageBuilder::AddSlot(std::uint16_t offset) {
    slots_.push_back(offset);
    SyncCounts();
    return *this;
}

void PageBuilder::SyncCounts() {
    // The slot array grows backwards from the end of the page: slot 0 is the last two bytes.
    for (std::size_t i = 0; i < slots_.size(); ++i) PutLE(image_, pw::kPageSize - 2 * (i + 1), slots_[i], 2);
    PutLE(image_, 22, slots_.size(), 2);
    PutLE(image_, 30, freeData_, 2);
    const std::size_t used = freeData_ + 2 * slots_.size();
    PutLE(image_, 28, used < pw::kPageSize ? pw::kPageSize - used : 0, 2);
}

}  // namespace forge
