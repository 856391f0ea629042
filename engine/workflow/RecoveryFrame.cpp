#include "workflow/RecoveryFrame.h"

#include "support/AppState.h"
#include "support/EventSink.h"
#include "support/Logger.h"
#include "workflow/FrameView.h"
#include "workflow/PageRowReader.h"

namespace pw {

namespace {

// The path as the log shows it: every backslash doubled.
std::string DoubledBackslashes(const std::string& path) {
    std::string copy;
    copy.reserve(path.size());
    for (const char c : path) {
        copy += c;
        if (c == '\\') copy += '\\';
    }
    return copy;
}

}  // namespace

RecoveryFrame::RecoveryFrame(AppState& state, EventSink& sink, FrameView& view, ObjectTree& tree,
                             PageRowReader& rows)
    : state_(state),
      sink_(sink),
      view_(view),
      tree_(tree),
      rows_(rows),
      builder_(tree, state, sink),
      browser_(state, sink, view, rows),
      gate_(state) {
    context_.progressWindow = &sink;
}

RecoveryFrame::~RecoveryFrame() { gate_.Wait(); }

void RecoveryFrame::Reset() {
    context_.Release();
    builder_.SetCatalog(nullptr);
    builder_.Reset();
    browser_.ClearForScan();
    tree_.DeleteAll();
    selectedItem_ = kNoItem;
}

int RecoveryFrame::FailScan(const std::string& line, bool messageBox) {
    tree_.DeleteAll();
    builder_.Reset();
    view_.ShowProgress(false);
    state_.m_bBusy = 0;
    sink_.LogLine(line);
    if (messageBox) view_.MessageBox(line);
    return 0;
}

int RecoveryFrame::Scan(const std::string& path) {
    // 1-2. A new scan starts from nothing.
    state_.m_bIsSql2000 = false;
    Reset();
    if (resetModuleTexts_) resetModuleTexts_();
    selectedPath_ = path;

    // 3. The path line shows each backslash doubled, as the original wrote it.
    const std::string shown = DoubledBackslashes(path);
    if (!shown.empty()) sink_.LogLine("Browse File Path:\t" + shown);

    // 4-5.
    context_.progressWindow = &sink_;
    const bool advanced = state_.m_nRecoveryMode == kRecoveryModeAdvanced;
    browser_.SetAdvancedMode(advanced);
    sink_.LogLine(advanced ? "Advanced mode is selected for file recovery."
                           : "Standard mode is selected for file recovery.");
    sink_.LogLine("Scanning of file starts...");

    // 6-7. The file is opened by its own path: the doubled copy names another
    // file wherever a backslash is an ordinary file name character.
    if (!OpenDatabase(path, context_, state_)) return FailScan("Scanning process aborted.", /*messageBox=*/true);

    // 8.
    CCatalog& catalog = *context_.catalog;
    if (catalog.objects.empty())
        return FailScan("Either it is not valid mdf file or highly corrupted, select another file to recover.",
                        /*messageBox=*/false);

    // 9-10.
    if (state_.m_strSqlVersion.empty()) {
        state_.m_strSqlVersion = "Database version: Unknown SQL Version";
        sink_.LogLine(state_.m_strSqlVersion);
    } else {
        sink_.LogLine("Database version: " + state_.m_strSqlVersion);
    }
    if (state_.m_strCollationName.empty()) state_.m_strCollationName = "Unknown Collation";
    sink_.LogLine("Collation Type: " + state_.m_strCollationName);

    // 11-12.
    builder_.SetCatalog(&catalog);
    builder_.CreateFolders(path);
    if (!builder_.CreateTree())
        return FailScan("Whether it is not valid mdf file or highly corrupted, select another file to recover.",
                        /*messageBox=*/true);

    // 13.
    tree_.SortChildren(builder_.Folders().userTables);
    if (loadComputed_) loadComputed_(context_);

    // 14.
    view_.ShowProgress(false);
    state_.m_bBusy = 0;
    view_.SetCaption("Scanning completed for selected mdf file");
    sink_.LogLine("Scanning completed for selected mdf file.");
    view_.MessageBox("Scanning process completed.");
    return 1;
}

void RecoveryFrame::SelectItem(TreeItem item) {
    CCatalog* catalog = context_.catalog.get();
    if (catalog == nullptr || !context_.fileSet) {
        state_.m_bBusy = 0;
        return;
    }
    browser_.ClearForSelection();
    const Selection selection = SelectObject(tree_, builder_, catalog, state_, item, moduleText_);
    switch (selection.kind) {
    case Selection::Kind::kNoCatalog:
        state_.m_bBusy = 0;
        return;
    case Selection::Kind::kRoot:
        view_.ShowProgress(false);
        state_.m_bBusy = 0;
        return;
    case Selection::Kind::kTable:
        view_.ShowGrid(true);
        browser_.ColumnSetup(*catalog);
        browser_.ListTable(*context_.fileSet, *catalog);
        break;
    case Selection::Kind::kText:
        view_.ShowGrid(false);
        view_.SetText(selection.text);
        break;
    case Selection::Kind::kNothing:
        break;
    }
    browser_.FinishSelection(selection.itemText);
}

void RecoveryFrame::NextRecords() {
    if (!context_.fileSet || !context_.catalog) {
        state_.m_bBusy = 0;
        return;
    }
    browser_.NextRecords(*context_.fileSet, *context_.catalog);
}

void RecoveryFrame::PreviousRecords() {
    if (!context_.fileSet || !context_.catalog) {
        state_.m_bBusy = 0;
        return;
    }
    browser_.PreviousRecords(*context_.fileSet, *context_.catalog);
}

bool RecoveryFrame::OpenCommand(const std::string& path, Logger* logger) {
    if (!gate_.CanStart()) {
        view_.MessageBox(kWaitMessage);
        return false;
    }
    state_.m_strMdfPath = path;
    tree_.DeleteAll();
    view_.SetText("");
    view_.SetPageLabel("");
    view_.DeleteAllRows();
    view_.EnablePrevious(false);
    view_.EnableNext(false);
    view_.SetCaption(path);
    view_.ShowProgress(true);
    if (logger != nullptr) logger->StartLogFile();
    Reset();
    return gate_.Start([this, path] { Scan(path); });
}

bool RecoveryFrame::SelectCommand(TreeItem item) {
    if (!gate_.CanStart()) {
        view_.MessageBox(kWaitMessage);
        return false;
    }
    selectedItem_ = item;
    view_.DeleteAllRows();
    view_.SetText("");
    view_.SetPageLabel("");
    const std::string text = tree_.ItemText(item);
    view_.SetCaption(text);
    sink_.LogLine("Please wait while " + text + " folder is scanning.");
    view_.ShowProgress(true);
    sink_.ProgressPosition(0);
    return gate_.Start([this, item] { SelectItem(item); });
}

bool RecoveryFrame::NextCommand() {
    if (!gate_.CanStart()) {
        view_.MessageBox(kWaitMessage);
        return false;
    }
    return gate_.Start([this] { NextRecords(); });
}

bool RecoveryFrame::PreviousCommand() {
    if (!gate_.CanStart()) {
        view_.MessageBox(kWaitMessage);
        return false;
    }
    return gate_.Start([this] { PreviousRecords(); });
}

}  // namespace pw
