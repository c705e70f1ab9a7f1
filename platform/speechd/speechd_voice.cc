#include "platform/speechd/speechd_voice.h"

#include <libspeechd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <strings.h>
#include <thread>
#include <thread>
#include <vector>

#include "platform/shared/codepage.h"

namespace plat::speechd {
namespace {

// The voice whose connection is open: libspeechd's callbacks carry no
// pointer of ours. Read on the service's thread.
std::atomic<SpeechdVoice*> connected{nullptr};

SPDConnection* asConnection(void* c) { return static_cast<SPDConnection*>(c); }

bool isBrazilian(const SPDVoice& v) {
  return v.language && (strcasecmp(v.language, "pt-BR") == 0 ||
                        strcasecmp(v.language, "pt_BR") == 0);
}

std::vector<std::string> brazilianVoices(SPDConnection* c) {
  std::vector<std::string> names;
  SPDVoice** all = spd_list_synthesis_voices(c);
  for (int i = 0; all && all[i]; ++i) {
    if (all[i]->name && isBrazilian(*all[i])) names.emplace_back(all[i]->name);
  }
  if (all) free_spd_voices(all);
  return names;
}

// A server that answers and then stops answering blocks every libspeechd
// call for good (seen with a server whose audio output failed). So each
// call runs on a helper thread and the program waits a bounded time; a
// call that does not return leaves its thread blocked in the library and
// the connection given up.
constexpr auto kConnectLimit = std::chrono::seconds(5);  // may spawn a server
constexpr auto kCallLimit = std::chrono::seconds(1);
constexpr auto kListLimit = std::chrono::seconds(20);  // seen at 7.5 s
// The service begins a text within milliseconds; one it has not begun by
// then will not be.
constexpr auto kBeginLimit = std::chrono::seconds(2);
// A text begun but never ended (a server that died while speaking) is given
// up after far longer than any voice needs to say it.
constexpr auto kSpeakLimitBase = std::chrono::seconds(10);
constexpr auto kSpeakLimitPerChar = std::chrono::milliseconds(200);
// While a text goes on, each question waits this long for news, then wakes
// the program's wait so that it asks again: the limits above are looked
// at even when the service sends nothing.
constexpr auto kPollStep = std::chrono::milliseconds(20);

template <typename F>
bool returnsWithin(std::chrono::milliseconds limit, F call) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> returned = done->get_future();
  std::thread([done, call]() mutable {
    call();
    done->set_value();
  }).detach();
  return returned.wait_for(limit) == std::future_status::ready;
}

// Connections given up on stay reachable: closing them would block too.
std::vector<void*> abandoned;

void raiseTo(std::atomic<size_t>& value, size_t at_least) {
  size_t now = value.load();
  while (now < at_least && !value.compare_exchange_weak(now, at_least)) {
  }
}

}  // namespace

SpeechdVoice::~SpeechdVoice() { end(); }

int SpeechdVoice::rateOf(int rate) {
  if (rate == 0) return 0;
  const double steps = 100.0 * std::log(plat::voiceSpeedFactor(rate)) / std::log(3.0);
  return static_cast<int>(std::lround(std::clamp(steps, -100.0, 100.0)));
}

int SpeechdVoice::pitchOf(int pitch) {
  return static_cast<int>(std::clamp(10L * pitch, -100L, 100L));
}

void SpeechdVoice::onEvent(size_t messageId, size_t clientId, int state) {
  (void)clientId;
  SpeechdVoice* v = connected.load();
  if (v == nullptr) return;
  if (state == SPD_EVENT_BEGIN) {
    ++v->begun_;
    raiseTo(v->lastBegun_, messageId);
  } else {
    raiseTo(v->finished_, messageId);
  }
  v->wakeProgram();
}

void SpeechdVoice::wakeProgram() {
  plat::Event e;
  e.kind = plat::EventKind::kUser;
  e.code = plat::kMsgWakeOther;
  wake_.postEvent(e);
}

