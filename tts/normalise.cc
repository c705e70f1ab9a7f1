#include "tts/normalise.h"

#include "tts/normalise_amounts.h"
#include "tts/tts_text.h"

namespace {

NormaliseState state;

constexpr size_t kMaxValueDigits = 15;  // what cardinalWords reads

unsigned char charAt(std::string_view text, size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

// A blank, or a tab or line end, which part words as a blank does.
bool isBlankAt(std::string_view text, size_t i) {
  const unsigned char c = charAt(text, i);
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isKept(unsigned char c) {
  switch (c) {
    case ' ': case '!': case '(': case ')': case ',':
    case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}

struct Word {
  std::string_view written;
  std::string spoken;
};

// Letters from `*at`, with a hyphen that follows a letter kept inside the
// word. A word of consonants only is spelled, unless it is a known
// abbreviation followed by a full stop (the caller expands it).
Word readWord(std::string_view text, size_t* at) {
  const size_t start = *at;
  size_t p = start;
  bool consonantsOnly = true;
  while (p < text.size()) {
    const unsigned char c = charAt(text, p);
    if (tts::isLetter(c)) {
      consonantsOnly = consonantsOnly && tts::isConsonantLetter(c);
    } else if (!(c == '-' && p > start && tts::isLetter(charAt(text, p - 1)))) {
      break;
    }
    ++p;
  }
  *at = p;
  Word word{text.substr(start, p - start), {}};
  if (!consonantsOnly ||
      (charAt(text, p) == '.' && !findAbbreviation(word.written).empty())) {
    word.spoken = word.written;
    return word;
  }
  for (char c : word.written) {
    const unsigned char u = static_cast<unsigned char>(c);
    word.spoken += tts::isLetter(u) ? symbolName(u) : std::string(1, c);
  }
  return word;
}

// A run of digits and dashes, such as a telephone number, digit by digit.
std::string readDashRun(std::string_view text, size_t* at) {
  std::string words;
  size_t p = *at;
  for (; tts::isDigit(charAt(text, p)) || charAt(text, p) == '-'; ++p) {
    const unsigned char c = charAt(text, p);
    words += ' ';
    words += c == '-' ? std::string("tra\xE7o") : cardinalWords(c - '0');
  }
  *at = p;
  return words;
}

// A thousands separator: a full stop with exactly three digits after it.
bool isThousandsMark(std::string_view text, size_t p) {
  return charAt(text, p) == '.' && tts::isDigit(charAt(text, p + 1)) &&
         tts::isDigit(charAt(text, p + 2)) && tts::isDigit(charAt(text, p + 3)) &&
         !tts::isDigit(charAt(text, p + 4));
}

// A number from the digit at `*at`: cardinal, ordinal, or digit by digit.
std::string readNumber(std::string_view text, size_t* at) {
  size_t p = *at;
  size_t end = p;
  while (tts::isDigit(charAt(text, end))) ++end;
  if (charAt(text, end) == '-') return readDashRun(text, at);
  std::string zeros;
  while (charAt(text, p) == '0' && tts::isDigit(charAt(text, p + 1))) {
    zeros += "zero ";
    ++p;
  }
  uint64_t value = 0;
  size_t digits = 0;
  while (digits < kMaxValueDigits) {
    const unsigned char c = charAt(text, p);
    if (tts::isDigit(c)) {
      value = value * 10 + (c - '0');
      ++digits;
      ++p;
    } else if (value > 0 && digits + 3 <= kMaxValueDigits && isThousandsMark(text, p)) {
      // A number never starts "0.": there the full stop is a decimal point.
      ++p;
    } else {
      break;
    }
  }
  const unsigned char c = charAt(text, p), next = charAt(text, p + 1);
  size_t step = 0;
  bool feminine = false, plural = false;
  if (c == 0xBA || c == 0xAA) {
    step = 1, feminine = c == 0xAA;
  } else if ((c == 'o' || c == 'a') && next == '.') {
    step = 2, feminine = c == 'a';
  } else if ((c == 'o' || c == 'a') && next == 's' && charAt(text, p + 2) == '.') {
    step = 3, feminine = c == 'a', plural = true;
  }
  *at = p + step;
  if (step == 0) return zeros + cardinalWords(value);
  return ordinalWords(feminine, value) + (plural ? "s" : "");
}

// Numbers, with the decimal parts that follow them ("3,14", "3.14").
void readNumbers(std::string_view text, size_t* at, std::string* out) {
  *out += readNumber(text, at) + ' ';
  for (unsigned char c = charAt(text, *at); (c == ',' || c == '.') &&
                                            tts::isDigit(charAt(text, *at + 1));
       c = charAt(text, *at)) {
    *out += c == ',' ? "v\xEDrgula " : "ponto ";
    ++*at;
    *out += readNumber(text, at) + ' ';
  }
}

void readLetters(std::string_view text, size_t* at, std::string* out) {
  const Word word = readWord(text, at);
  if (charAt(text, *at) == '.' && isBlankAt(text, *at + 1)) {
    const std::string expansion = findAbbreviation(word.written);
    if (!expansion.empty()) {
      *out += expansion;
      ++*at;
      return;
    }
  }
  *out += word.spoken;
}

// One step of the walk at `*at`; the order of the tests matters.
void normaliseAt(std::string_view text, size_t* at, std::string* out) {
  const size_t p = *at;
  const unsigned char c = charAt(text, p);
  if (c == '-' && p > 0 && isBlankAt(text, p - 1) && isBlankAt(text, p + 1)) {
    *out += ',';
    ++*at;
  } else if (c == '-' && tts::isDigit(charAt(text, p + 1))) {
    *out += "menos ";
    ++*at;
  } else if (readChequeBookForm(text, at, out)) {
  } else if (tts::isDigit(c)) {
    readNumbers(text, at, out);
  } else if (tts::isLetter(c)) {
    readLetters(text, at, out);
  } else if (text.substr(p, 3) == "...") {
    *out += "... ";
    *at += 3;
  } else if (c == '.' && p + 1 < text.size() && !isBlankAt(text, p + 1)) {
    *out += " ponto ";
    ++*at;
  } else if (isKept(c)) {
    *out += static_cast<char>(c);
    ++*at;
  } else if (c == '\t' || c == '\n' || c == '\r') {
    // A blank, not nothing: the words of two lines must not run together.
    *out += ' ';
    ++*at;
  } else {
    *out += ' ' + symbolName(c) + ' ';
    ++*at;
  }
}

}  // namespace

NormaliseState& normaliseState() { return state; }

void resetNormalise() { state = NormaliseState{}; }

bool loadAbbreviationsFromBytes(std::string_view bytes) {
  state.abbreviations.clear();
  tts::forEachLine(bytes, [](std::string_view line) {
    std::vector<Abbreviation>& table = state.abbreviations;
    line = tts::trimmed(line);
    if (line.empty() || line.front() == ';') return true;
    if (table.size() >= kMaxAbbreviations) return false;
    const size_t equals = line.find('=');
    // A line without "=" keeps an empty key, which no word matches.
    const std::string_view key = equals == std::string_view::npos ? "" : line.substr(0, equals);
    std::string_view expansion =
        equals == std::string_view::npos ? line : tts::trimmed(line.substr(equals + 1));
    expansion = tts::trimmed(expansion.substr(0, kMaxExpansion));
    table.push_back({tts::upperText(tts::trimmed(key)), std::string(expansion)});
    return true;
  });
  return true;
}

bool loadAbbreviations(std::string_view fileName) {
  std::string bytes;
  if (!tts::readDataFile(fileName, &bytes)) {
    state.abbreviations.clear();
    return false;
  }
  return loadAbbreviationsFromBytes(bytes);
}

std::string findAbbreviation(std::string_view word) {
  if (word.empty()) return "";
  const std::string key = tts::upperText(word);
  for (const Abbreviation& entry : state.abbreviations)
    if (entry.key == key) return entry.expansion;
  return "";
}

std::string normaliseText(std::string_view text) {
  std::string name;
  if (text.size() == 1) {
    name = symbolName(static_cast<unsigned char>(text[0]));
    text = name;
  }
  std::string out;
  out.reserve(text.size() * 2);
  size_t p = 0;
  while (p < text.size()) normaliseAt(text, &p, &out);
  return out;
}

std::string singleSpaced(std::string_view text) {
  std::string out;
  bool gap = false;
  for (char c : tts::trimmed(text)) {
    if (static_cast<unsigned char>(c) <= ' ') {
      gap = true;
      continue;
    }
    if (gap) out += ' ';
    gap = false;
    out += c;
  }
  return out;
}
