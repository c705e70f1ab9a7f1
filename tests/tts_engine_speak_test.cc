// The engine speaking over a synthesizer that follows MBROLA's calls: the
// order of the calls, the pieces handed to the player with their headers,
// refused lines and failed reads, a key stopping a long text, and every
// way the start can fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "platform/headless/key_script.h"
#include "platform/mbrola.h"
#include "speech_fixture.h"
#include "synth/speech_settings.h"
#include "synth/wave_player.h"
#include "tts/engine.h"
#include "tts/engine_text.h"

namespace {

namespace fs = std::filesystem;

// Each line "symbol ms ..." gives ms * samplesPerMs samples numbered in
// order; they become readable `chunk` at a time after each write.
class ScriptedMbrola : public plat::Mbrola {
 public:
  std::vector<std::string> log;
  plat::MbrolaLoad loadResult = plat::MbrolaLoad::kLoaded;
  int initResult = 0;
  std::string refuse;  // a line for this symbol is refused
  bool failNextRead = false;
  int samplesPerMs = 16;
  size_t chunk = 1000;
  size_t budget = 1u << 30;  // samples made per text at most

  plat::MbrolaLoad load(std::string_view path) override {
    log.push_back("load " + std::string(path));
    return loadResult;
  }
  void unload() override { log.push_back("unload"); }
  int init(std::string_view path) override {
    log.push_back("init " + std::string(path));
    return initResult;
  }
  void setNoError(int n) override { log.push_back("setNoError " + std::to_string(n)); }
  void reset() override {
    log.push_back("reset");
    pending_.clear();
    madeThisText_ = 0;
  }
  int write(std::string_view line) override {
    log.push_back("write " + std::string(line));
    const std::string symbol(line.substr(0, line.find_first_of(" \r")));
    error_ = !refuse.empty() && symbol == refuse;
    if (error_ || line[0] == ';' || line == "\r\n") return 0;
    const int ms = std::atoi(std::string(line.substr(symbol.size())).c_str());
    for (int i = 0; i < ms * samplesPerMs && madeThisText_ < budget; ++i, ++madeThisText_)
      pending_.push_back(static_cast<int16_t>(++made_));  // wraps: only order counts
    return 0;
  }
  int lastError() override { return error_ ? 1 : 0; }
  int flush() override {
    log.push_back("flush");
    return 0;
  }
  int read(int16_t* samples, int wanted) override {
    if (failNextRead) {
      failNextRead = false;
      return -1;
    }
    const size_t n = std::min({pending_.size(), chunk, static_cast<size_t>(wanted)});
    std::copy_n(pending_.begin(), n, samples);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(n));
    return static_cast<int>(n);
  }
  void close() override { log.push_back("close"); }

  long made() const { return made_; }

 private:
  std::vector<int16_t> pending_;
  long made_ = 0;
  size_t madeThisText_ = 0;
  bool error_ = false;
};

// The player's side: each piece as handed over, and whether the options
// were held off at that moment.
class PieceSound : public EngineSound {
 public:
  std::vector<std::vector<uint8_t>> pieces;
  bool held = false, heldAtEveryPiece = true;
  size_t acceptPieces = 1u << 30;  // then a key stops playback
  int stops = 0;

  bool play(const uint8_t* image) override {
    uint32_t bytes = 0;
    std::memcpy(&bytes, image + 40, 4);
    pieces.emplace_back(image, image + 44 + bytes);
    heldAtEveryPiece = heldAtEveryPiece && held;
    return pieces.size() < acceptPieces;
  }
  void stop() override { ++stops; }
  bool isPlaying() override { return false; }
  void holdOptions() override { held = true; }
  void restoreOptions() override { held = false; }

