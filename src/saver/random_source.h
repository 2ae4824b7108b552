// Where the saver's timer gets its random numbers: reseeded from the time of day on every tick, or a fixed
// seed for renderings and tests that must repeat.
#pragma once

#include <cstdint>
#include <random>

namespace quorvel {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Called at the start of every timer tick.
    virtual void Reseed() = 0;
    // A uniform number in [0, 1).
    virtual float Next() = 0;
};

// One seed for the whole run; reseeding does nothing, so a run repeats exactly.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(uint32_t seed) : engine_(seed) {}
    void Reseed() override {}
    float Next() override;

private:
    std::mt19937 engine_;
};

// Reseeded on each tick from the time of day, to the millisecond, as the live saver does.
class TimeOfDayRandom final : public RandomSource {
public:
    void Reseed() override;
    float Next() override;

private:
    std::mt19937 engine_;
};

// The 24 high bits of a 32-bit draw as a float in [0, 1): every value is exact and 1 never comes out.
inline float UnitFloat(uint32_t bits) { return static_cast<float>(bits >> 8) * (1.0f / 16777216.0f); }

}  // namespace quorvel
