// A whole-file scan of a small file: the fuzzed bytes written to a temporary
// file, opened as a primary data file, its catalog loaded and every object of
// the catalog opened, then the data pages of each table walked.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "catalog/Catalog.h"
#include "forge/TempFolder.h"
#include "pages/DataPage.h"
#include "pages/DatabaseFileSet.h"

namespace {

// Objects and pages visited per input; a fuzzed catalog can name thousands.
constexpr std::size_t kMaxObjects = 256;
constexpr std::size_t kMaxPages = 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static forge::TempFolder folder;
    const std::string path = folder.File("scan.mdf");
    if (!forge::WriteFile(path, std::string(reinterpret_cast<const char*>(data), size))) return 0;

    pw::AppState state;
    pw::NullEventSink sink;
    std::size_t seen = 0;
    {
        auto files = pw::CDatabaseFileSet::OpenFileSet(path, state, sink);
        if (files->IsOpened()) {
            pw::CCatalog catalog(state);
            catalog.LoadCatalog(*files);
            const std::vector<pw::ObjectRow> objects = catalog.objects;
            std::size_t pagesRead = 0;
            for (std::size_t i = 0; i < objects.size() && i < kMaxObjects; ++i) {
                const auto columns = catalog.OpenObject(objects[i].name, objects[i].typeCode);
                seen += columns.size();
                if (!catalog.isTableOpen) continue;
                for (const pw::DataPageAddress& address : catalog.dataPages) {
                    if (++pagesRead > kMaxPages) break;
                    if (auto page = files->ReadDataPage(address.fileId, address.pageNumber)) seen += page->records.size();
                }
            }
        }
    }
    fuzz::Keep(seen);
    return 0;
}
