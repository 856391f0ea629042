#include "rows/LobWalk.h"


namespace pw {

bool LobWalk::Ended() const { return loopFound_ || limitReached_ || context_.app.StopRequested(); }

bool LobWalk::Visit(std::uint16_t fileId, std::int64_t pageNumber, std::size_t slot) {
    if (!visited_.emplace(fileId, pageNumber, slot).second) {
        loopFound_ = true;
        return false;
    }
    return true;
}

bool LobWalk::Admit(std::size_t bytes) {
    if (bytes > byteLimit_ - assembled_) {
        limitReached_ = true;
        return false;
    }
    assembled_ += bytes;
    return true;
}

bool LobWalk::Collect(ByteView bytes) {
    if (!Admit(bytes.size())) return false;
    if (fragments_)
        fragments_->push_back(
            LobFragment{static_cast<std::int32_t>(bytes.size()), std::vector<std::uint8_t>(bytes.data(), bytes.data() + bytes.size())});
    return true;
}

}  // namespace pw
