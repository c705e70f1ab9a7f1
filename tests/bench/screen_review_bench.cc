// Screen review as a user meets it, over the kit this build generated, on
// the headless machine, with the screen full of text:
// - a review key that reads one word (F1): the wall time from the key
//   reaching the program's window to the word being handed to speech;
// - TT, the whole screen: the wall time from its second letter reaching
//   the window to the first word being handed to speech (a key typed a
//   few words in stops the rest of the reading).
// Both on the diphone path and with a platform voice (the headless test
// voice) speaking the texts.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/key_script.h"
#include "speech/screen_review.h"
#include "speech/speech.h"
#include "tests/bench/kit_machine.h"

#ifdef TALONIX_VOICE_KIT_DIR
namespace {

using Clock = std::chrono::steady_clock;

// When the measured key reached the window (the first key down after
// `keyDownsToSkip` others), and when the first text after it was handed
// to speech.
Clock::time_point keyArrived, textHanded;
int keyDownsToSkip = -1;  // -1: not measuring
bool waitingForText = false;
int textsHanded = 0;

void measureKey(int skipped) {
  keyDownsToSkip = skipped;
  waitingForText = false;
}

bool timedWindowProc(const plat::Event& event) {
  if (event.kind == plat::EventKind::kKeyDown && keyDownsToSkip >= 0 &&
      keyDownsToSkip-- == 0) {
    keyArrived = Clock::now();
    waitingForText = true;
  }
  return consoleWindowProc(event);
}

void noteSpeech(std::string_view line) {
  if (line.substr(0, 4) == "say ") ++textsHanded;
  if (waitingForText && line.substr(0, 4) == "say ") {
    textHanded = Clock::now();
    waitingForText = false;
  }
}

class ReviewMachine : public benchkit::KitMachine {
 public:
  explicit ReviewMachine(bool engine)
      : benchkit::KitMachine("review",
                             engine ? "[TRADUTOR]\r\nSAPI=S\r\n[SERVFALA]\r\nTIPOSAPI=5\r\n" : "",
                             &timedWindowProc) {
    plat::setRecorder(&noteSpeech);
    initSpeech(3, "");
    for (int row = 0; row < kConsoleRows; ++row) {
      writeText("Favorecido: MERCADO CENTRAL  valor 1.234,56  data 07/03/2025  saldo");
      if (row + 1 < kConsoleRows) writeLineEnd();
    }
    moveCursor(1, 1);
  }
  ~ReviewMachine() { plat::setRecorder(nullptr); }
  // Keys typed when the program waits for them; `during` is pressed at
  // the program's waitsInto-th wait for a message after them, while it
  // still speaks.
  void press(const std::vector<std::string>& keys, const std::string& during = "",
             int waitsInto = 0) {
    std::vector<plat::headless::KeyGroup> groups(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) plat::headless::keyEvents(keys[i], &groups[i].events);
    if (!during.empty()) {
      groups.emplace_back();
      plat::headless::keyEvents(during, &groups.back().events);
      groups.back().bargeInWaits = waitsInto;
    }
    platform().addKeyGroups(groups);
  }
};

double secondsFromKeyToText() {
  return std::chrono::duration<double>(textHanded - keyArrived).count();
}

void BM_ReviewKeyToWord(benchmark::State& state) {
  ReviewMachine machine(state.range(0) != 0);
  for (auto _ : state) {
    machine.press({"F1", "Esc"});
    measureKey(0);
    reviewScreen();
    state.SetIterationTime(secondsFromKeyToText());
  }
}
BENCHMARK(BM_ReviewKeyToWord)->Arg(0)->Arg(1)->ArgName("engine")->UseManualTime()->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

void BM_ReviewWholeScreenFirstWord(benchmark::State& state) {
  ReviewMachine machine(state.range(0) != 0);
  textsHanded = 0;
  for (auto _ : state) {
    // The user stops the reading a few words in, and leaves.
    machine.press({"T", "T"}, "Esc", 4);
    measureKey(1);
    reviewScreen();
    state.SetIterationTime(secondsFromKeyToText());
    while (keyAvailable()) readKey();
  }
  state.counters["texts_per_reading"] =
      static_cast<double>(textsHanded) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReviewWholeScreenFirstWord)->Arg(0)->Arg(1)->ArgName("engine")->UseManualTime()->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
#endif  // TALONIX_VOICE_KIT_DIR
