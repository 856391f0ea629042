#pragma once
// CPage: the part every page object shares — its header, the file set it was
// read from and the page image it owns.

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "pages/PageHeader.h"
#include "support/ByteView.h"

namespace pw {

class CDatabaseFileSet;

// An owned page image. Images read from a file are always kPageSize bytes
// (a short read is zero-filled); images built by hand may be shorter, and
// every reader checks against the real size.
using PageImage = std::vector<std::uint8_t>;

class CPage {
public:
    // Takes ownership of the image, builds the header (restoring torn bits in
    // the image) and remembers the file set (not owned; may be null in tests).
    CPage(PageImage image, CDatabaseFileSet* fileSet)
        : image_(std::move(image)), header_(std::span<std::uint8_t>(image_)), fileSet_(fileSet) {}

    const CPage_Header& Header() const { return header_; }
    // The page object's own copy of the header; the deleted-record scan raises its slot count.
    CPage_Header& MutableHeader() { return header_; }
    CDatabaseFileSet* FileSet() const { return fileSet_; }
    ByteView Bytes() const { return ByteView(image_.data(), image_.size()); }
    const PageImage& Image() const { return image_; }
    PageImage& MutableImage() { return image_; }

private:
    PageImage image_;  // declared first: the header is built from it
    CPage_Header header_;
    CDatabaseFileSet* fileSet_ = nullptr;
};

}  // namespace pw
