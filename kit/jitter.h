#pragma once

#include <cstdint>

// Pseudo-random integers uniform in 0..32767 for the small random tremble of struck drums.
// A fixed linear congruential sequence, so that tests can seed it and replay a motion exactly.
namespace Jitter {

constexpr int max = 32767;

inline std::uint32_t& state()
{
    static std::uint32_t value = 1;
    return value;
}

inline void seed(std::uint32_t value)
{
    state() = value;
}

inline int next()
{
    state() = state() * 1103515245u + 12345u;
    return int((state() >> 16) & 0x7fff);
}

} // namespace Jitter
