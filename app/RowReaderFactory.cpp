#include "RowReaderFactory.h"

#include <optional>

#include "catalog/Catalog.h"
#include "catalog/ModuleDefinitions.h"
#include "pages/DatabaseFileSet.h"
#include "rows/RenderContext.h"
#include "rows/RowDecoder.h"
#include "support/AppState.h"
#include "support/CodePage.h"

namespace app {

namespace {

// One listing at a time: the working table is built when it starts, named in
// the application state for the out-of-row readers, and dropped at its end.
class DecoderRowReader final : public pw::PageRowReader {
public:
    explicit DecoderRowReader(pw::AppState& state) : state_(state) {}
    ~DecoderRowReader() override { EndListing(); }

    void BeginListing(pw::CDatabaseFileSet& files, const pw::CCatalog& catalog,
                      const std::vector<pw::ColumnDescriptor>& columns) override {
        EndListing();
        files_ = &files;
        table_.emplace(columns, !catalog.objectRowsetColumns.empty());
        state_.m_pRowReader.store(&*table_);
    }

    pw::DecodedRows ReadPageRows(pw::PageId page) override {
        if (files_ == nullptr || !table_) return {};
        pw::RenderContext context{state_, codePages_};
        return pw::DecodePageRows(*files_, page.pageNumber, page.fileId, *table_, context);
    }

    void EndListing() override {
        state_.m_pRowReader.store(nullptr);
        table_.reset();
        files_ = nullptr;
    }

private:
    pw::AppState& state_;
    pw::CodePageConverter codePages_;
    pw::CDatabaseFileSet* files_ = nullptr;
    std::optional<pw::WorkingTable> table_;
};

}  // namespace

std::unique_ptr<pw::PageRowReader> MakePageRowReader(pw::AppState& state) {
    return std::make_unique<DecoderRowReader>(state);
}

void ConfigureWorkflow(pw::RecoveryFrame& workflow, pw::AppState& state, pw::EventSink& sink) {
    // The workers run one at a time: one converter serves them all.
    auto codePages = std::make_shared<pw::CodePageConverter>();
    pw::RecoveryFrame* frame = &workflow;
    workflow.SetModuleTextSource([frame, &state, &sink, codePages](const std::string& key) -> std::string {
        pw::CRecoveryContext& context = frame->Context();
        if (!context.catalog || !context.fileSet) return {};
        pw::RenderContext render{state, *codePages};
        pw::DefinitionSource source{*context.catalog, *context.fileSet, render, sink};
        return pw::ModuleText(source, key);
    });
    workflow.SetComputedTextLoader([&state, &sink, codePages](pw::CRecoveryContext& context) {
        if (!context.catalog || !context.fileSet) return;
        pw::RenderContext render{state, *codePages};
        pw::DefinitionSource source{*context.catalog, *context.fileSet, render, sink};
        pw::LoadComputedTexts(source);
    });
}

}  // namespace app
