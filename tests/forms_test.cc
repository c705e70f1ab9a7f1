// Spoken forms: what is drawn and heard for each field, walking between
// fields, scrolling a tall form, the F9 option popup, and what is stored
// into the bound variables whatever key ends the form.
#include <gtest/gtest.h>

#include <limits>

#include "key_helpers.h"
#include "speech/forms.h"
#include "speech/menus.h"
#include "speech_fixture.h"

namespace {

using speechtest::Lines;

class FormTest : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    resetForms();
    resetMenus();
  }

  void keys(const std::string& script) { keytest::keys(*platform_, script); }

  // Labels, values and tones heard since forget(); no clicks or pauses.
  Lines said() const {
    Lines out;
    for (const std::string& s : heard()) {
      if (s.rfind("say ", 0) == 0 || s.rfind("sound ", 0) == 0 || s == "beep")
        out.push_back(s);
    }
    return out;
  }

  static int bg(int column, int row) { return screenAttrAt(column, row) >> 4; }
  static int fg(int column, int row) { return screenAttrAt(column, row) & 0x0F; }

  std::string name = "Fulano";
  int32_t number = 42;
  bool flag = true;

  void personForm(int row = 3) {
    moveCursor(1, row);
    beginForm();
    addTextField("", "Nome", name, 30);
    addIntegerField("", "Idade", number);
    addYesNoField("", "Ativo", flag);
  }
};

TEST_F(FormTest, EscAtOnceStillStoresEveryField) {
  personForm();
  keys("Esc");
  EXPECT_EQ(runForm(true), 27);
  EXPECT_EQ(name, "Fulano");
  EXPECT_EQ(number, 42);
  EXPECT_TRUE(flag);
  EXPECT_TRUE(formState().fields.empty());
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(cursorRow(), 6);  // below the last field
}

TEST_F(FormTest, LabelsAreRightAlignedOnRedAndValuesStartInColumn29) {
  personForm();
  keys("Esc");
  runForm(true);
  EXPECT_EQ(screenRow(3), std::string(23, ' ') + "Nome Fulano");
  EXPECT_EQ(screenRow(4), std::string(22, ' ') + "Idade 42");
  EXPECT_EQ(screenRow(5), std::string(22, ' ') + "Ativo SIM");
  for (int col = 1; col <= kLabelWidth; ++col) EXPECT_EQ(bg(col, 4), 4) << col;
  EXPECT_EQ(bg(29, 3), 0);
  EXPECT_EQ(fg(29, 3), fg(29, 4));  // the edited value is back in normal colours
}

TEST_F(FormTest, EachFieldIsAnnouncedByLabelThenValue) {
  speechState().soundDirectory = workDir().string() + "/sons/";
  touch(workDir() / "sons" / "CHIDADE.wav");
  moveCursor(1, 3);
  beginForm();
  addTextField("CHNOME", "Nome", name, 30);
  addIntegerField("CHIDADE", "Idade", number);
  keys("Enter Esc");
  forget();
  runForm(true);
  EXPECT_EQ(said(), (Lines{"say Nome", "say Fulano", "sound CHIDADE", "say 42"}));
}

TEST_F(FormTest, WalkingPastEitherEndBeepsAndTheNextKeyDecides) {
  personForm();
  keys("Up Down Tab Down Down \"q\" Up PgDn");
  forget();
  EXPECT_EQ(runForm(true), 81);
  EXPECT_EQ(said(), (Lines{"say Nome", "say Fulano",
                           "beep",                      // above the first
                           "say Nome", "say Fulano",
                           "say Idade", "say 42",
                           "say Ativo", "say SIM",
                           "beep",                      // below the last
                           "beep",                      // a letter: no move
                           "say Ativo", "say SIM"}));
}

TEST_F(FormTest, CtrlUpAndCtrlDownJumpToTheEnds) {
  personForm();
  keys("Ctrl+Down Ctrl+Up PgUp");
  forget();
  EXPECT_EQ(runForm(true), 73);
  EXPECT_EQ(said(), (Lines{"say Nome", "say Fulano", "say Ativo", "say SIM",
                           "say Nome", "say Fulano"}));
}

TEST_F(FormTest, TypedValuesAreStored) {
  personForm();
  keys("\"Beltrano\" Enter \"17\" Enter Esc");
  runForm(true);
  EXPECT_EQ(name, "Beltrano");
  EXPECT_EQ(number, 17);
  EXPECT_TRUE(flag);
}

