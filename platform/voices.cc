#include "platform/voices.h"

#include <cmath>

namespace plat {

double voiceSpeedFactor(int rate) {
  constexpr double kNormalWordsPerMinute = 175.0;
  if (rate > 10) return rate / kNormalWordsPerMinute;
  // Far below -10 the factor only shrinks towards 0: voices clamp it.
  return std::pow(3.0, rate / 10.0);
}

}  // namespace plat
