// pagewright-cli: the recovery engine for scripts, exports and headless use.

#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "Options.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    cli::Options options;
    std::string error;
    if (!cli::ParseCommandLine(args, options, error)) {
        std::fprintf(stderr, "%s\n\n", error.c_str());
        std::fputs(cli::UsageText(options.command).c_str(), stderr);
        return cli::kExitUsage;
    }
    if (options.help) {
        std::fputs(cli::UsageText(options.command).c_str(), stdout);
        return cli::kExitDone;
    }
    switch (options.command) {
        case cli::Command::kInfo: return cli::Info(options);
        case cli::Command::kTree: return cli::Tree(options);
        case cli::Command::kTables: return cli::Tables(options);
        case cli::Command::kColumns: return cli::Columns(options);
        case cli::Command::kRows: return cli::Rows(options);
        case cli::Command::kDefinition: return cli::Definition(options);
        case cli::Command::kExport: return cli::Export(options);
        case cli::Command::kNone: break;
    }
    std::fputs(cli::UsageText(cli::Command::kNone).c_str(), stderr);
    return cli::kExitUsage;
}
