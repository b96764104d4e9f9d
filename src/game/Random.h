#pragma once
// The program's one random source, seeded from the clock once per process.
#include <cstdint>

// A uniformly drawn integer in lo..hi, both included. The C library generator is
// seeded with the current time in seconds before the process's first draw and never
// again. Ranges wider than the generator's (RAND_MAX + 1 values) only reach their
// first RAND_MAX + 1 values. With hi < lo the result is lo.
std::int32_t RandomInRange(std::int32_t lo, std::int32_t hi);
