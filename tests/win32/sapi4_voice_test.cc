// The older speech interface's adapter against an enumerator, engine and
// audio destination of the tests' own; the system has none of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/sapi4_voice.h"
#include "tests/win32/com_fakes.h"

namespace {

namespace sapi4 = plat::win32::sapi4;
using plat::win32::Sapi4Voice;
using sapi4::QWORD;

class FakeAudio : public Counted<sapi4::IAudioMultiMediaDevice> {
 public:
  FakeAudio() : Counted(sapi4::kIidAudioMultiMediaDevice) {}
  TALONIX_STUB(CustomMessage, UINT, sapi4::SDATA)
  TALONIX_STUB(DeviceNumGet, DWORD*)
  TALONIX_STUB(DeviceNumSet, DWORD)
};

class FakeAttributes : public Counted<sapi4::ITTSAttributesA> {
 public:
  FakeAttributes() : Counted(sapi4::kIidTtsAttributes) {}
  HRESULT STDMETHODCALLTYPE SpeedSet(DWORD s) override { return speed = s, S_OK; }
  HRESULT STDMETHODCALLTYPE PitchSet(WORD p) override { return pitch = p, S_OK; }
  TALONIX_STUB(PitchGet, WORD*)
  TALONIX_STUB(RealTimeGet, DWORD*)
  TALONIX_STUB(RealTimeSet, DWORD)
  TALONIX_STUB(SpeedGet, DWORD*)
  TALONIX_STUB(VolumeGet, DWORD*)
  TALONIX_STUB(VolumeSet, DWORD)
  DWORD speed = 0;
  WORD pitch = 0;
};

// The engine keeps the sinks it is given, with a reference of its own, so
// the test can play the engine's notifications.
class FakeCentral : public Counted<sapi4::ITTSCentralA> {
 public:
  FakeCentral() : Counted(IID_IUnknown) {}
  HRESULT STDMETHODCALLTYPE TextData(sapi4::VOICECHARSET set, DWORD flags,
                                     sapi4::SDATA text, void* sink, IID iid) override {
    if (textFails) return E_FAIL;
    EXPECT_EQ(set, sapi4::CHARSET_TEXT);
    EXPECT_EQ(flags, 0u);
    EXPECT_TRUE(IsEqualIID(iid, sapi4::kIidTtsBufNotifySink));
    const char* data = static_cast<const char*>(text.pData);
    EXPECT_EQ(data[text.dwSize - 1], '\0');
    texts.emplace_back(data, text.dwSize - 1);
    if (buffer == nullptr) (buffer = static_cast<sapi4::ITTSBufNotifySink*>(sink))->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AudioReset() override { return ++resets, E_FAIL; }
  HRESULT STDMETHODCALLTYPE Register(void* sink, IID iid, DWORD* key) override {
    if (registerFails) return E_FAIL;
    EXPECT_TRUE(IsEqualIID(iid, sapi4::kIidTtsNotifySink));
    if (notify != nullptr) notify->Release();  // the last start's
    (notify = static_cast<sapi4::ITTSNotifySinkA*>(sink))->AddRef();
    *key = 42;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UnRegister(DWORD key) override {
    EXPECT_EQ(key, 42u);
    ++unregistered;
    return S_OK;
  }
  TALONIX_STUB(Inject, const CHAR*)
  TALONIX_STUB(ModeGet, sapi4::TTSMODEINFOA*)
  TALONIX_STUB(Phoneme, sapi4::VOICECHARSET, DWORD, sapi4::SDATA, sapi4::SDATA*)
  TALONIX_STUB(PosnGet, QWORD*)
  TALONIX_STUB(ToFileTime, QWORD*, FILETIME*)
  TALONIX_STUB(AudioPause)
  TALONIX_STUB(AudioResume)

  FakeAttributes attributes;
  std::vector<std::string> texts;
  sapi4::ITTSNotifySinkA* notify = nullptr;
  sapi4::ITTSBufNotifySink* buffer = nullptr;
  int resets = 0, unregistered = 0;
  bool textFails = false, registerFails = false;

 protected:
  HRESULT otherInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, sapi4::kIidTtsAttributes)) return attributes.handOut(out);
    return Counted::otherInterface(iid, out);
  }
};

