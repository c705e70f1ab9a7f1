// The pitch of an utterance over time: targets joined by straight lines
// across phonemes, the first target's value held before it and the last
// one's after it. Times are in output samples.
#ifndef TALONIX_TTS_PITCH_CONTOUR_H_
#define TALONIX_TTS_PITCH_CONTOUR_H_

#include <deque>

class PitchContour {
 public:
  // Targets come in time order (a later one at an earlier time is taken
  // at the latest time seen, so the contour never runs backwards).
  void add(double at, double hertz);
  // Whether later targets can no longer change the pitch at `at`: a
  // target lies at or after it, or the utterance is closed.
  bool settledAt(double at, bool closed) const;
  // The pitch at `at`; `fallback` when there is no target at all.
  double at(double at, double fallback) const;
  // Forgets targets that no time at or after `at` needs.
  void dropBefore(double at);
  void clear() { targets_.clear(); }

 private:
  struct Target {
    double at, hertz;
  };
  std::deque<Target> targets_;
};

#endif  // TALONIX_TTS_PITCH_CONTOUR_H_
