// speakText: hands a text to the engine, or reads it on the diphone path
// item by item (zeros, numbers, runs of words, marks), checking the key
// queue before each item so that a key cuts it off.
#include <string>

#include "console/keyboard.h"
#include "platform/platform.h"
#include "speech/number_words.h"
#include "speech/speech.h"
#include "synth/diphone_rules.h"
#include "synth/diphone_synth.h"
#include "synth/speech_settings.h"

namespace {

bool isLetter(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

bool isWordChar(uint8_t c) { return c == ' ' || isLetter(c); }

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// The diphone path's cursor over the text being spoken.
struct Reader {
  std::string text;
  size_t pos = 0;
  uint8_t remembered = ' ';  // for the repetition guard
  int repeats = 0;

  bool done() const { return pos >= text.size(); }
  uint8_t at(size_t offset) const {
    return pos + offset < text.size()
               ? static_cast<uint8_t>(text[pos + offset])
               : uint8_t{' '};
  }
  size_t left() const { return text.size() - pos; }
  bool startsWith(std::string_view prefix) const {
    return text.compare(pos, prefix.size(), prefix) == 0;
  }
  template <typename Pred>
  std::string takeRun(Pred belongs) {
    size_t end = pos;
    while (end < text.size() && belongs(static_cast<uint8_t>(text[end])))
      ++end;
    std::string run = text.substr(pos, end - pos);
    pos = end;
    return run;
  }
};

// A pause-making mark at the reader's position.
void punctuation(const Reader& r) {
  if (keyAvailable()) return;
  waitSpeech();
  const SpeechState& s = speechState();
  const SpeechSettings& pauses = speechSettings();
  const uint8_t mark = r.at(0);
  const bool blankNext = r.at(1) == ' ';
  if (s.speakPunctuationNames) speakChar(mark);
  switch (mark) {
    case '(': case ')': case ':': case ';':
      speechPause(pauses.colonPause);
      break;
    case ',': case '-':
      if (blankNext) speechPause(pauses.commaPause);
      else if (!s.speakPunctuationNames) speakChar(mark);
      break;
    case '.':
      if (blankNext) speechPause(pauses.periodPause);
      else if (!s.speakPunctuationNames) speakChar('.');
      break;
    default:
      break;
  }
}

void speakNumberRun(Reader& r) {
  std::string run = r.takeRun([](uint8_t c) { return isDigit(c) || c == '-'; });
  if (run.find('-') != std::string::npos || run.size() >= 7) {
    spellText(run);
    return;
  }
  speakNumberWords(numberWords(static_cast<uint32_t>(std::stoul(run))), false);
}

void speakWordRun(Reader& r) {
  std::string run = r.takeRun(isWordChar);
  // Blanks belong to word runs, so "www" usually arrives with one beside
  // it (the blank added at the end, or the one after a colon).
  const size_t first = run.find_first_not_of(' ');
  const size_t last = run.find_last_not_of(' ');
  const std::string word =
      first == std::string::npos ? std::string()
                                 : run.substr(first, last - first + 1);
  if (upperText(word) == "WWW") spellText(word);
  else speakDiphoneGroups(transcribeForDiphones(run), false);
  // A hyphen inside a compound word is not spoken.
  if (r.at(0) == '-' && r.left() >= 2 && isLetter(r.at(1))) ++r.pos;
}

void speakOtherChar(Reader& r) {
  uint8_t c = r.at(0);
  if (c == r.remembered) {
    if (++r.repeats > 3) {
      click();
      c = ' ';
    }
  } else {
    r.remembered = c;
    r.repeats = 0;
  }
  if (r.startsWith("-")) {
    const uint8_t next = r.left() <= 2 ? uint8_t{' '} : r.at(1);
    if (next == ' ' || next == '-') punctuation(r);
    else if (isDigit(next)) speakSound("_MENOS");
    else speakChar('-');
  } else if (r.startsWith("://")) {
    spellText(r.text.substr(r.pos, 1));
  } else if (c == '(' || c == ')' || c == ',' || c == '.' || c == ':' ||
             c == ';') {
    punctuation(r);
  } else if (c == ' ' || c == '\t') {
    // nothing to say
  } else if (!keyAvailable()) {
    speakChar(c);
  }
  ++r.pos;
}

void speakOnDiphonePath(std::string_view text) {
  SpeechState& s = speechState();
  s.stopRequested = false;
  Reader r;
  r.text = std::string(text) + ' ';
  while (!s.stopRequested && !r.done()) {
    if (keyAvailable()) {
      stopSpeech();
      return;
    }
    while (r.at(0) == '0' && !r.done()) {
      speakSound("_zero");
      ++r.pos;
    }
    if (r.done()) break;
    const uint8_t c = r.at(0);
    if (c >= '1' && c <= '9') speakNumberRun(r);
    else if (isWordChar(c)) speakWordRun(r);
    else speakOtherChar(r);
  }
}

}  // namespace

void speakText(std::string_view text) {
  plat::record("say " + std::string(text));
  SpeechState& s = speechState();
  if (!s.engineActive) {
    speakOnDiphonePath(text);
    return;
  }
  waitSpeech();
  if (keyAvailable()) return;
  synthSpeak(text);
  s.utterancePending = true;
}
