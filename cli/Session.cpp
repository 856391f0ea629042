#include "Session.h"

#include "Commands.h"
#include "support/CollationTable.h"

namespace cli {

namespace {

// The reader of a run that lists no rows (tree).
class NoPageRows final : public pw::PageRowReader {
public:
    void BeginListing(pw::CDatabaseFileSet&, const pw::CCatalog&, const std::vector<pw::ColumnDescriptor>&) override {}
    pw::DecodedRows ReadPageRows(pw::PageId) override { return {}; }
    void EndListing() override {}
};

}  // namespace

bool ParseOptions(std::vector<std::string>& args, Options& options) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--log-dir" && hasValue) {
            options.logDir = args[++i];
        } else if (arg == "--mode" && hasValue) {
            const std::string& mode = args[++i];
            if (mode != "standard" && mode != "advanced") {
                std::fprintf(stderr, "--mode takes standard or advanced, not %s.\n", mode.c_str());
                return false;
            }
            options.advanced = mode == "advanced";
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--deleted") {
            options.showDeleted = true;
        } else if (arg == "--advanced-deleted") {
            options.showAdvancedDeleted = true;
        } else if (arg == "--log-dir" || arg == "--mode") {
            std::fprintf(stderr, "%s needs a value.\n", arg.c_str());
            return false;
        } else {
            rest.push_back(arg);
        }
    }
    args = std::move(rest);
    return true;
}

Session::Session(const Options& options, pw::FrameView* view)
    : sink(options.quiet), defaultView(logger, options.quiet), options_(options) {
    pw::LoadCollationTable(pw::ExecutablePath(), state.m_mapCollations);
    state.m_nRecoveryMode = options.advanced ? pw::kRecoveryModeAdvanced : pw::kRecoveryModeStandard;
    state.m_bShowDeleted = options.showDeleted;
    state.m_bShowAdvancedDeleted = options.showAdvancedDeleted;
    rows = std::make_unique<NoPageRows>();
    frame = std::make_unique<pw::RecoveryFrame>(state, sink, view != nullptr ? *view : defaultView, tree, *rows);
}

Session::~Session() = default;

int Session::Scan(const std::string& path) {
    state.m_strMdfPath = path;
    if (!options_.logDir.empty()) {
        state.m_strLogFolder = options_.logDir;
        sink.SetLogger(&logger);
        if (!logger.StartLogFile()) std::fprintf(stderr, "Log file cannot be created in %s.\n", options_.logDir.c_str());
    }
    state.m_bBusy = 1;
    if (frame->Scan(path) != 1) return kExitUnreadable;
    const pw::CDatabaseFileSet* files = frame->Context().fileSet.get();
    if (files != nullptr && files->HeaderFileId() > 1) {
        std::fprintf(stderr, "%s is a secondary data file (file id %u); open its primary data file (.mdf).\n",
                     path.c_str(), static_cast<unsigned>(files->HeaderFileId()));
        return kExitUnreadable;
    }
    return kExitDone;
}

}  // namespace cli
