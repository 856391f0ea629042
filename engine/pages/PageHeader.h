#pragma once
// The 96-byte header at the start of every 8192-byte page.
//
//   offset width field                 use here
//   0      1     headerVersion         kept
//   1      1     pageType              see PageType
//   2      1     typeFlagBits          bit 7: compressed page (compression info follows)
//   3      1     level                 B-tree level; index pages above 0 carry no rows
//   4      2     flagBits              0x0100: torn-page bits present
//   6      2     indexId               kept
//   8      4+2   prevPage              page number, file id
//   14     2     minRecordLength       kept
//   16     4+2   nextPage              next page of a chain
//   22     2s    slotCount             entries in the slot array
//   24     4s    objectId              owning object; key of the page maps
//   28     2s    freeCount             kept
//   30     2     freeData              kept
//   32     4s+2  thisPage              the page's own number and file id
//   38     2     reservedCount         kept
//   40     4,4,2s log sequence number  lsnText "( a : b : c )"
//   50     2     xactReserved          kept
//   52     4     transaction id, part 2
//   56     2s    transaction id, part 1  xdesText "( part1 : part2 )"
//   58     2s    ghostRecordCount      ghost records on the page
//   60     4     tornBits              saved low bits of each sector's last byte
//   64-95        reserved

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pw {

constexpr std::size_t kPageSize = 8192;
constexpr std::size_t kPageHeaderSize = 96;
constexpr std::size_t kSectorSize = 512;
constexpr std::uint16_t kTornBitsPresent = 0x0100;
constexpr std::uint8_t kCompressedPageFlag = 0x80;

enum PageType : std::int32_t {
    kDataPage = 1,
    kIndexPage = 2,
    kTextMixPage = 3,
    kTextTreePage = 4,
    kSortPage = 7,
    kGamPage = 8,
    kSgamPage = 9,
    kIamPage = 10,
    kPfsPage = 11,
    kBootPage = 13,
    kFileHeaderPage = 15,
    kDiffMapPage = 16,
    kMlMapPage = 17,
    kLastRecordPageType = 17,  // types above this hold no records
};

// A page address as stored inside pages: 4-byte page number, then 2-byte file id.
struct PagePointer {
    std::uint32_t page = 0;
    std::uint16_t file = 1;
    friend bool operator==(const PagePointer&, const PagePointer&) = default;
};

// The page's own address in its header; the number is read signed.
struct SignedPagePointer {
    std::int32_t page = 0;
    std::uint16_t file = 1;
};

class CPage_Header {
public:
    // Copies the header fields of `image` and, when the page carries torn-page
    // bits, restores them in `image` in place. Never reads or writes outside
    // `image`: a short image gives zero for the fields it lacks.
    explicit CPage_Header(std::span<std::uint8_t> image);
    CPage_Header() = default;
    virtual ~CPage_Header() = default;

    std::uint8_t headerVersion = 0;
    std::int32_t pageType = 0;
    std::uint8_t typeFlagBits = 0;
    std::uint8_t level = 0;
    std::uint16_t flagBits = 0;
    std::uint16_t indexId = 0;
    PagePointer prevPage;
    std::uint16_t minRecordLength = 0;
    PagePointer nextPage;
    std::int16_t slotCount = 0;
    std::int32_t objectId = 0;
    std::int16_t freeCount = 0;
    std::uint16_t freeData = 0;
    SignedPagePointer thisPage;
    std::uint16_t reservedCount = 0;
    std::string lsnText;
    std::uint16_t xactReserved = 0;
    std::string xdesText;
    std::int16_t ghostRecordCount = 0;
    std::uint32_t tornBits = 0;

    bool IsCompressed() const { return (typeFlagBits & kCompressedPageFlag) != 0; }
};

// Puts back the low two bits of the last byte of sectors 1 to 15 from the
// header's torn-page bits (bits 2k and 2k+1 belong to sector k).
void RestoreTornBits(std::span<std::uint8_t> image, std::uint32_t tornBits);

}  // namespace pw
