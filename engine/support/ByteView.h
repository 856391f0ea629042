#pragma once
// Bounds-checked little-endian reads over bytes taken from a data file.
//
// Every on-disk integer of SQL Server data files is little-endian. Pages come
// from damaged files, so no offset found inside a page can be trusted: each
// read checks that the whole field lies inside the view and yields 0 when it
// does not. Callers that must tell "zero" from "outside" ask `Has` first.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>

namespace pw {

class ByteView {
public:
    ByteView() = default;
    ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}
    ByteView(std::span<const std::uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {}

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // True when [offset, offset + length) lies inside the view.
    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    // The sub-range [offset, offset + length), clipped to the view.
    ByteView Sub(std::size_t offset, std::size_t length) const {
        if (offset > size_) return {};
        if (length > size_ - offset) length = size_ - offset;
        return ByteView(data_ + offset, length);
    }

    template <typename T>
    T Read(std::size_t offset) const {
        static_assert(std::is_integral_v<T>);
        if (!Has(offset, sizeof(T))) return T{0};
        using U = std::make_unsigned_t<T>;
        U value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = static_cast<U>(value | (static_cast<U>(data_[offset + i]) << (8 * i)));
        return static_cast<T>(value);
    }

    std::uint8_t U8(std::size_t offset) const { return Read<std::uint8_t>(offset); }
    std::uint16_t U16(std::size_t offset) const { return Read<std::uint16_t>(offset); }
    std::int16_t I16(std::size_t offset) const { return Read<std::int16_t>(offset); }
    std::uint32_t U32(std::size_t offset) const { return Read<std::uint32_t>(offset); }
    std::int32_t I32(std::size_t offset) const { return Read<std::int32_t>(offset); }
    std::uint64_t U64(std::size_t offset) const { return Read<std::uint64_t>(offset); }
    std::int64_t I64(std::size_t offset) const { return Read<std::int64_t>(offset); }

    // Copies up to `length` bytes from `offset`; returns how many were inside the view.
    std::size_t CopyTo(std::size_t offset, std::size_t length, std::uint8_t* out) const {
        ByteView part = Sub(offset, length);
        if (!part.empty()) std::memcpy(out, part.data(), part.size());
        return part.size();
    }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace pw
