// The Portuguese engine's normalisation: what a text becomes before the
// letter-to-sound rules read it, the number words and character names it
// uses, and the abbreviations file it reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_files.h"
#include "tts/normalise.h"

namespace {

struct Case {
  const char* text;
  const char* heard;  // blanks made single
};

std::string heard(std::string_view text) { return singleSpaced(normaliseText(text)); }

void expectAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(heard(c.text), c.heard) << "text: " << c.text;
}

class TtsNormalise : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(loadAbbreviationsFromBytes(
        testfiles::readAll(std::string(TALONIX_SOURCE_DIR) + "/data/tts/portug.abr")));
  }
  void TearDown() override { resetNormalise(); }
};

TEST_F(TtsNormalise, TextsBecomeWordsTheRulesCanRead) {
  expectAll({
      // Ordinals, thousands, decimals, dash runs, signs, leading zeros.
      {"2\xBA", "segundo"},
      {"1\xAA", "primeira"},
      {"3os.", "terceiros"},
      {"2as. vezes", "segundas vezes"},
      {"1o. lugar", "primeiro lugar"},
      {"1.500", "mil e quinhentos"},
      {"1.500.000", "um milh\xE3o e quinhentos mil"},
      {"3,14", "tr\xEAs v\xEDrgula quatorze"},
      {"3.14", "tr\xEAs ponto quatorze"},
      {"555-1234", "cinco cinco cinco tra\xE7o um dois tr\xEAs quatro"},
      {"-5", "menos cinco"},
      {"007", "zero zero sete"},
      {"007\xBA", "s\xE9timo"},
      {"2o", "dois o"},
      // Words, spelled consonants, punctuation for the prosody.
      {"a - b", "a , b\xEA"},
      {"a\t-\tb", "a , b\xEA"},
      {"CPF", "s\xEAp\xEA\xE9" "fe"},
      {"cpf", "s\xEAp\xEA\xE9" "fe"},
      {"ONU", "ONU"},
      {"guarda-chuva!", "guarda-chuva!"},
      {"?", "interroga\xE7\xE3o"},
      {"5", "cinco"},
      {"a.b", "a ponto b\xEA"},
      {"fim.", "fim."},
      {"Bem... sim", "Bem... sim"},
      {"50%", "cinq\xFC" "enta porcento"},
      {"a\x01" "b", "a b\xEA"},
      // A line end parts words and ends a sentence, like a blank.
      {"um\tdois\r\ntr\xEAs", "um dois tr\xEAs"},
      {"fim.\r\nOutra", "fim. Outra"},
      {"0.500", "zero ponto quinhentos"},
      // Abbreviations of the shipped file: only before ". ".
      {"Av. Paulista", "avenida Paulista"},
      // The number sign at a word's start, not inside one.
      {"Cheque n\xBA 12, N.\xBA 3, n\xB0 4", "Cheque n\xFAmero doze , n\xFAmero tr\xEAs , n\xFAmero quatro"},
      {"An\xBA", "An ordinal masculino"},
      {"Dr. Silva", "doutor Silva"},
      {"P\xE7" "a. da S\xE9", "pra\xE7" "a da S\xE9"},
      {"Sr.", "Sr."},
      {"Dr.Silva", "Dr ponto Silva"},
      {"Maria R. Santos", "Maria \xE9rre. Santos"},
      // Money, dates and times as a cheque book says them.
      {"R$ 1.234,56",
       "mil e duzentos e trinta e quatro reais e cinq\xFC" "enta e seis centavos"},
      {"R$1234,56",
       "mil e duzentos e trinta e quatro reais e cinq\xFC" "enta e seis centavos"},
      {"R$ 1,00", "um real"},
      {"R$ 0,50", "cinq\xFC" "enta centavos"},
      {"R$ 0,01", "um centavo"},
      {"R$ 2,5", "dois reais e cinq\xFC" "enta centavos"},
      {"R$ 15.", "quinze reais ."},
      {"R$ 1.000.000,00", "um milh\xE3o de reais"},
      {"R$ 1.200.000", "um milh\xE3o e duzentos mil reais"},
      {"R$ 1,234", "\xE9rre cifr\xE3o um v\xEDrgula duzentos e trinta e quatro"},
      {"R$ 2 milh\xF5" "es", "\xE9rre cifr\xE3o dois milh\xF5" "es"},
      {"12/03/2025", "doze de mar\xE7o de dois mil e vinte e cinco"},
      {"1/1/99", "primeiro de janeiro de noventa e nove"},
      {"31/12/05", "trinta e um de dezembro de zero cinco"},
      {"32/01/2025", "trinta e dois barra zero um barra dois mil e vinte e cinco"},
      {"1/2", "um barra dois"},
      {"14h30", "quatorze horas e trinta minutos"},
      {"14h30min", "quatorze horas e trinta minutos"},
      {"14:30", "quatorze horas e trinta minutos"},
      {"14h", "quatorze horas"},
      {"1h01", "uma hora e um minuto"},
      {"2h00", "duas horas"},
      {"21h", "vinte e uma horas"},
      {"22:05", "vinte e duas horas e cinco minutos"},
      {"24h", "vinte e quatro ag\xE1"},
      {"14:30:15", "quatorze :trinta :quinze"},
  });
}

