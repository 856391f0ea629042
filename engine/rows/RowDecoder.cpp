#include "rows/RowDecoder.h"

#include <algorithm>
#include <array>

#include "pages/CompressedRow.h"
#include "pages/DatabaseFileSet.h"
#include "rows/BitCursor.h"
#include "rows/LobFragmentList.h"
#include "rows/ReadOutOfRowValue.h"
#include "rows/ReadTextPointerValue.h"
#include "rows/StoredXml.h"
#include "rows/ValueDescriptor.h"
#include "rows/ValueKind.h"
#include "rows/ValueRenderer.h"
#include "rows/VariantRenderer.h"

namespace pw {

namespace {

enum class Member { kRowset, kLegacy, kModule, kLegacyModule };

bool IsTableMember(Member member) { return member == Member::kRowset || member == Member::kLegacy; }
bool IsModuleMember(Member member) { return member == Member::kModule || member == Member::kLegacyModule; }

// Complex column types (the first byte of a complex value, or its first
// 16-bit value when that byte is 0).
constexpr int kRowOverflowPointer = 2;
constexpr int kLobRootPointer = 4;
// Column count the SQL Server 2000 definition table (syscomments) is read with.
constexpr int kSyscommentsColumnCount = 10;
// sql_variant values read by the 2000 definition reader skip their header.
constexpr std::size_t kVariantHeaderSkip = 8;

// Fixed-size kinds whose compressed form stores the value 0 as an empty value.
bool ZeroWhenEmpty(int kind) {
    switch (kind) {
        case kKindBigInt: case kKindBit: case kKindDateTime: case kKindDate: case kKindInt: case kKindSmallInt:
        case kKindTinyInt: case kKindMoney: case kKindFloat: case kKindSmallDateTime: case kKindReal:
        case kKindSmallMoney:
            return true;
        default:
            return false;
    }
}

// Kinds whose value length is the number of bytes stored, not a type width.
bool LengthIsStored(int kind) {
    switch (kind) {
        case kKindBinary: case kKindChar: case kKindNChar: case kKindNVarChar: case kKindVarBinary:
        case kKindVarChar: case kKindNText: case kKindText: case kKindSqlVariant: case kKindHierarchyId:
        case kKindGeometry: case kKindClr: case kKindXml:
            return true;
        default:
            return false;
    }
}

ByteView ViewOf(const ByteBuffer& data, int length) {
    const std::size_t used = length > 0 ? std::min(static_cast<std::size_t>(length), data.size()) : 0;
    return ByteView(data.data(), used);
}

class RecordDecoder {
public:
    RecordDecoder(CDataPage& page, WorkingTable& table, RenderContext& context, Member member)
        : page_(page), table_(table), context_(context), app_(context.app), member_(member),
          listing_(context.app.m_bListing.load(std::memory_order_relaxed)) {}

    std::size_t Run(const RowVisitor& visit) {
        const std::size_t slotCount =
            page_.Header().slotCount > 0 ? static_cast<std::size_t>(page_.Header().slotCount) : 0;
        std::size_t shown = 0;
        for (std::size_t i = 0; i < slotCount && i < page_.records.size(); ++i) {
            if (app_.StopRequested()) break;
            CPrimaryRecord* record = page_.Record(i);
            if (!Accepts(record)) continue;
            DecodeRecord(*record);
            visit(table_.columns);
            ++shown;
        }
        return shown;
    }

private:
    bool Accepts(const CPrimaryRecord* record) const {
        if (member_ == Member::kLegacyModule) return record != nullptr && record->recordType != kBlobFragmentType;
        if (!IsListableRecord(record, app_)) return false;
        if (IsTableMember(member_)) {
            // A forwarded record is listed where its row lives in the table:
            // at the forwarding stub that points to it (the page walk has
            // already read it through the stub). A stub that could not be
            // followed holds no row.
            if (record->recordType == kForwardedRecordType) return false;
            if (record->fixedLength == kForwardNotFollowed) return false;
        }
        return true;
    }

