#pragma once
// What the GUI plugs into the recovery workflow: the row decoder behind the
// record browser, and the module definitions reader.

#include <memory>

#include "workflow/PageRowReader.h"
#include "workflow/RecoveryFrame.h"

namespace pw {
struct AppState;
}

namespace app {

// The row decoder behind the record browser.
std::unique_ptr<pw::PageRowReader> MakePageRowReader(pw::AppState& state);

// Module texts and computed-column texts for `workflow`.
void ConfigureWorkflow(pw::RecoveryFrame& workflow, pw::AppState& state);

}  // namespace app
