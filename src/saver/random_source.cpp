// The timer's random sources.
#include "saver/random_source.h"

#include <chrono>

namespace quorvel {

float SeededRandom::Next() { return UnitFloat(engine_()); }

void TimeOfDayRandom::Reseed() {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    engine_.seed(static_cast<uint32_t>(sinceEpoch % (24LL * 60 * 60 * 1000)));
}

float TimeOfDayRandom::Next() { return UnitFloat(engine_()); }

}  // namespace quorvel
