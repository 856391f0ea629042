// Value rendering of every kind: a run of values of one record, each with a
// fuzzed column description, read as fixed or variable data; bit values share
// the record's bit cursor.
//
// Input: option byte, collation byte, then per value: a column (see
// ReadColumn), a flag byte (bit 0: variable) the value length (16 bits, taken modulo 8061) and its bytes.

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "FuzzOptions.h"
#include "rows/ValueRenderer.h"
#include "support/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    pw::AppState state;
    fuzz::ApplyOptions(state, in.U8());
    // A small collation table, so that columns with collations find a code page.
    state.m_mapCollations[53256] = {"Latin1_General_CI_AS", 1252};
    state.m_mapCollations[53269] = {"Japanese_CI_AS", 932};
    state.m_mapCollations[872468488] = {"SQL_Latin1_General_CP1_CI_AS", 1252};
    const std::uint8_t collation = in.U8();
    pw::CodePageConverter codePages;
    pw::RenderContext context{state, codePages};
    pw::BitCursor cursor;
    std::size_t seen = 0;
    for (int index = 0; in.Remaining() > 0 && index < 64; ++index) {
        pw::ColumnDescriptor column = fuzz::ReadColumn(in, index);
        static const int collations[4] = {-1, 53256, 53269, 872468488};
        column.collationId = collations[(collation >> ((index % 4) * 2)) & 3];
        const bool variable = (in.U8() & 1) != 0;
        // Row values are never longer than a row.
        const fuzz::Bytes value = in.Take(in.U16() % 8061);
        pw::ValueDescriptor vd = pw::BuildValueDescriptor(column, column.valueKind, &cursor);
        if (variable) {
            vd.variable = 1;
            vd.length = static_cast<std::int16_t>(value.size());
        } else {
            vd.available = static_cast<std::int64_t>(value.size());
        }
        const std::uint8_t* bytes = value.empty() ? reinterpret_cast<const std::uint8_t*>("") : value.data();
        seen += pw::RenderValue(vd, pw::ByteView(bytes, value.size()), column, context).size();
        seen += static_cast<std::size_t>(vd.storageLength & 0xFF);
    }
    fuzz::Keep(seen);
    return 0;
}
