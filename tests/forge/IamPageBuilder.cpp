#include "forge/IamPageBuilder.h"

#include "forge/RecordBuilder.h"

namespace forge {

namespace {

constexpr std::size_t kHeaderRecordAt = 96;
constexpr std::size_t kBitmapRecordAt = 192;
constexpr std::size_t kBitmapBytes = 7988;

}  // namespace

IamPageBuilder::IamPageBuilder() : bitmap_(kBitmapBytes, 0) {
    page_.Type(pw::kIamPage);
}

IamPageBuilder& IamPageBuilder::At(std::uint16_t file, std::uint32_t page) {
    page_.ThisPage(file, page);
    return *this;
}
IamPageBuilder& IamPageBuilder::Next(std::uint16_t file, std::uint32_t page) {
    page_.NextPage(file, page);
    return *this;
}
IamPageBuilder& IamPageBuilder::ObjectId(std::int32_t objectId) {
    page_.ObjectId(objectId);
    return *this;
}
IamPageBuilder& IamPageBuilder::Slot(std::size_t index, std::uint16_t file, std::uint32_t page) {
    slots_.at(index) = {file, page};
    return *this;
}
IamPageBuilder& IamPageBuilder::Extent(std::size_t extent) {
    bitmap_.at(extent / 8) = static_cast<std::uint8_t>(bitmap_.at(extent / 8) | (1u << (extent % 8)));
    return *this;
}
IamPageBuilder& IamPageBuilder::BitmapByte(std::size_t index, std::uint8_t value) {
    bitmap_.at(index) = value;
    return *this;
}
IamPageBuilder& IamPageBuilder::HeaderFixedLength(std::uint16_t length) {
    headerFixed_ = length;
    return *this;
}
IamPageBuilder& IamPageBuilder::BitmapFixedLength(std::uint16_t length) {
    bitmapFixed_ = length;
    return *this;
}
IamPageBuilder& IamPageBuilder::WithoutHeaderRecord() {
    header_ = false;
    return *this;
}
IamPageBuilder& IamPageBuilder::WithoutBitmapRecord() {
    bitmapRecord_ = false;
    return *this;
}

pw::PageImage IamPageBuilder::Build() const {
    pw::PageImage image = page_.Build();
    // Record 0: status bytes 0, the fixed-part end, the slots inside the fixed part.
    Bytes header(4 + 90 + 2, 0);
    PutLE(header, 2, 4u + headerFixed_, 2);
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        PutLE(header, 4 + 42 + 6 * k, slots_[k].second, 4);
        PutLE(header, 4 + 46 + 6 * k, slots_[k].first, 2);
    }
    PlaceBytes(image, kHeaderRecordAt, header);
    // Record 1: the bitmap as the fixed part.
    Bytes bitmap(4, 0);
    PutLE(bitmap, 2, 4u + bitmapFixed_, 2);
    bitmap.insert(bitmap.end(), bitmap_.begin(), bitmap_.end());
    PlaceBytes(image, kBitmapRecordAt, bitmap);
    SetSlots(image, {static_cast<std::uint16_t>(header_ ? kHeaderRecordAt : 0),
                     static_cast<std::uint16_t>(bitmapRecord_ ? kBitmapRecordAt : 0)});
    PutLE(image, 30, kBitmapRecordAt + 4 + kBitmapBytes + 2, 2);  // free data offset
    return image;
}

}  // namespace forge
