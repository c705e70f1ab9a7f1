// speakText on the diphone path and with an engine: what is heard for
// numbers, words, marks and repeated marks, and how a key cuts it off.
#include "tests/speech_fixture.h"

#include "synth/speech_settings.h"

namespace speechtest {
namespace {

class SpeakTextTest : public SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    // As the program runs: marks mostly make pauses.
    speechState().speakPunctuationNames = false;
  }
};

TEST_F(SpeakTextTest, NumbersAreReadWholeUpToSixDigits) {
  EXPECT_EQ(spoken("10"), (Lines{"number dez"}));
  EXPECT_EQ(numbersRead(), (Lines{"dez"}));

  clearNumbersRead();
  EXPECT_EQ(spoken("999999"),
            (Lines{"number novecentos e noventa e nove mil e novecentos e "
                   "noventa e nove"}));
  EXPECT_EQ(numbersRead().size(), 1u);
}

TEST_F(SpeakTextTest, LeadingZerosAreSpokenOneByOne) {
  EXPECT_EQ(spoken("007"), (Lines{"sound _zero", "sound _zero", "number sete"}));
  EXPECT_EQ(numbersRead(), (Lines{"sete"}));
  clearNumbersRead();
  EXPECT_EQ(spoken("0"), (Lines{"sound _zero"}));
  EXPECT_TRUE(numbersRead().empty());
}

TEST_F(SpeakTextTest, LongOrHyphenatedDigitRunsAreSpelled) {
  EXPECT_EQ(spoken("1234567"),
            (Lines{"char 49", "char 50", "char 51", "char 52", "char 53",
                   "char 54", "char 55"}));
  EXPECT_EQ(spoken("12-34"), (Lines{"char 49", "char 50", "char 45",
                                    "char 51", "char 52"}));
  EXPECT_TRUE(numbersRead().empty());
}

TEST_F(SpeakTextTest, MinusAndHyphens) {
  EXPECT_EQ(spoken("-5"), (Lines{"sound _MENOS", "number cinco"}));
  EXPECT_EQ(numbersRead(), (Lines{"cinco"}));
  // A hyphen between blanks pauses like a comma.
  EXPECT_EQ(spoken("a - b"), (Lines{"pause 150"}));
  // Inside a compound word it is not spoken at all.
  EXPECT_EQ(spoken("guarda-chuva"), Lines{});
  // Before anything else it is named.
  EXPECT_EQ(spoken("a -*"), (Lines{"char 45", "char 42"}));
}

TEST_F(SpeakTextTest, WebAddresses) {
  EXPECT_EQ(spoken("http://x"), (Lines{"char 58", "char 47", "char 47"}));
  EXPECT_EQ(spoken("WWW"), (Lines{"char 87", "char 87", "char 87"}));
  EXPECT_EQ(spoken("www.a"),
            (Lines{"char 119", "char 119", "char 119", "char 46"}));
  // A single w is a word like any other: no letter sounds.
  EXPECT_EQ(spoken("w"), Lines{});
  // Blanks around it do not hide it; a longer run is a word.
  EXPECT_EQ(spoken("site: wWw.x"), (Lines{"pause 200", "char 119", "char 87",
                                          "char 119", "char 46"}));
  EXPECT_EQ(spoken("www x"), Lines{});
  EXPECT_EQ(spoken("wwww"), Lines{});
}

TEST_F(SpeakTextTest, PunctuationPausesOrIsNamed) {
  EXPECT_EQ(spoken("Fim. Sim"), (Lines{"pause 250"}));
  EXPECT_EQ(spoken("um, dois"), (Lines{"pause 150"}));
  EXPECT_EQ(spoken("a: b"), (Lines{"pause 200"}));
  EXPECT_EQ(spoken("(a)"), (Lines{"pause 200", "pause 200"}));
  // Between two numbers the full stop is named, not paused on.
  EXPECT_EQ(spoken("3.5"), (Lines{"number tres", "char 46", "number cinco"}));
  EXPECT_EQ(spoken("a,b"), (Lines{"char 44"}));
  // Marks that make no pause are named; tabs and blanks are silent.
  EXPECT_EQ(spoken("a\t*b"), (Lines{"char 42"}));
}

TEST_F(SpeakTextTest, PunctuationNamesWhenAsked) {
  speechState().speakPunctuationNames = true;
  EXPECT_EQ(spoken("Fim. Sim"), (Lines{"char 46", "pause 250"}));
  // Named once: before the pause, not again in its place.
  EXPECT_EQ(spoken("3.5"), (Lines{"number tres", "char 46", "number cinco"}));
}

TEST_F(SpeakTextTest, RepeatedMarksClickAfterFour) {
  EXPECT_EQ(spoken("*****"), (Lines{"char 42", "char 42", "char 42",
                                    "char 42", "click"}));
  // The count survives the words in between.
  EXPECT_EQ(spoken("*a*a*a*a*"), (Lines{"char 42", "char 42", "char 42",
                                        "char 42", "click"}));
  // Another mark starts the count afresh.
  EXPECT_EQ(spoken("***+**"), (Lines{"char 42", "char 42", "char 42",
                                     "char 43", "char 42", "char 42"}));
}

TEST_F(SpeakTextTest, RepeatedHyphensKeepTheirPauseAfterTheClick) {
  EXPECT_EQ(spoken("a ----- b"),
            (Lines{"char 45", "char 45", "char 45", "char 45", "click",
                   "pause 150"}));
}

TEST_F(SpeakTextTest, KeyStopsSpeechBeforeTheNextItemAndStaysQueued) {
  typeWhenRecorded("number doze", 'x');
  // The number in progress ends; the next one is not started.
  EXPECT_EQ(spoken("12 34"), (Lines{"number doze"}));
  ASSERT_TRUE(keyAvailable());
  EXPECT_EQ(readKey(), 'x');
  EXPECT_FALSE(keyAvailable());
}