  // The samples of every piece, in order; each header checked.
  std::vector<int16_t> samples() const {
    std::vector<int16_t> all;
    for (const auto& p : pieces) {
      EXPECT_EQ(std::string(p.begin(), p.begin() + 4), "RIFF");
      EXPECT_EQ(std::string(p.begin() + 8, p.begin() + 16), "WAVEfmt ");
      uint32_t riff = 0, rate = 0, data = 0;
      uint16_t format = 0, channels = 0, align = 0, bits = 0;
      std::memcpy(&riff, &p[4], 4);
      std::memcpy(&format, &p[20], 2);
      std::memcpy(&channels, &p[22], 2);
      std::memcpy(&rate, &p[24], 4);
      std::memcpy(&align, &p[32], 2);
      std::memcpy(&bits, &p[34], 2);
      std::memcpy(&data, &p[40], 4);
      EXPECT_EQ(riff, data + 36);
      EXPECT_EQ(std::string(p.begin() + 36, p.begin() + 40), "data");
      EXPECT_TRUE(format == 1 && channels == 1 && rate == 16000 && align == 2 && bits == 16);
      EXPECT_LE(data, 16000u);
      for (size_t i = 44; i + 1 < p.size(); i += 2)
        all.push_back(static_cast<int16_t>(p[i] | (p[i + 1] << 8)));
    }
    return all;
  }
};

class TtsEngineSpeak : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    platform_->setMbrola(&mbrola_);
    const fs::path kit = workDir() / "share" / "tarvek" / "vireatts";
    fs::create_directories(kit);
    for (const char* ext : {"nrl", "exc", "abr", "pro", "dfn"}) {
      fs::copy_file(fs::path(TALONIX_SOURCE_DIR) / "data" / "tts" / (std::string("portug.") + ext),
                    kit / (std::string("portug.") + ext));
    }
    kit_ = kit.string();
    const std::string stem = (kit / "portug.").string();
    files_ = {stem + "nrl", stem + "exc", stem + "dfn", stem + "pro", stem + "abr"};
  }
  void TearDown() override {
    platform_->setMbrola(nullptr);
    SpeechFixture::TearDown();
  }
  bool start(const std::string& database = "") {
    return engineStart(database, files_, "nowhere.voz", sound_);
  }
  // The log since the last call.
  std::vector<std::string> calls() {
    std::vector<std::string> out(mbrola_.log.begin() + static_cast<long>(seen_), mbrola_.log.end());
    seen_ = mbrola_.log.size();
    return out;
  }

  ScriptedMbrola mbrola_;
  PieceSound sound_;
  EngineFiles files_;
  std::string kit_;  // the folder of the data files
  size_t seen_ = 0;
};

TEST_F(TtsEngineSpeak, LinesGoInAndSamplesComeOutInPiecesBehindTheirHeader) {
  ASSERT_TRUE(start());
  EXPECT_EQ(engineSynth(), EngineSynth::kPlatformMbrola);
  EXPECT_EQ(calls(), (std::vector<std::string>{"load br4", "init br4", "setNoError 1"}));

  EXPECT_TRUE(engineSpeak(" \t\r\n "));  // nothing to say: MBROLA untouched
  EXPECT_TRUE(calls().empty());

  const std::string text = "Emiti um cheque de R$ 1.234,56 hoje, sexta-feira.";
  const std::vector<std::string> lines = enginePhonemeLines(text);
  ASSERT_GT(lines.size(), 40u);
  EXPECT_TRUE(engineSpeak(text));
  std::vector<std::string> expected{"reset"};
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty() && i + 1 < lines.size()) continue;
    expected.push_back("write " + lines[i] + "\r\n");
  }
  expected.push_back("flush");
  EXPECT_EQ(calls(), expected);
  // Every sample, in order, in pieces of at most 16 000 bytes, the
  // player's options off while they were handed over and back after.
  const std::vector<int16_t> heard = sound_.samples();
  ASSERT_EQ(heard.size(), static_cast<size_t>(mbrola_.made()));
  for (size_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], static_cast<int16_t>(i + 1));
  EXPECT_GT(sound_.pieces.size(), 3u);
  EXPECT_TRUE(sound_.heldAtEveryPiece);
  EXPECT_FALSE(sound_.held);

  // Reads of 16 000 samples (twice what a piece holds) lose nothing.
  sound_.pieces.clear();
  mbrola_.chunk = 16000;
  mbrola_.samplesPerMs = 160;
  const long before = mbrola_.made();
  EXPECT_TRUE(engineSpeak("Saldo final."));
  const std::vector<int16_t> big = sound_.samples();
  // Every piece but the last is full: none mid-text short, to be padded.
  for (size_t i = 0; i + 1 < sound_.pieces.size(); ++i)
    EXPECT_EQ(sound_.pieces[i].size(), 44u + 16000u) << i;
  ASSERT_EQ(big.size(), static_cast<size_t>(mbrola_.made() - before));
  for (size_t i = 0; i < big.size(); ++i)
    ASSERT_EQ(big[i], static_cast<int16_t>(before + 1 + static_cast<long>(i)));

  // No sample at all: nothing is played.
  sound_.pieces.clear();
  mbrola_.samplesPerMs = 0;
  EXPECT_TRUE(engineSpeak("a"));
  EXPECT_TRUE(sound_.pieces.empty());
}

