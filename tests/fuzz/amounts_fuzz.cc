// Feeds arbitrary texts to the amount, date and cheque-number checks and
// checks what they promise: an accepted amount is digits, one separator
// and two digits, prints back as the same amount, and has words.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/amounts.h"
#include "app/bank_records.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text an accepted amount must print back as: leading zeros dropped,
// a full stop between groups of three, a comma before the cents.
std::string expectedPrint(std::string_view text) {
  std::string whole(text.substr(0, text.size() - 3));
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
  std::string out;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out += '.';
    out += whole[i];
  }
  return out + "," + std::string(text.substr(text.size() - 2));
}

void checkAmount(std::string_view text) {
  double value = -1;
  const bool ok = parseAmount(text, &value);
  if (!ok) {
    check(value == 0);
    return;
  }
  check(text.size() >= 4);
  const size_t separator = text.size() - 3;
  check(text[separator] == ',' || text[separator] == '.');
  for (size_t i = 0; i < text.size(); ++i)
    check(i == separator || isDigit(text[i]));
  check(value >= 0);
  check(formatPrintedAmount(value) == expectedPrint(text));
  const std::string words = amountInWords(value);
  check(!words.empty() && words[0] >= 'A' && words[0] <= 'Z');
}

void checkDate(std::string_view text) {
  if (!isValidDate(text)) return;
  check(text.size() == 10 && text[2] == '/' && text[5] == '/');
  const int day = (text[0] - '0') * 10 + (text[1] - '0');
  const int month = (text[3] - '0') * 10 + (text[4] - '0');
  check(day >= 1 && day <= 31 && month >= 1 && month <= 12);
}

void checkNumber(std::string_view text) {
  const std::string next = nextNumberText(text);
  bool digits = !text.empty();
  for (char c : text) digits = digits && isDigit(c);
  if (!digits) {
    check(next == "pr\xF3ximo de " + std::string(text));
    return;
  }
  check(next.size() == text.size() || next.size() == text.size() + 1);
  for (char c : next) check(isDigit(c));
  const std::string completed = completeAmount(text);
  check(completed == std::string(text) + ",00");
  checkAmount(completed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    resetBankRecords();
    return true;
  }();
  (void)ready;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  checkAmount(text);
  checkDate(text);
  checkNumber(text);
  // The bytes as a value too: whatever a double holds gives some text.
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    check(!amountInWords(value).empty());
    check(!formatPrintedAmount(value).empty());
  }
  return 0;
}
