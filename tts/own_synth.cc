#include "tts/own_synth.h"

#include <memory>
#include <string>

#include "tts/diphone_voice.h"
#include "tts/own_synth_render.h"
#include "tts/phoneme_line.h"
#include "tts/psola_stream.h"

namespace {

// The codes lastError() gives; any non-zero one means "refused".
enum SynthError {
  kNoError = 0,
  kNoVoice = 1,
  kMalformedLine = 2,
  kUnknownSymbol = 3,
  kMissingDiphone = 4,
};

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

class OwnSynthesizer final : public plat::Mbrola {
 public:
  plat::MbrolaLoad load(std::string_view) override { return plat::MbrolaLoad::kLoaded; }
  void unload() override { close(); }

  int init(std::string_view databasePath) override {
    close();
    auto voice = std::make_unique<DiphoneVoice>();
    std::string why;
    // The engine names the database (".../br4"); the file beside it is its .voz.
    bool loaded = loadDiphoneVoice(databasePath, voice.get(), &why);
    if (!loaded && !endsWith(databasePath, ".voz")) {
      loaded = loadDiphoneVoice(std::string(databasePath) + ".voz", voice.get(), &why);
    }
    // The samples go out at 16 000 Hz unconverted; the grains need a pitch.
    if (!loaded || voice->sampleRate != 16000 || !(voice->sourcePitch > 0)) return -1;
    voice_ = std::move(voice);
    stream_ = std::make_unique<PsolaStream>(*voice_);
    return 0;
  }

  void setNoError(int noError) override { noError_ = noError != 0; }

  void reset() override {
    if (stream_) stream_->clear();
    error_ = kNoError;
  }

  int write(std::string_view text) override {
    error_ = stream_ ? kNoError : kNoVoice;
    // A write may carry several lines; the first refused one stops it.
    while (error_ == kNoError && !text.empty()) {
      const size_t end = text.find('\n');
      const std::string_view line = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      error_ = writeLine(line);
    }
    return error_ == kNoError ? 0 : -1;
  }

  int lastError() override { return error_; }

  int flush() override {
    if (!stream_) return -1;
    stream_->finish();
    return 0;
  }

  int read(int16_t* samples, int wanted) override {
    if (!stream_ || (samples == nullptr && wanted > 0)) return -1;
    if (wanted <= 0) return 0;
    return static_cast<int>(stream_->take(samples, static_cast<size_t>(wanted)));
  }

  void close() override {
    stream_.reset();
    voice_.reset();
    error_ = kNoError;
  }

  void forget() {
    close();
    noError_ = false;
  }

 private:
  SynthError writeLine(std::string_view text) {
    PhonemeLine line;
    switch (parsePhonemeLine(text, &line)) {
      case LineKind::kNothing:
        return kNoError;
      case LineKind::kMalformed:
        return kMalformedLine;
      case LineKind::kPhoneme:
        break;
    }
    switch (stream_->add(line, !noError_)) {
      case PsolaStream::Added::kOk:
        return kNoError;
      case PsolaStream::Added::kUnknownSymbol:
        return kUnknownSymbol;
      case PsolaStream::Added::kMissingDiphone:
        return kMissingDiphone;
    }
    return kMalformedLine;
  }

  std::unique_ptr<DiphoneVoice> voice_;
  std::unique_ptr<PsolaStream> stream_;
  bool noError_ = false;
  SynthError error_ = kNoError;
};

OwnSynthesizer& instance() {
  static OwnSynthesizer synthesizer;
  return synthesizer;
}

}  // namespace

plat::Mbrola& ownSynthesizer() { return instance(); }

void resetOwnSynthesizer() { instance().forget(); }

std::vector<int16_t> renderPhonemeLines(const DiphoneVoice& voice,
                                        const std::vector<std::string>& lines,
                                        size_t* refused) {
  PsolaStream stream(voice);
  size_t refusedLines = 0;
  for (const std::string& text : lines) {
    PhonemeLine line;
    const LineKind kind = parsePhonemeLine(text, &line);
    if (kind == LineKind::kMalformed ||
        (kind == LineKind::kPhoneme && stream.add(line, false) != PsolaStream::Added::kOk)) {
      ++refusedLines;
    }
  }
  stream.finish();
  std::vector<int16_t> samples(stream.readable());
  stream.take(samples.data(), samples.size());
  if (refused) *refused = refusedLines;
  return samples;
}