    // ---- one record ------------------------------------------------------------
    void DecodeRecord(CPrimaryRecord& record) {
        bits_ = BitCursor{};
        varCounter_ = 0;
        fixedCursor_ = 0;
        processed_ = 0;
        sparseCursor_ = 0;
        const bool compressed = record.isCompressed && !record.columnNullMarks.empty();
        columnCount_ = record.columnCount;
        if (member_ == Member::kLegacyModule && app_.m_bIsSql2000) columnCount_ = kSyscommentsColumnCount;

        std::vector<ColumnDescriptor>& columns = table_.columns;
        const std::size_t listed = columns.size();
        const std::size_t moduleBound =
            std::min(listed, static_cast<std::size_t>(std::max(columnCount_, 0)));
        for (std::size_t h = 0; h < listed; ++h) {
            ColumnDescriptor& column = columns[h];
            if (member_ == Member::kLegacyModule) {
                // Every descriptor is visited; none is decoded past the record's columns.
                if (processed_ >= columnCount_) {
                    SetCell(column, {}, false);
                    continue;
                }
            } else {
                if (column.ordinal == kNotStoredOrdinal) continue;  // computed: keeps its definition
                if (IsModuleMember(member_) && h >= moduleBound) {
                    SetCell(column, {}, false);
                    continue;
                }
            }
            const int position = Position(column, h);
            if (IsTableMember(member_) && position > columnCount_) {
                // The column was added after this row was written: the row has no value for it.
                SetCell(column, kNullCellText, true);
                continue;
            }
            if (compressed)
                DecodeCompressedColumn(record, column, static_cast<std::size_t>(position - 1));
            else
                DecodeColumn(record, column);
        }
    }

    // The 1-based place of the column in the record: its physical column
    // number when known, else its place in the list.
    int Position(const ColumnDescriptor& column, std::size_t h) const {
        if (column.ordinal >= 1 && IsTableMember(member_)) return column.ordinal;
        return static_cast<int>(h) + 1;
    }

    // ---- the column procedure --------------------------------------------------
    void DecodeColumn(CPrimaryRecord& record, ColumnDescriptor& column) {
        ValueDescriptor vd = BuildValueDescriptor(column, column.valueKind, &bits_);
        const bool variable = vd.variable != 0;
        const bool nullBit = NullBitSet(record, column);

        // Null values.
        switch (member_) {
            case Member::kRowset:
            case Member::kLegacy:
                // A set null bit means NULL; a column without a stored place
                // (rowset member) too. Sparse columns have no null bit: their
                // absence from the sparse vector makes them NULL.
                if (!column.isSparse && (nullBit || (member_ == Member::kRowset && column.inRow == 0))) {
                    if (variable) ++varCounter_;  // a NULL variable column still has its end offset
                    ++processed_;
                    SetCell(column, kNullCellText, true);
                    return;
                }
                break;
            case Member::kModule:
                break;
            case Member::kLegacyModule:
                if (nullBit && !column.isSparse) {
                    if (variable)
                        ++varCounter_;
                    else
                        fixedCursor_ += vd.fixedLength;
                    ++processed_;
                    SetCell(column, {}, false);
                    return;
                }
                break;
        }

        record.binaryValue = record.variantValue = record.unicodeValue = false;
        cell_.clear();
        bool placeholder = false;
        bool sparseFound = true;
        if (column.isSparse) {
            sparseFound = DecodeSparse(record, column, vd);
        } else if (variable) {
            placeholder = DecodeVariable(record, column, vd, nullBit);
        } else {
            DecodeFixed(record, column, vd);
        }
        if (!sparseFound && IsTableMember(member_)) {
            SetCell(column, kNullCellText, true);
            return;
        }
        FinishCell(column, vd.kind, placeholder);
    }

    // Bit index of the column in the record's null bitmap, by member.
    bool NullBitSet(const CPrimaryRecord& record, const ColumnDescriptor& column) const {
        if (member_ == Member::kModule) return false;
        if (!record.hasNullBitmap || record.nullBitmap.empty()) return false;
        const int count = record.columnCount;
        int index;
        if (member_ == Member::kLegacyModule) {
            index = processed_;
        } else if (column.nullBit >= 1 && column.nullBit <= count) {
            index = column.nullBit - 1;
        } else if (member_ == Member::kLegacy) {
            index = processed_;
        } else {
            const int sparse = static_cast<int>(record.sparseVector.size());
            const int byOrdinal = column.ordinal - sparse - 1;
            index = byOrdinal >= 1 && byOrdinal <= count ? byOrdinal : sparse;
        }
        return record.NullBit(index);
    }

