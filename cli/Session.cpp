#include "Session.h"

#include "Commands.h"
#include "support/CollationTable.h"
#include "workflow/FailureExplanation.h"
#include "workflow/DecoderRowReader.h"

namespace cli {

Session::Session(const Options& options) : sink(options.quiet), view(logger, options.quiet), options_(options) {
    pw::LoadCollationTable(pw::ExecutablePath(), state.m_mapCollations);
    optionsApplied_ = ApplyReadingOptions(options, state, optionsError_);
    rows = std::make_unique<pw::DecoderRowReader>(state);
    frame = std::make_unique<pw::RecoveryFrame>(state, sink, view, tree, *rows);
}

Session::~Session() = default;

int Session::Scan(const std::string& path) {
    if (!optionsApplied_) {
        std::fprintf(stderr, "%s\n", optionsError_.c_str());
        return kExitUsage;
    }
    state.m_strMdfPath = path;
    if (!options_.logDir.empty()) {
        state.m_strLogFolder = options_.logDir;
        sink.SetLogger(&logger);
        if (!logger.StartLogFile()) std::fprintf(stderr, "Log file cannot be created in %s.\n", options_.logDir.c_str());
    }
    state.m_bBusy = 1;
    const bool scanned = frame->Scan(path) == 1;
    const pw::CDatabaseFileSet* files = frame->Context().fileSet.get();
    const pw::CCatalog* catalog = frame->Context().catalog.get();
    if (!scanned) {
        // The engine's messages are short; say what went wrong and what to try.
        std::string why;
        if (files == nullptr || !files->IsOpened()) why = pw::ExplainUnreadableFile(path);
        else if (catalog != nullptr) why = pw::ExplainEmptyCatalog(*files, *catalog);
        if (!why.empty()) std::fprintf(stderr, "%s\n", why.c_str());
        return kExitUnreadable;
    }
    if (files != nullptr && catalog != nullptr)
        std::fputs(pw::ExplainMissingSecondaryFiles(*files, *catalog).c_str(), stderr);
    if (files != nullptr && files->HeaderFileId() > 1) {
        std::fprintf(stderr, "%s is a secondary data file (file id %u); open its primary data file (.mdf).\n",
                     path.c_str(), static_cast<unsigned>(files->HeaderFileId()));
        return kExitUnreadable;
    }
    return kExitDone;
}

int Session::Scan(const std::string& path, ProgressMeter& meter) {
    sink.SetMeter(&meter);
    meter.Start("Scanning " + path, 1000, "pages");
    const int code = Scan(path);
    sink.SetMeter(nullptr);
    meter.Finish(std::string());
    return code;
}

}  // namespace cli
