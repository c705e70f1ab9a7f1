#include "tts/pitch_contour.h"

#include <algorithm>

void PitchContour::add(double at, double hertz) {
  if (!targets_.empty()) at = std::max(at, targets_.back().at);
  targets_.push_back({at, hertz});
}

bool PitchContour::settledAt(double at, bool closed) const {
  return closed || (!targets_.empty() && targets_.back().at >= at);
}

double PitchContour::at(double at, double fallback) const {
  if (targets_.empty()) return fallback;
  const auto after = std::upper_bound(
      targets_.begin(), targets_.end(), at,
      [](double t, const Target& target) { return t < target.at; });
  if (after == targets_.begin()) return after->hertz;
  if (after == targets_.end()) return targets_.back().hertz;
  const Target& a = *(after - 1);
  const Target& b = *after;
  // b.at > at >= a.at, so the span is never empty.
  return a.hertz + (b.hertz - a.hertz) * (at - a.at) / (b.at - a.at);
}

void PitchContour::dropBefore(double at) {
  while (targets_.size() >= 2 && targets_[1].at <= at) targets_.pop_front();
}
