// Spoken forms: a column of labelled fields, one per row. The user walks
// from field to field with the arrow keys; each field's label and value
// are spoken when it is reached and the value is edited in place with the
// line editor. When the form ends every value is stored back into the
// variable it is bound to, whatever key ended it. There is one form at a
// time.
#ifndef TALONIX_SPEECH_FORMS_H_
#define TALONIX_SPEECH_FORMS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int kLabelWidth = 28;     // labels end here; values start after
constexpr int kMaxFormFields = 200;
constexpr int kShortStringLength = 255;
constexpr int kFormLabelBackground = 4;
constexpr int kFormEditColor = 14;
constexpr int kOptionsBackground = 5;

enum FieldKind : uint8_t { kTextField = 0, kIntegerField = 1, kYesNoField = 3 };

struct FormField {
  std::string identifier;  // its recording, when present, replaces the label
  std::string label;
  std::string value;
  std::string options;     // choices separated by '|'; empty for none
  int maxLength = 0;
  uint8_t kind = kTextField;
  std::string* text = nullptr;   // kind 0
  int32_t* integer = nullptr;    // kind 1
  bool* flag = nullptr;          // kind 3
};

struct FormState {
  std::vector<FormField> fields;
  int topRow = 1;   // the cursor row when the form began
  int scroll = 0;   // field rows scrolled off the top
};

FormState& formState();
void resetForms();

void beginForm();
void addTextField(std::string_view identifier, std::string_view label,
                  std::string& target, int maxLength);
void addIntegerField(std::string_view identifier, std::string_view label,
                     int32_t& target);
void addYesNoField(std::string_view identifier, std::string_view label,
                   bool& target);
// Runs the form and stores every field. Returns 27 (ESC) or the extended
// code 73 (PgUp) or 81 (PgDn) that ended it.
uint8_t runForm(bool editFlag);

// The F9 list of a field's options in a magenta popup at the cursor; the
// chosen one replaces the value, ESC leaves it.
void chooseOption(FormField& field);

// Visible width of a field's value: its maximum length, cut so that it
// ends in the screen's last column but one.
int visibleWidth(const FormField& field);
// The value a number field's text stores: the digits before the first
// character that is not one (0 when none), with an optional sign.
int32_t integerOfText(std::string_view text);

#endif  // TALONIX_SPEECH_FORMS_H_
