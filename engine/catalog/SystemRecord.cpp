#include "catalog/SystemRecord.h"

#include "pages/Record.h"

namespace pw {

SystemRecord SystemRecord::Of(const CRecord& record) {
    SystemRecord view;
    view.recordType = record.recordType;
    view.fixed = ByteView(record.fixedData.data(), record.fixedData.size());
    view.columnCount = record.columnCount;
    view.vars.reserve(record.varValues.size());
    for (const VarValue& value : record.varValues) {
        // The stored length never exceeds the copied bytes.
        std::size_t length = value.length > 0 ? static_cast<std::size_t>(value.length) : 0;
        if (length > value.data.size()) length = value.data.size();
        view.vars.emplace_back(value.data.data(), length);
    }
    return view;
}

}  // namespace pw
