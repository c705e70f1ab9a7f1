// The speed settings, the dispatch to the text engines by engine type, the
// speech layer's engine path over the test voices of both shapes, and the
// real Linux voices: espeak-ng through the program's player, and
// speech-dispatcher when a server answers.
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/espeak/espeak_voice.h"
#include "platform/speechd/speechd_voice.h"
#include "synth/speech_settings.h"
#include "synth/wave_player.h"
#include "tests/speech_fixture.h"

namespace speechtest {
namespace {

using plat::VoiceKind;
using plat::headless::TestVoice;
using plat::headless::WaveCapture;

class VoicesTest : public SpeechFixture {
 protected:
  TestVoice& voice(VoiceKind kind) { return platform_->testVoice(kind); }

  void startWith(const std::vector<std::string>& servfala) {
    std::vector<std::string> lines = {"[TRADUTOR]", "SAPI=S", "[SERVFALA]"};
    lines.insert(lines.end(), servfala.begin(), servfala.end());
    familySettings(lines);
    initSpeech(3, "");
  }

  // The key `ch` arrives `ms` from now in virtual time.
  void typeAfter(uint64_t ms, uint8_t ch) {
    std::vector<plat::Event> events;
    plat::headless::typedCharEvents(ch, &events);
    for (const plat::Event& e : events)
      platform_->postEventAt(platform_->tickMs() + ms, e);
  }

