#include "forge/RecordBuilder.h"

#include <algorithm>

namespace forge {

namespace {

void Append16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

RecordBuilder& RecordBuilder::Type(int t) { type_ = t; return *this; }
RecordBuilder& RecordBuilder::StatusA(std::uint8_t raw) { statusA_ = raw; return *this; }
RecordBuilder& RecordBuilder::StatusB(std::uint8_t v) { statusB_ = v; return *this; }
RecordBuilder& RecordBuilder::Fixed(const Bytes& fixed) { fixed_ = fixed; return *this; }
RecordBuilder& RecordBuilder::FixedEnd(std::uint16_t raw) { fixedEnd_ = raw; return *this; }
RecordBuilder& RecordBuilder::Columns(std::uint16_t count) { columns_ = count; return *this; }
RecordBuilder& RecordBuilder::Nulls(const std::vector<int>& columns) { nulls_ = columns; return *this; }
RecordBuilder& RecordBuilder::NoNullBitmap() { nullBitmap_ = false; return *this; }
RecordBuilder& RecordBuilder::Var(const Bytes& value, bool complex) {
    vars_.emplace_back(value, complex);
    return *this;
}
RecordBuilder& RecordBuilder::VarCount(std::uint16_t raw) { varCount_ = raw; return *this; }

Bytes RecordBuilder::Build() const {
    Bytes out;
    const auto computedA = static_cast<std::uint8_t>(((type_ & 7) << 1) | (nullBitmap_ ? 0x10 : 0) |
                                                     (vars_.empty() && !varCount_ ? 0 : 0x20));
    out.push_back(statusA_.value_or(computedA));
    out.push_back(statusB_);
    Append16(out, fixedEnd_.value_or(static_cast<std::uint16_t>(4 + fixed_.size())));
    out.insert(out.end(), fixed_.begin(), fixed_.end());
    Append16(out, columns_);
    if (nullBitmap_) {
        Bytes bitmap((columns_ + 7u) / 8u, 0);
        for (int column : nulls_)
            if (column >= 0 && static_cast<std::size_t>(column / 8) < bitmap.size())
                bitmap[static_cast<std::size_t>(column / 8)] |= static_cast<std::uint8_t>(1u << (column % 8));
        out.insert(out.end(), bitmap.begin(), bitmap.end());
    }
    if (!vars_.empty() || varCount_) {
        Append16(out, varCount_.value_or(static_cast<std::uint16_t>(vars_.size())));
        std::size_t end = out.size() + 2 * vars_.size();
        for (const auto& [value, complex] : vars_) {
            end += value.size();
            Append16(out, static_cast<std::uint16_t>(end | (complex ? 0x8000u : 0u)));
        }
        for (const auto& var : vars_) out.insert(out.end(), var.first.begin(), var.first.end());
    }
    return out;
}

Bytes ForwardingStub(std::uint16_t file, std::uint32_t page, std::uint16_t slot) {
    Bytes out{0x04};
    Append16(out, static_cast<std::uint16_t>(page));
    Append16(out, static_cast<std::uint16_t>(page >> 16));
    Append16(out, file);
    Append16(out, slot);
    return out;
}

Bytes SparseVector(const std::vector<std::pair<std::uint16_t, Bytes>>& entries) {
    Bytes out;
    Append16(out, 5);
    Append16(out, static_cast<std::uint16_t>(entries.size()));
    for (const auto& entry : entries) Append16(out, entry.first);
    std::size_t end = 4 + 4 * entries.size();
    for (const auto& entry : entries) {
        end += entry.second.size();
        Append16(out, static_cast<std::uint16_t>(end));
    }
    for (const auto& entry : entries) out.insert(out.end(), entry.second.begin(), entry.second.end());
    return out;
}

CompressedRecordBuilder& CompressedRecordBuilder::Type(int t) { type_ = t; return *this; }
CompressedRecordBuilder& CompressedRecordBuilder::StatusA(std::uint8_t raw) { statusA_ = raw; return *this; }
CompressedRecordBuilder& CompressedRecordBuilder::Column(std::uint8_t code) {
    codes_.push_back(code);
    return *this;
}
CompressedRecordBuilder& CompressedRecordBuilder::Short(const Bytes& value) {
    codes_.push_back(static_cast<std::uint8_t>(value.size() + 1));
    shortData_.insert(shortData_.end(), value.begin(), value.end());
    return *this;
}
CompressedRecordBuilder& CompressedRecordBuilder::Symbol(std::uint8_t symbol) {
    codes_.push_back(12);
    shortData_.push_back(symbol);
    return *this;
}
CompressedRecordBuilder& CompressedRecordBuilder::Long(const Bytes& value, bool flag) {
    codes_.push_back(10);
    longs_.emplace_back(value, flag);
    return *this;
}
CompressedRecordBuilder& CompressedRecordBuilder::NullBitmap(const Bytes& bitmap) {
    nullBitmap_ = bitmap;
    return *this;
}
CompressedRecordBuilder& CompressedRecordBuilder::CountBytes(const Bytes& raw) {
    countBytes_ = raw;
    return *this;
}

Bytes CompressedRecordBuilder::Build() const {
    Bytes out;
    const auto computedA = static_cast<std::uint8_t>(0x01 | ((type_ & 7) << 1) | (nullBitmap_ ? 0x10 : 0) |
                                                     (longs_.empty() ? 0 : 0x20));
    out.push_back(statusA_.value_or(computedA));
    const std::size_t count = codes_.size();
    if (countBytes_)
        out.insert(out.end(), countBytes_->begin(), countBytes_->end());
    else
        out.push_back(static_cast<std::uint8_t>(count));
    for (std::size_t i = 0; i < count; i += 2) {
        const std::uint8_t low = codes_[i];
        const std::uint8_t high = i + 1 < count ? codes_[i + 1] : 0;
        out.push_back(static_cast<std::uint8_t>((low & 0x0F) | (high << 4)));
    }
    const std::size_t clusters = count > 0 ? (count - 1) / 30 : 0;
    out.insert(out.end(), clusters, 0);
    out.insert(out.end(), shortData_.begin(), shortData_.end());
    if (nullBitmap_) out.insert(out.end(), nullBitmap_->begin(), nullBitmap_->end());
    if (!longs_.empty()) {
        out.push_back(0x01);
        Append16(out, static_cast<std::uint16_t>(longs_.size()));
        std::size_t end = 0;
        for (const auto& [value, flag] : longs_) {
            end += value.size();
            Append16(out, static_cast<std::uint16_t>(end | (flag ? 0x8000u : 0u)));
        }
        out.insert(out.end(), clusters, 0);
        for (const auto& item : longs_) out.insert(out.end(), item.first.begin(), item.first.end());
    }
    return out;
}

void PlaceBytes(pw::PageImage& image, std::size_t offset, const Bytes& bytes) {
    for (std::size_t i = 0; i < bytes.size() && offset + i < image.size(); ++i) image[offset + i] = bytes[i];
}

void SetSlots(pw::PageImage& image, const std::vector<std::uint16_t>& offsets) {
    for (std::size_t i = 0; i < offsets.size(); ++i) PutLE(image, pw::kPageSize - 2 * (i + 1), offsets[i], 2);
    PutLE(image, 22, offsets.size(), 2);
}

}  // namespace forge