TEST_F(TtsEngineSpeak, RefusedLinesFailedReadsAndAKeyLeaveTheRestGoingOrStopped) {
  ASSERT_TRUE(start());
  calls();
  // A refused line resets the synthesizer; the following lines still go.
  mbrola_.refuse = "S";
  EXPECT_FALSE(engineSpeak("cheque"));
  std::vector<std::string> log = calls();
  const auto refused = std::find_if(log.begin(), log.end(), [](const std::string& c) {
    return c.rfind("write S ", 0) == 0;
  });
  ASSERT_NE(refused, log.end());
  ASSERT_NE(refused + 1, log.end());
  EXPECT_EQ(*(refused + 1), "reset");
  EXPECT_EQ(log.back(), "flush");
  EXPECT_GT(std::count_if(refused, log.end(), [](const std::string& c) {
              return c.rfind("write ", 0) == 0;
            }), 2);
  mbrola_.refuse.clear();

  // A read that fails counts as none, resets, and the text goes on.
  mbrola_.failNextRead = true;
  EXPECT_FALSE(engineSpeak("cheque"));
  log = calls();
  EXPECT_EQ(log[2], "reset");
  EXPECT_EQ(log.back(), "flush");
  EXPECT_TRUE(engineSpeak("cheque"));  // the failure does not stick

  // Sound shorter than 128 samples is padded with silence to 256 bytes.
  sound_.pieces.clear();
  mbrola_.budget = 100;
  EXPECT_TRUE(engineSpeak("sim"));
  ASSERT_EQ(sound_.pieces.size(), 1u);
  const std::vector<uint8_t>& piece = sound_.pieces[0];
  ASSERT_EQ(piece.size(), 44u + 256u);
  const std::vector<int16_t> padded = sound_.samples();
  for (size_t i = 1; i < 100; ++i)
    ASSERT_EQ(padded[i], static_cast<int16_t>(padded[i - 1] + 1));
  EXPECT_TRUE(std::all_of(padded.begin() + 100, padded.end(), [](int16_t v) { return v == 0; }));
  mbrola_.budget = 1u << 30;
  calls();

  // A key that stops the playback ends the synthesis of a long text too.
  mbrola_.samplesPerMs = 16;
  sound_.pieces.clear();
  sound_.acceptPieces = 2;
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "Lançamento de cheque registrado. ";
  engineSpeak(longText);
  EXPECT_EQ(sound_.pieces.size(), 2u);
  log = calls();
  EXPECT_LT(std::count_if(log.begin(), log.end(), [](const std::string& c) {
              return c.rfind("write ", 0) == 0;
            }), 300);
  sound_.acceptPieces = 1u << 30;

  // A text of more than 10 000 lines goes through whole.
  std::string huge;
  for (int i = 0; i < 1200; ++i) huge += "Cheque emitido hoje. ";
  const size_t hugeLines = enginePhonemeLines(huge).size();
  EXPECT_GT(hugeLines, 10000u);
  mbrola_.samplesPerMs = 1;
  EXPECT_TRUE(engineSpeak(huge));
  log = calls();
  EXPECT_EQ(log.back(), "flush");
  EXPECT_GT(log.size(), hugeLines * 3 / 4);

  engineStop();
  EXPECT_EQ(sound_.stops, 1);
  engineEnd();
  EXPECT_EQ(calls(), (std::vector<std::string>{"close", "unload"}));
  EXPECT_FALSE(engineSpeak("cheque"));  // ended: nothing to speak with
}

