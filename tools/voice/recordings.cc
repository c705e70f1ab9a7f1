#include "platform/shared/codepage.h"
#include "tools/voice/recordings.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>

#include "app/catalogue.h"
#include "tools/voice/espeak_session.h"
#include "tools/voice/sound_names.h"
#include "tools/voice/sound_shaping.h"

namespace {

constexpr uint32_t kRate = 11025;
constexpr size_t kKeptSilence = kRate / 50;  // 20 ms
constexpr size_t kFade = 17;  // 1.5 ms
constexpr int kRecordingWordsPerMinute = 165;

}  // namespace

std::vector<uint8_t> spokenSamples(std::string_view utf8) {
  const Utterance spoken = speakEspeak(utf8, false);
  const std::vector<float> halved = halveRate(spoken.samples);
  Span span = trimSilence(halved, {0, halved.size()}, kSilenceLevel, kKeptSilence);
  return toUnsigned8(halved, span, kFade, kSpeechGain);
}

std::vector<uint8_t> toneSamples(std::string_view key) {
  // Rows 697 770 852 941 Hz, columns 1209 1336 1477 Hz.
  static const double kRows[4] = {697, 770, 852, 941};
  static const double kColumns[3] = {1209, 1336, 1477};
  const std::string keys = "123456789X0#";
  const size_t at = keys.find(key);
  if (key.size() != 1 || at == std::string::npos) return {};
  const double row = kRows[at / 3], column = kColumns[at % 3];
  const size_t n = kRate * 12 / 100;  // 120 ms
  const double pi = std::acos(-1.0);
  std::vector<float> tone(n);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    tone[i] = static_cast<float>(11000.0 * (std::sin(2 * pi * row * t) +
                                            std::sin(2 * pi * column * t)));
  }
  return toUnsigned8(tone, {0, n}, kRate / 200);  // 5 ms fades: no clicks
}

bool writeWaveFile(const std::string& path, const std::vector<uint8_t>& samples) {
  const std::vector<uint8_t> image = waveImage(samples, kRate);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()),
            static_cast<std::streamsize>(image.size()));
  return static_cast<bool>(out);
}

int writeRecordings(const std::string& directory, const std::string& messages) {
  setEspeakVoice(kRecordingWordsPerMinute, false);
  int written = 0;
  for (const SpokenSound& sound : letterSounds()) {
    if (!writeWaveFile(directory + "/" + sound.name + ".wav", spokenSamples(sound.text)))
      return -1;
    ++written;
  }
  for (const std::string& key : toneKeys()) {
    if (!writeWaveFile(directory + "/dtmf_" + key + ".wav", toneSamples(key))) return -1;
    ++written;
  }
  // An identifier that stands twice keeps the text found first, as the
  // program does.
  std::set<std::string> done;
  for (int i = 0; i < catalogueSize(); ++i) {
    const std::string id = catalogueIdentifier(i);
    if (!done.insert(id).second) continue;
    const std::string text = plat::cp1252ToUtf8(messageText(id));
    if (!writeWaveFile(messages + "/" + id + ".wav", spokenSamples(text))) return -1;
    ++written;
  }
  return written;
}
