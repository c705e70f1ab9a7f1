// Number words as text, and numbers, dates and times heard from recorded
// word sounds: which recordings play, in which order, in how many pieces,
// and how a key cuts them off.
#include <map>

#include "tests/speech_fixture.h"
#include "tests/wave_test_util.h"

namespace speechtest {
namespace {

TEST(NumberWordsText, SmallNumbers) {
  EXPECT_EQ(numberWords(0), "zero");
  EXPECT_EQ(numberWords(1), "um");
  EXPECT_EQ(numberWords(7), "sete");
  EXPECT_EQ(numberWords(10), "dez");
  EXPECT_EQ(numberWords(17), "dezessete");
  EXPECT_EQ(numberWords(20), "vinte");
  EXPECT_EQ(numberWords(21), "vinte e um");
  EXPECT_EQ(numberWords(99), "noventa e nove");
  EXPECT_EQ(numberWords(100), "cem");
  EXPECT_EQ(numberWords(101), "cento e um");
  EXPECT_EQ(numberWords(110), "cento e dez");
  EXPECT_EQ(numberWords(120), "cento e vinte");
  EXPECT_EQ(numberWords(200), "duzentos");
  EXPECT_EQ(numberWords(999), "novecentos e noventa e nove");
}

TEST(NumberWordsText, ThousandsAndMillions) {
  EXPECT_EQ(numberWords(1000), "mil ");
  EXPECT_EQ(numberWords(1001), "mil e um");
  EXPECT_EQ(numberWords(1010), "mil e dez");
  EXPECT_EQ(numberWords(1340), "mil e trezentos e quarenta");
  EXPECT_EQ(numberWords(2000), "dois mil ");
  EXPECT_EQ(numberWords(100000), "cem mil ");
  EXPECT_EQ(numberWords(101000), "cento e um mil ");
  EXPECT_EQ(numberWords(1000000), "um milh\xE3o ");
  EXPECT_EQ(numberWords(1000001), "um milh\xE3o e um");
  // "um" is dropped before a leading "mil" only, as cheques often write it.
  EXPECT_EQ(numberWords(1001000), "um milh\xE3o e um mil ");
  EXPECT_EQ(numberWords(2500000), "dois milh\xF5" "es e quinhentos mil ");
  EXPECT_EQ(numberWords(2001001), "dois milh\xF5" "es um mil e um");
  EXPECT_EQ(numberWords(1999), "mil e novecentos e noventa e nove");
}

// Past the 32-bit range, up to the largest 64-bit value.
TEST(NumberWordsText, LargeNumbers) {
  EXPECT_EQ(numberWords(2147483648u),
            "dois bilh\xF5" "es cento e quarenta e sete milh\xF5"
            "es quatrocentos e oitenta e tres mil e seiscentos e quarenta "
            "e oito");
  EXPECT_EQ(numberWords(1000000000u), "um bilh\xE3o ");
  EXPECT_EQ(numberWords(1000000000000u), "um trilh\xE3o ");
  EXPECT_EQ(numberWords(5000000000001u), "cinco trilh\xF5" "es e um");
  EXPECT_EQ(numberWords(999999999999999u),
            "novecentos e noventa e nove trilh\xF5"
            "es novecentos e noventa e nove bilh\xF5"
            "es novecentos e noventa e nove milh\xF5"
            "es novecentos e noventa e nove mil e novecentos e noventa e "
            "nove");
  EXPECT_EQ(numberWords(1000000000000000u), "um quatrilh\xE3o ");
  EXPECT_EQ(numberWords(18446744073709551615u),
            "dezoito quintilh\xF5" "es quatrocentos e quarenta e seis "
            "quatrilh\xF5" "es setecentos e quarenta e quatro trilh\xF5"
            "es setenta e tres bilh\xF5" "es setecentos e nove milh\xF5"
            "es quinhentos e cinquenta e um mil e seiscentos e quinze");
}

TEST(NumberWordsText, WeekdayOfADate) {
  EXPECT_EQ(weekdayOf(2, 3, 2024), 6);    // Saturday
  EXPECT_EQ(weekdayOf(1, 1, 2000), 6);
  EXPECT_EQ(weekdayOf(29, 2, 2024), 4);   // Thursday
  EXPECT_EQ(weekdayOf(1, 3, 2100), 1);    // Monday; 2100 has no 29 February
  EXPECT_EQ(weekdayOf(9, 12, 2026), 3);   // Wednesday
  EXPECT_EQ(weekdayOf(31, 12, 2080), 2);  // Tuesday
  EXPECT_EQ(weekdayOf(7, 9, 2025), 0);    // Sunday
}

// Each recording is four samples of its own byte, so what was played can
// be read back as the sequence of sound names.
class NumberSoundsTest : public SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    letters_ = workDir() / "letras";
    speechState().lettersDirectory = letters_.string() + "/";
    for (const char* name :
         {"_zero", "_um", "_uma", "_dois", "_duas", "_tres", "_dez",
          "_dezeset", "_dezesse", "_vinte", "_trinta", "_e", "_quatroc",
          "_quinhen", "_mil", "_milhao", "_milhoes", "_primeir", "_de",
          "_hora", "_horas", "_minuto", "_minutos", "_Sabado", "_Marco",
          "_Feverei", "_Setembr", "_quatro", "_cem", "_noventa", "_nove",
          "_novecen", "_Domingo", "_Terca"})
      recording(name, 4);
  }