    // A sparse column's value from the record's sparse vector; false when the vector holds none.
    bool DecodeSparse(CPrimaryRecord& record, const ColumnDescriptor& column, ValueDescriptor& vd) {
        std::vector<SparseEntry>& entries = record.sparseVector;
        bool found = false;
        if (member_ == Member::kLegacyModule) {
            // Entries are matched in stored order: the next one must carry this column's id.
            if (sparseCursor_ < entries.size() && entries[sparseCursor_].columnId == column.columnId) {
                found = RenderSparseEntry(entries[sparseCursor_], column, vd);
                ++sparseCursor_;
            }
            return found;
        }
        for (SparseEntry& entry : entries) {
            if (entry.columnId != column.columnId || entry.data.empty()) continue;
            found = RenderSparseEntry(entry, column, vd) || found;
        }
        return found;
    }

    bool RenderSparseEntry(SparseEntry& entry, const ColumnDescriptor& column, ValueDescriptor& vd) {
        if (entry.data.empty()) return false;
        const ByteView bytes = ViewOf(entry.data, entry.length);
        vd.length = static_cast<std::int16_t>(std::clamp(entry.length, 0, 0x7FFF));
        vd.available = entry.length;
        if (vd.kind == kKindImage) vd.kind = kKindVarBinary;
        cell_ = vd.kind == kKindSqlVariant ? RenderVariant(entry.length, vd, bytes, column, context_)
                                           : RenderValue(vd, bytes, column, context_);
        entry.data.clear();
        return true;
    }

    // Returns true when the cell is a placeholder for a value not read.
    bool DecodeVariable(CPrimaryRecord& record, const ColumnDescriptor& column, ValueDescriptor& vd, bool nullBit) {
        const std::size_t index =
            column.leafOffset < 0 ? static_cast<std::size_t>(-(column.leafOffset + 1)) : varCounter_;
        ++varCounter_;
        ++processed_;
        if (index >= record.varValues.size()) return false;
        VarValue* entry = &record.varValues[index];
        if (member_ == Member::kLegacy && !nullBit && (entry->data.empty() || entry->length == 0) &&
            column.xoffset < 0) {
            // The SQL Server 2000 layout names the column's place by its stored offset.
            const auto alternate = static_cast<std::size_t>(-(column.xoffset + 1));
            if (alternate < record.varValues.size() && !record.varValues[alternate].data.empty())
                entry = &record.varValues[alternate];
        }
        return DecodeEntry(record, column, vd, *entry, ViewOf(entry->data, entry->length));
    }

    // The value of one variable entry (or long data item); releases its bytes.
    bool DecodeEntry(CPrimaryRecord& record, const ColumnDescriptor& column, ValueDescriptor& vd, VarValue& entry,
                     ByteView bytes) {
        switch (vd.kind) {
            case kKindVarBinary: case kKindClr: record.binaryValue = true; break;
            case kKindImage: vd.kind = kKindVarBinary; record.binaryValue = true; break;
            case kKindSqlVariant: record.variantValue = true; break;
            case kKindNVarChar: case kKindNText: record.unicodeValue = true; break;
            default: break;
        }
        bool placeholder = false;
        if (bytes.empty()) {
            // No value bytes: the cell stays empty.
        } else if (entry.isComplex) {
            placeholder = DecodeComplex(record, vd, bytes);
        } else {
            vd.length = static_cast<std::int16_t>(std::clamp(entry.length, 0, 0x7FFF));
            if (vd.kind == kKindSqlVariant && member_ != Member::kLegacyModule) {
                cell_ = RenderVariant(entry.length, vd, bytes, column, context_);
            } else if (vd.kind == kKindSqlVariant) {
                cell_ = RenderValue(vd, bytes.Sub(kVariantHeaderSkip, bytes.size()), column, context_);
            } else if (vd.kind == kKindXml && member_ == Member::kLegacyModule) {
                vd.kind = kKindVarBinary;  // this reader does not convert stored xml
                cell_ = RenderValue(vd, bytes, column, context_);
            } else {
                cell_ = RenderValue(vd, bytes, column, context_);
            }
        }
        entry.data.clear();
        return placeholder;
    }

