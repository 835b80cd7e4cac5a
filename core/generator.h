#pragma once

#include <cstdint>

namespace vantel {

// The draw's pseudo-random generator: a 64-bit linear congruential state,
// seeded from a 32-bit value, yielding bits 32 to 62 of each new state.
class Generator {
  public:
    void seed(uint32_t t) { m_state = (static_cast<uint64_t>(t) * 22695477u + 1u) & 0xFFFFFFFFu; }
    int32_t next() {
        m_state = m_state * 1486058704437ull + 1u; // wraps modulo 2^64 by design
        return static_cast<int32_t>((m_state >> 32) & 0x7FFFFFFFu);
    }
    uint64_t state() const { return m_state; }
    // The generator exactly as it stood when state() gave s (a saved session).
    static Generator fromState(uint64_t s) {
        Generator g;
        g.m_state = s;
        return g;
    }

  private:
    uint64_t m_state = 0;
};

} // namespace vantel