TEST_F(TtsNormalise, NumberWords) {
  EXPECT_EQ(cardinalWords(0), "zero");
  EXPECT_EQ(cardinalWords(100), "cem");
  EXPECT_EQ(cardinalWords(115), "cento e quinze");
  EXPECT_EQ(cardinalWords(1000), "mil");
  EXPECT_EQ(cardinalWords(2000), "dois mil");
  EXPECT_EQ(cardinalWords(1100), "mil e cem");
  EXPECT_EQ(cardinalWords(1234), "mil e duzentos e trinta e quatro");
  EXPECT_EQ(cardinalWords(2000000), "dois milh\xF5" "es");
  EXPECT_EQ(cardinalWords(1000000), "um milh\xE3o");
  EXPECT_EQ(cardinalWords(1000001), "um milh\xE3o e um");
  EXPECT_EQ(cardinalWords(999999999999999),
            "novecentos e noventa e nove trilh\xF5" "es novecentos e noventa e nove "
            "bilh\xF5" "es novecentos e noventa e nove milh\xF5" "es novecentos e "
            "noventa e nove mil e novecentos e noventa e nove");
  EXPECT_EQ(cardinalWords(1000000000000000), "um zero zero zero zero zero zero zero "
                                             "zero zero zero zero zero zero zero zero");
  EXPECT_EQ(groupWords("010"), "dez");
  EXPECT_EQ(groupWords("305"), "trezentos e cinco");
  EXPECT_EQ(groupWords("0x5"), "");
  EXPECT_EQ(ordinalWords(false, 21), "vig\xE9simo primeiro");
  EXPECT_EQ(ordinalWords(true, 1121),
            "mil\xE9sima cent\xE9sima vig\xE9sima primeira");
  EXPECT_EQ(ordinalWords(false, 10), "d\xE9" "cimo");
  EXPECT_EQ(ordinalWords(true, 0), "zero");
  EXPECT_EQ(ordinalWords(false, 2000), "dois mil");
}

TEST_F(TtsNormalise, CharacterNames) {
  const std::vector<std::pair<unsigned char, const char*>> names = {
      {' ', "espa\xE7o"},        {'%', "porcento"},           {'&', "\xE9 comercial"},
      {'0', "z\xE9ro"},          {'7', "s\xE9te"},            {'@', "arr\xF4" "ba"},
      {'C', " s\xEA"},           {'D', " d\xEA"},              {'J', "j\xF3ta"},
      {'N', "\xEAne"},           {'W', "d\xE1" "bliu"},       {'j', "jota"},
      {'n', "ene"},              {'c', " s\xEA"},             {'|', "barra vertical"},
      {'~', "til"},              {161, "exclama\xE7\xE3o reversa"},
      {170, "ordinal feminino"}, {173, "h\xED" "fen"},        {186, "ordinal masculino"},
      {191, "interroga\xE7\xE3o reversa"},                    {192, "A grave"},
      {199, "C\xEA cedilha"},    {215, "vezes"},              {220, "U com trema"},
      {224, "A grave"},          {231, "C\xEA cedilha"},      {247, "dividido por"},
      {252, "U com trema"},      {0, ""},                     {'\t', ""},
      {127, ""},                 {128, ""},                   {160, ""},
      {221, ""},                 {223, ""},                   {253, ""},
      {255, ""},
  };
  for (const auto& [code, name] : names) EXPECT_EQ(symbolName(code), name) << int(code);
}