// Modes 1..n, the mode id's first field holding the number. Selecting one
// moves the current directory, as some engines do while loading.
class FakeEnum : public Counted<sapi4::ITTSEnumA> {
 public:
  explicit FakeEnum(ULONG modes) : Counted(sapi4::kIidTtsEnum), modes_(modes) {}
  HRESULT STDMETHODCALLTYPE Reset() override { return at_ = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE Next(ULONG count, sapi4::TTSMODEINFOA* mode,
                                 ULONG* fetched) override {
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(fetched, nullptr);
    ++nexts;
    if (at_ >= modes_) return S_FALSE;
    mode->gModeID.Data1 = ++at_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Select(GUID mode, sapi4::ITTSCentralA** out,
                                   IUnknown* audio) override {
    EXPECT_EQ(audio, static_cast<IUnknown*>(audioSeen));
    selected = static_cast<int>(mode.Data1);
    SetCurrentDirectoryW(std::filesystem::temp_directory_path().c_str());
    return central.handOut(reinterpret_cast<void**>(out));
  }
  TALONIX_STUB(Skip, ULONG)
  TALONIX_STUB(Clone, sapi4::ITTSEnumA**)

  FakeCentral central;
  sapi4::IAudioMultiMediaDevice* audioSeen = nullptr;
  int nexts = 0, selected = 0;

 private:
  ULONG modes_;
  ULONG at_ = 0;
};

struct Installed {
  FakeAudio audio;
  FakeEnum voices;
  bool audioFails = false, enumFails = false;
  explicit Installed(ULONG modes) : voices(modes) { voices.audioSeen = &audio; }
  plat::win32::ComFactory factory() {
    return [this](const CLSID& clsid, const IID&, void** out) -> HRESULT {
      *out = nullptr;
      if (IsEqualCLSID(clsid, sapi4::kClsidMMAudioDest))
        return audioFails ? REGDB_E_CLASSNOTREG : audio.handOut(out);
      if (IsEqualCLSID(clsid, sapi4::kClsidTtsEnumerator))
        return enumFails ? REGDB_E_CLASSNOTREG : voices.handOut(out);
      return REGDB_E_CLASSNOTREG;
    };
  }
  int held() const {
    return audio.refs() + voices.refs() + voices.central.refs() +
           voices.central.attributes.refs();
  }
};

class Win32Sapi4Voice : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
  ProgramSide program;
};

TEST_F(Win32Sapi4Voice, FailuresReleaseEverythingMadeSoFar) {
  Installed none(0);
  none.audioFails = true;
  EXPECT_FALSE(Sapi4Voice(none.factory()).start(1, 0, 0, program));
  none.audioFails = false;
  none.enumFails = true;
  EXPECT_FALSE(Sapi4Voice(none.factory()).start(1, 0, 0, program));
  EXPECT_EQ(none.held(), 0);
  none.enumFails = false;
  // No voice installed.
  EXPECT_FALSE(Sapi4Voice(none.factory()).start(1, 0, 0, program));
  EXPECT_EQ(none.held(), 0);
  // An engine that takes no notify sink.
  Installed refusing(2);
  refusing.voices.central.registerFails = true;
  Sapi4Voice voice(refusing.factory());
  EXPECT_FALSE(voice.start(1, 0, 0, program));
  EXPECT_EQ(refusing.held(), 0);
  EXPECT_EQ(refusing.voices.central.unregistered, 0);
  voice.speak("nada");
  EXPECT_TRUE(refusing.voices.central.texts.empty());
  // And the system's own: under wine nothing of it is installed.
  Sapi4Voice system;
  if (system.start(0, 0, 0, program)) system.end();
}

TEST_F(Win32Sapi4Voice, SpeaksThroughTheChosenEngineAsItsSinksReport) {
  Installed installed(3);
  FakeCentral& engine = installed.voices.central;
  Sapi4Voice voice(installed.factory());
  const std::filesystem::path before = std::filesystem::current_path();

  // VOZ 0 is the first voice, and its tuning left alone.
  ASSERT_TRUE(voice.start(0, 0, 0, program));
  EXPECT_EQ(installed.voices.selected, 1);
  EXPECT_EQ(installed.voices.nexts, 1);
  EXPECT_EQ(engine.attributes.speed + engine.attributes.pitch, 0u);
  EXPECT_EQ(std::filesystem::current_path(), before);
  // VOZ 2 with speed and pitch; past the last voice, the last one.
  ASSERT_TRUE(voice.start(2, 150, 90, program));
  EXPECT_EQ(installed.voices.selected, 2);
  EXPECT_EQ(engine.attributes.speed, 150u);
  EXPECT_EQ(engine.attributes.pitch, 90);
  ASSERT_TRUE(voice.start(9, 0, 0, program));
  EXPECT_EQ(installed.voices.selected, 3);
  EXPECT_EQ(engine.attributes.refs(), 0);
  EXPECT_EQ(engine.unregistered, 2);

  // Texts are trimmed; a blank one is not spoken; a lone digit is a number.
  voice.speak("  5 ");
  voice.speak("   ");
  ASSERT_NE(engine.buffer, nullptr);
  ASSERT_NE(engine.notify, nullptr);
  EXPECT_EQ(engine.texts, std::vector<std::string>{"5."});
  EXPECT_FALSE(voice.isSpeaking(0));

  // The sinks drive the answers: kind 1 follows the texts, kind 0 the audio
  // as well; a text reported done twice does not count below zero.
  engine.buffer->TextDataStarted(0);
  engine.notify->AudioStart(0);
  EXPECT_TRUE(voice.isSpeaking(1));
  engine.buffer->TextDataDone(0, 0);
  engine.buffer->TextDataDone(0, 0);
  EXPECT_FALSE(voice.isSpeaking(1));
  EXPECT_TRUE(voice.isSpeaking(0));
  engine.notify->AudioStop(0);
  EXPECT_FALSE(voice.isSpeaking(0));
  engine.buffer->TextDataStarted(0);
  EXPECT_TRUE(voice.isSpeaking(1));

  // A text while another is queued waits 20 ms first; none while a key
  // waits.
  voice.speak("Ol\xE1");
  EXPECT_EQ(engine.texts.back(), "Ol\xE1");
  EXPECT_EQ(program.waits, std::vector<unsigned>{20});
  program.key = true;
  voice.speak("calado");
  EXPECT_EQ(engine.texts.size(), 2u);
  program.key = false;

  // Stop resets the audio only while audio plays; a failing reset is
  // ignored.
  voice.stop();
  EXPECT_EQ(engine.resets, 0);
  EXPECT_FALSE(voice.isSpeaking(1));
  engine.notify->AudioStart(0);
  program.waits.clear();
  voice.stop();
  EXPECT_EQ(engine.resets, 1);
  EXPECT_EQ(program.waits, (std::vector<unsigned>{50, 150}));
  EXPECT_FALSE(voice.isSpeaking(0));

  // An engine that fails in the middle: its text is dropped and the voice
  // stopped.
  engine.buffer->TextDataStarted(0);
  engine.notify->AudioStart(0);
  engine.textFails = true;
  voice.speak("falha");
  EXPECT_EQ(engine.resets, 2);
  EXPECT_FALSE(voice.isSpeaking(0));

  // End unregisters and lets everything go; notifications the engine sends
  // afterwards change nothing, and its own references are the last ones.
  voice.end();
  EXPECT_EQ(engine.unregistered, 3);
  EXPECT_EQ(installed.held(), 0);
  engine.buffer->TextDataStarted(0);
  EXPECT_FALSE(voice.isSpeaking(0));
  EXPECT_EQ(engine.notify->Release(), 0u);
  EXPECT_EQ(engine.buffer->Release(), 0u);
}

}  // namespace
