// The two angle functions the crawlers steer with: a fixed-rate turn toward a wanted heading, and the wrap.
#pragma once

namespace quorvel {

// The program's own pi and full turn (22/7 and 44/7), as floats; headings wrap at these, not at the true pi.
inline constexpr float kPi = 3.142857f;
inline constexpr float kFullTurn = 6.285714f;

// Turns current by exactly rate toward target, the short way round; never settles on the target.
// The result is wrapped only when the short way crosses the wrap.
float TurnToward(float current, float target, float rate);

// Brings a heading that has passed +pi or -pi back by one full turn; changes value in place and returns it.
float WrapAngle(float& value);

}  // namespace quorvel
