// Number words and character names of the normalisation stage. Accented
// letters are Windows-1252 escapes; a string is split after an escape that
// a hex digit follows ("d\xE9" "cimo"), or the compiler would read them as
// one escape.
#include <array>
#include <string>
#include <string_view>

#include "tts/normalise.h"

namespace {

constexpr std::array<const char*, 10> kUnits = {
    "zero", "um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "sete", "oito", "nove"};
constexpr std::array<const char*, 10> kTeens = {
    "dez",    "onze",      "doze",      "treze",   "quatorze",
    "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
constexpr std::array<const char*, 10> kTens = {
    "",        "",         "vinte",   "trinta",  "quarenta", "cinq\xFC" "enta",
    "sessenta", "setenta", "oitenta", "noventa"};
constexpr std::array<const char*, 10> kHundreds = {
    "",           "cento",      "duzentos",   "trezentos", "quatrocentos",
    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
constexpr std::array<const char*, 10> kOrdinalUnits = {
    "",       "primeiro", "segundo",    "terceiro", "quarto",
    "quinto", "sexto",    "s\xE9timo", "oitavo",   "nono"};
constexpr std::array<const char*, 10> kOrdinalTens = {
    "",
    "d\xE9" "cimo",
    "vig\xE9simo",
    "trig\xE9simo",
    "quadrag\xE9simo",
    "quinquag\xE9simo",
    "sexag\xE9simo",
    "septuag\xE9simo",
    "octag\xE9simo",
    "nonag\xE9simo"};
constexpr std::array<const char*, 10> kOrdinalHundreds = {
    "",
    "cent\xE9simo",
    "ducent\xE9simo",
    "tricent\xE9simo",
    "quadrigent\xE9simo",
    "quingent\xE9simo",
    "seiscent\xE9simo",
    "septigent\xE9simo",
    "octigent\xE9simo",
    "nongent\xE9simo"};

// Names of the groups of three digits, highest first: singular, plural.
// The trailing blank lets the next group follow without one of its own.
constexpr std::array<std::array<const char*, 2>, 5> kGroupNames = {{
    {"trilh\xE3o ", "trilh\xF5" "es "},
    {"bilh\xE3o ", "bilh\xF5" "es "},
    {"milh\xE3o ", "milh\xF5" "es "},
    {"mil ", "mil "},
    {"", ""},
}};

constexpr uint64_t kCardinalLimit = 1000000000000000ull;  // 10^15

// Codes 32 to 126. The accents and the blanks before C and D steer the
// letter-to-sound rules to the spoken names.
constexpr std::array<const char*, 95> kAsciiNames = {
    "espa\xE7o", "exclama\xE7\xE3o", "aspas", "sustenido", "cifr\xE3o", "porcento",
    "\xE9 comercial", "ap\xF3strofo", "abre par\xEAnteses", "fecha par\xEAnteses",
    "asterisco", "mais", "v\xEDrgula", "tra\xE7o", "ponto", "barra",
    "z\xE9ro", "um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "s\xE9te",
    "oito", "n\xF3ve", "dois pontos", "ponto e v\xEDrgula", "menor que", "igual",
    "maior que", "interroga\xE7\xE3o", "arr\xF4" "ba",
    // A to Z
    "a", "b\xEA", " s\xEA", " d\xEA", "\xE9", "\xE9" "fe", "j\xEA", "ag\xE1", "i",
    "j\xF3ta", "c\xE1", "\xE9le", "\xEAme", "\xEAne", "\xF3", "p\xEA", "qu\xEA",
    "\xE9rre", "\xE9sse", "t\xEA", "u", "v\xEA", "d\xE1" "bliu", "xis", "\xEDpsilon",
    "z\xEA",
    "abre colchete", "barra invertida", "fecha colchete", "circunflexo",
    "sublinhado", "crase",
    // a to z: as the capitals, but for j and n
    "a", "b\xEA", " s\xEA", " d\xEA", "\xE9", "\xE9" "fe", "j\xEA", "ag\xE1", "i",
    "jota", "c\xE1", "\xE9le", "\xEAme", "ene", "\xF3", "p\xEA", "qu\xEA",
    "\xE9rre", "\xE9sse", "t\xEA", "u", "v\xEA", "d\xE1" "bliu", "xis", "\xEDpsilon",
    "z\xEA",
    "abre chave", "barra vertical", "fecha chave", "til"};

// Codes 161 to 191.
constexpr std::array<const char*, 31> kSignNames = {
    "exclama\xE7\xE3o reversa", "centavos de d\xF3lar", "libras",
    "s\xEDmbolo de moeda", "iene", "barra interrompida", "par\xE1grafo", "trema",
    "copyright", "ordinal feminino", "Aspas esquerdas", "nega\xE7\xE3o",
    "h\xED" "fen", "Marca registrada", "m\xE1" "cron", "grau", "mais ou menos",
    "elevado ao quadrado", "elevado ao cubo", "acento agudo", "mi", "pi",
    "ponto no meio", "cedilha", "expoente um", "ordinal masculino",
    "aspas direitas", "um quarto", "um meio", "tr\xEAs quartos",
    "interroga\xE7\xE3o reversa"};

// Codes 192 to 220; the small letters 224 to 252 share them.
constexpr std::array<const char*, 29> kAccentedNames = {
    "A grave", "A agudo", "A circunflexo", "A com til", "A com trema", "A bola",
    "A \xC9", "C\xEA cedilha", "\xC9 grave", "\xC9 agudo", "\xC9 circunflexo",
    "\xC9 com trema", "I grave", "I agudo", "I circunflexo", "I com trema",
    "D\xEA cortado", "N com til", "\xD3 grave", "\xD3 agudo", "\xD3 circunflexo",
    "\xD3 com til", "\xD3 tremado", "vezes", "\xD3 cortado", "U grave", "U agudo",
    "U circunflexo", "U com trema"};

// Every entry given: a short list would leave null names at its end.
static_assert(kAsciiNames.back() != nullptr && kSignNames.back() != nullptr &&
              kAccentedNames.back() != nullptr);

std::string digitByDigit(uint64_t value) {
  std::string digits = std::to_string(value), words;
  for (char d : digits) {
    if (!words.empty()) words += ' ';
    words += kUnits[static_cast<size_t>(d - '0')];
  }
  return words;
}

}  // namespace

std::string groupWords(std::string_view digits) {
  if (digits.size() != 3) return "";
  for (char d : digits)
    if (d < '0' || d > '9') return "";
  if (digits == "000") return "";
  if (digits == "100") return "cem";
  const size_t h = static_cast<size_t>(digits[0] - '0');
  const size_t t = static_cast<size_t>(digits[1] - '0');
  const size_t u = static_cast<size_t>(digits[2] - '0');
  std::string words;
  if (h != 0) {
    words = kHundreds[h];
    if (t != 0 || u != 0) words += " e ";
  }
  if (t == 1) return words + kTeens[u];
  if (t != 0) {
    words += kTens[t];
    if (u != 0) words += " e ";
  }
  if (u != 0) words += kUnits[u];
  return words;
}

std::string cardinalWords(uint64_t value) {
  if (value == 0) return "zero";
  // Beyond the fifteen digits the groups name, the digits one by one.
  if (value >= kCardinalLimit) return digitByDigit(value);
  std::string all(15, '0');
  for (size_t i = all.size(); value > 0; value /= 10)
    all[--i] = static_cast<char>('0' + value % 10);
  std::array<std::string, 5> groups;
  size_t last = 0;
  for (size_t g = 0; g < groups.size(); ++g) {
    const std::string_view three = std::string_view(all).substr(3 * g, 3);
    groups[g] = groupWords(three);
    if (three == "000") continue;
    const char* name = kGroupNames[g][three == "001" ? 0 : 1];
    if (*name != '\0') groups[g] += std::string(" ") + name;
    last = g;
  }
  std::string words;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].empty()) continue;
    if (!words.empty() && g == last) words += "e ";
    words += groups[g];
  }
  // "um mil" is said "mil"; "um milhão" keeps its "um".
  if (words.starts_with("um mil") && !words.starts_with("um milh")) words.erase(0, 3);
  while (!words.empty() && words.back() == ' ') words.pop_back();
  return words;
}

std::string ordinalWords(bool feminine, uint64_t value) {
  if (value >= 2000) return cardinalWords(value);
  if (value == 0) return "zero";
  const std::array<const char*, 4> parts = {
      value >= 1000 ? "mil\xE9simo" : "", kOrdinalHundreds[value / 100 % 10],
      kOrdinalTens[value / 10 % 10], kOrdinalUnits[value % 10]};
  std::string words;
  for (const char* part : parts) {
    if (*part == '\0') continue;
    if (!words.empty()) words += ' ';
    words += part;
    if (feminine) words.back() = 'a';
  }
  return words;
}

std::string symbolName(unsigned char c) {
  if (c >= 32 && c <= 126) return kAsciiNames[c - 32u];
  if (c >= 161 && c <= 191) return kSignNames[c - 161u];
  if (c >= 192 && c <= 220) return kAccentedNames[c - 192u];
  // The division sign sits where the small letters mirror the multiplication
  // sign; it is not "vezes".
  if (c == 247) return "dividido por";
  if (c >= 224 && c <= 252) return kAccentedNames[c - 224u];
  return "";
}
