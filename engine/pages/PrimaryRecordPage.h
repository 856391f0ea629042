#pragma once
// PrimaryRecordPage: a record page whose slots hold CPrimaryRecord objects,
// with the compression information of compressed pages and the recovery of
// deleted records whose slots are gone.

#include <cstdint>
#include <memory>
#include <vector>

#include "pages/PrimaryRecord.h"
#include "pages/RecordPage.h"

namespace pw {

// An anchor value or dictionary entry of a compressed page. For anchor
// values, length -2 stands for null and -1 for an empty value.
struct CompressedValue {
    ByteBuffer bytes;
    int length = 0;
};

// Selects the one-slot build: only the record of this slot is read.
struct OneSlot {
    int slot = 0;
};

// The record-start patterns used by the deleted-record scan: status byte A,
// status byte B 0, and the 16-bit offset of the end of the fixed part.
// The fixed ends 0x84 (status 0x30 or 0x3C) are always tried; the page's own
// fixed-part end (the header's minimum record length) is tried with status
// 0x10, 0x30, 0x1C and 0x3C.
bool IsRecordStartPattern(ByteView page, std::size_t offset, std::uint16_t pageFixedEnd);

class PrimaryRecordPage : public RecordPage {
public:
    // The page walk: slot array, compression information, the deleted-record
    // scan when both deleted-record options are set, then one entry per slot.
    PrimaryRecordPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state);
    // The one-slot build used to follow a forwarding stub: `records` holds the
    // entry of that slot only (nothing when the slot number is not below the
    // slot count). Records read here never follow stubs themselves.
    PrimaryRecordPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state,
                      OneSlot slot);
    ~PrimaryRecordPage() override = default;

    // The record of slot `slot`, or null for an empty entry or a slot out of range.
    CPrimaryRecord* Record(std::size_t slot) const;

    // Compression information (compressed pages only; filled by ReadCompressionInfo).
    bool hasCompressionInfo = false;
    std::uint8_t compressionFlags = 0;
    std::uint16_t compressionKept = 0;
    std::uint16_t dictionaryOffset = 0;
    std::uint16_t compressionInfoLength = 0;
    std::unique_ptr<CPrimaryRecord> anchorRecord;
    std::vector<CompressedValue> anchorValues;
    std::vector<CompressedValue> pageDictionary;

    // Record starts of the deleted-record scan: the slot offsets, then the
    // records found in the page body.
    std::vector<std::uint16_t> recordStarts;

    // The deleted-record scan. Finds records whose slot was removed but whose
    // bytes remain, and, when it found at least as many starts as there were
    // slots, raises the header's slot count and rebuilds the slot array copy
    // from the starts. Needs the slot array copy and a sane header.
    void RecoverRemovedRecords();

private:
    // Steps shared by both builds: slot array copy and compression information.
    void Prepare();
    // Parses the record at `offset` (expanding it when it is compressed).
    std::unique_ptr<CPrimaryRecord> ParseAt(std::uint16_t offset, bool followStubs);
    void WalkRecords();
};

}  // namespace pw
