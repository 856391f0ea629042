#include "forge/LobBuilder.h"

#include "support/Utf.h"

namespace forge {

namespace {

Bytes PayloadHead(std::uint64_t lobId, std::uint16_t type) {
    Bytes payload;
    PutLE(payload, 0, lobId, 8);
    PutLE(payload, 8, type, 2);
    return payload;
}

void Append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

}  // namespace

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Utf16Bytes(const std::string& text) {
    const std::string wide = pw::Utf8ToUtf16Le(text);
    return Bytes(wide.begin(), wide.end());
}

Bytes SmallRootPayload(std::uint64_t lobId, const Bytes& data) {
    return SmallRootPayload(lobId, data, static_cast<std::uint16_t>(data.size()));
}

Bytes SmallRootPayload(std::uint64_t lobId, const Bytes& data, std::uint16_t storedLength) {
    Bytes payload = PayloadHead(lobId, 0);
    PutLE(payload, 10, storedLength, 2);
    PutLE(payload, 12, 0, 4);  // the part SQL Server keeps between length and data
    Append(payload, data);
    return payload;
}

Bytes DataPayload(std::uint64_t lobId, const Bytes& data) {
    Bytes payload = PayloadHead(lobId, 3);
    Append(payload, data);
    return payload;
}

Bytes LargeRootPayload(std::uint64_t lobId, const std::vector<LobRootLink>& links, std::uint16_t type) {
    Bytes payload = PayloadHead(lobId, type);
    PutLE(payload, 10, 5, 2);  // maximum links
    PutLE(payload, 12, links.size(), 2);
    PutLE(payload, 14, 0, 2);  // level
    PutLE(payload, 16, 0, 4);
    for (const LobRootLink& link : links) {
        const std::size_t at = payload.size();
        PutLE(payload, at, static_cast<std::uint32_t>(link.size), 4);
        PutLE(payload, at + 4, link.page, 4);
        PutLE(payload, at + 8, link.file, 2);
        PutLE(payload, at + 10, link.slot, 2);
    }
    return payload;
}

Bytes InternalPayload(std::uint64_t lobId, const std::vector<LobNodeLink>& links, std::uint16_t level) {
    Bytes payload = PayloadHead(lobId, 2);
    PutLE(payload, 10, 501, 2);  // maximum links
    PutLE(payload, 12, links.size(), 2);
    PutLE(payload, 14, level, 2);
    for (const LobNodeLink& link : links) {
        const std::size_t at = payload.size();
        PutLE(payload, at, link.offset, 8);
        PutLE(payload, at + 8, link.page, 4);
        PutLE(payload, at + 12, link.file, 2);
        PutLE(payload, at + 14, link.slot, 2);
    }
    return payload;
}

Bytes TextRecordBytes(const Bytes& payload) {
    Bytes record;
    record.push_back(0x08);  // record type 4: large-object fragment
    record.push_back(0x00);
    PutLE(record, 2, 4 + payload.size(), 2);
    Append(record, payload);
    return record;
}

pw::PageImage TextPage(std::uint16_t file, std::uint32_t page, const std::vector<Bytes>& records) {
    PageBuilder builder;
    builder.Type(3).ThisPage(file, page).ObjectId(99);
    for (const Bytes& record : records) builder.AddRecord(record);
    return builder.Build();
}

Bytes OutOfRowPointer(const std::vector<LobRootLink>& links, std::uint8_t complexType) {
    Bytes pointer(12, 0);
    pointer[0] = complexType;
    for (const LobRootLink& link : links) {
        const std::size_t at = pointer.size();
        PutLE(pointer, at, static_cast<std::uint32_t>(link.size), 4);
        PutLE(pointer, at + 4, link.page, 4);
        PutLE(pointer, at + 8, link.file, 2);
        PutLE(pointer, at + 10, link.slot, 2);
    }
    return pointer;
}

Bytes TextPointerBytes(std::uint32_t page, std::uint16_t file, std::uint16_t slot) {
    Bytes pointer(8, 0xAB);  // timestamp
    PutLE(pointer, 8, page, 4);
    PutLE(pointer, 12, file, 2);
    PutLE(pointer, 14, slot, 2);
    return pointer;
}

}  // namespace forge
