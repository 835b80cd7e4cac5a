#pragma once

#include <cstdint>

namespace vantel::sim {

// One step of splitmix64: spreads a 64-bit value over all bits. Used to derive
// independent seeds from the run's seed and a session's index.
inline uint64_t splitmix64(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// The seed of session `index` of a run seeded with `seed`: independent of how
// sessions are spread over threads.
inline uint64_t sessionSeed(uint64_t seed, uint64_t index) {
    uint64_t s = seed;
    const uint64_t a = splitmix64(s);
    uint64_t t = a ^ (index * 0xD1B54A32D192ED03ull);
    return splitmix64(t);
}

// A seeded uniform wheel: xoshiro256** seeded through splitmix64, with
// rejection sampling, so every compiler and standard library draws the same
// numbers from the same seed.
class Wheel {
  public:
    explicit Wheel(uint64_t seed) {
        for (uint64_t& word : m_s)
            word = splitmix64(seed);
    }

    uint64_t next() {
        const uint64_t result = rotl(m_s[1] * 5, 7) * 9;
        const uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = rotl(m_s[3], 45);
        return result;
    }

    // Uniform in 0..bound-1 (bound > 0): values from the incomplete top
    // block of 2^64 are drawn again, so no number is favoured.
    uint64_t below(uint64_t bound) {
        const uint64_t reject = (0 - bound) % bound; // 2^64 mod bound
        for (;;) {
            const uint64_t r = next();
            if (r >= reject) return r % bound;
        }
    }

    // A spin of a single-zero wheel: 0 to 36.
    int spin() { return static_cast<int>(below(37)); }

  private:
    static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    uint64_t m_s[4] = {};
};

} // namespace vantel::sim
