#pragma once
// Runs pagewright-cli and captures its exit status, stdout and stderr.

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "forge/TempFolder.h"

namespace clitest {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;

    // The "key: value" lines of stdout (the last value of a repeated key).
    std::map<std::string, std::string> Keys() const {
        std::map<std::string, std::string> keys;
        std::istringstream lines(out);
        std::string line;
        while (std::getline(lines, line)) {
            const std::size_t colon = line.find(": ");
            if (colon != std::string::npos) keys[line.substr(0, colon)] = line.substr(colon + 2);
        }
        return keys;
    }
};

inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline CliResult RunCli(const std::vector<std::string>& args) {
    forge::TempFolder folder;
    std::string command = ShellQuote(std::string(PAGEWRIGHT_BIN_DIR) + "/pagewright-cli");
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    command += " >" + ShellQuote(folder.File("out")) + " 2>" + ShellQuote(folder.File("err"));
    CliResult result;
    const int status = std::system(command.c_str());
    if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = ReadWhole(folder.File("out"));
    result.err = ReadWhole(folder.File("err"));
    return result;
}

}  // namespace clitest
