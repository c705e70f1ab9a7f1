// The SpVoice adapter against a voice object of the tests' own, and once
// against the system's SpVoice (under wine it is made but lists no voice).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/win32/sapi5_voice.h"
#include "tests/win32/com_fakes.h"

namespace {

using plat::win32::Sapi5Voice;

// One object plays the voice, its list of `count` voices and each voice
// token; it "speaks" from an asynchronous Speak until the test says it is
// done, its speak-complete event being a real event.
class FakeVoice : public ISpeechVoice,
                  public ISpeechObjectTokens,
                  public ISpeechObjectToken {
 public:
  explicit FakeVoice(LONG count)
      : count(count), done_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
  ~FakeVoice() { CloseHandle(done_); }
  void finish() { SetEvent(done_); }

  LONG count, interests = 0, rate = 99, item = -1, chosen = -1;
  std::vector<std::pair<std::wstring, int>> said;  // text, flags
  bool speakFails = false;

  TALONIX_COUNTED
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override {
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE put_EventInterests(SpeechVoiceEvents e) override {
    interests = e;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVoices(BSTR, BSTR, ISpeechObjectTokens** out) override {
    return handOut<ISpeechObjectTokens>(this, reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE get_Count(LONG* n) override { return *n = count, S_OK; }
  HRESULT STDMETHODCALLTYPE Item(LONG i, ISpeechObjectToken** out) override {
    if (i < 0 || i >= count) return E_INVALIDARG;
    item = i;
    return handOut<ISpeechObjectToken>(this, reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE putref_Voice(ISpeechObjectToken* token) override {
    if (token == static_cast<ISpeechObjectToken*>(this)) chosen = item;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Rate(LONG r) override {
    rate = r;
    return r < -10 ? E_INVALIDARG : S_OK;
  }
  HRESULT STDMETHODCALLTYPE SpeakCompleteEvent(LONG* handle) override {
    *handle = HandleToLong(done_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Speak(BSTR text, SpeechVoiceSpeakFlags flags,
                                  LONG*) override {
    if (speakFails) return E_FAIL;
    said.emplace_back(std::wstring(text, SysStringLen(text)), flags);
    if (flags & SVSFlagsAsync) ResetEvent(done_);
    else SetEvent(done_);  // the purging blank is spoken at once
    return S_OK;
  }

  TALONIX_DISPATCH_STUBS
  TALONIX_STUB(get_Status, ISpeechVoiceStatus**)
  TALONIX_STUB(get_Voice, ISpeechObjectToken**)
  TALONIX_STUB(get_AudioOutput, ISpeechObjectToken**)
  TALONIX_STUB(putref_AudioOutput, ISpeechObjectToken*)
  TALONIX_STUB(get_AudioOutputStream, ISpeechBaseStream**)
  TALONIX_STUB(putref_AudioOutputStream, ISpeechBaseStream*)
  TALONIX_STUB(get_Rate, LONG*)
  TALONIX_STUB(get_Volume, LONG*)
  TALONIX_STUB(put_Volume, LONG)
  TALONIX_STUB(put_AllowAudioOutputFormatChangesOnNextSet, VARIANT_BOOL)
  TALONIX_STUB(get_AllowAudioOutputFormatChangesOnNextSet, VARIANT_BOOL*)
  TALONIX_STUB(get_EventInterests, SpeechVoiceEvents*)
  TALONIX_STUB(put_Priority, SpeechVoicePriority)
  TALONIX_STUB(get_Priority, SpeechVoicePriority*)
  TALONIX_STUB(put_AlertBoundary, SpeechVoiceEvents)
  TALONIX_STUB(get_AlertBoundary, SpeechVoiceEvents*)
  TALONIX_STUB(put_SynchronousSpeakTimeout, LONG)
  TALONIX_STUB(get_SynchronousSpeakTimeout, LONG*)
  TALONIX_STUB(SpeakStream, ISpeechBaseStream*, SpeechVoiceSpeakFlags, LONG*)
  TALONIX_STUB(Pause)
  TALONIX_STUB(Resume)
  TALONIX_STUB(Skip, const BSTR, LONG, LONG*)
  TALONIX_STUB(GetAudioOutputs, BSTR, BSTR, ISpeechObjectTokens**)
  TALONIX_STUB(WaitUntilDone, LONG, VARIANT_BOOL*)
  TALONIX_STUB(IsUISupported, const BSTR, const VARIANT*, VARIANT_BOOL*)
  TALONIX_STUB(DisplayUI, LONG, BSTR, const BSTR, const VARIANT*)
  TALONIX_STUB(get__NewEnum, IUnknown**)
  TALONIX_STUB(get_Id, BSTR*)
  TALONIX_STUB(get_DataKey, ISpeechDataKey**)
  TALONIX_STUB(get_Category, ISpeechObjectTokenCategory**)
  TALONIX_STUB(GetDescription, LONG, BSTR*)
  TALONIX_STUB(SetId, BSTR, BSTR, VARIANT_BOOL)
  TALONIX_STUB(GetAttribute, BSTR, BSTR*)
  TALONIX_STUB(CreateInstance, IUnknown*, SpeechTokenContext, IUnknown**)
  TALONIX_STUB(Remove, BSTR)
  TALONIX_STUB(GetStorageFileName, BSTR, BSTR, BSTR, SpeechTokenShellFolder, BSTR*)
  TALONIX_STUB(RemoveStorageFileName, BSTR, BSTR, VARIANT_BOOL)
  TALONIX_STUB(IsUISupported, const BSTR, const VARIANT*, IUnknown*, VARIANT_BOOL*)
  TALONIX_STUB(DisplayUI, LONG, BSTR, const BSTR, const VARIANT*, IUnknown*)
  TALONIX_STUB(MatchesAttributes, BSTR, VARIANT_BOOL*)

 private:
  HANDLE done_;
};

plat::win32::ComFactory handing(FakeVoice* voice) {
  return [voice](const CLSID& clsid, const IID&, void** out) -> HRESULT {
    *out = nullptr;
    if (voice == nullptr) return REGDB_E_CLASSNOTREG;
    EXPECT_TRUE(IsEqualCLSID(clsid, plat::win32::kClsidSpVoice));
    return handOut<ISpeechVoice>(voice, out);
  };
}

class Win32Sapi5Voice : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
  plat::headless::HeadlessPlatform window{plat::headless::HeadlessConfig{}};
  ProgramSide program;
};

TEST_F(Win32Sapi5Voice, ChoosesSpeaksWaitsStopsAndReleases) {
  // No voice object, or one with no voices: the start fails, nothing kept.
  EXPECT_FALSE(Sapi5Voice(window, handing(nullptr)).start(1, 0, 0, program));
  FakeVoice mute(0);
  EXPECT_FALSE(Sapi5Voice(window, handing(&mute)).start(1, 0, 0, program));
  EXPECT_EQ(mute.refs, 0u);

  // VOZ 7 among three voices: the first, at the normal rate.
  FakeVoice fake(3);
  Sapi5Voice voice(window, handing(&fake));
  ASSERT_TRUE(voice.start(7, 5, 4, program));
  EXPECT_EQ(fake.chosen, 0);
  EXPECT_EQ(fake.rate, 0);
  EXPECT_EQ(fake.interests, 33790);
  // VOZ 2 keeps its rate; a rate the voice refuses does not stop it. Only
  // the voice itself is held, once.
  ASSERT_TRUE(voice.start(2, -20, 0, program));
  EXPECT_EQ(fake.chosen, 1);
  EXPECT_EQ(fake.rate, -20);
  EXPECT_EQ(fake.refs, 1u);

  // Windows-1252 reaches the voice as Unicode; an empty text as a blank.
  voice.speak("Ol\xE1");
  voice.speak("");
  ASSERT_EQ(fake.said.size(), 2u);
  EXPECT_EQ(fake.said[0], std::make_pair(std::wstring(L"Ol\u00E1"), 17));
  EXPECT_EQ(fake.said[1].first, L" ");

  // While it speaks, each question wakes the console window's wait.
  const size_t posted = window.pendingEvents();
  EXPECT_TRUE(voice.isSpeaking(1));
  EXPECT_EQ(window.pendingEvents(), posted + 1);
  fake.finish();
  EXPECT_FALSE(voice.isSpeaking(0));
  EXPECT_EQ(window.pendingEvents(), posted + 1);

  // Stop purges with a blank, then lets the voice settle.
  voice.speak("texto longo");
  voice.stop();
  EXPECT_EQ(fake.said.back(), std::make_pair(std::wstring(L" "), 2));
  EXPECT_EQ(program.waits, std::vector<unsigned>{50});
  EXPECT_FALSE(voice.isSpeaking(0));

  // A voice that fails in the middle only beeps.
  fake.speakFails = true;
  voice.speak("perdido");
  EXPECT_EQ(window.beepCount(), 1);
  fake.speakFails = false;

  // End lets the voice finish, 300 ms at a time...
  voice.speak("fim");
  program.waits.clear();
  program.duringWait = [&fake] { fake.finish(); };
  voice.end();
  EXPECT_EQ(program.waits, std::vector<unsigned>{300});
  EXPECT_EQ(fake.refs, 0u);

  // ...but a key cuts a voice that would never finish.
  ASSERT_TRUE(voice.start(1, 0, 0, program));
  program.duringWait = nullptr;
  program.key = true;
  voice.speak("sem fim");
  voice.end();
  EXPECT_EQ(fake.said.back().second, 2);
  EXPECT_EQ(fake.refs, 0u);
}

TEST_F(Win32Sapi5Voice, SystemVoiceStartsOrFailsCleanly) {
  Sapi5Voice voice(window);
  if (voice.start(0, 0, 0, program)) {
    voice.speak("teste");  // wine's SpVoice would refuse it with a beep
    voice.stop();
    program.key = true;
    voice.end();
  }
  EXPECT_FALSE(voice.isSpeaking(0));
}

}  // namespace
