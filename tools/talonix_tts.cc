// talonix-tts: the Portuguese engine's text side, from the command line.
//
//   talonix-tts [--normalised | --pho | --wav FILE] [--data DIR]
//               [--voice FILE] [TEXT | -]
//
// Each line of the text (the argument, or standard input for "-" or none)
// is one text for the engine. --normalised prints it after normalisation,
// one line with single blanks between words; --pho (the default) prints
// the phoneme lines the engine hands to its synthesizer. --data names the
// folder of the five data files (portug.nrl, .exc, .abr, .pro, .dfn),
// by default the kit's share/tarvek/vireatts beside the program's bin/.
// --wav renders the whole input with the engine's own synthesizer into a
// WAV file (16 000 Hz, 16-bit, mono); its voice is --voice, by default
// br4.voz in the data folder.
// Input may be UTF-8 or Windows-1252; output is UTF-8 unless the locale
// names another character set, in which case it is Windows-1252.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/shared/codepage.h"
#include "platform/mbrola.h"
#include "tts/engine.h"
#include "tts/engine_text.h"
#include "tts/own_synth.h"
#include "tts/normalise.h"
#include "tts/tts_text.h"

namespace fs = std::filesystem;

namespace {

enum class Mode { kPho, kNormalised, kWav };

struct Options {
  Mode mode = Mode::kPho;
  std::string wav, data, voice, text;
  bool fromInput = true;
};

constexpr const char kUsage[] =
    "usage: talonix-tts [--normalised | --pho | --wav FILE] [--data DIR] [--voice FILE]"
    " [TEXT | -]\n";

bool parse(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--normalised") o->mode = Mode::kNormalised;
    else if (a == "--pho") o->mode = Mode::kPho;
    else if (a == "--wav" && i + 1 < argc) o->mode = Mode::kWav, o->wav = argv[++i];
    else if (a == "--data" && i + 1 < argc) o->data = argv[++i];
    else if (a == "--voice" && i + 1 < argc) o->voice = argv[++i];
    else if (a == "-") o->fromInput = true;
    else if (a.starts_with("--") || !o->text.empty()) return false;
    else { o->text = a; o->fromInput = false; }
  }
  return true;
}

bool validUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    i += n;
  }
  return true;
}

// The terminal's bytes as the engine's Windows-1252.
std::string fromTerminal(std::string_view s) {
  return validUtf8(s) ? plat::utf8ToCp1252(s) : std::string(s);
}

bool utf8Output() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(name);
    if (v == nullptr || *v == '\0') continue;
    const std::string value = tts::lowerText(v);
    return value.find("utf-8") != std::string::npos ||
           value.find("utf8") != std::string::npos || value == "c" || value == "posix";
  }
  return true;
}

void printError(std::string_view text) {
  std::cerr << "talonix-tts: " << plat::cp1252ToUtf8(text) << "\n";
}

fs::path defaultData(const char* argv0) {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) self = fs::absolute(argv0, error);
  return self.parent_path().parent_path() / "share" / "tarvek" / "vireatts";
}

// Every line through the own synthesizer, then into one WAV file.
int writeWav(const Options& o, const std::string& data, const std::vector<std::string>& lines) {
  const std::string voice = o.voice.empty() ? data + "/br4.voz" : o.voice;
  plat::Mbrola& synth = ownSynthesizer();
  if (synth.init(plat::utf8ToCp1252(voice)) < 0) {
    std::cerr << "talonix-tts: cannot open the voice " << voice << "\n";
    return 1;
  }
  synth.setNoError(1);
  synth.reset();
  std::vector<int16_t> samples;
  std::vector<int16_t> piece(kEngineReadSamples);
  auto drain = [&] {
    for (int got; (got = synth.read(piece.data(), static_cast<int>(piece.size()))) > 0;)
      samples.insert(samples.end(), piece.begin(), piece.begin() + got);
  };
  for (const std::string& line : lines) {
    synth.write(line + "\r\n");
    if (synth.lastError() != 0) printError("line refused: " + line);
    drain();
  }
  synth.flush();
  drain();
  synth.close();
  // A WAV file counts its bytes in 32 bits.
  if (samples.size() > (UINT32_MAX - 36) / 2) {
    std::cerr << "talonix-tts: the sound is too long for one WAV file\n";
    return 1;
  }
  uint8_t header[kWaveHeaderBytes];
  writeEngineWaveHeader(header, static_cast<uint32_t>(samples.size() * 2));
  std::FILE* f = std::fopen(o.wav.c_str(), "wb");
  const bool written = f != nullptr && std::fwrite(header, 1, sizeof header, f) == sizeof header &&
                       std::fwrite(samples.data(), 2, samples.size(), f) == samples.size();
  if (f != nullptr && std::fclose(f) != 0) return 1;
  if (!written) {
    std::cerr << "talonix-tts: cannot write " << o.wav << "\n";
    return 1;
  }
  std::printf("talonix-tts: %s: %.3f s of sound\n", o.wav.c_str(),
              static_cast<double>(samples.size()) / kEngineSampleRate);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, &o)) {
    std::cerr << kUsage;
    return 2;
  }
  plat::headless::HeadlessConfig config;
  config.workDir = fs::current_path();
  config.configDir = config.workDir;
  plat::headless::HeadlessPlatform platform(config);
  platform.install();
  tts::setMessageHandler(printError);
  const std::string data = o.data.empty() ? defaultData(argv[0]).string() : o.data;
  const std::string dir = plat::utf8ToCp1252(data) + "/";
  if (!engineLoadTables({dir + "portug.nrl", dir + "portug.exc", dir + "portug.dfn",
                         dir + "portug.pro", dir + "portug.abr"})) {
    printError(engineTextState().lastError + " (" + plat::utf8ToCp1252(data) + ")");
    return 1;
  }
  std::string input = o.text;
  if (o.fromInput) input.assign(std::istreambuf_iterator<char>(std::cin), {});
  const bool utf8 = utf8Output();
  auto out = [utf8](const std::string& line) {
    std::cout << (utf8 ? plat::cp1252ToUtf8(line) : line) << "\n";
  };
  std::vector<std::string> wavLines;
  tts::forEachLine(input, [&](std::string_view raw) {
    const std::string text = fromTerminal(raw);
    if (o.mode == Mode::kNormalised) out(singleSpaced(normaliseText(text)));
    else if (o.mode == Mode::kWav) {
      const std::vector<std::string> lines = enginePhonemeLines(text);
      wavLines.insert(wavLines.end(), lines.begin(), lines.end());
    } else for (const std::string& line : enginePhonemeLines(text)) out(line);
    return true;
  });
  return o.mode == Mode::kWav ? writeWav(o, data, wavLines) : 0;
}
