// The cost of one amount in words and of the number words behind it, for
// a small amount, a typical cheque and the largest amount accepted.
#include <benchmark/benchmark.h>

#include "app/amounts.h"
#include "app/bank_records.h"
#include "speech/number_words.h"

namespace {

void BM_AmountInWords(benchmark::State& state, double value) {
  resetBankRecords();
  for (auto _ : state) benchmark::DoNotOptimize(amountInWords(value));
}
BENCHMARK_CAPTURE(BM_AmountInWords, small, 0.25);
BENCHMARK_CAPTURE(BM_AmountInWords, cheque, 1234.56);
BENCHMARK_CAPTURE(BM_AmountInWords, largest, 9999999999999.99);

void BM_NumberWords(benchmark::State& state, uint64_t n) {
  for (auto _ : state) benchmark::DoNotOptimize(numberWords(n));
}
BENCHMARK_CAPTURE(BM_NumberWords, small, uint64_t{17});
BENCHMARK_CAPTURE(BM_NumberWords, sixDigits, uint64_t{999999});
BENCHMARK_CAPTURE(BM_NumberWords, max64, UINT64_MAX);

void BM_ParseAndPrint(benchmark::State& state) {
  for (auto _ : state) {
    double value = 0;
    benchmark::DoNotOptimize(parseAmount("1234567,89", &value));
    benchmark::DoNotOptimize(formatPrintedAmount(value));
  }
}
BENCHMARK(BM_ParseAndPrint);

}  // namespace