TEST_F(TtsEngineSpeak, EachStartFailureLeavesTheDiphonePath) {
  // Installed but incomplete: not opened, no reason given.
  mbrola_.loadResult = plat::MbrolaLoad::kIncomplete;
  EXPECT_FALSE(start());
  EXPECT_EQ(calls(), std::vector<std::string>{"load br4"});
  EXPECT_TRUE(engineTextState().lastError.empty());

  // The database does not open: unloaded again.
  mbrola_.loadResult = plat::MbrolaLoad::kLoaded;
  mbrola_.initResult = -1;
  EXPECT_FALSE(start("br3"));
  EXPECT_EQ(calls(), (std::vector<std::string>{"load br3", "init br3", "unload"}));
  EXPECT_TRUE(engineTextState().lastError.empty());

  // The registry names the database's path; an empty value is the
  // family's folder.
  mbrola_.initResult = 0;
  platform_->setRegistryText("SOFTWARE\\TCTS\\Mbrola\\databases\\br4\\", "D:\\mbrola\\br4\\br4");
  ASSERT_TRUE(start());
  EXPECT_EQ(calls()[1], "init D:\\mbrola\\br4\\br4");
  platform_->setRegistryText("SOFTWARE\\TCTS\\Mbrola\\databases\\br4\\", "");
  ASSERT_TRUE(start());
  EXPECT_EQ(calls(), (std::vector<std::string>{"close", "unload", "load c:\\tarvek\\vireatts\\br4",
                                               "init c:\\tarvek\\vireatts\\br4", "setNoError 1"}));

  // A broken data file: the reason, and the synthesizer stays open.
  std::ofstream(files_.prosody, std::ios::binary | std::ios::trunc) << "nothing";
  EXPECT_FALSE(start());
  EXPECT_EQ(engineTextState().lastError, "Erro no arquivo de pros\xF3" "dia");
  const std::vector<std::string> log = calls();
  EXPECT_EQ(log.back(), "setNoError 1");

  // No MBROLA installed: the engine's own synthesizer, which fails here
  // for want of its voice.
  mbrola_.loadResult = plat::MbrolaLoad::kAbsent;
  EXPECT_FALSE(start());
  EXPECT_EQ(engineSynth(), EngineSynth::kNone);
  platform_->setMbrola(nullptr);
  EXPECT_FALSE(start());
}

TEST_F(TtsEngineSpeak, TheProgramSpeaksThroughTheEngineWhenTheSettingsChooseIt) {
  familySettings({"[TRADUTOR]", "SAPI=S", "[SERVFALA]", "TIPOSAPI=3", "VELOCIDADE=3", "TOM=0",
                  "[SINTETIZADOR]", "CORTAFALA3=S", "RAPIDINHO3=S", "[VIREATTS]", "DIR=" + kit_});
  initSpeech(3, "");
  ASSERT_TRUE(speechState().engineActive);
  EXPECT_EQ(engineSynth(), EngineSynth::kPlatformMbrola);
  EXPECT_DOUBLE_EQ(engineTextState().pitchFactor, 1.0);
  EXPECT_DOUBLE_EQ(engineTextState().durationFactor, 0.6);

  // Its samples play as they are (16 000 Hz, 16-bit), the speed-up and
  // compression of the other sounds off for them and back afterwards.
  const size_t from = platform_->waveCaptures().size();
  const long before = mbrola_.made();
  speakText("O saldo final \xE9 positivo.");
  waitSpeech();
  size_t bytes = 0;
  const auto& waves = platform_->waveCaptures();
  for (size_t i = from; i < waves.size(); ++i) {
    EXPECT_EQ(waves[i].sampleRate, 16000u);
    EXPECT_EQ(waves[i].bitsPerSample, 16);
    bytes += waves[i].playedBytes;
  }
  EXPECT_EQ(bytes, 2 * static_cast<size_t>(mbrola_.made() - before));
  EXPECT_TRUE(wavePlayer().fastPlay);
  EXPECT_TRUE(wavePlayer().compressSpeech);

  // A key while it speaks cuts it off and stays for the next read.
  const size_t cut = platform_->waveCaptures().size();
  std::vector<plat::Event> events;
  plat::headless::typedCharEvents('x', &events);
  const uint64_t keyUs = (platform_->tickMs() + 300) * 1000;
  for (const plat::Event& e : events) platform_->postEventAt(keyUs / 1000, e);
  std::string longText;
  for (int i = 0; i < 20; ++i) longText += "Cheque emitido para a loja. ";
  speakText(longText);
  waitSpeech();
  size_t played = 0, made = 0;
  uint64_t silentUs = 0;  // when the last sound stopped, in virtual time
  for (size_t i = cut; i < waves.size(); ++i) {
    played += waves[i].playedBytes;
    made += waves[i].data.size();
    if (waves[i].playedBytes > 0)
      silentUs = std::max(silentUs, waves[i].startUs + waves[i].playedBytes * 1000000 / 32000);
  }
  EXPECT_LE(silentUs, keyUs + 10000);  // within one 10 ms wait of the key
  EXPECT_LT(played, 2u * 16000 * 2);  // about 300 ms of it
  EXPECT_LT(played, made);
  EXPECT_TRUE(keyAvailable());

  calls();
  endSpeech();
  const std::vector<std::string> log = calls();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "close");
  EXPECT_EQ(log.back(), "unload");
}

