#pragma once
// The log file: UTF-16LE text starting with a byte-order mark, lines ending in CR LF.

#include <cstdio>
#include <string>
#include <string_view>

namespace pw {

class LogFile {
public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile() { Close(); }

    // Creates (or truncates) the file and writes the byte-order mark.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    // Writes one UTF-8 line as UTF-16LE followed by CR LF; flushed so a crash keeps it.
    void WriteLine(std::string_view line);
    void Close();

private:
    std::FILE* file_ = nullptr;
};

}  // namespace pw