TEST_F(FormTest, YesNoAnswers) {
  personForm();
  keys("Ctrl+Down \"nao\" Esc");
  runForm(true);
  EXPECT_FALSE(flag);

  personForm();  // any other text is yes
  keys("Ctrl+Down \"talvez\" Esc");
  runForm(true);
  EXPECT_TRUE(flag);

  for (bool before : {false, true}) {  // an emptied field leaves it alone
    flag = before;
    personForm();
    keys("Ctrl+Down Ctrl+Y Esc");
    runForm(true);
    EXPECT_EQ(flag, before);
  }

  flag = true;
  personForm();
  keys("Ctrl+Down \"  n\" Esc");  // blanks around the answer do not count
  runForm(true);
  EXPECT_FALSE(flag);
}

TEST_F(FormTest, NumberFieldsKeepTheLeadingDigits) {
  personForm();
  keys("Down \"12x3\" Esc");
  runForm(true);
  EXPECT_EQ(number, 12);

  personForm();
  keys("Down \"abc\" Esc");
  runForm(true);
  EXPECT_EQ(number, 0);

  EXPECT_EQ(integerOfText("-7"), -7);
  EXPECT_EQ(integerOfText("+8"), 8);
  EXPECT_EQ(integerOfText(""), 0);
  EXPECT_EQ(integerOfText("9999999999"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(integerOfText("-9999999999"), std::numeric_limits<int32_t>::min());
}

TEST_F(FormTest, F9OffersSimAndNaoInAMagentaPopup) {
  personForm();
  keys("Ctrl+Down F9 Down Enter Esc");
  forget();
  runForm(true);
  EXPECT_FALSE(flag);
  const Lines s = said();
  EXPECT_NE(std::find(s.begin(), s.end(), "say N\xC3O"), s.end());
  EXPECT_EQ(screenRow(5), std::string(22, ' ') + "Ativo N\xC3O");
  for (int row = 1; row <= kConsoleRows; ++row)
    for (int col = 1; col <= kConsoleColumns; ++col) ASSERT_NE(bg(col, row), 5);

  flag = true;
  personForm();
  keys("Ctrl+Down F9 Down Esc Esc");  // ESC in the popup keeps the value
  runForm(true);
  EXPECT_TRUE(flag);

  personForm();
  keys("Ctrl+Down F9");  // the window closes while the popup waits
  EXPECT_THROW(runForm(true), plat::ExitRequest);
  EXPECT_EQ(screenCharAt(29, 5), 'S');
  EXPECT_EQ(screenCharAt(29, 6), 'N');
  for (int col = 29; col <= 31; ++col) {
    EXPECT_EQ(bg(col, 5), 5);
    EXPECT_EQ(fg(col, 5), 14);  // current
    EXPECT_EQ(bg(col, 6), 5);
  }
  EXPECT_NE(bg(32, 5), 5);
}

TEST_F(FormTest, F9OnAFieldWithoutOptionsDoesNothing) {
  personForm();
  keys("F9 Esc");
  forget();
  runForm(true);
  EXPECT_EQ(name, "Fulano");
  EXPECT_EQ(said(), (Lines{"say Nome", "say Fulano", "say Nome", "say Fulano"}));
}

TEST_F(FormTest, ATallFormScrollsOneRowAtATime) {
  std::string values[8];
  moveCursor(1, 22);
  beginForm();
  for (int i = 0; i < 8; ++i) {
    values[i] = "v" + std::to_string(i + 1);
    addTextField("", "Campo " + std::to_string(i + 1), values[i], 10);
  }
  keys("Enter Enter Enter Enter");  // then the window closes on field 5
  EXPECT_THROW(runForm(true), plat::ExitRequest);
  EXPECT_EQ(formState().scroll, 1);
  EXPECT_EQ(screenRow(22), std::string(20, ' ') + "Campo 2 v2");
  EXPECT_EQ(screenRow(25), std::string(20, ' ') + "Campo 5 v5");

  moveCursor(1, 22);
  beginForm();
  for (int i = 0; i < 8; ++i) addTextField("", "Campo " + std::to_string(i + 1), values[i], 10);
  keys("Ctrl+Down Ctrl+Up");
  EXPECT_THROW(runForm(true), plat::ExitRequest);
  EXPECT_EQ(formState().scroll, 0);
  EXPECT_EQ(screenRow(22), std::string(20, ' ') + "Campo 1 v1");
  EXPECT_EQ(screenRow(25), std::string(20, ' ') + "Campo 4 v4");
}

TEST_F(FormTest, WideFieldsAreCutToTheScreenAndTheFieldCountIsCapped) {
  FormField field;
  field.maxLength = 40;
  EXPECT_EQ(visibleWidth(field), 40);
  field.maxLength = 51;
  EXPECT_EQ(visibleWidth(field), 51);
  field.maxLength = 200;
  EXPECT_EQ(visibleWidth(field), 51);

  std::string text;
  beginForm();
  for (int i = 0; i < kMaxFormFields + 5; ++i) addTextField("", "x", text, 5);
  EXPECT_EQ(formState().fields.size(), static_cast<size_t>(kMaxFormFields));
}

}  // namespace
