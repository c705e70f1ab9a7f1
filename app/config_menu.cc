// Command C: the configuration menu's loop, its help and arrow popup, the
// personal data, and registering, choosing and removing banks.
#include "app/config_menu.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/commands.h"
#include "app/key_menu.h"
#include "app/ledger_file.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "platform/platform.h"
#include "platform/shared/codepage.h"
#include "speech/forms.h"
#include "speech/line_editor.h"
#include "speech/menus.h"
#include "speech/speech.h"

namespace {

const char* const kConfigurationHelp[] = {"CHAJC0", "CHAJC1", "CHAJC2", "CHAJC3",
                                          "CHAJC4", "CHAJC5", "CHAJC9"};
const char* const kConfigurationItems[] = {"CHAJC1", "CHAJC2", "CHAJC3", "CHAJC4",
                                           "CHAJC5"};
const KeyMenu kConfigurationMenu = {"CHOPCONF", 5, kConfigurationHelp, 7,
                                    kConfigurationItems, "pnbcr", 5};

// The bank list as far as the chooser's buffer of names goes.
constexpr size_t kBankListBytes = 4000;
constexpr size_t kMaxListedBanks = 1000;
constexpr int kBankMenuWidth = 60;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string withoutBlanksAround(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

void showBankInTitle() {
  plat::window().setTitle(currentBankName().empty() ? "Talonix"
                                                    : "Talonix " + currentBankName());
}

// --- Personal data ---------------------------------------------------------

struct PersonalField {
  const char* identifier;
  const char* key;
  std::string PersonalData::*member;
  int formLength;
};

const PersonalField kPersonalFields[8] = {
    {"CHNOME", "Nome", &PersonalData::name, 50},
    {"CHIDENT", "Identidade", &PersonalData::identity, 20},
    {"CHEXPEDI", "Expedidor", &PersonalData::issuer, 20},
    {"CHCPF", "CPF", &PersonalData::cpf, 20},
    {"CHTELEFO", "Telefone", &PersonalData::telephone, 20},
    {"CHENDERE", "Endereco", &PersonalData::address, 50},
    {"CHBAIRRO", "Bairro", &PersonalData::district, 40},
    {"CHCIDADE", "Cidade", &PersonalData::city, 40},
};

std::string withoutTrailingBlanks(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void editPersonalData() {
  clearScreen();
  writeText("Talonix");
  writeLineEnd();
  writeLineEnd();
  speakMessage("CHALTPES", 2);
  PersonalData& data = personalData();
  const PersonalData before = data;
  beginForm();
  for (const PersonalField& f : kPersonalFields)
    addTextField(f.identifier, messageText(f.identifier), data.*f.member, f.formLength);
  runForm(true);
  for (const PersonalField& f : kPersonalFields) {
    std::string& value = data.*f.member;
    // The form shows only its length of a longer stored value; left as
    // shown, the value stays whole.
    const std::string& old = before.*f.member;
    if (old.size() > static_cast<size_t>(f.formLength) &&
        value == withoutTrailingBlanks(old.substr(0, f.formLength))) {
      value = old;
    }
    value = storableValue(value);
    writeProgramFamilyValue(f.key, value);
  }
  writeLineEnd();
  speakMessage("CHOKCONF", 1);
}

// --- Banks -----------------------------------------------------------------

bool isCurrentBank(const std::string& name) {
  return !currentBankName().empty() &&
         plat::equalsIgnoreCase1252(withoutBlanksAround(currentBankName()),
                                    withoutBlanksAround(name));
}

void changeBank() {
  const std::string name = chooseBank();
  if (name.empty()) return;
  loadBank(name);
  showBankInTitle();
  speakMessage("CHBANATU", 0);
  writeLineSpeak(name);
  writeLineEnd();
  speakMessage("CHOKCONF", 1);
}

// The bank's own section stays in the file, so registering the name again
// finds its old settings.
void removeBank() {
  const std::string name = chooseBank();
  if (name.empty()) return;
  plat::profile().writePrivateProfileString(kBankListSection, name.c_str(), nullptr,
                                             kProgramSettingsFile);
  if (isCurrentBank(name)) {
    setCurrentBankName("");
    writeProgramFamilyValue("BANCOATUAL", "");
    showBankInTitle();
    speakMessage("CHCNFNOV", 1);
  }
}

bool hasStoredPositions(const std::string& name) {
  return !readBankSetting(name, "posValor", kShortTextLength + 1).empty();
}

void registerNewBank() {
  speakMessage("CHNOVBNK", 1);
  std::string typed;
  readLineSpoken(typed);
  if (withoutBlanksAround(typed).empty()) {
    speakMessage("CHDESIST", 1);
    return;
  }
  const std::string name = storableBankName(typed);
  if (name.empty()) {
    speakMessage("CHBNKINV", 1);
    return;
  }
  plat::profile().writePrivateProfileString(kBankListSection, name.c_str(), "",
                                             kProgramSettingsFile);
  if (hasStoredPositions(name)) {
    speakMessage("CHPREVRG", 1);
  } else {
    speakMessage("CHINFARQ", 1);
    std::string ledgerName;
    readLineSpoken(ledgerName);
    registerBank(name, resolveLedgerPath(typedFileName(ledgerName)));
    createLedgerFile();
  }
  loadBank(name);
  showBankInTitle();
  speakMessage("CHBANATU", 0);
  writeLineSpeak(name);
}

// Runs one sub-command; false for ESC.
bool dispatch(uint8_t key) {
  switch (std::toupper(key)) {
    case kKeyEsc: return false;
    case 'P': editPersonalData(); return true;
    case 'N': registerNewBank(); return true;
    case 'B': changeBank(); return true;
    case 'C': configureCurrentBank(); return true;
    case 'R': removeBank(); return true;
    default: speakMessage("CHOPINV", 1); return true;
  }
}

}  // namespace

std::string storableBankName(std::string_view typed) {
  std::string name = withoutBlanksAround(typed);
  if (name.empty() || name.size() > kShortTextLength) return {};
  if (name.front() == '[' || name.front() == ';') return {};
  // The list's own section would take the bank's keys as bank names.
  if (plat::equalsIgnoreCase1252(name, kBankListSection)) return {};
  // Quotes around a value are dropped when it is read back ("BANCOATUAL").
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') return {};
  for (char c : name) {
    if (c == ']' || c == '=' || static_cast<uint8_t>(c) < 32 || c == 127) return {};
  }
  return name;
}

std::string storableValue(std::string_view text) {
  std::string value(text.substr(0, kShortTextLength));
  for (char& c : value) {
    if (static_cast<uint8_t>(c) < 32 || c == 127) c = ' ';
  }
  return value;
}

std::string chooseBank() {
  const std::vector<std::string> names =
      registeredBankNames(kBankListBytes, kMaxListedBanks);
  if (names.empty()) {
    speakMessage("CHSEMREG", 1);
    return {};
  }
  // Room for the list under the prompt, as far as the screen goes.
  const int count = static_cast<int>(names.size());
  const int room = std::min(count, kConsoleRows - 1);
  for (int i = 0; i < room; ++i) writeLineEnd();
  moveCursor(1, std::max(1, cursorRow() - room - 1));
  speakMessage("CHSELBNK", 1);
  beginMenu(1, cursorRow(), kBankMenuWidth);
  for (const std::string& name : names) addMenuItem("", name);
  const int chosen = runMenu(0);
  if (chosen < 1 || chosen > count) {
    speakMessage("CHDESIST", 1);
    return {};
  }
  return names[static_cast<size_t>(chosen - 1)];
}

void configurationMenu() {
  while (dispatch(readMenuCommand(kConfigurationMenu))) {
  }
}
