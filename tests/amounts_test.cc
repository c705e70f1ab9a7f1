// Amount texts, printed amounts, the amount in words, dates and the next
// cheque number.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/amounts.h"
#include "app/bank_records.h"
#include "app/ledger.h"

namespace {

class AmountsTest : public ::testing::Test {
 protected:
  void SetUp() override { resetBankRecords(); }
  void TearDown() override { resetBankRecords(); }

  // The value of an accepted amount text; a failed check fails the test.
  static double parsed(std::string_view text) {
    double value = -1;
    EXPECT_TRUE(parseAmount(text, &value)) << text;
    return value;
  }
  // Whether a text is refused, and that the value is then 0.
  static bool refused(std::string_view text) {
    double value = -1;
    const bool ok = parseAmount(text, &value);
    EXPECT_EQ(value, 0) << text;
    return !ok;
  }
};

TEST_F(AmountsTest, SmallTexts) {
  EXPECT_EQ(twoDigits(5), "05");
  EXPECT_EQ(twoDigits(0), "00");
  EXPECT_EQ(twoDigits(42), "42");
  EXPECT_EQ(twoDigits(2024), "2024");
  EXPECT_EQ(decimalText(0), "0");
  EXPECT_EQ(decimalText(1234), "1234");
  EXPECT_EQ(decimalText(18446744073709551615u), "18446744073709551615");
}

TEST_F(AmountsTest, NextNumberKeepsTheWidth) {
  EXPECT_EQ(nextNumberText("000123"), "000124");
  EXPECT_EQ(nextNumberText("0099"), "0100");
  EXPECT_EQ(nextNumberText("9"), "10");
  EXPECT_EQ(nextNumberText("999"), "1000");
  EXPECT_EQ(nextNumberText("0"), "1");
  // Longer than any machine number: counted on the digits.
  EXPECT_EQ(nextNumberText("99999999999999999999999"),
            "100000000000000000000000");
  EXPECT_EQ(nextNumberText("A12"), "pr\xF3ximo de A12");
  EXPECT_EQ(nextNumberText(""), "pr\xF3ximo de ");
  EXPECT_EQ(nextNumberText("-5"), "pr\xF3ximo de -5");
  EXPECT_EQ(nextNumberText(" 5"), "pr\xF3ximo de  5");
}

TEST_F(AmountsTest, DateCheck) {
  EXPECT_TRUE(isValidDate("29/02/2023"));
  EXPECT_TRUE(isValidDate("29/02/2025"));
  EXPECT_TRUE(isValidDate("31/12/2080"));
  EXPECT_TRUE(isValidDate("01/01/2000"));
  EXPECT_FALSE(isValidDate("30/02/2025"));
  EXPECT_FALSE(isValidDate("31/04/2024"));
  EXPECT_FALSE(isValidDate("01/01/1999"));
  EXPECT_FALSE(isValidDate("01/01/2081"));
  EXPECT_FALSE(isValidDate("1/1/2024"));
  EXPECT_FALSE(isValidDate("00/01/2024"));
  EXPECT_FALSE(isValidDate("01/13/2024"));
  EXPECT_FALSE(isValidDate("01/00/2024"));
  EXPECT_FALSE(isValidDate("01-01-2024"));
  EXPECT_FALSE(isValidDate(" 1/01/2024"));
  EXPECT_FALSE(isValidDate("+1/01/2024"));
  EXPECT_FALSE(isValidDate("01/01/20x4"));
  EXPECT_FALSE(isValidDate("01/01/2024 "));
}

TEST_F(AmountsTest, AcceptedAmounts) {
  EXPECT_EQ(parsed("150,00"), 150);
  EXPECT_EQ(parsed("150.00"), 150);
  EXPECT_EQ(parsed("0,01"), 0.01);
  EXPECT_EQ(parsed("1234,56"), 1234.56);
  EXPECT_EQ(parsed("007,50"), 7.5);
  EXPECT_EQ(parsed("9999999999999,99"), 9999999999999.99);
  EXPECT_EQ(parsed("00000000000000001,00"), 1);
  EXPECT_TRUE(parseAmount("1,00", nullptr));
}

TEST_F(AmountsTest, RefusedAmounts) {
  EXPECT_TRUE(refused("150"));
  EXPECT_TRUE(refused("150,5"));
  EXPECT_TRUE(refused("150,500"));
  EXPECT_TRUE(refused("1.500,00"));
  EXPECT_TRUE(refused("1,500,00"));
  EXPECT_TRUE(refused("-5,00"));
  EXPECT_TRUE(refused("+5,00"));
  EXPECT_TRUE(refused(" 5,00"));
  EXPECT_TRUE(refused("5,00 "));
  EXPECT_TRUE(refused("5, 0"));
  EXPECT_TRUE(refused("1e5.00"));
  EXPECT_TRUE(refused("0x1.00"));
  EXPECT_TRUE(refused("inf.00"));
  EXPECT_TRUE(refused("nan,00"));
  EXPECT_TRUE(refused(",50"));
  EXPECT_TRUE(refused(""));
  EXPECT_TRUE(refused(","));
  EXPECT_TRUE(refused("5,-1"));
  EXPECT_TRUE(refused(std::string_view("5\0,00", 5)));
  // Fourteen significant digits no longer keep every cent in a double.
  EXPECT_TRUE(refused("10000000000000,00"));
  EXPECT_TRUE(refused("99999999999999999999,00"));
}

TEST_F(AmountsTest, CompleteAmount) {
  EXPECT_EQ(completeAmount("150"), "150,00");
  EXPECT_EQ(completeAmount("150,5"), "150,5");
  EXPECT_EQ(completeAmount(""), "");
  EXPECT_EQ(completeAmount("15a"), "15a");
  EXPECT_EQ(completeAmount("-5"), "-5");
}

TEST_F(AmountsTest, PrintedAmounts) {
  EXPECT_EQ(formatPrintedAmount(0.5), "0,50");
  EXPECT_EQ(formatPrintedAmount(0), "0,00");
  EXPECT_EQ(formatPrintedAmount(5), "5,00");
  EXPECT_EQ(formatPrintedAmount(999.99), "999,99");
  EXPECT_EQ(formatPrintedAmount(1000), "1.000,00");
  EXPECT_EQ(formatPrintedAmount(1234.56), "1.234,56");
  EXPECT_EQ(formatPrintedAmount(123456.78), "123.456,78");
  EXPECT_EQ(formatPrintedAmount(1234567.89), "1.234.567,89");
  EXPECT_EQ(formatPrintedAmount(123456789012.34), "123.456.789.012,34");
  // Every group gets its full stop, however long the number.
  EXPECT_EQ(formatPrintedAmount(parsed("9999999999999,99")),
            "9.999.999.999.999,99");
  EXPECT_EQ(formatPrintedAmount(0.999), "1,00");
  EXPECT_EQ(formatPrintedAmount(-50), "-50,00");
  EXPECT_EQ(formatPrintedAmount(-123.45), "-123,45");
}

TEST_F(AmountsTest, AmountInWordsExamples) {
  EXPECT_EQ(amountInWords(1), "Um real");
  EXPECT_EQ(amountInWords(0.01), "Um centavo");
  EXPECT_EQ(amountInWords(0.25), "Vinte e cinco centavos");
  EXPECT_EQ(amountInWords(0), "Zero reais");
  EXPECT_EQ(amountInWords(1234.56),
            "Mil e duzentos e trinta e quatro reais e cinquenta e seis "
            "centavos");
  EXPECT_EQ(amountInWords(2000000), "Dois milh\xF5" "es de reais");
  EXPECT_EQ(amountInWords(2500000), "Dois milh\xF5" "es e quinhentos mil reais");
  EXPECT_EQ(amountInWords(101.01), "Cento e um reais e um centavo");
  EXPECT_EQ(amountInWords(1000000), "Um milh\xE3o de reais");
  EXPECT_EQ(amountInWords(1000), "Mil reais");
  EXPECT_EQ(amountInWords(1000001), "Um milh\xE3o e um reais");
  EXPECT_EQ(amountInWords(21), "Vinte e um reais");
  EXPECT_EQ(amountInWords(150), "Cento e cinquenta reais");
  EXPECT_EQ(amountInWords(100.10), "Cem reais e dez centavos");
  EXPECT_EQ(amountInWords(1.01), "Um real e um centavo");
  EXPECT_EQ(amountInWords(17.17),
            "Dezessete reais e dezessete centavos");
}

// Every amount with two decimals keeps its typed cents.
TEST_F(AmountsTest, TypedCentsSurviveTheDouble) {
  for (int cents = 0; cents < 100; ++cents) {
    const std::string text = "12345678," + twoDigits(cents);
    EXPECT_EQ(formatPrintedAmount(parsed(text)), "12.345.678," + twoDigits(cents));
  }
  EXPECT_EQ(amountInWords(parsed("9999999999999,99")),
            "Nove trilh\xF5" "es novecentos e noventa e nove bilh\xF5"
            "es novecentos e noventa e nove milh\xF5"
            "es novecentos e noventa e nove mil e novecentos e noventa e "
            "nove reais e noventa e nove centavos");
}

TEST_F(AmountsTest, AmountsBeyondThirtyTwoBits) {
  EXPECT_EQ(amountInWords(2147483648.0),
            "Dois bilh\xF5" "es cento e quarenta e sete milh\xF5"
            "es quatrocentos e oitenta e tres mil e seiscentos e "
            "quarenta e oito reais");
  EXPECT_EQ(amountInWords(999999999999999.0),
            "Novecentos e noventa e nove trilh\xF5"
            "es novecentos e noventa e nove bilh\xF5"
            "es novecentos e noventa e nove milh\xF5"
            "es novecentos e noventa e nove mil e novecentos e noventa e "
            "nove reais");
  EXPECT_EQ(amountInWords(3000000000.0), "Tres bilh\xF5" "es de reais");
  EXPECT_EQ(amountInWords(1000000000000.0), "Um trilh\xE3o de reais");
}

TEST_F(AmountsTest, WordsUseTheCurrencyNames) {
  bankRecordsState().currencySingular = "euro";
  bankRecordsState().currencyPlural = "euros";
  EXPECT_EQ(amountInWords(1), "Um euro");
  EXPECT_EQ(amountInWords(0), "Zero euros");
  EXPECT_EQ(amountInWords(3000000), "Tres milh\xF5" "es de euros");
}

TEST_F(AmountsTest, OutOfRangeValuesGiveATextWithoutFailing) {
  EXPECT_EQ(amountInWords(-5), "Zero reais");
  EXPECT_EQ(amountInWords(std::nan("")), "Zero reais");
  EXPECT_FALSE(amountInWords(1e300).empty());
  EXPECT_FALSE(formatPrintedAmount(1e300).empty());
  EXPECT_EQ(formatPrintedAmount(std::nan("")), "0,00");
}

TEST(FormatAmountTest, FixedTwoDecimalsWithACommaAndNoNegativeZero) {
  EXPECT_EQ(formatAmount(1234.5), "1234,50");
  EXPECT_EQ(formatAmount(-12), "-12,00");
  EXPECT_EQ(formatAmount(0), "0,00");
  EXPECT_EQ(formatAmount(5), "5,00");
  EXPECT_EQ(formatAmount(0.3 - 0.1 - 0.2), "0,00");
  EXPECT_EQ(formatAmount(-0.004), "0,00");
  EXPECT_EQ(formatAmount(-0.005001), "-0,01");
  EXPECT_EQ(formatAmount(1e15), "1000000000000000,00");
  EXPECT_EQ(formatAmount(1e300).size(), 304u);
}

}  // namespace
