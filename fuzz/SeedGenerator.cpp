// Writes the seed corpus of every fuzz target: inputs built with the forge
// fixtures, and (when a folder of real data files is given) pages cut from
// those files. Nothing here is kept in the source tree; the seeds are made
// afresh in the build folder before each run.
//
// Usage: fuzz_seeds OUT_DIR [DATA_FILE_DIR]
// Writes OUT_DIR/<target>/seed-NNNN for each target named in kTargets.

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/CompressedPageBuilder.h"
#include "forge/DataFileBuilder.h"
#include "forge/IamPageBuilder.h"
#include "forge/LobBuilder.h"
#include "forge/PageBuilder.h"
#include "forge/RecordBuilder.h"
#include "forge/SampleDatabase.h"
#include "pages/PageHeader.h"
#include "rows/ValueKind.h"

namespace {

using fuzz::Bytes;
using fuzz::InputWriter;

class Seeds {
public:
    explicit Seeds(std::string root) : root_(std::move(root)) {}

    void Add(const std::string& target, const Bytes& bytes) {
        const std::string folder = root_ + "/" + target;
        ::mkdir(folder.c_str(), 0755);
        char name[32];
        std::snprintf(name, sizeof name, "/seed-%04d", counts_[target]++);
        std::ofstream out(folder + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    int Count(const std::string& target) { return counts_[target]; }

private:
    std::string root_;
    std::map<std::string, int> counts_;
};

Bytes Str(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes LE(std::uint64_t value, std::size_t width) {
    Bytes out(width);
    for (std::size_t i = 0; i < width; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return out;
}

// The column layout of the sample database's two tables, as listing columns.
void SampleColumns(InputWriter& w, bool orders) {
    w.U8(3);
    fuzz::WriteColumn(w, pw::kKindInt, 4, 8, 0, 0, 4, 1);
    if (orders) {
        fuzz::WriteColumn(w, pw::kKindInt, 4, 8, 0, 0, 8, 2);
        fuzz::WriteColumn(w, pw::kKindNVarChar, 120, 9, 0, 0, 0xFFFF, 3);
    } else {
        fuzz::WriteColumn(w, pw::kKindChar, 10, 8, 0, 0, 8, 2);
        fuzz::WriteColumn(w, pw::kKindVarChar, 40, 9, 0, 0, 0xFFFF, 3);
    }
}

Bytes DataPageInput(std::uint8_t options, std::uint8_t slot, const Bytes& columns, const Bytes& image) {
    InputWriter w;
    w.U8(options).U8(slot).Raw(columns.empty() ? Bytes{0} : columns).Raw(image);
    return w.bytes;
}

Bytes RecordInput(std::uint8_t options, std::uint16_t maxLength, const Bytes& owner, const Bytes& record) {
    InputWriter w;
    w.U8(options).U16(maxLength).Part(owner).Raw(record);
    return w.bytes;
}

Bytes TextPageInput(std::uint16_t file, std::uint32_t page, std::uint32_t filedAt, const Bytes& image) {
    InputWriter w;
    w.U8(0).U16(file).U32(page).U32(filedAt).Raw(image);
    return w.bytes;
}

Bytes LobInput(std::uint8_t flags, const Bytes& payload, const std::vector<Bytes>& pages) {
    InputWriter w;
    w.U8(0).U8(flags).U16(0).Part(payload);
    for (const Bytes& page : pages) w.Raw(page);
    return w.bytes;
}

// ---- forge seeds ------------------------------------------------------------------

void PageSeeds(Seeds& seeds, forge::SampleDatabase& db) {
    const std::string file = db.Bytes();
    const auto pageAt = [&](std::uint32_t position) {
        return Bytes(file.begin() + static_cast<std::ptrdiff_t>(position * pw::kPageSize),
                     file.begin() + static_cast<std::ptrdiff_t>((position + 1) * pw::kPageSize));
    };
    seeds.Add("fuzz_page_header", pageAt(9));
    seeds.Add("fuzz_page_header", forge::PageBuilder().Type(1).Flags(pw::kTornBitsPresent).TornBits(0x5A5A5A5A).Build());
    seeds.Add("fuzz_page_header", forge::PageBuilder().Lsn(12, 345, 6).Xdes(1, 99).GhostRecords(2).Build());

    // The sample tables' pages with and without listing columns, under several option sets.
    for (std::size_t t = 0; t < 2; ++t) {
        InputWriter columns;
        SampleColumns(columns, t == 1);
        const Bytes image = pageAt(db.tables[t].dataPages[0]);
        for (const std::uint8_t options : std::initializer_list<std::uint8_t>{0x00, 0x03, 0x88, 0x8B, 0x04})
            seeds.Add("fuzz_data_page", DataPageInput(options, 1, columns.bytes, image));
    }
    // System table pages.
    for (const auto& [objectId, positions] : db.systemPages)
        seeds.Add("fuzz_data_page", DataPageInput(0x03, 0, {}, pageAt(positions.front())));
    // IAM pages.
    for (std::uint32_t iam : db.iamPages)
        if (iam != 0) seeds.Add("fuzz_data_page", DataPageInput(0, 0, {}, pageAt(iam)));

    // A page with a forwarding stub to its own slot 1, a forwarded record, a ghost and a removed record.
    {
        forge::PageBuilder page;
        page.Type(pw::kDataPage).ThisPage(1, 7).ObjectId(77).GhostRecords(1);
        std::vector<std::uint16_t> offsets;
        offsets.push_back(page.AddRecord(forge::ForwardingStub(1, 7, 1)));
        offsets.push_back(page.AddRecord(
            forge::RecordBuilder().Type(pw::kForwardedRecordType).Fixed(LE(42, 4)).Columns(2).Var(Str("forwarded")).Build()));
        offsets.push_back(page.AddRecord(forge::RecordBuilder().Type(pw::kGhostDataRecordType).Fixed(LE(7, 4)).Columns(1).Build()));
        offsets.push_back(page.AddRecord(forge::RecordBuilder().Fixed(LE(9, 4)).Columns(3).Nulls({1})
                           .Var(forge::SparseVector({{5, LE(3, 4)}, {6, Str("sparse")}}), true).Build()));
        page.AddRecord(forge::RecordBuilder().Fixed(LE(11, 4)).Columns(1).Build());
        // The same page with the last record's slot removed: only the deleted-record scan finds it.
        pw::PageImage image = page.Build();
        forge::SetSlots(image, offsets);
        seeds.Add("fuzz_data_page", DataPageInput(0x03, 0, {}, page.Build()));
        seeds.Add("fuzz_data_page", DataPageInput(0x03, 0, {}, image));
    }
    // Page-compressed pages with anchor and dictionary.
    forge::CompressionInfoParts parts;
    parts.withAnchor = true;
    parts.withDictionary = true;
    parts.anchor = {{5, Str("abcd")}, {10, Str("prefix-")}, {0, {}}};
    parts.dictionary = {Str("first entry"), Str("second")};
    const std::vector<Bytes> compressedRecords = {
        forge::BuildCompressedRecord({{3, {0x81, 0x2C}}, {10, Bytes{0x03, 'x', 'y', 'z'}}, {12, {0}}}),
        forge::BuildCompressedRecord({{2, {0x85}}, {1, {}}, {12, {1}}}),
        forge::BuildCompressedRecord({{0, {}}, {11, {}}, {10, Str("long value here")}}),
    };
    const pw::PageImage compressed = forge::BuildCompressedPage(forge::BuildCompressionInfo(parts), compressedRecords);
    {
        InputWriter columns;
        columns.U8(3);
        fuzz::WriteColumn(columns, pw::kKindInt, 4, 8);
        fuzz::WriteColumn(columns, pw::kKindVarChar, 40, 9);
        fuzz::WriteColumn(columns, pw::kKindNVarChar, 80, 9);
        seeds.Add("fuzz_data_page", DataPageInput(0x88, 0, columns.bytes, compressed));
        seeds.Add("fuzz_data_page", DataPageInput(0x8B, 2, columns.bytes, compressed));
    }

    // Compressed row expansion inputs.
    {
        const std::vector<forge::CdValue> values = {{3, {0x81, 0x2C}}, {10, forge::Utf16Bytes("text")}, {12, {1}},
                                                    {5, Str("abcd")}, {1, {}}, {0, {}}, {11, {}}};
        const forge::CompressedRowStorage storage = forge::SplitCompressedRecord(values);
        InputWriter w;
        w.U8(7);
        fuzz::WriteColumn(w, pw::kKindInt, 4, 8);
        fuzz::WriteColumn(w, pw::kKindNVarChar, 40, 9);
        fuzz::WriteColumn(w, pw::kKindVarChar, 20, 9);
        fuzz::WriteColumn(w, pw::kKindBigInt, 8, 8);
        fuzz::WriteColumn(w, pw::kKindNChar, 10, 8);
        fuzz::WriteColumn(w, pw::kKindDateTime, 8, 8);
        fuzz::WriteColumn(w, pw::kKindBit, 1, 8);
        w.Part(storage.codes).Part(storage.shortData).U8(static_cast<std::uint8_t>(storage.longItems.size()));
        for (const Bytes& item : storage.longItems) w.U8(0).Part(item);
        w.U8(3).U16(4).Raw(Str("abcd")).U16(static_cast<std::uint16_t>(-2)).U16(static_cast<std::uint16_t>(-1));
        w.U8(2).Part(Str("first entry")).Part(Str("second"));
        w.Raw(compressed);
        seeds.Add("fuzz_compressed_row", w.bytes);
    }

    // Records.
    const Bytes owner = forge::PageBuilder().Type(1).Put(14, 8, 2).Build();
    const std::vector<Bytes> records = {
        forge::RecordBuilder().Fixed(LE(1, 4)).Columns(1).Build(),
        forge::RecordBuilder().Fixed(LE(2, 8)).Columns(4).Nulls({1, 3}).Var(Str("one")).Var(Str("two")).Build(),
        forge::RecordBuilder().Fixed(LE(3, 4)).Columns(2).Var(forge::OutOfRowPointer({{100, 20, 1, 0}}), true).Build(),
        forge::RecordBuilder().Fixed(LE(4, 4)).Columns(3).Var(forge::SparseVector({{2, LE(5, 4)}}), true).Build(),
        forge::ForwardingStub(1, 1, 0),
        forge::RecordBuilder().Type(pw::kIndexRecordType).Fixed(LE(5, 4)).Columns(1).Build(),
        forge::BuildCompressedRecord({{3, {0x81, 0x2C}}, {10, Str("long")}, {12, {0}}}),
    };
    for (const Bytes& record : records) {
        seeds.Add("fuzz_record", RecordInput(0x00, 8096, owner, record));
        seeds.Add("fuzz_record", RecordInput(0x03, static_cast<std::uint16_t>(record.size()), owner, record));
    }

    // Large-object fragments and text pages.
    const Bytes small = forge::SmallRootPayload(1, Str("small root text"));
    const Bytes data = forge::DataPayload(2, forge::Utf16Bytes("data fragment text"));
    const pw::PageImage textPage = forge::TextPage(1, 2, {forge::TextRecordBytes(forge::DataPayload(3, Str("linked part one"))),
                                                          forge::TextRecordBytes(forge::DataPayload(3, Str(" and two"))),
                                                          forge::TextRecordBytes(small)});
    const Bytes largeRoot = forge::LargeRootPayload(3, {{15, 2, 1, 0}, {8, 2, 1, 1}});
    const Bytes internal = forge::InternalPayload(4, {{15, 2, 1, 0}, {23, 2, 1, 1}});
    for (const std::uint8_t flags : std::initializer_list<std::uint8_t>{0x00, 0x02, 0x04, 0x08, 0x01}) {
        seeds.Add("fuzz_lob_fragment", LobInput(flags, small, {}));
        seeds.Add("fuzz_lob_fragment", LobInput(flags, data, {}));
    }
    seeds.Add("fuzz_lob_fragment", LobInput(0, largeRoot, {textPage}));
    seeds.Add("fuzz_lob_fragment", LobInput(8, largeRoot, {textPage}));
    seeds.Add("fuzz_lob_fragment", LobInput(0, internal, {textPage}));
    seeds.Add("fuzz_lob_fragment", LobInput(4, internal, {textPage}));
    seeds.Add("fuzz_text_page", TextPageInput(1, 2, 2, textPage));
    seeds.Add("fuzz_text_page", TextPageInput(1, 2, 5, textPage));
    seeds.Add("fuzz_text_page", TextPageInput(1, 6, 6, textPage));
}

void XmlSeeds(Seeds& seeds) {
    const Bytes document = {0xDF, 0xFF, 0x01, 0xB0, 0x04, 0xF0, 0x04, 0x72, 0x00, 0x6F, 0x00, 0x6F, 0x00, 0x74, 0x00,
                            0xEF, 0x00, 0x00, 0x01, 0xF8, 0x01, 0x11, 0x02, 0x0A, 0x00, 0x09, 0x00, 0xF0, 0x02, 0x70,
                            0x00, 0x69, 0x00, 0xF4, 0x02, 0x04, 0x74, 0x00, 0x65, 0x00, 0x78, 0x00, 0x74, 0x00, 0x11,
                            0x02, 0x0A, 0x00, 0x09, 0x00, 0xF3, 0x07, 0x63, 0x00, 0x6F, 0x00, 0x6D, 0x00, 0x6D, 0x00,
                            0x65, 0x00, 0x6E, 0x00, 0x74, 0x00, 0x11, 0x01, 0x0A, 0x00, 0xF7};
    // <r a="v">hi</r> with typed values: an int (0x38), a bit (0x68) and a float (0x3E).
    const Bytes typed = {0xDF, 0xFF, 0x01, 0xB0, 0x04, 0xF0, 0x01, 0x72, 0x00, 0xEF, 0x00, 0x00, 0x01, 0xF0, 0x01,
                         0x61, 0x00, 0xEF, 0x00, 0x00, 0x02, 0xF8, 0x01, 0xF6, 0x02, 0x11, 0x01, 0x76, 0x00, 0xF5,
                         0x11, 0x02, 0x68, 0x00, 0x69, 0x00, 0x38, 0x2A, 0x00, 0x00, 0x00, 0xF7};
    for (const std::uint8_t cut : std::initializer_list<std::uint8_t>{0, 1, 7, 64}) {
        for (const Bytes* value : {&document, &typed}) {
            Bytes input{cut};
            input.insert(input.end(), value->begin(), value->end());
            seeds.Add("fuzz_stored_xml", input);
        }
    }
}

void CollationSeeds(Seeds& seeds, const std::string& collationFile) {
    std::ifstream in(collationFile);
    std::string text, line;
    for (int i = 0; i < 64 && std::getline(in, line); ++i) text += line + "\n";
    text += "Broken_Line_Without_Tabs\n\t\t\n-5\t+77\t-2147483649\nName\t99999999999\tabc\r\n";
    seeds.Add("fuzz_collation", Str(text));
}

void ValueSeeds(Seeds& seeds) {
    struct Value {
        std::int32_t kind;
        std::uint16_t length;
        std::uint8_t precision, scale, flags;
        Bytes bytes;
    };
    const Bytes guid = {0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    const std::vector<Value> values = {
        {pw::kKindBigInt, 8, 0, 0, 0, LE(0x123456789ULL, 8)},
        {pw::kKindBinary, 4, 0, 0, 0, {0xDE, 0xAD, 0xBE, 0xEF}},
        {pw::kKindBit, 1, 0, 0, 0, {0x05}},
        {pw::kKindBit, 1, 0, 0, 0, {}},
        {pw::kKindChar, 10, 0, 0, 0, Str("char value")},
        {pw::kKindDateTime, 8, 0, 0, 0, {0x00, 0x00, 0x00, 0x00, 0x2C, 0xA8, 0x00, 0x00}},
        {pw::kKindDate, 3, 0, 0, 0, {0x5B, 0x95, 0x0A}},
        {pw::kKindTime, 5, 7, 7, 0, {0x00, 0x1A, 0x2B, 0x3C, 0x0D}},
        {pw::kKindDateTime2, 8, 7, 7, 0, {0x00, 0x1A, 0x2B, 0x3C, 0x0D, 0x5B, 0x95, 0x0A}},
        {pw::kKindDateTimeOffset, 10, 7, 7, 0, {0x00, 0x1A, 0x2B, 0x3C, 0x0D, 0x5B, 0x95, 0x0A, 0x3C, 0x00}},
        {pw::kKindInt, 4, 0, 0, 0, LE(static_cast<std::uint32_t>(-42), 4)},
        {pw::kKindNChar, 10, 0, 0, 0, forge::Utf16Bytes("nchar")},
        {pw::kKindNVarChar, 40, 0, 0, 1, forge::Utf16Bytes("nvarchar \xC3\xA9")},
        {pw::kKindRowLocator, 8, 0, 0, 0, {0x10, 0, 0, 0, 1, 0, 2, 0}},
        {pw::kKindSmallInt, 2, 0, 0, 0, LE(65535, 2)},
        {pw::kKindTinyInt, 1, 0, 0, 0, {200}},
        {pw::kKindUniqueIdentifier, 16, 0, 0, 0, guid},
        {pw::kKindVarBinary, 20, 0, 0, 1, {1, 2, 3}},
        {pw::kKindVarChar, 20, 0, 0, 1, {'c', 0xE9, 0x81}},
        {pw::kKindNText, 16, 0, 0, 1, forge::TextPointerBytes(20, 1, 0)},
        {pw::kKindSqlVariant, 8016, 0, 0, 1, {0x38, 0x01, 0x2A, 0x00, 0x00, 0x00}},
        {pw::kKindSqlVariant, 8016, 0, 0, 1, {0xA7, 0x01, 0x0A, 0x00, 0x09, 0x04, 0xD0, 0x00, 0x34, 'v', 'a', 'r'}},
        {pw::kKindMoney, 8, 0, 0, 0, LE(123456789, 8)},
        {pw::kKindFloat, 8, 53, 0, 0, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {pw::kKindNumeric, 9, 18, 4, 0, {0x01, 0x39, 0x30, 0, 0, 0, 0, 0, 0}},
        {pw::kKindDecimal, 17, 38, 10, 0, {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0}},
        {pw::kKindImage, 16, 0, 0, 1, forge::TextPointerBytes(21, 1, 2)},
        {pw::kKindText, 16, 0, 0, 1, forge::TextPointerBytes(22, 1, 3)},
        {pw::kKindSmallDateTime, 4, 0, 0, 0, {0x10, 0x00, 0xA0, 0x8C}},
        {pw::kKindReal, 4, 24, 0, 0, {0, 0, 0x80, 0x3F}},
        {pw::kKindSmallMoney, 4, 0, 0, 0, LE(250000, 4)},
        {pw::kKindTimestamp, 8, 0, 0, 0, LE(0x7D1, 8)},
        {pw::kKindHierarchyId, 892, 0, 0, 1, {0x58, 0xC0}},
        {pw::kKindGeometry, 0xFFFF, 0, 0, 1, {0, 0, 0, 0, 1, 0x0C, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0x40}},
        {pw::kKindClr, 0xFFFF, 0, 0, 1, {0xE6, 0x10, 0, 0, 1, 0x0C}},
        {pw::kKindXml, 0xFFFF, 0, 0, 1, {0xDF, 0xFF, 0x01, 0xB0, 0x04, 0xF0, 0x01, 0x72, 0x00, 0xEF, 0x00, 0x00, 0x01,
                                         0xF8, 0x01, 0x11, 0x02, 0x68, 0x00, 0x69, 0x00, 0xF7}},
        {pw::kKindEmpty, 0, 0, 0, 0, {1, 2}},
    };
    // Each kind alone, then all of them as one record.
    InputWriter all;
    all.U8(0).U8(0x1B);
    for (const Value& v : values) {
        InputWriter one;
        one.U8(0).U8(0xE4);
        for (InputWriter* w : {&one, &all}) {
            fuzz::WriteColumn(*w, v.kind, v.length, v.flags, v.precision, v.scale);
            w->U8(v.flags & 1).Part(v.bytes);
        }
        seeds.Add("fuzz_value_render", one.bytes);
    }
    seeds.Add("fuzz_value_render", all.bytes);
}

// ---- pages cut from real data files ------------------------------------------------

void CorpusSeeds(Seeds& seeds, const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower.size() > 4 && (lower.ends_with(".mdf") || lower.ends_with(".ndf"))) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        std::map<int, int> taken;  // per page kind, pages taken from this file
        Bytes page(pw::kPageSize);
        while (in.read(reinterpret_cast<char*>(page.data()), static_cast<std::streamsize>(page.size()))) {
            const int type = page[1];
            const bool compressed = (page[2] & pw::kCompressedPageFlag) != 0;
            const int kind = compressed ? 100 : type;
            if (type == pw::kDataPage && taken[kind] < 3) {
                ++taken[kind];
                seeds.Add("fuzz_data_page", DataPageInput(compressed ? 0x08 : 0x03, 0, {}, page));
                if (compressed) {
                    InputWriter w;
                    w.U8(0).Part({}).Part({}).U8(0).U8(0).U8(0).Raw(page);
                    seeds.Add("fuzz_compressed_row", w.bytes);
                }
                // The record in slot 0.
                const std::size_t offset = page[8190] | (page[8191] << 8);
                if (taken[kind] == 1 && offset >= 96 && offset < pw::kPageSize - 2) {
                    const Bytes record(page.begin() + static_cast<std::ptrdiff_t>(offset), page.end() - 2);
                    seeds.Add("fuzz_record",
                              RecordInput(0, static_cast<std::uint16_t>(pw::kPageSize - offset), Bytes(page.begin(), page.begin() + 96), record));
                }
            } else if ((type == pw::kTextMixPage || type == pw::kTextTreePage) && taken[kind] < 2) {
                ++taken[kind];
                const std::uint32_t number = page[32] | (page[33] << 8) | (page[34] << 16) | (static_cast<std::uint32_t>(page[35]) << 24);
                seeds.Add("fuzz_text_page", TextPageInput(1, number, number, page));
                const std::size_t offset = page[8190] | (page[8191] << 8);
                if (offset >= 96 && offset + 4 < pw::kPageSize) {
                    const std::size_t end = std::min<std::size_t>(pw::kPageSize - 2, offset + (page[offset + 2] | (page[offset + 3] << 8)));
                    if (end > offset + 4)
                        seeds.Add("fuzz_lob_fragment", LobInput(0, Bytes(page.begin() + static_cast<std::ptrdiff_t>(offset + 4),
                                                                           page.begin() + static_cast<std::ptrdiff_t>(end)),
                                                                {page}));
                }
            } else if ((type == pw::kBootPage || type == pw::kIamPage || type == pw::kFileHeaderPage) && taken[kind] < 1) {
                ++taken[kind];
                seeds.Add("fuzz_page_header", page);
                if (type == pw::kIamPage) seeds.Add("fuzz_data_page", DataPageInput(0, 0, {}, page));
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR [DATA_FILE_DIR]\n", argv[0]);
        return 1;
    }
    const std::string out = argv[1];
    ::mkdir(out.c_str(), 0755);
    Seeds seeds(out);
    forge::SampleDatabase db = forge::BuildSampleDatabase(12);
    PageSeeds(seeds, db);
    XmlSeeds(seeds);
    CollationSeeds(seeds, std::string(PAGEWRIGHT_SOURCE_DIR) + "/data/collation.txt");
    ValueSeeds(seeds);
    const std::string file = db.Bytes();
    seeds.Add("fuzz_file_scan", Bytes(file.begin(), file.end()));
    forge::SampleDatabase fewRows = forge::BuildSampleDatabase(2);
    const std::string small = fewRows.Bytes();
    seeds.Add("fuzz_file_scan", Bytes(small.begin(), small.end()));
    if (argc >= 3) CorpusSeeds(seeds, argv[2]);
    for (const char* target : {"fuzz_page_header", "fuzz_data_page", "fuzz_record", "fuzz_compressed_row",
                               "fuzz_lob_fragment", "fuzz_text_page", "fuzz_stored_xml", "fuzz_collation",
                               "fuzz_value_render", "fuzz_file_scan"})
        std::printf("%-22s %d seeds\n", target, seeds.Count(target));
    return 0;
}
