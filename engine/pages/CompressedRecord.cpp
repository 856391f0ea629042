#include "pages/CompressedRecord.h"

#include <algorithm>

#include "pages/CompressedRow.h"
#include "support/AppState.h"

namespace pw {

namespace {

CompressedRowView ViewOf(const CPrimaryRecord& record) {
    CompressedRowView view;
    view.codes = record.descriptorCodes;
    view.shortData = ByteView(record.fixedData.data(), record.fixedData.size());
    for (const VarValue& item : record.varValues) {
        const std::size_t length = item.length > 0 ? static_cast<std::size_t>(item.length) : 0;
        view.longItems.emplace_back(item.data.data(), std::min(length, item.data.size()));
        view.longIsComplex.push_back(item.isComplex);
    }
    return view;
}

}  // namespace

void ReadCompressionInfo(PrimaryRecordPage& page, const AppState& state, std::span<const ColumnDescriptor> columns) {
    const ByteView bytes = page.Bytes();
    const CompressionInfoHeader info = ReadCompressionInfoHeader(bytes);
    page.hasCompressionInfo = info.present;
    if (!info.present) return;  // marked compressed, but nothing to read: an ordinary page
    page.compressionFlags = info.flags;
    page.compressionKept = bytes.U16(97);
    page.dictionaryOffset = info.dictionaryOffset;
    page.compressionInfoLength = info.infoLength;

    // The anchor record of a page with a dictionary is read in every layout;
    // the one of a page without a dictionary only outside the SQL Server 2000 layout.
    if (info.hasAnchor && (info.hasDictionary || !state.m_bIsSql2000) && info.anchorMaxLength > 0) {
        page.anchorRecord = CPrimaryRecord::ParseAnchor(bytes.Sub(info.anchorOffset, info.anchorMaxLength), &page,
                                                        static_cast<int>(info.anchorMaxLength), state);
    }
    page.pageDictionary = ReadPageDictionary(bytes, info);

    const CPrimaryRecord* anchor = page.anchorRecord.get();
    if (anchor != nullptr && !anchor->isInvalid && !state.m_bIsSql2000 && !columns.empty())
        page.anchorValues = BuildAnchorValues(ViewOf(*anchor), columns.size());
}

void ExpandCompressedRecord(CPrimaryRecord& record, PrimaryRecordPage& page, const AppState&,
                            std::span<const ColumnDescriptor> columns) {
    if (record.recordType != kPrimaryRecordType && record.recordType != kIndexRecordType) return;
    // Without a listing there is no column list to expand with: the record
    // keeps its short data region as read rather than losing it.
    if (columns.empty() || columns.size() != static_cast<std::size_t>(record.columnCount)) return;

    ExpandedRow row = ExpandCompressedRow(ViewOf(record), page.anchorValues, page.pageDictionary, columns);
    for (auto& [index, bytes] : row.longValues) {
        VarValue& item = record.varValues[index];
        item.data = std::move(bytes);
        item.length = static_cast<int>(item.data.size());
    }
    record.columnNullMarks.clear();
    for (const ExpandedColumnMark& mark : row.marks) record.columnNullMarks.push_back({mark.isNull, mark.length, mark.offset});
    record.fixedData = std::move(row.image);
    record.fixedLength = static_cast<int>(record.fixedData.size());
}

}  // namespace pw