  // A recording of `count` samples, all of one byte that names it.
  void recording(const std::string& name, size_t count) {
    const uint8_t id = static_cast<uint8_t>(names_.size() + 1);
    names_[id] = name;
    wavetest::writeBytes(letters_ / (name + ".wav"),
                         wavetest::makeWav(std::vector<uint8_t>(count, id)));
  }

  // The names of the recordings played since the last call (the player
  // pads short sounds with silence, 128).
  std::vector<std::string> played() {
    std::vector<std::string> out;
    const auto& captures = platform_->waveCaptures();
    for (; seen_ < captures.size(); ++seen_) {
      uint8_t last = 0;
      for (uint8_t b : captures[seen_].data) {
        if (b != last && b != 128)
          out.push_back(names_.count(b) ? names_[b] : "?");
        last = b;
      }
    }
    return out;
  }
  // The sizes of the sound buffers played since the last call.
  std::vector<size_t> pieces() {
    std::vector<size_t> out;
    const auto& captures = platform_->waveCaptures();
    for (; seen_ < captures.size(); ++seen_) {
      out.push_back(captures[seen_].data.size());
      EXPECT_EQ(captures[seen_].sampleRate, 11025u);
      EXPECT_EQ(captures[seen_].bitsPerSample, 8u);
      EXPECT_EQ(captures[seen_].channels, 1u);
    }
    return out;
  }

  std::filesystem::path letters_;
  std::map<uint8_t, std::string> names_;
  size_t seen_ = 0;
};

TEST_F(NumberSoundsTest, WordsAreJoinedIntoOneSound) {
  speakNumberWords(numberWords(2500000), false);
  EXPECT_EQ(platform_->waveCaptures().size(), 1u);
  EXPECT_EQ(played(), (Lines{"_dois", "_milhoes", "_e", "_quinhen", "_mil"}));
  EXPECT_EQ(heard(), (Lines{"number dois milh\xF5" "es e quinhentos mil "}));
}

TEST_F(NumberSoundsTest, SoundNamesAreCutToEightCharacters) {
  speakNumberWords(numberWords(417), false);
  EXPECT_EQ(played(), (Lines{"_quatroc", "_e", "_dezeset"}));
  speakNumberWords(numberWords(1000000), false);
  EXPECT_EQ(played(), (Lines{"_um", "_milhao"}));
}

TEST_F(NumberSoundsTest, FeminineChangesOnlyTheLastWord) {
  speakNumberWords("vinte e um", true);
  EXPECT_EQ(played(), (Lines{"_vinte", "_e", "_uma"}));
  speakNumberWords("dois mil e dois", true);
  EXPECT_EQ(played(), (Lines{"_dois", "_mil", "_e", "_duas"}));
  speakNumberWords("dois", false);
  EXPECT_EQ(played(), (Lines{"_dois"}));
}

TEST_F(NumberSoundsTest, MissingRecordingsAreSkipped) {
  speakNumberWords("tres oitenta quatro", false);
  EXPECT_EQ(played(), (Lines{"_tres", "_quatro"}));
  speakNumberWords("oitenta", false);
  EXPECT_EQ(platform_->waveCaptures().size(), seen_);
}

TEST_F(NumberSoundsTest, LongNumbersArePlayedInPiecesOfThirtyThousandBytes) {
  recording("_trezent", 12000);
  recording("_sessent", 12000);
  recording("_oito", 12000);
  speakNumberWords("trezentos sessenta oito", false);
  EXPECT_EQ(pieces(), (std::vector<size_t>{24000, 12000}));
}

