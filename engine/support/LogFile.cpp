#include "support/LogFile.h"

#include "support/Utf.h"

namespace pw {

bool LogFile::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
    std::fwrite(kByteOrderMark, 1, sizeof kByteOrderMark, file_);
    std::fflush(file_);
    return true;
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
