#pragma once
// What the GUI plugs into the recovery workflow: the row decoder behind the
// record browser, and the module definitions reader.

#include <functional>
#include <memory>

#include "workflow/PageRowReader.h"
#include "workflow/RecoveryContext.h"
#include "workflow/RecoveryFrame.h"

namespace pw {
struct AppState;
}

namespace app {

// The decoded rows of a page of the scan held by `context()` (called at each listing).
std::unique_ptr<pw::PageRowReader> MakePageRowReader(pw::AppState& state,
                                                     std::function<pw::CRecoveryContext&()> context);

// Module texts and computed-column texts for `workflow`.
void ConfigureWorkflow(pw::RecoveryFrame& workflow, pw::AppState& state);

}  // namespace app
