#include "platform/headless/session_audio.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/shared/riff.h"

namespace plat::headless {
namespace {

// One sample of one channel as signed 16 bits; wider samples keep their
// top 16 bits.
int sampleAt(const uint8_t* p, uint16_t bytes) {
  if (bytes == 1) return (static_cast<int>(p[0]) - 128) * 256;
  return static_cast<int16_t>(plat::get16(p + bytes - 2));
}

int16_t clip(int64_t v) {
  return static_cast<int16_t>(std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

// The samples of a looping image (the same layout the program builds):
// false when it is not a PCM WAV image this file can read.
struct LoopSound {
  const uint8_t* data = nullptr;
  size_t bytes = 0;
  uint32_t rate = 0;
  uint16_t bits = 0, channels = 0;
};

bool readLoopImage(const std::vector<uint8_t>& image, LoopSound* out) {
  plat::WaveInfo info;
  size_t offset = 0;
  if (!plat::parseWaveImage(image.data(), image.size(), &info, &offset)) return false;
  out->data = image.data() + offset;
  out->bytes = static_cast<size_t>(info.dataBytes);
  out->rate = info.sampleRate;
  out->bits = info.bitsPerSample;
  out->channels = info.channels;
  return true;
}

struct Segment {
  uint64_t startUs = 0, endUs = 0;
  bool loop = false;
  size_t index = 0;        // into waveCaptures() or loopCaptures()
  uint64_t placedAt = 0;   // first output sample, after shortening silences
};

uint64_t bytesPerSecond(uint32_t rate, uint16_t bits, uint16_t channels) {
  return std::max<uint64_t>(1, static_cast<uint64_t>(rate) * channels * (bits / 8));
}

std::vector<Segment> segmentsOf(const HeadlessPlatform& p) {
  std::vector<Segment> segments;
  const uint64_t runEndUs = p.virtualUs();
  const std::vector<WaveCapture>& waves = p.waveCaptures();
  for (size_t i = 0; i < waves.size(); ++i) {
    const WaveCapture& w = waves[i];
    if (w.playedBytes == 0) continue;
    const uint64_t us =
        w.playedBytes * 1000000ull / bytesPerSecond(w.sampleRate, w.bitsPerSample, w.channels);
    segments.push_back(Segment{w.startUs, w.startUs + us, false, i});
  }
  const std::vector<LoopCapture>& loops = p.loopCaptures();
  for (size_t i = 0; i < loops.size(); ++i) {
    const uint64_t end = std::min(loops[i].endUs, std::max(runEndUs, loops[i].startUs));
    if (end > loops[i].startUs) segments.push_back(Segment{loops[i].startUs, end, true, i});
  }
  std::stable_sort(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) {
    return a.startUs < b.startUs;
  });
  // The file begins with the first sound; longer silences are shortened,
  // every sound after one moving earlier.
  uint64_t shift = segments.empty() ? 0 : segments.front().startUs;
  uint64_t coveredUntil = shift;
  for (Segment& s : segments) {
    if (s.startUs > coveredUntil + kSessionMaxSilenceUs) {
      shift += s.startUs - coveredUntil - kSessionMaxSilenceUs;
    }
    coveredUntil = std::max(coveredUntil, s.endUs);
    s.placedAt = (s.startUs - shift) * kSessionAudioRate / 1000000;
  }
  return segments;
}

void mixLoop(const LoopCapture& loop, const Segment& s, std::vector<int16_t>* out) {
  LoopSound sound;
  if (!readLoopImage(loop.image, &sound)) return;
  const uint16_t sampleBytes = sound.bits / 8;
  const size_t frameBytes = static_cast<size_t>(sampleBytes) * sound.channels;
  const size_t frames = sound.bytes / frameBytes;
  if (frames == 0) return;
  const uint64_t count = (s.endUs - s.startUs) * kSessionAudioRate / 1000000;
  if (out->size() < s.placedAt + count) out->resize(s.placedAt + count);
  for (uint64_t j = 0; j < count; ++j) {
    const size_t frame = static_cast<size_t>(j * sound.rate / kSessionAudioRate % frames);
    const uint8_t* at = sound.data + frame * frameBytes;
    int64_t sum = 0;
    for (uint16_t c = 0; c < sound.channels; ++c) sum += sampleAt(at + c * sampleBytes, sampleBytes);
    int16_t& into = (*out)[s.placedAt + j];
    into = clip(into + sum / sound.channels);
  }
}

}  // namespace

std::vector<int16_t> convertToSessionFormat(const uint8_t* data, size_t bytes,
                                            uint32_t sampleRate,
                                            uint16_t bitsPerSample,
                                            uint16_t channels) {
  std::vector<int16_t> out;
  if (!data || sampleRate == 0 || channels == 0 || bitsPerSample < 8 ||
      bitsPerSample % 8 != 0) {
    return out;
  }
  const uint16_t sampleBytes = bitsPerSample / 8;
  const size_t frameBytes = static_cast<size_t>(sampleBytes) * channels;
  const uint64_t frames = bytes / frameBytes;
  // Output sample j holds the source frame that is sounding at its time.
  const uint64_t count = (frames * kSessionAudioRate + sampleRate - 1) / sampleRate;
  out.reserve(static_cast<size_t>(count));
  for (uint64_t j = 0; j < count; ++j) {
    const uint64_t frame = j * sampleRate / kSessionAudioRate;
    const uint8_t* at = data + frame * frameBytes;
    int64_t sum = 0;
    for (uint16_t c = 0; c < channels; ++c) sum += sampleAt(at + c * sampleBytes, sampleBytes);
    out.push_back(clip(sum / channels));
  }
  return out;
}

std::vector<int16_t> sessionAudioSamples(const HeadlessPlatform& p) {
  std::vector<int16_t> out;
  const std::vector<WaveCapture>& waves = p.waveCaptures();
  uint64_t waveEnd = 0;  // output end of the last device buffer placed
  const std::vector<Segment> segments = segmentsOf(p);
  for (const Segment& s : segments) {
    if (s.loop) continue;
    const WaveCapture& w = waves[s.index];
    const std::vector<int16_t> samples = convertToSessionFormat(
        w.data.data(), w.playedBytes, w.sampleRate, w.bitsPerSample, w.channels);
    // Buffers that followed each other on the device follow each other
    // here too, without the rounding of their times opening a gap.
    uint64_t at = s.placedAt;
    if (at <= waveEnd + 2) at = waveEnd;
    if (out.size() < at + samples.size()) out.resize(at + samples.size());
    std::copy(samples.begin(), samples.end(), out.begin() + static_cast<ptrdiff_t>(at));
    waveEnd = at + samples.size();
  }
  for (const Segment& s : segments) {
    if (s.loop) mixLoop(p.loopCaptures()[s.index], s, &out);
  }
  return out;
}

namespace {

// Sum of squares (full scale 1.0) and count of the samples of `w` whose
// time falls in [fromUs, toUs).
void addEnergy(const WaveCapture& w, uint64_t fromUs, uint64_t toUs,
               double* energy, uint64_t* count) {
  if (w.sampleRate == 0 || w.channels == 0 || w.bitsPerSample < 8) return;
  const uint16_t sampleBytes = w.bitsPerSample / 8;
  const size_t frameBytes = static_cast<size_t>(sampleBytes) * w.channels;
  const uint64_t frames = w.playedBytes / frameBytes;
  const uint64_t from = fromUs <= w.startUs ? 0
      : ((fromUs - w.startUs) * w.sampleRate + 999999) / 1000000;
  const uint64_t to = toUs <= w.startUs ? 0
      : std::min<uint64_t>(frames, ((toUs - w.startUs) * w.sampleRate + 999999) / 1000000);
  for (uint64_t f = from; f < to; ++f) {
    const double v = sampleAt(w.data.data() + f * frameBytes, sampleBytes) / 32768.0;
    *energy += v * v;
  }
  if (to > from) *count += to - from;
}

}  // namespace

std::vector<double> speechLevels(const HeadlessPlatform& p) {
  const std::vector<uint64_t>& times = p.speechTimes();
  std::vector<double> levels(times.size(), -std::numeric_limits<double>::infinity());
  for (size_t i = 0; i < times.size(); ++i) {
    const uint64_t from = times[i];
    const uint64_t to = i + 1 < times.size() ? times[i + 1] : p.virtualUs();
    double energy = 0;
    uint64_t count = 0;
    for (const WaveCapture& w : p.waveCaptures()) addEnergy(w, from, to, &energy, &count);
    if (count > 0 && energy > 0) levels[i] = 10.0 * std::log10(energy / static_cast<double>(count));
  }
  return levels;
}

std::vector<uint8_t> sessionAudioWav(const HeadlessPlatform& p) {
  const std::vector<int16_t> samples = sessionAudioSamples(p);
  // A WAV file cannot hold more than 4 GB of samples.
  const size_t count = std::min<size_t>(samples.size(), (UINT32_MAX - 36) / 2);
  const uint32_t dataBytes = static_cast<uint32_t>(count * 2);
  std::vector<uint8_t> b(plat::kPcmHeaderBytes + dataBytes);
  plat::writePcmHeader(b.data(), dataBytes, kSessionAudioRate, 16, 1);
  for (size_t i = 0; i < count; ++i) {
    plat::put16(b.data() + plat::kPcmHeaderBytes + 2 * i, static_cast<uint16_t>(samples[i]));
  }
  return b;
}

}  // namespace plat::headless
