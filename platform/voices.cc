#include "platform/voices.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace plat {

bool SampleSink::keyWaiting() { return false; }

void SampleSink::waitMs(unsigned ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double voiceSpeedFactor(int rate) {
  constexpr double kNormalWordsPerMinute = 175.0;
  if (rate > 10) return rate / kNormalWordsPerMinute;
  // Far below -10 the factor only shrinks towards 0: voices clamp it.
  return std::pow(3.0, rate / 10.0);
}

}  // namespace plat
