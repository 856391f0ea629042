#pragma once
// Bit columns of one record share bytes of the fixed data: the first bit
// column takes a new byte, the next seven read the following bits of the same
// byte (least significant first), the ninth takes the next byte. The cursor
// lives for one record and is handed to every bit value of it.

#include <cstdint>

namespace pw {

struct BitCursor {
    static constexpr std::int32_t kNoByte = 8;

    std::int32_t bitPosition = kNoByte;  // next bit of currentByte; 8 = no byte loaded
    std::uint8_t currentByte = 0;
    std::uint8_t byteTaken = 0;          // the current bit column took a new byte
    std::uint8_t loaded = 0;
};

}  // namespace pw
