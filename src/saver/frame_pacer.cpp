// The refresh rate the saver paces to.
#include "saver/frame_pacer.h"

namespace quorvel {

int PacingRate(int reportedHz) { return reportedHz > 1 && reportedHz <= 500 ? reportedHz : kFallbackRefreshHz; }

}  // namespace quorvel