    // A complex value: an in-row text pointer, a row-overflow pointer or a
    // large-object root. Returns true when a placeholder was put instead.
    bool DecodeComplex(CPrimaryRecord& record, ValueDescriptor& vd, ByteView bytes) {
        PageSource* pages = page_.Pages();
        const bool xml = vd.kind == kKindXml && member_ != Member::kLegacyModule;
        const LobValueFlags flags{record.binaryValue, record.variantValue, record.unicodeValue};
        if (bytes.size() == kTextPointerSize && bytes.U8(0) == 0) {
            if (!xml && member_ == Member::kLegacy && listing_) {
                cell_ = kBinaryDataText;
                return true;
            }
            const std::optional<TextPointer> pointer = ParseTextPointer(bytes);
            if (!pointer || !pages) return false;
            if (xml) {
                LobFragmentList fragments;
                ReadTextPointerValue(*pointer, *pages, context_, page_.FileSet(), flags, &fragments, true);
                cell_ = ConvertXmlFragments(fragments);
            } else {
                cell_ = ReadTextPointerValue(*pointer, *pages, context_, page_.FileSet(), flags, nullptr, false);
            }
            return false;
        }
        const int type = bytes.U8(0) != 0 ? bytes.U8(0) : bytes.U16(0);
        if (type != kRowOverflowPointer && type != kLobRootPointer) return false;
        const bool placeholders = IsTableMember(member_) && listing_ && type == kLobRootPointer;
        if (placeholders && (!xml || member_ == Member::kLegacy)) {
            cell_ = kBigBinaryDataText;
            return true;
        }
        if (!pages) return false;
        if (xml) {
            LobFragmentList fragments;
            ReadOutOfRowValue(record, bytes, *pages, context_, &fragments, true, record.unicodeValue);
            cell_ = ConvertXmlFragments(fragments);
        } else {
            cell_ = ReadOutOfRowValue(record, bytes, *pages, context_, nullptr, false, record.unicodeValue);
        }
        return false;
    }

    void DecodeFixed(CPrimaryRecord& record, const ColumnDescriptor& column, ValueDescriptor& vd) {
        ++processed_;
        const ByteBuffer& fixed = record.fixedData;
        if (fixed.empty()) {
            fixedCursor_ += vd.fixedLength;
            return;
        }
        const std::int64_t length = static_cast<std::int64_t>(fixed.size());
        std::int64_t at = -1;
        const bool layout2000 = member_ == Member::kLegacy && app_.m_bIsSql2000;
        if (member_ == Member::kLegacyModule) {
            if (fixedCursor_ <= length) at = fixedCursor_;
        } else if (layout2000) {
            const std::int64_t stored = column.xoffset - 4;
            if (stored >= 0 && stored < length)
                at = stored;
            else if (fixedCursor_ < length)
                at = fixedCursor_;
        } else {
            const std::int64_t leaf = column.leafOffset - 4;
            if (leaf >= 0 && leaf <= length)
                at = leaf;
            else if (fixedCursor_ < length)
                at = fixedCursor_;
        }
        if (at < 0) return;
        vd.available = length - at;
        const ByteView bytes(fixed.data() + at, static_cast<std::size_t>(length - at));
        cell_ = RenderValue(vd, bytes, column, context_);
        if (layout2000 && column.leafOffset < 0 && column.xoffset > 0 && vd.storageLength == 0)
            fixedCursor_ += vd.fixedLength;
        else
            fixedCursor_ += std::max(vd.storageLength, 0);
    }

