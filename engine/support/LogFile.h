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
    // Opens the file to add to it: an existing file is written from its end
    // (its earlier text and byte-order mark stay; an empty one gets the
    // mark), a missing one is created with the byte-order mark. False, and
    // closed, when the file can be neither opened nor created.
    bool OpenToAppend(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    // Writes one UTF-8 line as UTF-16LE followed by CR LF; flushed so a crash keeps it.
    void WriteLine(std::string_view line);
    // Writes UTF-8 text as UTF-16LE as it is, without a line end; flushed.
    void WriteText(std::string_view text);
    void Close();

private:
    std::FILE* file_ = nullptr;
};

}  // namespace pw
