#pragma once
// CBootPage: page 9 of the primary file, the database's boot page.
//
// The boot page holds one record (at offset 96, with a 4-byte record header)
// describing the database. Fields read here, by page offset:
//   100  2 bytes        format version number (which release wrote the file)
//   102  2 bytes        format version the database was created with
//   148  208 bytes      database name, UTF-16LE, padded with 0x20 bytes
//   488  4 bytes signed collation id of the database's default collation
// The name field is padded with bytes 0x20, which read as UTF-16 are the
// code unit U+2020; a blank inside the name is U+0020 and belongs to it.

#include <cstdint>
#include <string>

#include "pages/PrimaryRecordPage.h"
#include "support/AppState.h"
#include "support/ByteView.h"

namespace pw {

constexpr std::size_t kBootRecordOffset = 100;
constexpr std::size_t kBootVersionOffset = 100;
constexpr std::size_t kBootCreateVersionOffset = 102;
constexpr std::size_t kBootNameOffset = 148;
constexpr std::size_t kBootNameBytes = 208;
constexpr std::size_t kBootCollationOffset = 488;
// The boot page's place in an undamaged primary file.
constexpr std::int64_t kBootPageNumber = 9;

// Decodes the name field: UTF-16LE with the U+2020 padding (and any NUL
// units) stripped from the end; characters outside ASCII are kept.
std::string DecodeDatabaseName(ByteView nameField);

// Sets the collation members of `state` from the collation table: with
// automatic collation by the boot page's id (first as the sign-extended
// 64-bit key, then by its low 16 bits), otherwise by the manual id. Returns
// false, leaving the members as they were, when no entry matches.
bool ResolveCollation(AppState& state, std::int32_t bootCollationId);

class CBootPage : public PrimaryRecordPage {
public:
    // Reads the boot record of `image` and sets the version text and the
    // collation of `state`. The page holds no parsed records: the boot record
    // is read in place.
    CBootPage(PageImage image, CDatabaseFileSet* fileSet, AppState& state);
    ~CBootPage() override = default;

    // The boot record's data (page offset 100 to the end of the page).
    ByteView BootRecord() const { return Bytes().Sub(kBootRecordOffset, kPageSize); }

    std::uint16_t versionNumber = 0;
    std::uint16_t createVersion = 0;
    std::string databaseName;
    std::int32_t collationId = 0;
};

}  // namespace pw
