// The Portuguese engine's text side: its tables loaded from the five data
// files, its two factors, and the stages that turn a text into the phoneme
// lines handed to the synthesizer.
#ifndef TALONIX_TTS_ENGINE_TEXT_H_
#define TALONIX_TTS_ENGINE_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

// The data file names; an empty one takes its default (a bare name,
// looked for in the current directory).
struct EngineFiles {
  std::string rules, exceptions, definitions, prosody, abbreviations;
};

// Owned by engine_text.cc.
struct EngineTextState {
  double pitchFactor = 1.0;
  double durationFactor = 1.0;
  std::string lastError;  // why the last start failed, at most 255 bytes
  bool ready = false;     // the tables of the last start all loaded
};
EngineTextState& engineTextState();
// Factors back to 1.0, tables and last error emptied, the loaders messages
// recorded again.
void resetEngineText();

// Frees the tables of an earlier start, then loads the rules and the
// exceptions ("Erro na base de dados de portugu\xEAs"), the abbreviations
// ("Erro no arquivo de abreviaturas"), the prosody and the definitions
// ("Erro no arquivo de pros\xF3" "dia"); the first failure sets the last
// error and returns false.
bool engineLoadTables(const EngineFiles& files);
void engineSetFactors(double pitchFactor, double durationFactor);
// The synthesizer's input lines for a Windows-1252 text, through
// normalisation, tokens, intonation, letter-to-sound and timing; none for a
// text of only blanks and control characters.
std::vector<std::string> enginePhonemeLines(std::string_view text);

#endif  // TALONIX_TTS_ENGINE_TEXT_H_
