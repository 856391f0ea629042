#pragma once
// A data file opened for reading only.
//
// The recovery tool must never change the files it reads: the descriptor is
// opened with O_RDONLY and the class offers no way to write. Reads use pread,
// so one open file can serve positioned reads without a shared file offset.

#include <cstddef>
#include <cstdint>
#include <string>

namespace pw {

class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ~ReadOnlyFile() { Close(); }

    // Opens a regular file read-only and takes its size. Fails (and stays
    // closed) when the path is missing, unreadable or not a regular file.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    std::uint64_t Size() const { return size_; }
    const std::string& Path() const { return path_; }

    // Reads up to `length` bytes at `offset`; returns how many were read.
    // Short reads are retried until the end of the file; bytes past the end
    // (or after a read error) are left untouched in `out`.
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t length) const;

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string path_;
};

}  // namespace pw
