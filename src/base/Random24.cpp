#include "base/Random24.h"

#include <bit>

void Random24::Step()
{
    x = static_cast<uint32_t>((static_cast<uint64_t>(x) * 1140671485u + 12820163u) % Modulus);
}

float Random24::Draw()
{
    Step();
    return static_cast<float>(x) / static_cast<float>(Modulus);
}

int Random24::DrawShift()
{
    Step();
    return static_cast<int>((static_cast<uint64_t>(x) * 96u) >> 24);
}

void Random24::ReseedMinusOne()
{
    const uint32_t s = std::bit_cast<uint32_t>(-1.0f);
    x = (s + (s >> 24)) % Modulus;
    Step();
}

void Random24::Seed(double n)
{
    const auto hi = static_cast<uint32_t>(std::bit_cast<uint64_t>(n) >> 32);
    const uint32_t t = (hi ^ (hi >> 16)) & 0xFFFFu;
    x = (t << 8) | (x & 0xFFu);
}
