// The ledger list in memory: its entries, the running balances kept beside
// them, and the order by date.
#include "app/ledger.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string_view>
#include <utility>

#include "app/amounts.h"

namespace {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

void invalidateBalances() { ledgerState().balancesValid = false; }

// Balances after 0, 1, ... n entries, summed in list order as a walk from
// the first entry would sum them, so every value is the same double.
void computeBalances() {
  LedgerState& s = ledgerState();
  s.balances.assign(s.entries.size() + 1, 0.0);
  double balance = 0.0;
  for (size_t i = 0; i < s.entries.size(); ++i) {
    const LedgerEntry& e = s.entries[i];
    if (!e.debitCredit.empty()) {
      double value = 0.0;
      if (!parseAmount(e.value, &value)) value = 0.0;
      const char letter = upperAscii(e.debitCredit[0]);
      if (letter == 'C') balance += value;
      else if (letter == 'D') balance -= value;
    }
    s.balances[i + 1] = balance;
  }
  s.balancesValid = true;
}

// Characters [from, from + count) of `text`, as many as it has.
std::string_view part(std::string_view text, size_t from, size_t count) {
  if (from >= text.size()) return {};
  return text.substr(from, count);
}

// Year, month, day, then the first debit/credit character. A short or
// odd date gives a shorter key; byte order then puts a prefix first.
std::string sortKey(const LedgerEntry& e) {
  std::string key;
  key += part(e.date, 6, 4);
  key += part(e.date, 3, 2);
  key += part(e.date, 0, 2);
  key += part(e.debitCredit, 0, 1);
  return key;
}

// Ranks that compare as the keys do, ties equal.
std::vector<int> keyRanks(const std::vector<LedgerEntry>& entries) {
  const size_t n = entries.size();
  std::vector<std::string> keys(n);
  for (size_t i = 0; i < n; ++i) keys[i] = sortKey(entries[i]);
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  std::vector<int> rank(n, 0);
  int next = 0;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && keys[order[i]] != keys[order[i - 1]]) ++next;
    rank[order[i]] = next;
  }
  return rank;
}

// The exchange sort's passes over ranks. Pass i swaps a[i] with every
// later a[j] smaller than it, so a[i] walks down the chain of successive
// smaller values after i; a tree of minima finds each link of that chain
// without looking at the other positions. The result, ties included, is
// exactly that of comparing every pair. When the chains grow long (a list
// in reverse order), the plain pairwise loop is cheaper and takes over.
class ExchangeSorter {
 public:
  ExchangeSorter(std::vector<int> rank, std::vector<size_t>* slots)
      : a_(std::move(rank)), slots_(slots) {
    size_ = 1;
    while (size_ < a_.size()) size_ *= 2;
    tree_.assign(2 * size_, INT_MAX);
    for (size_t i = 0; i < a_.size(); ++i) tree_[size_ + i] = a_[i];
    for (size_t i = size_ - 1; i >= 1; --i) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
  }

  void run() {
    const size_t n = a_.size();
    const size_t swapBudget = 8 * n + 64;
    size_t swaps = 0;
    size_t i = 0;
    for (; i + 1 < n && swaps <= swapBudget; ++i) swaps += chainPass(i);
    for (; i + 1 < n; ++i) plainPass(i);
  }

 private:
  void swapAt(size_t i, size_t j) {
    std::swap(a_[i], a_[j]);
    std::swap((*slots_)[i], (*slots_)[j]);
  }

  void plainPass(size_t i) {
    for (size_t j = i + 1; j < a_.size(); ++j) {
      if (a_[i] > a_[j]) swapAt(i, j);
    }
  }

  size_t chainPass(size_t i) {
    size_t swaps = 0;
    size_t p = i;
    for (;;) {
      const size_t j = firstLess(1, 0, size_, p + 1, a_[i]);
      if (j == SIZE_MAX) break;
      swapAt(i, j);
      set(j, a_[j]);
      p = j;
      ++swaps;
    }
    set(i, a_[i]);
    return swaps;
  }

  void set(size_t pos, int value) {
    size_t node = size_ + pos;
    tree_[node] = value;
    for (node /= 2; node >= 1; node /= 2) tree_[node] = std::min(tree_[2 * node], tree_[2 * node + 1]);
  }

  // The first position at or after `from` whose value is below `bound`.
  size_t firstLess(size_t node, size_t lo, size_t hi, size_t from, int bound) const {
    if (hi <= from || tree_[node] >= bound) return SIZE_MAX;
    if (hi - lo == 1) return lo;
    const size_t mid = (lo + hi) / 2;
    const size_t left = firstLess(2 * node, lo, mid, from, bound);
    if (left != SIZE_MAX) return left;
    return firstLess(2 * node + 1, mid, hi, from, bound);
  }

  std::vector<int> a_;
  std::vector<size_t>* slots_;
  size_t size_ = 1;
  std::vector<int> tree_;
};

}  // namespace

LedgerState& ledgerState() {
  static LedgerState state;
  return state;
}

void resetLedger() { ledgerState() = LedgerState{}; }

size_t ledgerCount() { return ledgerState().entries.size(); }

LedgerEntry& ledgerEntry(size_t k) {
  LedgerState& s = ledgerState();
  if (k >= 1 && k <= s.entries.size()) return s.entries[k - 1];
  // Out of range is a caller's mistake; hand back a blank entry rather
  // than memory that is not an entry.
  static LedgerEntry blank;
  blank = LedgerEntry{};
  return blank;
}

void addLedgerEntry(const LedgerEntry& entry) {
  ledgerState().entries.push_back(entry);
  invalidateBalances();
}

void removeLedgerEntry(size_t k) {
  LedgerState& s = ledgerState();
  if (k < 1 || k > s.entries.size()) return;
  s.entries.erase(s.entries.begin() + static_cast<std::ptrdiff_t>(k - 1));
  invalidateBalances();
}

void replaceLedgerEntry(size_t k, const LedgerEntry& entry) {
  LedgerState& s = ledgerState();
  if (k < 1 || k > s.entries.size()) return;
  s.entries[k - 1] = entry;
  invalidateBalances();
}

void sortLedger() {
  LedgerState& s = ledgerState();
  const size_t n = s.entries.size();
  if (n < 2) return;
  std::vector<size_t> slots(n);
  for (size_t i = 0; i < n; ++i) slots[i] = i;
  ExchangeSorter(keyRanks(s.entries), &slots).run();
  std::vector<LedgerEntry> sorted;
  sorted.reserve(n);
  for (size_t i = 0; i < n; ++i) sorted.push_back(std::move(s.entries[slots[i]]));
  s.entries = std::move(sorted);
  invalidateBalances();
}

double balanceUpTo(size_t k) {
  LedgerState& s = ledgerState();
  if (!s.balancesValid || s.balances.size() != s.entries.size() + 1) computeBalances();
  return s.balances[std::min(k, s.entries.size())];
}

std::string formatAmount(double x) {
  const int length = std::snprintf(nullptr, 0, "%4.2f", x);
  if (length <= 0) return "0,00";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%4.2f", x);
  text.resize(static_cast<size_t>(length));
  std::replace(text.begin(), text.end(), '.', ',');
  // A sum of cents in binary can land a hair below zero; "-0,00" would
  // read as a debt where there is none.
  if (text == "-0,00") text = "0,00";
  return text;
}
