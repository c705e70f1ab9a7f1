// Amount texts and values, printed amounts and the amount in words; the
// small date and cheque-number texts.
#include "app/amounts.h"

#include <cmath>
#include <cstdio>

#include "app/bank_records.h"
#include "speech/number_words.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view text) {
  for (char c : text) {
    if (!isDigit(c)) return false;
  }
  return true;
}

// The value of two digit characters (both known to be digits).
int twoDigitValue(char tens, char units) {
  return (tens - '0') * 10 + (units - '0');
}

// A value split into whole units and cents, rounded to the nearest cent.
// Values below zero and NaN count as zero; values beyond 64 bits are held
// at the largest whole part.
struct Cents {
  uint64_t whole = 0;
  int cents = 0;
};

Cents splitCents(double value) {
  Cents out;
  if (!(value > 0)) return out;
  if (value >= 18446744073709549568.0) {  // the last double below 2^64
    out.whole = UINT64_MAX;
    return out;
  }
  const double floorPart = std::floor(value);
  out.whole = static_cast<uint64_t>(floorPart);
  out.cents = static_cast<int>(std::lround((value - floorPart) * 100.0));
  if (out.cents >= 100) {
    out.cents = 0;
    if (out.whole < UINT64_MAX) ++out.whole;
  }
  return out;
}

std::string withoutOneTrailingBlank(std::string words) {
  if (!words.empty() && words.back() == ' ') words.pop_back();
  return words;
}

}  // namespace

std::string twoDigits(int n) {
  char text[16];
  std::snprintf(text, sizeof text, n >= 0 && n <= 9 ? "0%d" : "%d", n);
  return text;
}

std::string decimalText(uint64_t n) { return std::to_string(n); }

std::string nextNumberText(std::string_view text) {
  if (text.empty() || !allDigits(text))
    return "pr\xF3ximo de " + std::string(text);
  // Counted on the digits themselves, so a number of any length works and
  // the leading zeros are kept: 0099 -> 0100, 999 -> 1000.
  std::string next(text);
  size_t i = next.size();
  while (i > 0 && next[i - 1] == '9') next[--i] = '0';
  if (i == 0) next.insert(next.begin(), '1');
  else ++next[i - 1];
  return next;
}

bool isValidDate(std::string_view text) {
  static constexpr int kDaysInMonth[12] = {31, 29, 31, 30, 31, 30,
                                           31, 31, 30, 31, 30, 31};
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return false;
  if (!allDigits(text.substr(0, 2)) || !allDigits(text.substr(3, 2)) ||
      !allDigits(text.substr(6, 4)))
    return false;
  const int day = twoDigitValue(text[0], text[1]);
  const int month = twoDigitValue(text[3], text[4]);
  const int year = twoDigitValue(text[6], text[7]) * 100 +
                   twoDigitValue(text[8], text[9]);
  if (month < 1 || month > 12) return false;
  if (day < 1 || day > kDaysInMonth[month - 1]) return false;
  return year >= 2000 && year <= 2080;
}

bool parseAmount(std::string_view text, double* value) {
  if (value != nullptr) *value = 0;
  const bool hasComma = text.find(',') != std::string_view::npos;
  const bool hasStop = text.find('.') != std::string_view::npos;
  if (hasComma == hasStop) return false;  // both, or no separator at all
  if (text.size() < 4) return false;      // a digit, the separator, two more
  const size_t separator = text.size() - 3;
  if (text[separator] != ',' && text[separator] != '.') return false;
  const std::string_view whole = text.substr(0, separator);
  const std::string_view cents = text.substr(separator + 1);
  if (!allDigits(whole) || !allDigits(cents)) return false;
  // Leading zeros carry no value; past them the whole part is bounded so
  // that every cent is held exactly in the double.
  const size_t firstSignificant = whole.find_first_not_of('0');
  if (firstSignificant != std::string_view::npos &&
      whole.size() - firstSignificant > kMaxAmountWholeDigits)
    return false;
  uint64_t hundredths = 0;
  for (char c : whole) hundredths = hundredths * 10 + static_cast<uint64_t>(c - '0');
  hundredths = hundredths * 100 +
               static_cast<uint64_t>(twoDigitValue(cents[0], cents[1]));
  // One correctly rounded division: the double nearest to the typed amount.
  if (value != nullptr) *value = static_cast<double>(hundredths) / 100.0;
  return true;
}

std::string completeAmount(std::string_view text) {
  if (!text.empty() && allDigits(text)) return std::string(text) + ",00";
  return std::string(text);
}

std::string formatPrintedAmount(double value) {
  const bool negative = value < 0;
  const Cents parts = splitCents(negative ? -value : value);
  const std::string digits = decimalText(parts.whole);
  std::string out = negative ? "-" : "";
  // A full stop before every group of three digits counted from the right.
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
    out += digits[i];
  }
  out += ',';
  out += twoDigits(parts.cents);
  return out;
}

std::string amountInWords(double value) {
  const Cents parts = splitCents(value);
  const uint64_t r = parts.whole;
  const int c = parts.cents;
  std::string out;
  if (r > 0) {
    if (r == 1) {
      out = "um " + currencySingular();
    } else {
      const std::string words = withoutOneTrailingBlank(numberWords(r));
      if (r % 1000000 == 0) out = words + " de " + currencyPlural();
      else out = words + " " + currencyPlural();
    }
    if (c == 1) out += " e um centavo";
    else if (c > 1) out += " e " + numberWords(static_cast<uint64_t>(c)) + " centavos";
  } else if (c == 0) {
    out = "zero " + currencyPlural();
  } else if (c == 1) {
    out = "um centavo";
  } else {
    out = numberWords(static_cast<uint64_t>(c)) + " centavos";
  }
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z')
    out[0] = static_cast<char>(out[0] - 'a' + 'A');
  return out;
}
