#pragma once
// CDataPage: a data page (type 1) with its records and the rows decoded from them.

#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "pages/PrimaryRecordPage.h"

namespace pw {

// A decoded row: a copy of the table's column list with each `value` filled.
using DecodedRow = std::vector<ColumnDescriptor>;

class CDataPage : public PrimaryRecordPage {
public:
    CDataPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state)
        : PrimaryRecordPage(std::move(image), fileSet, pages, state) {}
    ~CDataPage() override = default;

    // Filled by the row decoder: the table rows and the module-definition rows of this page.
    std::vector<DecodedRow> tableRows;
    std::vector<DecodedRow> moduleRows;
};

}  // namespace pw
