// The older speech interface's adapter against an engine of the tests' own;
// the system has none.
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

// One object plays the audio destination, the enumerator of `modes` voices
// (the mode id's first field holds the voice's number), the selected
// voice and its attributes. It keeps the sinks it is given, with a
// reference of its own, so that the test can play its notifications.
// Selecting a voice moves the current directory, as some engines do.
class FakeEngine : public sapi4::IAudioMultiMediaDevice,
                   public sapi4::ITTSEnumA,
                   public sapi4::ITTSCentralA,
                   public sapi4::ITTSAttributesA {
 public:
  explicit FakeEngine(ULONG modes) : modes(modes) {}
  ULONG modes, at = 0, nexts = 0, selected = 0;
  DWORD speed = 0;
  WORD pitch = 0;
  std::vector<std::string> texts;
  sapi4::ITTSNotifySinkA* notify = nullptr;
  sapi4::ITTSBufNotifySink* buffer = nullptr;
  int resets = 0, unregistered = 0;
  bool audioFails = false, enumFails = false, registerFails = false,
       textFails = false;

  plat::win32::ComFactory factory() {
    return [this](const CLSID& clsid, const IID&, void** out) -> HRESULT {
      *out = nullptr;
      if (IsEqualCLSID(clsid, sapi4::kClsidMMAudioDest) && !audioFails)
        return handOut<sapi4::IAudioMultiMediaDevice>(this, out);
      if (IsEqualCLSID(clsid, sapi4::kClsidTtsEnumerator) && !enumFails)
        return handOut<sapi4::ITTSEnumA>(this, out);
      return REGDB_E_CLASSNOTREG;
    };
  }

  TALONIX_COUNTED
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, sapi4::kIidTtsAttributes))
      return handOut<sapi4::ITTSAttributesA>(this, out);
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override { return at = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE Next(ULONG count, sapi4::TTSMODEINFOA* mode,
                                 ULONG* fetched) override {
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(fetched, nullptr);
    ++nexts;
    if (at >= modes) return S_FALSE;
    mode->gModeID.Data1 = ++at;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Select(GUID mode, sapi4::ITTSCentralA** out,
                                   IUnknown* audio) override {
    EXPECT_EQ(audio, static_cast<sapi4::IAudioMultiMediaDevice*>(this));
    selected = mode.Data1;
    SetCurrentDirectoryW(std::filesystem::temp_directory_path().c_str());
    return handOut<sapi4::ITTSCentralA>(this, reinterpret_cast<void**>(out));
  }
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
    return ++unregistered, S_OK;
  }
  HRESULT STDMETHODCALLTYPE SpeedSet(DWORD s) override { return speed = s, S_OK; }
  HRESULT STDMETHODCALLTYPE PitchSet(WORD p) override { return pitch = p, S_OK; }
  HRESULT STDMETHODCALLTYPE TextData(sapi4::VOICECHARSET set, DWORD flags,
                                     sapi4::SDATA text, void* sink, IID iid) override {
    if (textFails) return E_FAIL;
    EXPECT_TRUE(set == sapi4::CHARSET_TEXT && flags == 0 &&
                IsEqualIID(iid, sapi4::kIidTtsBufNotifySink));
    const char* data = static_cast<const char*>(text.pData);
    EXPECT_EQ(data[text.dwSize - 1], '\0');
    texts.emplace_back(data, text.dwSize - 1);
    if (buffer == nullptr) (buffer = static_cast<sapi4::ITTSBufNotifySink*>(sink))->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AudioReset() override { return ++resets, E_FAIL; }

  TALONIX_STUB(CustomMessage, UINT, sapi4::SDATA)
  TALONIX_STUB(DeviceNumGet, DWORD*)
  TALONIX_STUB(DeviceNumSet, DWORD)
  TALONIX_STUB(Skip, ULONG)
  TALONIX_STUB(Clone, sapi4::ITTSEnumA**)
  TALONIX_STUB(Inject, const CHAR*)
  TALONIX_STUB(ModeGet, sapi4::TTSMODEINFOA*)
  TALONIX_STUB(Phoneme, sapi4::VOICECHARSET, DWORD, sapi4::SDATA, sapi4::SDATA*)
  TALONIX_STUB(PosnGet, QWORD*)
  TALONIX_STUB(ToFileTime, QWORD*, FILETIME*)
  TALONIX_STUB(AudioPause)
  TALONIX_STUB(AudioResume)
  TALONIX_STUB(PitchGet, WORD*)
  TALONIX_STUB(RealTimeGet, DWORD*)
  TALONIX_STUB(RealTimeSet, DWORD)
  TALONIX_STUB(SpeedGet, DWORD*)
  TALONIX_STUB(VolumeGet, DWORD*)
  TALONIX_STUB(VolumeSet, DWORD)
};

class Win32Sapi4Voice : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
  ProgramSide program;
};

