// Money values and the small texts of dates and cheque numbers: checking
// an amount text, turning it into a number, writing it back as printed on
// a cheque and in Portuguese words.
//
// An amount text is at least one digit, one decimal separator (a comma, or
// a full stop in its place) and exactly two digits: no sign, no blanks, no
// thousands separators. The whole part has at most kMaxAmountWholeDigits
// significant digits (below ten trillion), where a double still holds
// every cent exactly.
#ifndef TALONIX_APP_AMOUNTS_H_
#define TALONIX_APP_AMOUNTS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr size_t kMaxAmountWholeDigits = 13;

// n in 0..99 as two digits ("05"); other values as their decimal digits.
std::string twoDigits(int n);
// The decimal digits of n without leading zeros ("0" for 0).
std::string decimalText(uint64_t n);
// A whole number k gives k + 1 padded with '0' to at least the text's
// length (0099 -> 0100, 9 -> 10); anything else (the empty text too) gives
// "próximo de " followed by the text.
std::string nextNumberText(std::string_view text);
// dd/mm/yyyy with a day valid for its month (29 February in every year)
// and a year from 2000 to 2080.
bool isValidDate(std::string_view text);
// True and the value for an amount text; false and 0 otherwise. `value`
// may be null. The value is the double nearest to the typed amount.
bool parseAmount(std::string_view text, double* value);
// The text followed by ",00" when it is made of digits only and not empty;
// otherwise unchanged.
std::string completeAmount(std::string_view text);
// The value as printed on a cheque, rounded to the cent, a full stop
// between every three digits: 1234567.89 -> "1.234.567,89".
std::string formatPrintedAmount(double value);
// The value in words with the current currency names, first letter upper
// case: 1234.56 -> "Mil e duzentos e trinta e quatro reais e cinquenta e
// seis centavos". The words cover every 64-bit whole part; the cents are
// those typed for every amount parseAmount accepts.
std::string amountInWords(double value);

#endif  // TALONIX_APP_AMOUNTS_H_
