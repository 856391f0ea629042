// pagewright-cli: the recovery engine for scripts, exports and headless use.

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pages/PageHeader.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitUnreadable = 2;

const char kUsage[] =
    "Usage: pagewright-cli COMMAND FILE [ARGS] [OPTIONS]\n"
    "\n"
    "Reads SQL Server data files (.mdf/.ndf) without a server; never writes to them.\n"
    "\n"
    "Commands:\n"
    "  info FILE             key: value lines describing the data file\n"
    "  --help                this text\n"
    "\n"
    "Exit codes: 0 done, 1 usage, 2 the file cannot be read as a data file, 3 no such object.\n";

int Info(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fprintf(stderr, "File cannot be open...........\n");
        return kExitUnreadable;
    }
    const auto size = static_cast<unsigned long long>(st.st_size);
    if (size < pw::kPageSize) {
        std::fprintf(stderr, "Wheteher File is not valid mdf file or file is highly corrupted...........\n");
        return kExitUnreadable;
    }
    std::printf("file: %s\n", path.c_str());
    std::printf("pages: %llu\n", size / pw::kPageSize);
    return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : kExitDone;
    }
    if (args[0] == "info" && args.size() == 2) return Info(args[1]);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}