TEST_F(SpeakTextTest, KeyStopsSpellingBeforeTheNextCharacter) {
  typeWhenRecorded("char 50", 'q');
  EXPECT_EQ(spoken("1234567"), (Lines{"char 49", "char 50"}));
  EXPECT_EQ(readKey(), 'q');
}

TEST_F(SpeakTextTest, KeyAlreadyWaitingSilencesEverything) {
  type("k");
  EXPECT_EQ(spoken("um dois 3"), Lines{});
  EXPECT_TRUE(speechState().stopRequested);
  EXPECT_EQ(readKey(), 'k');
  // The next text starts afresh.
  EXPECT_EQ(spoken("3"), (Lines{"number tres"}));
}

TEST_F(SpeakTextTest, AHundredThousandCharactersOfEveryByteAreSpokenToTheEnd) {
  // Through the started voice (the silent kit): every byte, in runs that
  // make numbers, words, marks and repeats, and the rest, in one text.
  initSpeech(3, "");
  std::string text;
  for (size_t i = 0; text.size() < 100000; ++i) {
    text += static_cast<char>(i % 256);
    if (i % 7 == 0) text += "a0-";
  }
  forget();
  speakText(text);
  const Lines lines = heard();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().size(), 4 + text.size());  // "say " and the text
  EXPECT_GT(lines.size(), 1000u);
  EXPECT_FALSE(speechState().stopRequested);
}

TEST_F(SpeakTextTest, WriteSpeakShowsAndSpeaks) {
  forget();
  writeSpeak("Sua op\xE7\xE3o: ");
  writeLineSpeak("2.3");
  writeSpeakNumber(-12);
  EXPECT_EQ(heard(), (Lines{"say Sua op\xE7\xE3o: ", "pause 200",
                            "say 2.3", "number dois", "char 46",
                            "number tres", "say -12", "sound _MENOS",
                            "number doze"}));
  EXPECT_EQ(screenRow(1), "Sua op\xE7\xE3o: 2.3");
  EXPECT_EQ(screenRow(2), "-12");
}

class SpeechEngineTest : public SpeechFixture {
 protected:
  void startEngine(const std::vector<std::string>& servfala) {
    std::vector<std::string> lines = {"[TRADUTOR]", "SAPI=S", "[SERVFALA]"};
    lines.insert(lines.end(), servfala.begin(), servfala.end());
    familySettings(lines);
    initSpeech(0, "");
  }
  plat::headless::TestVoice& voice(plat::VoiceKind kind) {
    return platform_->testVoice(kind);
  }
  int startsOfBoth() {
    return voice(plat::VoiceKind::kSapi5).starts() +
           voice(plat::VoiceKind::kSapi4).starts();
  }
};

TEST_F(SpeechEngineTest, WholeTextGoesToTheEngine) {
  startEngine({"TIPOSAPI=5"});
  ASSERT_TRUE(speechState().engineActive);
  EXPECT_EQ(speechState().engineType, 5);
  EXPECT_EQ(spoken("10 ***** -5"), Lines{});
  EXPECT_EQ(voice(plat::VoiceKind::kSapi5).texts(), (Lines{"10 ***** -5"}));
  EXPECT_TRUE(speechState().utterancePending);
  // Recorded sounds still play, after the utterance.
  speakChar('A');
  EXPECT_FALSE(speechState().utterancePending);
}

TEST_F(SpeechEngineTest, WaitingKeyKeepsTheTextFromTheEngine) {
  startEngine({"TIPOSAPI=5"});
  type("k");
  speakText("nada");
  EXPECT_TRUE(voice(plat::VoiceKind::kSapi5).texts().empty());
  EXPECT_EQ(readKey(), 'k');
}

TEST_F(SpeechEngineTest, RateAboveTenIsDroppedExceptForTypeFour) {
  startEngine({"TIPOSAPI=5", "VELOCIDADE=15", "VOZ=2", "TOM=7"});
  const plat::headless::TestVoice& sapi5 = voice(plat::VoiceKind::kSapi5);
  EXPECT_EQ(sapi5.rate(), 0);
  EXPECT_EQ(sapi5.voiceNumber(), 2);
  EXPECT_EQ(sapi5.pitch(), 7);
  EXPECT_EQ(synthDispatch().engineKind, 5);

  endSpeech();
  EXPECT_FALSE(speechState().engineActive);
  EXPECT_EQ(sapi5.ends(), 1);
  startEngine({"TIPOSAPI=4", "VELOCIDADE=15"});
  EXPECT_EQ(voice(plat::VoiceKind::kSapi4).rate(), 15);
}

TEST_F(SpeechEngineTest, NoEngineUnlessConfigured) {
  for (const char* sapi : {"SAPI=Nao", "SAPI=nao", "SAPI=", ""}) {
    familySettings({"[TRADUTOR]", sapi});
    initSpeech(0, "");
    EXPECT_FALSE(speechState().engineActive) << sapi;
  }
  EXPECT_EQ(startsOfBoth(), 0);
}

TEST_F(SpeechEngineTest, EngineThatFailsLeavesTheDiphonePath) {
  voice(plat::VoiceKind::kSapi4).setStartFails(true);
  familySettings({"[TRADUTOR]", "SAPI=Sim"});
  initSpeech(0, "");
  EXPECT_EQ(voice(plat::VoiceKind::kSapi4).starts(), 1);
  EXPECT_FALSE(speechState().engineActive);
  EXPECT_EQ(spoken("7"), (Lines{"number sete"}));
}

}  // namespace
}  // namespace speechtest
