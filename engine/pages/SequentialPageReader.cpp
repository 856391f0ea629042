#include "pages/SequentialPageReader.h"

#include <cstring>
#include <new>

#include "pages/PageHeader.h"

namespace pw {

namespace {
constexpr std::size_t kFirstBlockBytes = 8 * kPageSize;
}  // namespace

SequentialPageReader::SequentialPageReader(const ReadOnlyFile& file, std::uint64_t startOffset,
                                           std::size_t blockBytes)
    : file_(file), nextBlockOffset_(startOffset) {
    blockBytes_ = blockBytes - blockBytes % kPageSize;
    if (blockBytes_ == 0) blockBytes_ = kPageSize;
    nextFillBytes_ = blockBytes_ < kFirstBlockBytes ? blockBytes_ : kFirstBlockBytes;
    buffer_.reset(new (std::nothrow) std::uint8_t[blockBytes_]);
}

void SequentialPageReader::Fill() {
    // Read no further than the file end: beyond it the pages are all zeros.
    const std::size_t fillBytes = nextFillBytes_;
    nextFillBytes_ = fillBytes * 2 < blockBytes_ ? fillBytes * 2 : blockBytes_;
    std::size_t want = fillBytes;
    const std::uint64_t size = file_.Size();
    const std::uint64_t left = nextBlockOffset_ < size ? size - nextBlockOffset_ : 0;
    if (left < want) want = static_cast<std::size_t>(left);
    const std::size_t got = want ? file_.ReadAt(nextBlockOffset_, buffer_.get(), want) : 0;
    std::memset(buffer_.get() + got, 0, fillBytes - got);
    nextBlockOffset_ += fillBytes;
    pagesInBlock_ = fillBytes / kPageSize;
    pageIndex_ = 0;
}

ByteView SequentialPageReader::Next() {
    if (!buffer_) return {};
    if (pageIndex_ >= pagesInBlock_) Fill();
    const ByteView page(buffer_.get() + pageIndex_ * kPageSize, kPageSize);
    ++pageIndex_;
    return page;
}

}  // namespace pw