bool SpeechdVoice::start(int voice, int rate, int pitch, plat::SampleSink& sink) {
  (void)sink;  // its sound goes its own way
  end();
  // The helper may connect after the wait gave up: it then closes what it
  // opened itself.
  struct Opening {
    std::mutex lock;
    SPDConnection* connection = nullptr;
    bool givenUp = false;
  };
  auto opening = std::make_shared<Opening>();
  returnsWithin(kConnectLimit, [opening, spawn = autospawn_] {
    char* error = nullptr;
    SPDConnection* c = spd_open2("talonix", "speech", nullptr,
                                 SPD_MODE_THREADED, nullptr, spawn ? 1 : 0, &error);
    std::free(error);
    std::lock_guard<std::mutex> hold(opening->lock);
    if (opening->givenUp && c != nullptr) spd_close(c);
    else opening->connection = c;
  });
  SPDConnection* c = nullptr;
  {
    // A connection made just after the wait ended is taken all the same.
    std::lock_guard<std::mutex> hold(opening->lock);
    c = opening->connection;
    opening->givenUp = c == nullptr;
  }
  if (c == nullptr) return false;
  connection_ = c;
  said_ = 0;
  finished_ = 0;
  begun_ = 0;
  lastBegun_ = 0;
  connected = this;
  auto relay = [](size_t id, size_t client, SPDNotificationType state) {
    onEvent(id, client, static_cast<int>(state));
  };
  c->callback_begin = relay;
  c->callback_end = relay;
  c->callback_cancel = relay;
  const bool ready = returnsWithin(kCallLimit, [c, rate, pitch] {
    spd_set_notification_on(c, SPD_BEGIN);
    spd_set_notification_on(c, SPD_END);
    spd_set_notification_on(c, SPD_CANCEL);
    spd_set_language(c, "pt-BR");
    spd_set_voice_rate(c, rateOf(rate));
    spd_set_voice_pitch(c, pitchOf(pitch));
  });
  // Voice 0 is the language's own first voice: the server's list of voices
  // takes seconds to come, so it is asked for only when a voice is chosen.
  auto chosenName = std::make_shared<std::string>();
  const bool chosen = !ready || voice < 1 ||
                      returnsWithin(kListLimit, [c, voice, chosenName] {
    const std::vector<std::string> names = brazilianVoices(c);
    if (names.empty()) return;
    const size_t index =
        static_cast<size_t>(voice) <= names.size() ? voice - 1 : 0;
    if (spd_set_synthesis_voice(c, names[index].c_str()) == 0)
      *chosenName = names[index];
  });
  if (!ready || !chosen) {
    giveUp();
    return false;
  }
  voiceName_ = *chosenName;
  return true;
}

void SpeechdVoice::speak(std::string_view text) {
  if (connection_ == nullptr) return;
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return;
  SPDConnection* c = asConnection(connection_);
  auto id = std::make_shared<std::atomic<int>>(0);
  const std::string utf8 = plat::cp1252ToUtf8(text.substr(first));
  if (!returnsWithin(kCallLimit, [c, id, utf8] {
        *id = spd_say(c, SPD_MESSAGE, utf8.c_str());
      })) {
    giveUp();
    return;
  }
  if (*id > 0) {
    raiseTo(said_, static_cast<size_t>(*id));
    saidAt_ = std::chrono::steady_clock::now();
    giveUpAt_ = saidAt_ + kSpeakLimitBase + kSpeakLimitPerChar * static_cast<int>(utf8.size());
  }
}

bool SpeechdVoice::isSpeaking(int kind) {
  (void)kind;  // the service tells only whether a text is still going
  if (connection_ == nullptr) return false;
  const size_t said = said_.load();
  if (finished_.load() >= said) return false;
  // A text the service never began, or never ended, is not waited for.
  const auto now = std::chrono::steady_clock::now();
  if ((lastBegun_.load() < said && now - saidAt_ > kBeginLimit) || now > giveUpAt_) {
    raiseTo(finished_, said);
    return false;
  }
  std::this_thread::sleep_for(kPollStep);
  wakeProgram();
  return finished_.load() < said;
}

void SpeechdVoice::stop() {
  if (connection_ == nullptr) return;
  SPDConnection* c = asConnection(connection_);
  if (!returnsWithin(kCallLimit, [c] { spd_cancel(c); })) {
    giveUp();
    return;
  }
  // Whatever was handed over is gone, whether or not its cancel event
  // arrives.
  raiseTo(finished_, said_.load());
}

void SpeechdVoice::end() {
  if (connection_ == nullptr) return;
  stop();
  if (connection_ == nullptr) return;  // given up while stopping
  connected = nullptr;
  SPDConnection* c = asConnection(connection_);
  connection_ = nullptr;
  if (!returnsWithin(kCallLimit, [c] { spd_close(c); })) abandoned.push_back(c);
}

void SpeechdVoice::giveUp() {
  connected = nullptr;
  abandoned.push_back(connection_);
  connection_ = nullptr;
}

}  // namespace plat::speechd