TEST_F(NumberSoundsTest, ARecordingLongerThanTheBufferIsPlayedWhole) {
  recording("_um", 1000);
  recording("_setenta", 70000);
  speakNumberWords("um setenta um", false);
  EXPECT_EQ(pieces(), (std::vector<size_t>{1000, 30000, 30000, 11000}));
}

TEST_F(NumberSoundsTest, AKeyStopsTheRestOfTheNumberAndStaysQueued) {
  recording("_trezent", 25000);
  recording("_sessent", 25000);
  std::vector<plat::Event> events;
  plat::headless::typedCharEvents('z', &events);
  // Half a second into the first piece (25 000 samples last 2.3 s).
  for (const plat::Event& e : events)
    platform_->postEventAt(platform_->tickMs() + 500, e);
  speakNumberWords("trezentos sessenta", false);
  EXPECT_EQ(platform_->waveCaptures().size(), 1u);
  ASSERT_TRUE(keyAvailable());
  EXPECT_EQ(readKey(), 'z');
}

TEST_F(NumberSoundsTest, DatesAreHeardItemByItem) {
  speakDate(2, 3, 2024);
  EXPECT_EQ(heard(), (Lines{"sound _Sabado", "number dois", "sound _de",
                            "sound _Marco", "sound _de", "number dois mil ",
                            "sound _e", "number vinte e quatro"}));
  EXPECT_EQ(played(), (Lines{"_Sabado", "_dois", "_de", "_Marco", "_de",
                             "_dois", "_mil", "_e", "_vinte", "_e",
                             "_quatro"}));
}

TEST_F(NumberSoundsTest, FirstDaySeventeenthAndMonthNames) {
  speakDate(1, 2, 2000);
  EXPECT_EQ(heard(), (Lines{"sound _Terca", "sound _primeir", "sound _de",
                            "sound _Feverei", "sound _de",
                            "number dois mil "}));
  played();
  forget();
  speakDate(17, 9, 2080);
  const Lines lines = heard();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[1], "number dezessete");
  EXPECT_EQ(lines[3], "sound _Setembr");
  EXPECT_EQ(played()[1], "_dezeset");
}

// Outside this century the year is read whole, never without its century.
TEST_F(NumberSoundsTest, YearsOutsideThisCenturyAreReadWhole) {
  speakDate(31, 12, 1999);
  EXPECT_EQ(heard().back(),
            "number mil e novecentos e noventa e nove");
  forget();
  speakDate(1, 3, 2100);
  EXPECT_EQ(heard().back(), "number dois mil e cem");
  forget();
  speakDate(2, 3, 2099);
  EXPECT_EQ(heard().back(), "number noventa e nove");
}

TEST_F(NumberSoundsTest, HoursAreFeminineAndZeroMinutesAreNotSpoken) {
  speakClockTime(1, 0);
  EXPECT_EQ(played(), (Lines{"_uma", "_hora"}));
  speakClockTime(0, 0);
  EXPECT_EQ(played(), (Lines{"_zero", "_hora"}));
  speakClockTime(22, 1);
  EXPECT_EQ(played(),
            (Lines{"_vinte", "_e", "_duas", "_horas", "_um", "_minuto"}));
  speakClockTime(2, 30);
  EXPECT_EQ(played(), (Lines{"_duas", "_horas", "_trinta", "_minutos"}));
}

TEST_F(NumberSoundsTest, TodayAndNowComeFromTheClock) {
  speakToday();
  EXPECT_EQ(heard().front(), "sound _Sabado");
  forget();
  speakTime();
  EXPECT_EQ(heard(), (Lines{"number dez", "sound _horas", "number trinta",
                            "sound _minutos"}));
}

TEST_F(NumberSoundsTest, AKeyWaitingCutsADateShort) {
  type("q");
  speakDate(2, 3, 2024);
  EXPECT_EQ(heard(), Lines{});
  EXPECT_EQ(readKey(), 'q');
}

// A file too short for its header, an empty one and a directory in place
// of a recording are all heard as nothing.
TEST_F(NumberSoundsTest, BrokenRecordingsPlayNothing) {
  wavetest::writeBytes(letters_ / "_onze.wav", {'R', 'I', 'F', 'F'});
  wavetest::writeBytes(letters_ / "_doze.wav", {});
  std::filesystem::create_directories(letters_ / "_treze.wav");
  speakNumberWords("onze doze treze um", false);
  EXPECT_EQ(played(), (Lines{"_um"}));
}

}  // namespace
}  // namespace speechtest