TEST_F(Win32Sapi4Voice, FailuresReleaseEverythingMadeSoFar) {
  FakeEngine none(0);
  none.enumFails = true;  // the audio destination is made, then let go
  EXPECT_FALSE(Sapi4Voice(none.factory()).start(1, 0, 0, program));
  none.enumFails = false;  // no voice installed
  EXPECT_FALSE(Sapi4Voice(none.factory()).start(1, 0, 0, program));
  EXPECT_EQ(none.refs, 0u);
  FakeEngine refusing(2);  // an engine that takes no notify sink
  refusing.registerFails = true;
  Sapi4Voice voice(refusing.factory());
  EXPECT_FALSE(voice.start(1, 0, 0, program));
  EXPECT_EQ(refusing.refs, 0u);
  EXPECT_EQ(refusing.unregistered, 0);
  voice.speak("nada");
  EXPECT_TRUE(refusing.texts.empty());
  Sapi4Voice system;  // under wine nothing of it is installed
  if (system.start(0, 0, 0, program)) system.end();
}

TEST_F(Win32Sapi4Voice, SpeaksThroughTheChosenEngineAsItsSinksReport) {
  FakeEngine engine(3);
  Sapi4Voice voice(engine.factory());
  const std::filesystem::path before = std::filesystem::current_path();

  // VOZ 0 is the first voice, its tuning left alone; VOZ 2 with speed and
  // pitch; past the last voice, the last one.
  ASSERT_TRUE(voice.start(0, 0, 0, program));
  EXPECT_EQ(engine.selected, 1u);
  EXPECT_EQ(engine.nexts, 1u);
  EXPECT_EQ(engine.speed + engine.pitch, 0u);
  EXPECT_EQ(std::filesystem::current_path(), before);
  ASSERT_TRUE(voice.start(2, 150, 90, program));
  EXPECT_EQ(engine.selected, 2u);
  EXPECT_EQ(engine.speed + engine.pitch, 240u);
  ASSERT_TRUE(voice.start(9, 0, 0, program));
  EXPECT_EQ(engine.selected, 3u);
  EXPECT_EQ(engine.unregistered, 2);

  // Texts are trimmed; a blank one is not spoken; a lone digit is a number.
  voice.speak("  5 ");
  voice.speak("   ");
  EXPECT_EQ(engine.texts, std::vector<std::string>{"5."});
  ASSERT_TRUE(engine.buffer != nullptr && engine.notify != nullptr);
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

  // A text while another is queued waits 20 ms first; none is handed over
  // while a key waits.
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

  // An engine that fails in the middle: the voice is stopped.
  engine.buffer->TextDataStarted(0);
  engine.notify->AudioStart(0);
  engine.textFails = true;
  voice.speak("falha");
  EXPECT_EQ(engine.resets, 2);
  EXPECT_FALSE(voice.isSpeaking(0));

  // End unregisters and lets everything go; what the engine reports
  // afterwards changes nothing, and its own references are the last ones.
  voice.end();
  EXPECT_EQ(engine.unregistered, 3);
  EXPECT_EQ(engine.refs, 0u);
  engine.buffer->TextDataStarted(0);
  EXPECT_FALSE(voice.isSpeaking(0));
  EXPECT_EQ(engine.notify->Release(), 0u);
  EXPECT_EQ(engine.buffer->Release(), 0u);
}

}  // namespace
