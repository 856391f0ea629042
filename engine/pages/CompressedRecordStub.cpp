// Placeholder for the compressed page steps until the expansion is built:
// compressed pages are walked like plain ones and their records keep the
// short data region as read.

#include "pages/CompressedRecord.h"

namespace pw {

void ReadCompressionInfo(PrimaryRecordPage&, const AppState&) {}

void ExpandCompressedRecord(CPrimaryRecord&, PrimaryRecordPage&, const AppState&) {}

}  // namespace pw
