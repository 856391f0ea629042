#pragma once
// The pages of a table's page chain: its first data page and the pages the
// next-page pointers of its data pages lead to.

#include <vector>

#include "pages/PageId.h"

namespace pw {

class CDatabaseFileSet;

// From `start` (listed unless null) follows the headers' next-page pointers:
// a pointer is listed when it is not null and the page holding it is a data
// page; the walk goes on with the pointer either way. It ends at page number
// 0, at a page whose header cannot be read, at a page it has read before (a
// damaged chain that loops back on itself), or when a stop is requested.
std::vector<PageId> CollectPageChain(CDatabaseFileSet& files, PageId start);

}  // namespace pw
