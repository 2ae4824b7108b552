// Fixed-rate turning toward a wanted heading, and the wrap of headings at the program's pi.
#include "saver/steering.h"

#include <cmath>

namespace quorvel {

float TurnToward(float current, float target, float rate) {
    const float d = target - current;
    if (std::fabs(d) < kPi) {
        // An exact hit still steps: the heading swings one step either side of the target.
        return d > 0 ? current + rate : current - rate;
    }
    // The short way crosses the wrap, so turn away from the target's side and let the wrap carry it over.
    float turned = d > 0 ? current - rate : current + rate;
    return WrapAngle(turned);
}

float WrapAngle(float& value) {
    if (value > kPi) value = value - kFullTurn;
    if (value < -kPi) value = value + kFullTurn;
    return value;
}

}  // namespace quorvel
