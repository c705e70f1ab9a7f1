#include "tts/normalise_amounts.h"

#include <array>
#include <cstdint>

#include "tts/normalise.h"
#include "tts/tts_text.h"

namespace {

constexpr size_t kMaxAmountDigits = 15;  // what cardinalWords reads

constexpr std::array<const char*, 12> kMonths = {
    "janeiro", "fevereiro", "mar\xE7o",  "abril",   "maio",     "junho",
    "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};

unsigned char charAt(std::string_view text, size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

// The number of digits from `from` on.
size_t digitRun(std::string_view text, size_t from) {
  size_t n = 0;
  while (tts::isDigit(charAt(text, from + n))) ++n;
  return n;
}

uint64_t valueOf(std::string_view digits) {
  uint64_t value = 0;
  for (char d : digits) value = value * 10 + static_cast<uint64_t>(d - '0');
  return value;
}

// A pattern ends where no further digit, letter or decimal part is glued
// to it, so "1/2/20251" or "14h30x" are not taken for a shorter form.
bool endsCleanly(std::string_view text, size_t p) {
  const unsigned char c = charAt(text, p);
  if (tts::isDigit(c) || tts::isLetter(c)) return false;
  return !((c == '.' || c == ',' || c == '/' || c == ':') &&
           tts::isDigit(charAt(text, p + 1)));
}

// "R$ 2 milhões", "R$ 1,5 mil": the scale word would land after "reais",
// so such amounts are left to the generic reading.
bool scaleWordFollows(std::string_view text, size_t p) {
  if (charAt(text, p) != ' ') return false;
  std::string word;
  for (++p; tts::isLetter(charAt(text, p)); ++p)
    word += static_cast<char>(tts::upper(charAt(text, p)));
  return word == "MIL" || word.starts_with("MILH") || word.starts_with("BILH") ||
         word.starts_with("TRILH");
}

std::string moneyWords(uint64_t reais, uint64_t cents) {
  std::string words;
  if (reais > 0 || cents == 0) {
    words = cardinalWords(reais);
    if (reais == 1)
      words += " real";
    else if (reais > 0 && reais % 1000000 == 0)
      words += " de reais";  // "um milhão de reais"
    else
      words += " reais";
  }
  if (cents > 0) {
    if (!words.empty()) words += " e ";
    words += cardinalWords(cents) + (cents == 1 ? " centavo" : " centavos");
  }
  return words;
}

bool readMoney(std::string_view text, size_t* at, std::string* out) {
  size_t p = *at;
  if (text.substr(p, 2) != "R$") return false;
  p += 2;
  if (charAt(text, p) == ' ') ++p;
  const size_t first = digitRun(text, p);
  if (first == 0) return false;
  std::string digits(text.substr(p, first));
  p += first;
  // Thousands separators only after a first group of one to three digits.
  while (first <= 3 && charAt(text, p) == '.' && digitRun(text, p + 1) == 3) {
    digits += text.substr(p + 1, 3);
    p += 4;
  }
  if (digits.size() > kMaxAmountDigits) return false;
  uint64_t cents = 0;
  if (charAt(text, p) == ',' && tts::isDigit(charAt(text, p + 1))) {
    const size_t decimals = digitRun(text, p + 1);
    if (decimals > 2) return false;
    cents = valueOf(text.substr(p + 1, decimals)) * (decimals == 1 ? 10 : 1);
    p += 1 + decimals;
  }
  if (!endsCleanly(text, p) || scaleWordFollows(text, p)) return false;
  *out += moneyWords(valueOf(digits), cents) + ' ';
  *at = p;
  return true;
}

// One or two digits at `*p` worth min..max, stepped over.
bool readSmall(std::string_view text, size_t* p, unsigned min, unsigned max,
               unsigned* value) {
  const size_t n = digitRun(text, *p);
  if (n < 1 || n > 2) return false;
  *value = static_cast<unsigned>(valueOf(text.substr(*p, n)));
  *p += n;
  return *value >= min && *value <= max;
}

bool readDate(std::string_view text, size_t* at, std::string* out) {
  size_t p = *at;
  unsigned day = 0, month = 0;
  if (!readSmall(text, &p, 1, 31, &day) || charAt(text, p) != '/') return false;
  ++p;
  if (!readSmall(text, &p, 1, 12, &month) || charAt(text, p) != '/') return false;
  ++p;
  const size_t yearDigits = digitRun(text, p);
  if (yearDigits != 2 && yearDigits != 4) return false;
  const std::string_view year = text.substr(p, yearDigits);
  p += yearDigits;
  if (!endsCleanly(text, p)) return false;
  std::string words = day == 1 ? "primeiro" : cardinalWords(day);
  words += std::string(" de ") + kMonths[month - 1] + " de ";
  // "05" is said as written: "zero cinco".
  if (year.size() == 2 && year[0] == '0') words += "zero ";
  words += cardinalWords(valueOf(year));
  *out += words + ' ';
  *at = p;
  return true;
}

std::string hourWords(unsigned hour) {
  std::string words = cardinalWords(hour);
  // Hours are feminine: "uma hora", "vinte e duas horas".
  if (hour % 10 == 1 && hour != 11) words += 'a';
  if (hour % 10 == 2 && hour != 12) words.replace(words.size() - 4, 4, "duas");
  return words + (hour <= 1 ? " hora" : " horas");
}

bool readTime(std::string_view text, size_t* at, std::string* out) {
  size_t p = *at;
  unsigned hour = 0, minute = 0;
  if (!readSmall(text, &p, 0, 23, &hour)) return false;
  const unsigned char mark = charAt(text, p);
  if (mark != 'h' && mark != ':') return false;
  ++p;
  const bool hasMinutes = digitRun(text, p) == 2;
  if (mark == ':' && !hasMinutes) return false;
  if (hasMinutes) {
    minute = static_cast<unsigned>(valueOf(text.substr(p, 2)));
    if (minute > 59) return false;
    p += 2;
    // The usual tails: "14h30min", "14:30h".
    if (mark == 'h' && text.substr(p, 3) == "min") p += 3;
    if (mark == ':' && charAt(text, p) == 'h') ++p;
  }
  if (!endsCleanly(text, p)) return false;
  std::string words = hourWords(hour);
  if (minute == 1) words += " e um minuto";
  if (minute > 1) words.append(" e ").append(cardinalWords(minute)).append(" minutos");
  *out += words + ' ';
  *at = p;
  return true;
}

}  // namespace

namespace {

// "nº", "Nº", "n.º" or "n°" at the start of a word: the number sign of
// cheques and addresses, read "número" rather than letter by letter.
bool readNumberSign(std::string_view text, size_t* at, std::string* out) {
  const size_t p = *at;
  if (p >= text.size() || (text[p] != 'n' && text[p] != 'N')) return false;
  if (p > 0 && tts::isLetter(static_cast<unsigned char>(text[p - 1]))) return false;
  size_t sign = p + 1;
  if (sign < text.size() && text[sign] == '.') ++sign;
  if (sign >= text.size() || (text[sign] != '\xBA' && text[sign] != '\xB0')) return false;
  *out += "n\xFAmero ";
  *at = sign + 1;
  return true;
}

}  // namespace

bool readChequeBookForm(std::string_view text, size_t* at, std::string* out) {
  return readMoney(text, at, out) || readDate(text, at, out) || readTime(text, at, out) ||
         readNumberSign(text, at, out);
}
