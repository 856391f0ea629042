#pragma once
// What the value renderers read besides the value itself: the application
// state (collation in effect, collation table, system ANSI code page, the
// listing flag) and the code-page converter with its open iconv descriptors.
// The caller owns both; one context serves a whole listing on one thread.

#include "support/AppState.h"
#include "support/CodePage.h"

namespace pw {

struct RenderContext {
    const AppState& app;
    CodePageConverter& codePages;
};

}  // namespace pw
