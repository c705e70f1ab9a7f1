#include "tts/engine_text.h"

#include "tts/letter_rules.h"
#include "tts/normalise.h"
#include "tts/prosody.h"
#include "tts/tts_text.h"

namespace {

EngineTextState engineRecord;

constexpr size_t kLastErrorLimit = 255;

std::string orDefault(const std::string& name, const char* fallback) {
  return name.empty() ? std::string(fallback) : name;
}

bool fail(std::string_view reason) {
  engineRecord.lastError = std::string(reason.substr(0, kLastErrorLimit));
  return false;
}

}  // namespace

EngineTextState& engineTextState() { return engineRecord; }

void resetEngineText() {
  engineRecord = EngineTextState();
  resetLetterRules();
  resetNormalise();
  resetProsody();
  tts::setMessageHandler(nullptr);
}

bool engineLoadTables(const EngineFiles& files) {
  EngineTextState& s = engineRecord;
  s.ready = false;
  resetLetterRules();
  resetProsody();
  if (!loadRules(orDefault(files.rules, "portug.nrl")) ||
      !loadExceptions(orDefault(files.exceptions, "portug.exc"))) {
    return fail("Erro na base de dados de portugu\xEAs");
  }
  if (!loadAbbreviations(orDefault(files.abbreviations, "portug.abr"))) {
    return fail("Erro no arquivo de abreviaturas");
  }
  if (!loadProsody(orDefault(files.prosody, "portug.pro")) ||
      !loadDiphones(orDefault(files.definitions, "portug.dfn"))) {
    return fail("Erro no arquivo de pros\xF3" "dia");
  }
  s.ready = true;
  return true;
}

void engineSetFactors(double pitchFactor, double durationFactor) {
  engineRecord.pitchFactor = pitchFactor;
  engineRecord.durationFactor = durationFactor;
}

std::vector<std::string> enginePhonemeLines(std::string_view text) {
  if (tts::trimmed(text).empty()) return {};
  const std::string normalised = normaliseText(text);
  const std::vector<std::string> patterns = chooseIntonation(tokenise(normalised));
  return timePhonemes(transcribeTokens(patterns), engineRecord.pitchFactor,
                      engineRecord.durationFactor);
}
