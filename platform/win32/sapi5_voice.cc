#include "platform/win32/sapi5_voice.h"

#include <string>

namespace plat::win32 {

const CLSID kClsidSpVoice = {
    0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};

namespace {

// Every event the voice can raise: the speak-complete event is only kept
// up to date for the events asked for.
constexpr SpeechVoiceEvents kAllEvents = static_cast<SpeechVoiceEvents>(33790);
constexpr SpeechVoiceSpeakFlags kSpeakAsyncPlain =
    static_cast<SpeechVoiceSpeakFlags>(SVSFlagsAsync | SVSFIsNotXML);
constexpr DWORD kPollMs = 20;
constexpr unsigned kStopSettleMs = 50;
constexpr unsigned kEndPollMs = 300;

}  // namespace

bool Sapi5Voice::start(int voice, int rate, int pitch, plat::SampleSink& sink) {
  (void)pitch;  // the voice's pitch is set only through its XML markup
  release();
  ComRef<ISpeechVoice> v;
  if (FAILED(create_(kClsidSpVoice, __uuidof(ISpeechVoice), v.outVoid())) || !v)
    return false;
  v->put_EventInterests(kAllEvents);
  const Bstr none(L"");
  ComRef<ISpeechObjectTokens> tokens;
  LONG count = 0;
  if (FAILED(v->GetVoices(none.get(), none.get(), tokens.out())) || !tokens ||
      FAILED(tokens->get_Count(&count)) || count <= 0)
    return false;
  if (voice < 1 || voice > count) {
    voice = 1;
    rate = 0;
  }
  ComRef<ISpeechObjectToken> token;
  if (FAILED(tokens->Item(voice - 1, token.out())) || !token ||
      FAILED(v->putref_Voice(token.get())))
    return false;
  v->put_Rate(rate);  // a voice that refuses the rate speaks at its own
  // Without its event nobody could wait for the voice or cut it short.
  LONG event = 0;
  if (FAILED(v->SpeakCompleteEvent(&event)) || event == 0) return false;
  voice_ = std::move(v);
  done_ = LongToHandle(event);
  sink_ = &sink;
  return true;
}

void Sapi5Voice::speak(std::string_view text) {
  if (!voice_) return;
  std::wstring wide = wideFrom1252(text);
  if (wide.empty()) wide = L" ";
  const Bstr said(wide);
  LONG stream = 0;
  if (!said || FAILED(voice_->Speak(said.get(), kSpeakAsyncPlain, &stream)))
    window_.messageBeep();
}

bool Sapi5Voice::isSpeaking(int kind) {
  (void)kind;  // the event tells only whether the voice is done
  if (!voice_) return false;
  if (WaitForSingleObject(done_, kPollMs) != WAIT_TIMEOUT) return false;
  window_.postMessage(plat::kMsgWakeOther);
  return true;
}

void Sapi5Voice::stop() {
  if (!voice_) return;
  // A blank spoken with the purge flag throws away everything queued.
  const Bstr blank(L" ");
  LONG stream = 0;
  voice_->Speak(blank.get(), SVSFPurgeBeforeSpeak, &stream);
  sink_->waitMs(kStopSettleMs);
}

void Sapi5Voice::end() {
  if (!voice_) return;
  // A key cuts what is left: a voice whose event never comes would
  // otherwise hold the program here for good.
  while (isSpeaking(0)) {
    plat::SampleSink* program = sink_;  // kept while messages are handled
    if (program->keyWaiting()) {
      stop();
      break;
    }
    program->waitMs(kEndPollMs);
  }
  release();
}

void Sapi5Voice::release() {
  voice_.reset();
  done_ = nullptr;
  sink_ = nullptr;
}

}  // namespace plat::win32
