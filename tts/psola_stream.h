// The synthesizer's renderer: phonemes in, samples out, with TD-PSOLA over
// the diphones of the engine's own voice.
//
// Each phoneme's place on the output is fixed by the running sum of the
// durations (kept in milliseconds, rounded once per edge), so the length
// never drifts. A diphone covers the output from the middle of its left
// phoneme to the middle of its right one, each half time-mapped onto the
// diphone's half. Output pitch marks follow the pitch contour where the
// voice is voiced and the voice's own mark spacing where it is not; each
// mark takes the Hann-windowed grain around the diphone's nearest mark,
// never reaching past the diphone's ends, and neighbouring grains
// overlap-add, which joins the diphones at the phoneme middles. "_" is
// true silence: no grain reaches into it.
#ifndef TALONIX_TTS_PSOLA_STREAM_H_
#define TALONIX_TTS_PSOLA_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "tts/diphone_voice.h"
#include "tts/phoneme_line.h"
#include "tts/pitch_contour.h"

class PsolaStream {
 public:
  // The voice must stay alive and unchanged while the stream is used.
  explicit PsolaStream(const DiphoneVoice& voice);

  enum class Added { kOk, kUnknownSymbol, kMissingDiphone };
  // Appends one phoneme. A pair the voice lacks sounds as silence, or,
  // when `lackingRefused`, the phoneme is refused (nothing changes).
  Added add(const PhonemeLine& line, bool lackingRefused);
  // Ends the utterance: every sample of it becomes readable. A later
  // add() starts a new utterance after it.
  void finish();
  // Samples that no later phoneme can change: those before the last
  // grain placed, which needs the phoneme after it and, where voiced,
  // the next pitch target.
  size_t readable() const;
  size_t take(int16_t* out, size_t wanted);
  // Forgets everything: phonemes, targets and unread samples.
  void clear();

 private:
  struct Phone {
    int symbol = -1;
    bool silent = false;
    bool edge = false;  // the silence the stream puts before and after
    int64_t start = 0, mid = 0, end = 0;
    const Diphone* in = nullptr;  // the previous phoneme's diphone to this
  };
  struct Grain {
    double centre = 0;  // between samples: periods are rarely whole
    int64_t lo = 0, hi = 0;  // the output it may touch: [lo, hi)
    const Diphone* diphone = nullptr;
    double source = 0;  // where the centre falls in the diphone
  };

  void startUtterance();
  Phone& append(int symbol, bool silent, bool edge, double ms);
  void render();
  // The grain for the mark at `centre`: false when it needs a phoneme
  // not yet known. `silentUntil` gets the end of a silence it lies in.
  bool locate(double centre, Grain* grain, int64_t* silentUntil) const;
  // Overlap-adds one grain; gives the spacing to the next mark, or 0 when
  // the pitch there is not yet known.
  double placeGrain(const Grain& grain);
  void growTo(int64_t position);

  const DiphoneVoice& voice_;
  int silenceSymbol_ = -1;
  double sourcePeriod_ = 128;
  double samplesPerMs_ = 16;

  std::deque<Phone> phones_;
  PitchContour pitch_;
  bool open_ = false, closed_ = false;
  int64_t base_ = 0;  // where the utterance begins
  double ms_ = 0;     // its length so far

  double mark_ = 0;         // the next output mark
  double lastCentre_ = 0;   // the last grain's centre
  int64_t settled_ = 0;     // samples before it are final

  std::vector<float> out_;
  int64_t outBase_ = 0;  // the position of out_[0]
  int64_t readPos_ = 0;
};

#endif  // TALONIX_TTS_PSOLA_STREAM_H_
