#include "support/LogFile.h"

#include <cerrno>

#include "support/Utf.h"

namespace pw {

namespace {

void WriteByteOrderMark(std::FILE* file) {
    static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
    std::fwrite(kByteOrderMark, 1, sizeof kByteOrderMark, file);
    std::fflush(file);
}

}  // namespace

bool LogFile::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    WriteByteOrderMark(file_);
    return true;
}

bool LogFile::OpenToAppend(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "r+b");
    if (file_) {
        if (std::fseek(file_, 0, SEEK_END) != 0) {
            Close();
            return false;
        }
        if (std::ftell(file_) == 0) WriteByteOrderMark(file_);
        return true;
    }
    // Only a file that is not there is created; one that exists but cannot be
    // opened for writing is left alone rather than replaced.
    if (errno != ENOENT) return false;
    file_ = std::fopen(path.c_str(), "wbx");
    if (!file_) return false;
    WriteByteOrderMark(file_);
    return true;
}

void LogFile::WriteText(std::string_view text) {
    if (!file_) return;
    const std::string encoded = Utf8ToUtf16Le(text);
    std::fwrite(encoded.data(), 1, encoded.size(), file_);
    std::fflush(file_);
}

void LogFile::WriteLine(std::string_view line) {
    if (!file_) return;
    std::string encoded = Utf8ToUtf16Le(line);
    encoded.append("\r\0\n\0", 4);
    std::fwrite(encoded.data(), 1, encoded.size(), file_);
    std::fflush(file_);
}

void LogFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

}  // namespace pw