  // Milliseconds of sound that actually played, from capture `from` on.
  double playedMs(size_t from = 0) const {
    double ms = 0;
    const auto& waves = platform_->waveCaptures();
    for (size_t i = from; i < waves.size(); ++i) {
      const WaveCapture& w = waves[i];
      const double bytesPerMs =
          w.sampleRate * w.channels * (w.bitsPerSample / 8) / 1000.0;
      ms += w.playedBytes / bytesPerMs;
    }
    return ms;
  }
};

TEST_F(VoicesTest, SpeedSettingsTakeTheirKeysAndDefaults) {
  familySettings({"[SINTETIZADOR]", "DIFONES3=BRASILEIRO", "PAUSAVIRG3=abc",
                  "PAUSAPONTO3= 300 ", "PAUSADOISPONTOS3=120ms",
                  "CORTAFALA3=Sim", "RAPIDINHO3=s", "CORTAFALA2=n",
                  "PAUSAVIRG2=+90", "DIFONES2=VOZ2"});
  readSpeedSettings(3);
  const SpeechSettings& s = speechSettings();
  EXPECT_EQ(s.databaseName, "BRASILEI");
  EXPECT_EQ(s.commaPause, 150);   // not a number
  EXPECT_EQ(s.periodPause, 300);  // blanks around it are fine
  EXPECT_EQ(s.colonPause, 200);   // trailing garbage is not an integer
  EXPECT_TRUE(wavePlayer().compressSpeech);
  EXPECT_TRUE(wavePlayer().fastPlay);

  // Another speed reads its own keys; what it lacks takes the defaults.
  readSpeedSettings(2);
  EXPECT_EQ(s.speed, 2);
  EXPECT_EQ(s.databaseName, "VOZ2");
  EXPECT_EQ(s.commaPause, 90);
  EXPECT_EQ(s.periodPause, 250);
  EXPECT_FALSE(wavePlayer().compressSpeech);
  EXPECT_FALSE(wavePlayer().fastPlay);
}

TEST_F(VoicesTest, EngineTypeChoosesTheVoice) {
  // No engine type: the older kind of voice.
  startWith({});
  EXPECT_TRUE(speechState().engineActive);
  EXPECT_EQ(voice(VoiceKind::kSapi4).starts(), 1);
  EXPECT_EQ(voice(VoiceKind::kSapi5).starts(), 0);
  endSpeech();
  EXPECT_EQ(voice(VoiceKind::kSapi4).ends(), 1);

  for (const char* type : {"TIPOSAPI=5", "TIPOSAPI=54"}) {
    startWith({type, "VOZ=3", "TOM=-2"});
    EXPECT_TRUE(speechState().engineActive) << type;
    EXPECT_EQ(voice(VoiceKind::kSapi5).voiceNumber(), 3);
    EXPECT_EQ(voice(VoiceKind::kSapi5).pitch(), -2);
    endSpeech();
  }
  EXPECT_EQ(voice(VoiceKind::kSapi5).starts(), 2);
  EXPECT_EQ(voice(VoiceKind::kSapi4).starts(), 1);

  // The Portuguese engine without its kit: it starts no platform voice,
  // writes nothing, and the diphone path speaks.
  forget();
  startWith({"TIPOSAPI=3"});
  EXPECT_FALSE(speechState().engineActive);
  EXPECT_EQ(screenRow(1), "");
  EXPECT_EQ(voice(VoiceKind::kSapi5).starts() + voice(VoiceKind::kSapi4).starts(), 3);
  EXPECT_EQ(spoken("7"), (Lines{"number sete"}));
}

TEST_F(VoicesTest, StartReturnsAfterTheVoiceAnnouncesItself) {
  for (VoiceKind kind : {VoiceKind::kSapi5, VoiceKind::kSapi4}) {
    TestVoice& v = voice(kind);
    v.setAnnouncementMs(700);
    const uint64_t before = platform_->tickMs();
    ASSERT_TRUE(synthStart(0, 0, 0, kind == VoiceKind::kSapi5 ? 5 : 4));
    EXPECT_GE(v.announcementEndMs(), before + 700);
    EXPECT_GE(platform_->tickMs(), v.announcementEndMs());
    EXPECT_FALSE(synthIsSpeaking(0));
    synthEnd();
  }
  // The samples of the announcement went through the player.
  EXPECT_NEAR(playedMs(), 700, 1);
}

TEST_F(VoicesTest, KeyCutsTheEngineShort) {
  // Samples through the player: a key stops them within one 10 ms wait,
  // the voice drops the rest, and the key stays for the next read.
  startWith({"TIPOSAPI=5"});
  TestVoice& samples = voice(VoiceKind::kSapi5);
  samples.setMsPerCharacter(100);
  const uint64_t spoke = platform_->tickMs();
  typeAfter(500, 'x');
  speakText("trinta caracteres de texto...");  // 3 s of tone
  EXPECT_EQ(samples.cutShort(), 1);
  EXPECT_GE(playedMs(), 500 - 1);
  EXPECT_LE(playedMs(), 500 + 10);
  EXPECT_LE(platform_->tickMs(), spoke + 500 + 10);
  EXPECT_FALSE(isSpeaking());
  EXPECT_EQ(readKey(), 'x');
  endSpeech();

  // A voice that speaks on its own is stopped when the wait sees the key.
  startWith({"TIPOSAPI=4"});
  TestVoice& own = voice(VoiceKind::kSapi4);
  own.setMsPerCharacter(100);
  speakText("trinta caracteres de texto...");
  EXPECT_TRUE(speechState().utterancePending);
  typeAfter(300, 'y');
  waitSpeech();
  EXPECT_EQ(own.stops(), 1);
  EXPECT_FALSE(synthIsSpeaking(0));
  EXPECT_EQ(readKey(), 'y');
  // With nothing more pressed, the next text is heard to its end.
  speakText("ok");
  waitSpeech();
  EXPECT_EQ(own.texts(), (Lines{"trinta caracteres de texto...", "ok"}));
  EXPECT_EQ(own.stops(), 1);
}

// --- espeak-ng ---------------------------------------------------------------

// The real espeak voice, installed as the platform's "SAPI 5" kind over the
// headless player.
class EspeakVoiceTest : public VoicesTest {
 protected:
  void SetUp() override {
    VoicesTest::SetUp();
    plat::Services s = platform_->services();
    s.voices = &pair_;
    plat::setServices(s);
  }
  void TearDown() override {
    espeak_.end();  // its sink needs the services still installed
    VoicesTest::TearDown();
  }
  plat::espeak::EspeakVoice espeak_;
  plat::VoicePair pair_{&espeak_, nullptr};
};

TEST_F(EspeakVoiceTest, SpeaksThroughThePlayerAndAKeyStopsIt) {
  const std::vector<std::string> voices = plat::espeak::EspeakVoice::brazilianVoices();
  ASSERT_FALSE(voices.empty());
  // A voice number past the list takes the first voice.
  ASSERT_TRUE(synthStart(99, 0, 0, 5));
  EXPECT_EQ(espeak_.voiceName(), voices.front());

  synthSpeak("Bom dia. Este \xE9 o teste da voz.");
  ASSERT_FALSE(platform_->waveCaptures().empty());
  const WaveCapture& first = platform_->waveCaptures().front();
  EXPECT_EQ(first.sampleRate, 22050u);
  EXPECT_EQ(first.bitsPerSample, 16);
  EXPECT_EQ(first.channels, 1);
  double energy = 0;
  size_t n = 0;
  for (const WaveCapture& w : platform_->waveCaptures()) {
    for (size_t i = 0; i + 1 < w.data.size(); i += 2, ++n) {
      const double s = static_cast<int16_t>(w.data[i] | w.data[i + 1] << 8);
      energy += s * s;
    }
  }
  ASSERT_GT(n, 22050u);  // more than a second of speech
  EXPECT_GT(std::sqrt(energy / n), 327.0);  // above -40 dBFS
  while (synthIsSpeaking(0)) waitMs(50);

  // A long text cut by a key: no more than 10 ms past the key.
  const size_t mark = platform_->waveCaptures().size();
  typeAfter(400, 'q');
  synthSpeak("Um texto bem comprido, que levaria muitos segundos para ser "
             "lido do come\xE7o ao fim, se ningu\xE9m o interrompesse.");
  EXPECT_GE(playedMs(mark), 400 - 1);
  EXPECT_LE(playedMs(mark), 400 + 10);
  EXPECT_FALSE(synthIsSpeaking(0));
  EXPECT_EQ(readKey(), 'q');
  synthEnd();

  // Starting and ending again, three times, neither hangs nor fails.
  for (int cycle = 1; cycle <= 3; ++cycle) {
    ASSERT_TRUE(synthStart(cycle, cycle, -cycle, 54)) << cycle;
    synthSpeak("sim");
    synthEnd();
  }
}

TEST(VoiceMappingTest, SettingsMapOntoTheLibrariesScales) {
  using plat::espeak::EspeakVoice;
  using plat::speechd::SpeechdVoice;
  EXPECT_EQ(EspeakVoice::wordsPerMinute(0), 175);
  EXPECT_EQ(EspeakVoice::wordsPerMinute(5), 303);
  EXPECT_EQ(EspeakVoice::wordsPerMinute(10), 450);    // clamped
  EXPECT_EQ(EspeakVoice::wordsPerMinute(-100), 80);   // clamped
  EXPECT_EQ(EspeakVoice::pitchOf(-4), 30);
  EXPECT_EQ(EspeakVoice::pitchOf(1000000), 100);
  EXPECT_EQ(SpeechdVoice::rateOf(-7), -70);
  EXPECT_EQ(SpeechdVoice::rateOf(350), 63);  // words per minute
  EXPECT_EQ(SpeechdVoice::rateOf(-2147483647 - 1), -100);
  EXPECT_EQ(SpeechdVoice::pitchOf(20), 100);
}

// --- speech-dispatcher -------------------------------------------------------

// Counts the wake-ups posted from the service's thread.
class CountingSink : public plat::EventSink {
 public:
  void postEvent(const plat::Event& e) override {
    if (e.kind == plat::EventKind::kUser && e.code == plat::kMsgWakeOther) ++wakes;
  }
  std::atomic<int> wakes{0};
};

class NoSamples : public plat::SampleSink {
 public:
  bool playSamples(const int16_t*, size_t, uint32_t) override { return false; }
  bool isPlaying() override { return false; }
  void stop() override {}
};

template <typename F>
bool within(std::chrono::milliseconds limit, F done) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

TEST(SpeechdVoiceTest, SpeaksStopsAndEndsWhenAServerAnswers) {
  CountingSink wake;
  NoSamples none;
  // Only a server already running is used: a test starts none.
  plat::speechd::SpeechdVoice v(wake, false);
  // Voice 0: the server's list of voices, which may take many seconds to
  // come, is not asked for.
  if (!v.start(0, 0, 0, none)) {
    // Without a server the voice is simply not there.
    EXPECT_FALSE(v.isSpeaking(0));
    v.speak("nada");
    v.stop();
    v.end();
    GTEST_SKIP() << "no speech-dispatcher server answers";
  }
  // A server that answers may still fail to speak (no audio output) or
  // stop answering: then the voice gives the text up instead of waiting.
  v.speak("Um texto comprido o bastante para ser interrompido no meio.");
  EXPECT_TRUE(within(std::chrono::seconds(5),
                     [&] { return v.begun() >= 1 || !v.isSpeaking(1); }));
  v.stop();
  EXPECT_FALSE(v.isSpeaking(0));
  v.speak("sim");
  EXPECT_TRUE(within(std::chrono::seconds(10), [&] { return !v.isSpeaking(1); }));
  v.end();
  // Three more starts and ends complete, whatever the server does.
  const auto before = std::chrono::steady_clock::now();
  for (int cycle = 1; cycle <= 3; ++cycle) {
    if (v.start(0, cycle, -cycle, none)) v.speak("n\xE3o");
    v.end();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(25));
}

}  // namespace
}  // namespace speechtest
