#pragma once
// Builds large-object fragments for tests: fragment payloads (small root,
// data fragment, internal node, large root), text page records and text
// pages, row-overflow and in-row root pointers, and text pointers.

#include <cstdint>
#include <string>
#include <vector>

#include "forge/PageBuilder.h"

namespace forge {

// A link of a large root or an in-row pointer: size, then the record address.
struct LobRootLink {
    std::int32_t size = 1;
    std::uint32_t page = 0;
    std::uint16_t file = 1;
    std::uint16_t slot = 0;
};

// A link of an internal node: offset of the part in the value, then the record address.
struct LobNodeLink {
    std::uint64_t offset = 0;
    std::uint32_t page = 0;
    std::uint16_t file = 1;
    std::uint16_t slot = 0;
};

Bytes TextBytes(const std::string& text);
// UTF-16LE bytes of UTF-8 text.
Bytes Utf16Bytes(const std::string& text);

// Payloads (the record bytes after the 4-byte header).
Bytes SmallRootPayload(std::uint64_t lobId, const Bytes& data);
// A small root whose stored data length is `storedLength` whatever `data` holds.
Bytes SmallRootPayload(std::uint64_t lobId, const Bytes& data, std::uint16_t storedLength);
Bytes DataPayload(std::uint64_t lobId, const Bytes& data);
Bytes LargeRootPayload(std::uint64_t lobId, const std::vector<LobRootLink>& links, std::uint16_t type = 5);
Bytes InternalPayload(std::uint64_t lobId, const std::vector<LobNodeLink>& links, std::uint16_t level = 0);

// A text page record: status bytes, the fixed-part end 4 + payload size, the payload.
Bytes TextRecordBytes(const Bytes& payload);

// A text page (type 3) that says it is page `page` of file `file`, holding
// `records` in slots 0, 1, ...
pw::PageImage TextPage(std::uint16_t file, std::uint32_t page, const std::vector<Bytes>& records);

// The bytes of a complex column pointing out of the row: a 12-byte header
// starting with `complexType` (2 row overflow, 4 in-row root), then the links.
Bytes OutOfRowPointer(const std::vector<LobRootLink>& links, std::uint8_t complexType = 2);

// A 16-byte in-row text pointer.
Bytes TextPointerBytes(std::uint32_t page, std::uint16_t file, std::uint16_t slot);

}  // namespace forge
