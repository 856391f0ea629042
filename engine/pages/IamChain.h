#pragma once
// The pages an allocation unit owns, collected from its IAM pages.
//
// Each IAM page names up to eight single pages and the extents of one GAM
// interval allocated to the unit; a unit spanning several intervals or files
// has one IAM page per interval and file, linked through the page headers'
// next-page pointers (SQL Server 2005 and later). In the SQL Server 2000
// layout the walk instead visits the IAM pages the scan filed under the
// table's object id, in their order.
//
// The pointers come from possibly damaged pages: the walk visits each IAM
// page once (a chain that loops back ends there), keeps only pages inside
// their file, lists each page once (a page named by two IAM pages of a
// damaged unit is listed where it first appears), and ends at the first IAM
// page it cannot read or when a stop is requested. The pages collected so far
// are always returned.

#include <span>
#include <vector>

#include "pages/PageId.h"
#include "pages/PageRef.h"

namespace pw {

class CDatabaseFileSet;
class IamPage;

// Appends the pages one IAM page allocates: its non-empty single-page slots
// that lie inside their file, in slot order, then the pages of every
// allocated extent, in bitmap order, skipping null ids and pages outside
// their file.
void AppendIamPagePages(const IamPage& iam, const CDatabaseFileSet& files, std::vector<PageId>& pages);

// Follows the next-page pointers from `firstIamPage` (SQL Server 2005 and later).
std::vector<PageId> CollectIamChainPages(CDatabaseFileSet& files, PageId firstIamPage);

// Visits the IAM pages of `iamPages` in order (SQL Server 2000: the scan's
// IAM page list of the table's object id, positions taken as page numbers);
// an entry at position 0 ends the walk.
std::vector<PageId> CollectIamListPages(CDatabaseFileSet& files, std::span<const PageRef> iamPages);

}  // namespace pw
