#pragma once
// The 24-bit pseudo-random generator with the historical arithmetic; the scrambler and the
// random orderings of the site database draw from it.

#include <cstdint>

class Random24 {
public:
    static constexpr uint32_t Modulus = 1u << 24;

    uint32_t State() const { return x; }
    void SetState(uint32_t state) { x = state % Modulus; }

    // One step of the generator.
    void Step();
    // Steps and yields x / 2^24, a value in [0, 1).
    float Draw();
    // Steps and yields floor(draw * 96), an integer 0 to 95.
    int DrawShift();
    // The reseed with -1: the state becomes 3758214 whatever it was.
    void ReseedMinusOne();
    // Seeds with a number; the low 8 bits of the previous state survive.
    void Seed(double n);

private:
    uint32_t x = 0x50000;
};