    // ---- compressed records ------------------------------------------------------
    // The expanded row image holds one slot per column that has bytes; the
    // column's mark says where its slot starts and how many bytes it holds.
    // Long values (code 10) stay in the long data items, in column order.
    void DecodeCompressedColumn(CPrimaryRecord& record, ColumnDescriptor& column, std::size_t physical) {
        const std::uint8_t code =
            physical < record.descriptorCodes.size() ? record.descriptorCodes[physical] : static_cast<std::uint8_t>(kCodeNull);
        const ColumnNullMark* mark =
            physical < record.columnNullMarks.size() ? &record.columnNullMarks[physical] : nullptr;
        ++processed_;
        if (code == kCodeNull || mark == nullptr || mark->isNull) {
            if (member_ == Member::kLegacyModule)
                SetCell(column, {}, false);
            else
                SetCell(column, kNullCellText, true);
            return;
        }
        BitCursor ownBits;  // compressed bit values each have their own slot
        ValueDescriptor vd = BuildValueDescriptor(column, column.valueKind, &ownBits);
        record.binaryValue = record.variantValue = record.unicodeValue = false;
        cell_.clear();
        bool placeholder = false;
        if (code == kCodeLong) {
            const std::size_t index = varCounter_++;
            if (index < record.varValues.size()) {
                VarValue& entry = record.varValues[index];
                placeholder = DecodeEntry(record, column, vd, entry, ViewOf(entry.data, entry.length));
            }
        } else if (code == kCodeBitTrue) {
            if (vd.kind == kKindBit) cell_ = "True";
        } else if (mark->length > 0 && mark->offset >= 0 &&
                   static_cast<std::size_t>(mark->offset) < record.fixedData.size()) {
            const std::size_t at = static_cast<std::size_t>(mark->offset);
            const std::size_t room = record.fixedData.size() - at;
            const std::size_t used = std::min(room, static_cast<std::size_t>(mark->length));
            if (vd.kind == kKindImage) vd.kind = kKindVarBinary;
            if (LengthIsStored(vd.kind)) {
                vd.variable = 1;
                vd.length = static_cast<std::int16_t>(std::min<std::size_t>(used, 0x7FFF));
            }
            vd.available = static_cast<std::int64_t>(room);
            const ByteView bytes(record.fixedData.data() + at, room);
            cell_ = vd.kind == kKindSqlVariant ? RenderVariant(vd.length, vd, bytes.Sub(0, used), column, context_)
                                               : RenderValue(vd, bytes, column, context_);
        } else if (ZeroWhenEmpty(vd.kind)) {
            // An empty value of a number or date column is its zero value.
            static constexpr std::array<std::uint8_t, 16> kZeros{};
            vd.available = static_cast<std::int64_t>(kZeros.size());
            cell_ = RenderValue(vd, ByteView(kZeros.data(), kZeros.size()), column, context_);
        }
        FinishCell(column, vd.kind, placeholder);
    }

    // ---- cells -------------------------------------------------------------------
    // Binary cells carry the "0x" of a binary literal.
    void FinishCell(ColumnDescriptor& column, int kind, bool placeholder) {
        if ((kind == kKindVarBinary || kind == kKindClr) && !placeholder) {
            const bool blank = cell_.size() == 1 && cell_[0] == ' ';
            const bool prefix = IsModuleMember(member_) ? !cell_.empty() && !blank : !blank;
            if (prefix) cell_.insert(0, "0x");
        }
        if (member_ == Member::kLegacy && cell_.empty() && column.isNullable == 1) {
            SetCell(column, kNullCellText, true);
            return;
        }
        column.value.swap(cell_);
        column.isNull = false;
    }

    static void SetCell(ColumnDescriptor& column, const char* text, bool isNull) {
        if (text)
            column.value.assign(text);
        else
            column.value.clear();
        column.isNull = isNull;
    }

    CDataPage& page_;
    WorkingTable& table_;
    RenderContext& context_;
    const AppState& app_;
    Member member_;
    bool listing_;

