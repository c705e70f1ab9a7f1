// Feeds arbitrary bytes to the voice file reader: whatever it accepts must
// be a consistent voice (every diphone found by its names, its samples and
// marks inside the arrays, marks rising inside it), and writing it back
// must give bytes the reader takes again to the same voice.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "tts/diphone_voice.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void checkVoice(const DiphoneVoice& v) {
  for (size_t i = 0; i < v.diphones.size(); ++i) {
    const Diphone& d = v.diphones[i];
    check(v.find(v.symbols[d.left], v.symbols[d.right]) == &d);
    check(uint64_t{d.firstSample} + d.sampleCount <= v.samples.size());
    check(uint64_t{d.firstMark} + d.markCount <= v.marks.size());
    check(d.boundary <= d.sampleCount && d.sampleCount > 0);
    const PitchMark* marks = v.marksOf(d);
    for (uint32_t m = 0; m < d.markCount; ++m) {
      check(marks[m].position < d.sampleCount);
      check(m == 0 || marks[m].position > marks[m - 1].position);
    }
    // Touch the samples, so that ASan sees any range that is wrong.
    const int16_t* samples = v.samplesOf(d);
    volatile int sum = samples[0] + samples[d.sampleCount - 1];
    (void)sum;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly sized copy, so a read past the bytes is caught.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size == 0 ? 1 : size]);
  if (size) std::memcpy(bytes.get(), data, size);
  DiphoneVoice voice;
  std::string error;
  if (!parseDiphoneVoice(bytes.get(), size, &voice, &error)) {
    check(!error.empty() && voice.diphones.empty() && voice.samples.empty());
    return 0;
  }
  checkVoice(voice);
  const std::vector<uint8_t> written = encodeDiphoneVoice(voice);
  check(written.size() == size);
  DiphoneVoice again;
  check(parseDiphoneVoice(written.data(), written.size(), &again, &error));
  check(again.symbols == voice.symbols && again.samples == voice.samples &&
        again.marks.size() == voice.marks.size() && again.sourcePitch == voice.sourcePitch &&
        again.diphones.size() == voice.diphones.size());
  for (size_t i = 0; i < again.diphones.size(); ++i) {
    const Diphone& a = again.diphones[i];
    const Diphone& b = voice.diphones[i];
    check(a.left == b.left && a.right == b.right && a.firstSample == b.firstSample &&
          a.sampleCount == b.sampleCount && a.boundary == b.boundary &&
          a.firstMark == b.firstMark && a.markCount == b.markCount);
  }
  return 0;
}