TEST_F(TtsNormalise, AbbreviationsFile) {
  EXPECT_EQ(findAbbreviation("av"), "avenida");
  EXPECT_EQ(findAbbreviation("p\xE7" "a"), "pra\xE7" "a");
  // The shipped file stays clear of words that end sentences.
  for (const char* word : {"mar", "dez", "ter", "dom", "com", "r", "n", "a"})
    EXPECT_EQ(findAbbreviation(word), "") << word;
  EXPECT_GE(normaliseState().abbreviations.size(), 60u);

  std::string bytes = "; comment\r\n\r\n  dr = doutor  \r\nno equals sign\nX=\n";
  bytes += "LONG=" + std::string(1200, 'e') + "\n";
  for (int i = 0; i < 2100; ++i) bytes += "K" + std::to_string(i) + "=v\n";
  ASSERT_TRUE(loadAbbreviationsFromBytes(bytes));
  const std::vector<Abbreviation>& table = normaliseState().abbreviations;
  ASSERT_EQ(table.size(), kMaxAbbreviations);
  EXPECT_EQ(table[0].key, "DR");
  EXPECT_EQ(table[0].expansion, "doutor");
  EXPECT_EQ(table[1].key, "");
  EXPECT_EQ(table[1].expansion, "no equals sign");
  EXPECT_EQ(table[3].expansion.size(), kMaxExpansion);
  EXPECT_EQ(table.back().key, "K1995");
  EXPECT_EQ(findAbbreviation("Dr"), "doutor");
  EXPECT_EQ(findAbbreviation("K1999"), "");
  EXPECT_EQ(findAbbreviation(""), "");
  // A key with an empty expansion is no abbreviation: the letter is spelled.
  EXPECT_EQ(heard("x. y"), "xis. \xEDpsilon");
  EXPECT_EQ(heard("Dr. Silva"), "doutor Silva");
}

// Nothing read past a text's end, no overflow, and only words come out.
TEST_F(TtsNormalise, BadInputStaysSane) {
  const auto expectWordsOnly = [](std::string_view text) {
    for (char c : normaliseText(text))
      ASSERT_TRUE(static_cast<unsigned char>(c) >= ' ' && (c < '0' || c > '9'))
          << "text of " << text.size() << " bytes";
  };
  std::string everyByte;
  for (int c = 0; c < 256; ++c) everyByte += static_cast<char>(c);
  // Every prefix ends some pattern halfway.
  const std::string halfway = "R$ 1.234,5 12/03/2025 14h30min 23:59h 1.500 3os. 2as. 5\xBA -9 555-12";
  for (size_t cut = 0; cut <= halfway.size(); ++cut)
    expectWordsOnly(std::string_view(halfway).substr(0, cut));
  std::string big;
  while (big.size() < 100000) big += everyByte + halfway;
  const std::string digits(500, '9');
  for (const std::string& text : {everyByte, big, digits, std::string(500, '0')})
    expectWordsOnly(text);
  // 500 digits: 33 values of 15 digits and one of 5.
  const std::string words = heard(digits);
  size_t trillions = 0;
  for (size_t at = words.find("trilh"); at != std::string::npos;
       at = words.find("trilh", at + 1))
    ++trillions;
  EXPECT_EQ(trillions, 33u);
  EXPECT_TRUE(words.ends_with("noventa e nove mil e novecentos e noventa e nove"));
}

}  // namespace
