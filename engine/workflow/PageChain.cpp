#include "workflow/PageChain.h"

#include <set>

#include "pages/DatabaseFileSet.h"
#include "pages/PageHeader.h"

namespace pw {

std::vector<PageId> CollectPageChain(CDatabaseFileSet& files, PageId start) {
    std::vector<PageId> pages;
    if (!start.IsNull()) pages.push_back(start);
    std::set<PageId> visited;
    PageId current = start;
    while (current.pageNumber != 0 && !files.State().StopRequested()) {
        if (!visited.insert(current).second) break;
        const std::optional<CPage_Header> header = files.ReadPageHeaderOnly(current.fileId, current.pageNumber);
        if (!header) break;
        const PageId next{header->nextPage.file, header->nextPage.page};
        if (!next.IsNull() && header->pageType == kDataPage) {
            // A pointer back into the chain would list a page twice: the walk ends there.
            if (visited.count(next) != 0) break;
            pages.push_back(next);
        }
        current = next;
    }
    return pages;
}

}  // namespace pw
