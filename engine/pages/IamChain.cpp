#include "pages/IamChain.h"

#include <set>

#include "pages/DatabaseFileSet.h"
#include "pages/IamPage.h"

namespace pw {

namespace {

// The pages collected so far, each once.
class PageCollector {
public:
    void Add(PageId page) {
        if (seen_.insert(page).second) pages_.push_back(page);
    }
    std::vector<PageId> Take() { return std::move(pages_); }

private:
    std::vector<PageId> pages_;
    std::set<PageId> seen_;
};

// Reads the IAM page at `at` and appends its pages unless the walk must end
// there: page number 0, a stop request, a page visited before, or a page that
// cannot be read. Returns the page read, or null when the walk ends.
std::unique_ptr<IamPage> VisitIamPage(CDatabaseFileSet& files, PageId at, std::set<PageId>& visited,
                                      PageCollector& pages) {
    if (at.pageNumber == 0 || files.State().StopRequested()) return nullptr;
    if (!visited.insert(at).second) return nullptr;
    std::unique_ptr<IamPage> iam = files.ReadIamPage(at.fileId, at.pageNumber);
    if (iam) {
        std::vector<PageId> own;
        AppendIamPagePages(*iam, files, own);
        for (const PageId& page : own) pages.Add(page);
    }
    return iam;
}

}  // namespace

void AppendIamPagePages(const IamPage& iam, const CDatabaseFileSet& files, std::vector<PageId>& pages) {
    for (const PagePointer& slot : iam.singlePages) {
        if (slot.file != 0 && files.IsInsideFile(slot.file, slot.page)) pages.push_back(PageId{slot.file, slot.page});
    }
    for (const Extent& extent : iam.AllocatedExtents()) {
        for (const PageId& page : ExtentPages(extent)) {
            if (!page.IsNull() && files.IsInsideFile(page.fileId, page.pageNumber)) pages.push_back(page);
        }
    }
}

std::vector<PageId> CollectIamChainPages(CDatabaseFileSet& files, PageId firstIamPage) {
    PageCollector pages;
    std::set<PageId> visited;
    PageId current = firstIamPage;
    while (const std::unique_ptr<IamPage> iam = VisitIamPage(files, current, visited, pages)) {
        const PagePointer next = iam->NextIamPage();
        current = PageId{next.file, next.page};
    }
    return pages.Take();
}

std::vector<PageId> CollectIamListPages(CDatabaseFileSet& files, std::span<const PageRef> iamPages) {
    PageCollector pages;
    std::set<PageId> visited;
    for (const PageRef& entry : iamPages) {
        if (!VisitIamPage(files, PageId{entry.fileId, entry.position}, visited, pages)) break;
    }
    return pages.Take();
}

}  // namespace pw
