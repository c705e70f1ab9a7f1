// The engine's phoneme symbols as espeak-ng's pt-br phonemes, and the
// nonsense words (carriers) each diphone is cut from.
#ifndef TALONIX_TOOLS_VOICE_DIPHONE_CARRIERS_H_
#define TALONIX_TOOLS_VOICE_DIPHONE_CARRIERS_H_

#include <string>
#include <string_view>
#include <vector>

// What decides a symbol's carrier and where it is cut.
enum class SymbolKind {
  kSilence,
  kVowel,          // may carry the stress
  kReducedVowel,   // unstressed final @ I U
  kGlide,
  kVoicelessStop,  // espeak puts its closure in the phoneme before
  kVoicedStop,     // its closure (a voice bar) follows espeak's event
  kConsonant,
  kWordFinal,      // r2 s2: said at the end of the word
};

struct EngineSymbol {
  const char* name;    // ours (docs/tts.md)
  const char* espeak;  // espeak-ng's mnemonic, as its phoneme events name it
  SymbolKind kind;
  const char* coda = nullptr;  // said so before a consonant or a pause
};

// The 41 symbols, in the order the voice file lists them.
const std::vector<EngineSymbol>& engineSymbols();
// Null when `name` is not one of them.
const EngineSymbol* findEngineSymbol(std::string_view name);

struct Carrier {
  std::string text;                   // espeak phoneme input: "[[...]]"
  std::vector<std::string> phonemes;  // the phoneme events expected, pauses left out
  int left = -1, right = -1;          // the diphone's two among them; -1: silence
};

// The carriers to try for the diphone, the most natural first: the pair
// between vowels (or at the edge of the word for silence), stressed on its
// own vowel when it has one.
std::vector<Carrier> carriersFor(const EngineSymbol& left, const EngineSymbol& right);

#endif  // TALONIX_TOOLS_VOICE_DIPHONE_CARRIERS_H_