#ifdef TALONIX_OWN_VOICE_FILE
// Without MBROLA the engine's own synthesizer speaks with the kit's voice:
// the whole pipeline, text to the player, each phoneme its length.
TEST_F(TtsEngineSpeak, WithoutMbrolaItsOwnSynthesizerSpeaksWithTheKitsVoice) {
  platform_->setMbrola(nullptr);
  fs::copy_file(TALONIX_OWN_VOICE_FILE, fs::path(kit_) / "br4.voz");
  familySettings({"[TRADUTOR]", "SAPI=S", "[SERVFALA]", "TIPOSAPI=3", "VELOCIDADE=-3",
                  "[VIREATTS]", "DIR=" + kit_});
  initSpeech(3, "");
  ASSERT_TRUE(speechState().engineActive);
  EXPECT_EQ(engineSynth(), EngineSynth::kOwn);

  const std::string text = "Cheque n\xBA 123, de R$ 45,60, para Jo\xE3o.";
  long ms = 0;
  size_t lines = 0;
  for (const std::string& line : enginePhonemeLines(text)) {
    if (line.empty() || line[0] == ';') continue;
    ms += std::atol(line.substr(line.find(' ')).c_str());
    ++lines;
  }
  const size_t from = platform_->waveCaptures().size();
  speakText(text);
  waitSpeech();
  size_t bytes = 0, loud = 0;
  const auto& waves = platform_->waveCaptures();
  for (size_t i = from; i < waves.size(); ++i) {
    bytes += waves[i].playedBytes;
    for (size_t b = 0; b + 1 < waves[i].data.size(); b += 2) {
      const int16_t v = static_cast<int16_t>(waves[i].data[b] | (waves[i].data[b + 1] << 8));
      loud += v > 2000 || v < -2000;
    }
  }
  // Within 1 ms (16 samples) a line of the sum of the lines' lengths.
  EXPECT_NEAR(static_cast<double>(bytes) / 2, ms * 16.0, 16.0 * static_cast<double>(lines));
  EXPECT_GT(loud, bytes / 20);  // it is speech, not silence

  // A definitions file naming pairs the voice lacks: the engine no longer
  // bridges them, and the synthesizer sounds them as silence and goes on.
  endSpeech();
  const fs::path dfn = fs::path(kit_) / "portug.dfn";
  std::ofstream(dfn, std::ios::binary | std::ios::app) << "t-S\r\nt-s\r\nd-Z\r\nr-r\r\n";
  initSpeech(3, "");
  ASSERT_TRUE(speechState().engineActive);
  const std::vector<std::string> tchau = enginePhonemeLines("Tchau, tsunami.");
  EXPECT_NE(std::find(tchau.begin(), tchau.end(), "S 100"), tchau.end());
  EXPECT_EQ(std::find(tchau.begin(), tchau.end(), "_ 50"), tchau.end());
  const size_t before = platform_->waveCaptures().size();
  EXPECT_TRUE(engineSpeak("Tchau, tsunami."));
  waitSpeech();
  EXPECT_GT(platform_->waveCaptures().size(), before);
  endSpeech();
  EXPECT_EQ(engineSynth(), EngineSynth::kNone);
}
#endif

}  // namespace
