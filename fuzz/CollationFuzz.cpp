// The collation file: any text read as "collation.txt", and its number parser.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzInput.h"
#include "support/CollationTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream stream(text);
    pw::CollationMap table;
    pw::ReadCollationTable(stream, table);
    std::size_t seen = table.size();
    for (const auto& [id, info] : table) seen += info.strName.size() + static_cast<std::size_t>(info.nCodePage & 0xFF);
    seen += static_cast<std::size_t>(pw::ParseDecimalInt32(text) & 0xFF);
    seen += pw::FolderOf(text).size();
    fuzz::Keep(seen);
    return 0;
}
