#include "forge/DataFileBuilder.h"

#include <algorithm>

#include "forge/TempFolder.h"
#include "support/Utf.h"

namespace forge {

namespace {

constexpr std::int32_t kAllocationObjectId = 99;

pw::PageImage FormattedPage(std::uint16_t fileId, std::uint32_t number, std::uint8_t pageType, std::int32_t objectId) {
    return PageBuilder().Type(pageType).ObjectId(objectId).ThisPage(fileId, number).Build();
}

}  // namespace

pw::PageImage BootPageImage(const BootPageFields& fields, std::uint32_t pageNumber) {
    PageBuilder page;
    page.Type(pw::kBootPage).ObjectId(kAllocationObjectId).ThisPage(1, pageNumber);
    pw::PageImage image = page.Build();
    PutLE(image, 100, fields.version, 2);
    PutLE(image, 102, fields.createVersion, 2);
    std::string name = pw::Utf8ToUtf16Le(fields.name);
    name.resize(std::max<std::size_t>(name.size(), 208), '\x20');
    name.resize(208);
    std::copy(name.begin(), name.end(), image.begin() + 148);
    PutLE(image, 488, static_cast<std::uint32_t>(fields.collationId), 4);
    return image;
}

DataFileBuilder::DataFileBuilder(std::uint32_t pageCount, std::uint16_t fileId) : fileId_(fileId) {
    pages_.reserve(pageCount);
    for (std::uint32_t n = 0; n < pageCount; ++n) pages_.push_back(FormattedPage(fileId, n, 0, 0));
    if (pageCount > 0) pages_[0] = FormattedPage(fileId, 0, pw::kFileHeaderPage, kAllocationObjectId);
    if (fileId == 1 && pageCount > 9) pages_[9] = BootPageImage(BootPageFields{});
}

DataFileBuilder& DataFileBuilder::SetPage(std::uint32_t position, pw::PageImage image) {
    image.resize(pw::kPageSize, 0);
    pages_.at(position) = std::move(image);
    return *this;
}

DataFileBuilder& DataFileBuilder::ObjectPage(std::uint32_t position, std::int32_t objectId, std::uint8_t pageType) {
    return SetPage(position, FormattedPage(fileId_, position, pageType, objectId));
}

DataFileBuilder& DataFileBuilder::Boot(const BootPageFields& fields, std::uint32_t position) {
    return SetPage(position, BootPageImage(fields, position));
}

DataFileBuilder& DataFileBuilder::NumberPagesFrom(std::int64_t delta) {
    for (std::size_t n = 0; n < pages_.size(); ++n)
        PutLE(pages_[n], 32, static_cast<std::uint32_t>(static_cast<std::int64_t>(n) + delta), 4);
    return *this;
}

DataFileBuilder& DataFileBuilder::ZeroPage(std::uint32_t position) {
    return SetPage(position, pw::PageImage(pw::kPageSize, 0));
}

DataFileBuilder& DataFileBuilder::LeadingBytes(std::size_t count, std::uint8_t value) {
    leading_ = count;
    leadingValue_ = value;
    return *this;
}

DataFileBuilder& DataFileBuilder::TrailingBytes(std::size_t count, std::uint8_t value) {
    trailing_ = count;
    trailingValue_ = value;
    return *this;
}

std::string DataFileBuilder::Bytes() const {
    std::string bytes(leading_, static_cast<char>(leadingValue_));
    bytes.reserve(leading_ + pages_.size() * pw::kPageSize + trailing_);
    for (const pw::PageImage& page : pages_) bytes.append(page.begin(), page.end());
    bytes.append(trailing_, static_cast<char>(trailingValue_));
    return bytes;
}

bool DataFileBuilder::WriteTo(const std::string& path) const { return WriteFile(path, Bytes()); }

}  // namespace forge
