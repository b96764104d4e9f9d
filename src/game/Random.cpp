#include "game/Random.h"

#include <cstdlib>
#include <ctime>

std::int32_t RandomInRange(std::int32_t lo, std::int32_t hi)
{
    static bool seeded = false;
    if (!seeded) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        seeded = true;
    }
    if (hi <= lo) return lo;
    // 64-bit so that the full int range neither overflows nor wraps.
    const std::int64_t span = static_cast<std::int64_t>(hi) - lo + 1;
    return static_cast<std::int32_t>(lo + std::rand() % span);
}