    // Per record.
    BitCursor bits_;
    std::size_t varCounter_ = 0;
    std::int64_t fixedCursor_ = 0;
    int processed_ = 0;
    std::size_t sparseCursor_ = 0;
    int columnCount_ = 0;
    // The cell being built; swapped into the descriptor, so its buffer is reused.
    std::string cell_;
};

std::size_t Decode(CDataPage& page, WorkingTable& table, RenderContext& context, Member member,
                   const RowVisitor& visit) {
    RecordDecoder decoder(page, table, context, member);
    return decoder.Run(visit);
}

void DecodeInto(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context, Member member) {
    std::vector<DecodedRow>& rows = IsModuleMember(member) ? page.moduleRows : page.tableRows;
    rows.clear();
    Decode(page, table, context, member, [&rows](const DecodedRow& row) { rows.push_back(row); });
    result = std::move(rows);
    rows.clear();
}

bool ByPhysicalColumn(const ColumnDescriptor& a, const ColumnDescriptor& b) { return a.ordinal < b.ordinal; }

}  // namespace

WorkingTable::WorkingTable(std::vector<ColumnDescriptor> tableColumns, bool physicalColumnsKnown)
    : columns(std::move(tableColumns)), rowsetColumnsKnown(physicalColumnsKnown) {
    for (const ColumnDescriptor& column : columns)
        if (column.ordinal != kNotStoredOrdinal) recordColumns.push_back(column);
    std::stable_sort(recordColumns.begin(), recordColumns.end(), ByPhysicalColumn);
}

std::int64_t PageAllocUnitId(const CPage_Header& header) {
    const auto objectPart = static_cast<std::uint64_t>(static_cast<std::uint32_t>(header.objectId));
    return static_cast<std::int64_t>((std::uint64_t{header.indexId} << 48) | (objectPart << 16));
}

bool PageBelongsToTable(const CPage_Header& header, const WorkingTable& table) {
    if (table.inRowAllocUnits.empty()) return true;
    constexpr std::int64_t kFirstNewStyleUnit = std::int64_t{256} << 48;
    bool allNewStyle = true;
    for (const std::int64_t unit : table.inRowAllocUnits) allNewStyle = allNewStyle && unit >= kFirstNewStyleUnit;
    // Pages of units carried over from SQL Server 2000 keep the old index id in their headers.
    if (!allNewStyle) return true;
    const std::int64_t unit = PageAllocUnitId(header);
    return std::find(table.inRowAllocUnits.begin(), table.inRowAllocUnits.end(), unit) !=
           table.inRowAllocUnits.end();
}

bool UsesRowsetMembers(const AppState& app, const WorkingTable& table) {
    return !app.m_bIsSql2000 && table.rowsetColumnsKnown;
}

void DecodeRowsetRows(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context) {
    DecodeInto(page, result, table, context, Member::kRowset);
}

void DecodeLegacyRows(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context) {
    DecodeInto(page, result, table, context, Member::kLegacy);
}

void DecodeModuleRows(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context) {
    DecodeInto(page, result, table, context, Member::kModule);
}

void DecodeLegacyModuleRows(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context) {
    DecodeInto(page, result, table, context, Member::kLegacyModule);
}

std::size_t VisitTableRows(CDataPage& page, WorkingTable& table, RenderContext& context, const RowVisitor& visit) {
    return Decode(page, table, context, UsesRowsetMembers(context.app, table) ? Member::kRowset : Member::kLegacy,
                  visit);
}

std::size_t VisitModuleRows(CDataPage& page, WorkingTable& table, RenderContext& context, const RowVisitor& visit) {
    return Decode(page, table, context, UsesRowsetMembers(context.app, table) ? Member::kModule : Member::kLegacyModule,
                  visit);
}

std::size_t VisitPageRows(CDatabaseFileSet& files, std::int64_t pageNumber, std::int32_t fileId,
                          WorkingTable& table, RenderContext& context, const RowVisitor& visit) {
    const std::unique_ptr<CDataPage> page = files.ReadDataPage(fileId, pageNumber, table.recordColumns);
    if (!page || page->Header().pageType != kDataPage || !PageBelongsToTable(page->Header(), table)) return 0;
    return VisitTableRows(*page, table, context, visit);
}

RowSet DecodePageRows(CDatabaseFileSet& files, std::int64_t pageNumber, std::int32_t fileId, WorkingTable& table,
                      RenderContext& context) {
    RowSet rows;
    const std::unique_ptr<CDataPage> page = files.ReadDataPage(fileId, pageNumber, table.recordColumns);
    if (!page || page->Header().pageType != kDataPage || !PageBelongsToTable(page->Header(), table)) return rows;
    if (UsesRowsetMembers(context.app, table))
        DecodeRowsetRows(*page, rows, table, context);
    else
        DecodeLegacyRows(*page, rows, table, context);
    return rows;
}

}  // namespace pw
