#pragma once
// The large-object fragment structures found in the payload of a text page
// record (after the 4-byte record header). Every payload starts with
//
//   0   8   large-object id
//   8   2   fragment type
//   10      type-specific part of L bytes (payload length - 10)
//
// and the type-specific part is, by fragment type (offsets from the payload start):
//
//   0        SmallRoot       10: 16-bit data length n; 16: n data bytes (0 < n <= 8192)
//   2        Internal        10: maximum links; 12: link count; 14: level (16-bit each);
//                            from 16: links of 16 bytes {64-bit offset, 32-bit page,
//                            16-bit file id, 16-bit slot}
//   3        LobSData        10: L data bytes
//   4, 5, 6  LargeRootYukon  10: maximum links; 12: link count; 14: level (16-bit each);
//                            from 20: links of 12 bytes {32-bit size, 32-bit page,
//                            16-bit file id, 16-bit slot}
//
// Types 1, 7 and 8 carry nothing shown as a value. Links are read only as
// far as they lie wholly inside the payload and the page.

#include <cstdint>
#include <string>
#include <vector>

#include "rows/RenderContext.h"
#include "support/ByteView.h"

namespace pw {

class CDatabaseFileSet;

enum LobFragmentType : int {
    kLobSmallRoot = 0,
    kLobInternal = 2,
    kLobData = 3,
    kLobLargeRoot = 5,
};

// Largest data part a fragment may carry.
constexpr int kMaxLobFragmentBytes = 8192;

// One link of an internal node or a large root to a fragment record.
struct LobLink {
    // Internal nodes: the offset of the linked part in the value (read, not
    // used: links are taken in stored order). Large roots: the size.
    std::int64_t offsetOrSize = 0;
    std::uint32_t page = 0;
    std::uint16_t file = 0;
    std::uint16_t slot = 0;
};

class LobStructureBase {
public:
    LobStructureBase(CDatabaseFileSet* fileSet, std::uint64_t lobId) : fileSet_(fileSet), lobId_(lobId) {}
    virtual ~LobStructureBase() = default;
    LobStructureBase(const LobStructureBase&) = default;
    LobStructureBase& operator=(const LobStructureBase&) = default;

    // The value part as text and as hexadecimal; structures that hold no
    // data of their own give empty text.
    virtual std::string RenderAsText(RenderContext& context) const;
    virtual std::string RenderAsHex() const;

    CDatabaseFileSet* FileSet() const { return fileSet_; }
    std::uint64_t LobId() const { return lobId_; }

private:
    CDatabaseFileSet* fileSet_ = nullptr;
    std::uint64_t lobId_ = 0;
};

// A whole small value in one record (type 0).
class SmallRoot : public LobStructureBase {
public:
    SmallRoot(ByteView payload, CDatabaseFileSet* fileSet);
    // n as stored.
    std::uint16_t dataLength = 0;
    // The n data bytes; empty when n is 0, above 8192 or runs past the payload.
    ByteView data;
};

// An inner node of a large value's tree (type 2).
class Internal : public LobStructureBase {
public:
    Internal(ByteView payload, CDatabaseFileSet* fileSet);
    std::uint16_t maxLinks = 0;
    std::uint16_t linkCount = 0;
    std::uint16_t level = 0;
    std::vector<LobLink> links;
};

// A data fragment (type 3).
class LobSData : public LobStructureBase {
public:
    // `typeLength` is L; the data is taken only when 1 <= L <= 8192 and the
    // payload holds all L bytes.
    LobSData(ByteView payload, int typeLength, CDatabaseFileSet* fileSet);
    // The bytes up to the first zero byte through the ANSI code page.
    std::string RenderAsText(RenderContext& context) const override;
    // Every data byte as two upper-case hexadecimal digits.
    std::string RenderAsHex() const override;
    ByteView data;
};

// The root of a large value (types 4, 5 and 6).
class LargeRootYukon : public LobStructureBase {
public:
    // Links are parsed only when L exceeds 16.
    LargeRootYukon(ByteView payload, int typeLength, CDatabaseFileSet* fileSet);
    std::uint16_t maxLinks = 0;
    std::uint16_t linkCount = 0;
    std::uint16_t level = 0;
    std::vector<LobLink> links;
};

}  // namespace pw
