#pragma once
// What the GUI plugs into the recovery workflow: the row decoder behind the
// record browser, and the module definitions reader.

#include <memory>

#include "workflow/PageRowReader.h"
#include "workflow/RecoveryFrame.h"

namespace pw {
struct AppState;
class EventSink;
}  // namespace pw

namespace app {

// The row decoder behind the record browser.
std::unique_ptr<pw::PageRowReader> MakePageRowReader(pw::AppState& state);

// Definition texts and computed-column texts for `workflow` (read through
// the scan's catalog and files, reporting to `sink`).
void ConfigureWorkflow(pw::RecoveryFrame& workflow, pw::AppState& state, pw::EventSink& sink);

}  // namespace app
