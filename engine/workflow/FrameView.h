#pragma once
// What the recovery workflow shows besides log lines and progress (which go
// through EventSink): the record grid, the text box, the page label, the
// paging buttons, the caption bar, the progress bar's visibility, message
// boxes, and the two log operations that are not a plain new line.
//
// The GUI implements it over its widgets (through queued calls: the workflow
// runs on worker threads); the command-line tool prints rows and forwards
// the log operations to its Logger; tests record. Every operation defaults
// to doing nothing.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "catalog/ColumnDescriptor.h"

namespace pw {

class FrameView {
public:
    virtual ~FrameView() = default;

    // ---- the record grid ------------------------------------------------------
    virtual void DeleteAllRows() {}
    // Deletes `count` columns at position 0, one by one.
    virtual void DeleteColumns(std::int32_t /*count*/) {}
    // A column titled `title` at `position` (left-aligned, 200 pixels wide).
    virtual void InsertColumn(std::int32_t /*position*/, const std::string& /*title*/) {}
    // A grid row at `index`: the cells are row[cells[0]].value, row[cells[1]].value, ...
    virtual void InsertRow(std::int32_t /*index*/, const std::vector<ColumnDescriptor>& /*row*/,
                           std::span<const std::size_t> /*cells*/) {}
    // true: the grid, the page label and both buttons are shown and the text
    // box hidden; false: the text box alone.
    virtual void ShowGrid(bool /*show*/) {}
    virtual void RedrawGrid() {}

    // ---- texts and buttons ------------------------------------------------------
    virtual void SetText(const std::string& /*text*/) {}
    virtual void SetPageLabel(const std::string& /*text*/) {}
    virtual void EnablePrevious(bool /*enable*/) {}
    virtual void EnableNext(bool /*enable*/) {}
    virtual void SetCaption(const std::string& /*text*/) {}
    virtual void ShowProgress(bool /*show*/) {}
    // An information message box with the application's title.
    virtual void MessageBox(const std::string& /*text*/) {}

    // ---- the log ------------------------------------------------------------------
    // Puts `text` in place of the last line of the log pane (not the file).
    virtual void ReplaceLastLogLine(const std::string& /*text*/) {}
    // Writes `text` as a line of the log file only.
    virtual void WriteLogFileLine(const std::string& /*text*/) {}
};

}  // namespace pw
