// The voice's own letter-to-sound data, read by the real rules engine: one
// word for each spelling the rules and exceptions must get right, so that a
// change to either file that breaks a family of words shows here.
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "synth/diphone_rules.h"

namespace {

std::string voiceFile(const char* name) {
  std::ifstream in(std::string(TALONIX_SOURCE_DIR) + "/data/voice/" + name,
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Word {
  const char* text;  // Windows-1252
  const char* groups;
};

// Upper case marks the stressed vowel; a blank starts a syllable.
const Word kWords[] = {
    // c, qu, k, ch, c cedilla, ss, s between vowels, sc, xc
    {"casa", "[ k/A/ z/a^]"},
    {"cheque", "[ x/E^/ k/i]"},
    {"quando", "[ kw/A~/ d/u]"},
    {"kilo", "[ k/I/ l/u]"},
    {"lan\xE7" "amento", "[ l/a~/ s/a^/ m/E~/ t/u]"},
    {"passo", "[ p/A/ s/u]"},
    {"nascer", "[ n/a/ s/E^/rr]"},
    {"cres\xE7" "a", "[ k/r/E^/ s/a^]"},
    {"exceto", "[i/ s/E^/ t/u]"},
    // x: ch by default, ks and s from the exceptions, z after a first e,
    // s closing a syllable
    {"xarope", "[ x/a/ r/O^/ p/i]"},
    {"baixo", "[ b/A/y/ x/u]"},
    {"t\xE1xi", "[ t/A/ ks/i]"},
    {"pr\xF3ximo", "[ p/r/O/ s/i/ m/u]"},
    {"exame", "[e^/ z/A^/ m/i]"},
    {"texto", "[ t/E^/s/ t/u]"},
    // g, gu, j, silent h, lh, nh
    {"gente", "[ j/E~/ tch/i]"},
    {"guerra", "[ g/E/ rr/a^]"},
    {"\xE1gua", "[A/ gw/a^]"},
    {"hoje", "[/O^/ j/i]"},
    {"filho", "[ f/I/ lh/u]"},
    {"banho", "[ b/A^/ nh/u]"},
    // r, rr, l and s closing a syllable
    {"rato", "[ rr/A/ t/u]"},
    {"caro", "[ k/A/ r/u]"},
    {"honra", "[/O~/ rr/a^]"},
    {"porta", "[ p/O/rr/ t/a^]"},
    {"sol", "[ s/O/w]"},
    {"mesmo", "[ m/E^/z/ m/u]"},
    // nasal vowels and diphthongs
    {"campo", "[ k/A~/ p/u]"},
    {"homens", "[/O/ m/e~y/s]"},
    {"falam", "[ f/A/ l/a~w]"},
    {"m\xE3" "e", "[ m/A~y]"},
    {"p\xF5" "e", "[ p/O~y]"},
    {"irm\xE3os", "[i/rr/ m/A~w/s]"},
    {"muito", "[ m/U~/y/ t/u]"},
    // t and d before i, final e and o
    {"tia", "[ tch/I/ a^]"},
    {"cidade", "[ s/i/ d/A/ dj/i]"},
    {"noite", "[ n/O^/y/ tch/i]"},
    // written accents, hiatus and diphthongs
    {"d\xE9" "bito", "[ d/E/ b/i/ t/u]"},
    {"voc\xEA", "[ v/o^/ s/E^]"},
    {"c\xE2mara", "[ k/A^/ m/a/ r/a^]"},
    {"sa\xED" "da", "[ s/a/ I/ d/a^]"},
    {"rainha", "[ rr/a/ I/ nh/a^]"},
    {"saiu", "[ s/a/ I/w]"},
    {"c\xE9u", "[ s/E/w]"},
    // a consonant closing a syllable keeps a vowel after it
    {"advogado", "[a/ dji/ v/o^/ g/A/ d/u]"},
    // exceptions: qu said kw, a stressed closed e, an abbreviation
    {"cinquenta", "[ s/i~/ kw/E~/ t/a^]"},
    {"este", "[E^/s/ tch/i]"},
    {"dr", "[ d/O/w/ t/o^/rr]"},
    // a word without vowels is spelled
    {"cpf", "[ /_c][ /_p][ /_f]"},
};

TEST(VoiceRules, TranscribesEachSpellingFamily) {
  const std::string rules = voiceFile("regras.rgr");
  const std::string exceptions = voiceFile("portug.exc");
  ASSERT_FALSE(rules.empty());
  ASSERT_FALSE(exceptions.empty());
  loadDiphoneRulesFromBytes(rules);
  loadDiphoneExceptionsFromBytes(exceptions);
  for (const Word& w : kWords) {
    EXPECT_EQ(transcribeForDiphones(w.text), w.groups) << w.text;
  }
  // The plural of an exception keeps the exception's reading.
  EXPECT_EQ(transcribeForDiphones("cheques"), "[ x/E^/ k/i/s]");
  freeDiphoneRules();
}

}  // namespace
