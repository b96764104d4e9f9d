#pragma once
#include <cstdint>

// A position or a size in pixels. It travels as one 64-bit word, x in the low half
// and y in the high half, so that it fits in one register wherever it is passed.
struct Point {
    int32_t x = 0;
    int32_t y = 0;

    constexpr uint64_t Packed() const
    {
        return static_cast<uint64_t>(static_cast<uint32_t>(x)) |
               (static_cast<uint64_t>(static_cast<uint32_t>(y)) << 32);
    }
    static constexpr Point Unpack(uint64_t w)
    {
        return Point{static_cast<int32_t>(static_cast<uint32_t>(w)),
                     static_cast<int32_t>(static_cast<uint32_t>(w >> 32))};
    }
    constexpr bool operator==(const Point&) const = default;
};
