#include "app/bank_records.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "synth/family_settings.h"

namespace {

constexpr const char* kFamilyFileName = "LUMIRA.INI";
constexpr const char* kProgramSection = "TALONIX";

const char* const kLayoutKeys[kLayoutPointCount] = {
    "ajusteMM",      "posValor",  "posExtenso1", "posExtenso2", "posFavorecido",
    "posCidade",     "posDia",    "posMes",      "posAno",      "posCruzamento",
    "fimCruzamento"};

LayoutPoint ChequeLayout::*const kLayoutMembers[kLayoutPointCount] = {
    &ChequeLayout::adjustment, &ChequeLayout::value, &ChequeLayout::words1,
    &ChequeLayout::words2,     &ChequeLayout::payee, &ChequeLayout::city,
    &ChequeLayout::day,        &ChequeLayout::month, &ChequeLayout::year,
    &ChequeLayout::crossingStart, &ChequeLayout::crossingEnd};

constexpr ChequeLayout kFactoryLayout = {
    {0, 0}, {130, 0}, {26, 6}, {8, 12}, {8, 18},
    {70, 25}, {108, 25}, {125, 25}, {157, 25}, {45, 0}, {35, 30}};

// Values longer than the buffer are cut, the way the profile call cuts them.
std::string readProfile(const char* section, const char* key,
                        const char* defaultValue, const char* file) {
  return plat::readProfileString(section, key, defaultValue, file,
                                 kShortTextLength + 1);
}

std::string readBankValue(const std::string& bank, const char* key,
                          const char* defaultValue) {
  return readProfile(bank.c_str(), key, defaultValue, kProgramSettingsFile);
}

void writeBankValue(const std::string& bank, const char* key,
                    const std::string& value) {
  plat::profile().writePrivateProfileString(bank.c_str(), key, value.c_str(),
                                             kProgramSettingsFile);
}

// Reads one number of a point from `pos` on; 0 when none is left.
int32_t readPointNumber(std::string_view text, size_t* pos) {
  size_t i = *pos;
  while (i < text.size() && text[i] != '-' && (text[i] < '0' || text[i] > '9'))
    ++i;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= INT32_MAX) value = value * 10 + (text[i] - '0');
  }
  *pos = i;
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

// --- State -----------------------------------------------------------------

BankRecordsState& bankRecordsState() {
  static BankRecordsState state;
  return state;
}

void resetBankRecords() {
  bankRecordsState() = BankRecordsState{};
  setFactoryPositions();
}

BankProfile& currentBank() { return bankRecordsState().bank; }
const std::string& currentBankName() { return bankRecordsState().bankName; }
void setCurrentBankName(std::string_view name) {
  bankRecordsState().bankName = std::string(name.substr(0, kShortTextLength));
}
PersonalData& personalData() { return bankRecordsState().personal; }
const std::string& currencySingular() {
  return bankRecordsState().currencySingular;
}
const std::string& currencyPlural() { return bankRecordsState().currencyPlural; }

const char* layoutKey(int index) {
  return index >= 0 && index < kLayoutPointCount ? kLayoutKeys[index] : "";
}

LayoutPoint* layoutPoint(ChequeLayout& layout, int index) {
  if (index < 0 || index >= kLayoutPointCount) return nullptr;
  return &(layout.*kLayoutMembers[index]);
}

const LayoutPoint* layoutPoint(const ChequeLayout& layout, int index) {
  if (index < 0 || index >= kLayoutPointCount) return nullptr;
  return &(layout.*kLayoutMembers[index]);
}

// --- Value formats -----------------------------------------------------------

bool parseSettingBool(std::string_view text) {
  return text.empty() || (text[0] != 'N' && text[0] != 'n');
}

const char* formatSettingBool(bool value) { return value ? "S" : "N"; }

LayoutPoint parseSettingPoint(std::string_view text) {
  size_t pos = 0;
  LayoutPoint point;
  point.x = readPointNumber(text, &pos);
  point.y = readPointNumber(text, &pos);
  return point;
}

std::string formatSettingPoint(LayoutPoint point) {
  return std::to_string(point.x) + "," + std::to_string(point.y);
}

// --- Family settings -----------------------------------------------------------

std::string readProgramFamilyValue(const char* key) {
  const std::string file = familySettingsFile();
  return readProfile(kProgramSection, key, "", file.c_str());
}

void writeProgramFamilyValue(const char* key, std::string_view value) {
  // The file the reads use, so the next read sees the value; the Windows
  // directory's file when none exists anywhere yet.
  std::string file = familySettingsFile();
  if (file != kFamilyFileName && !plat::system().fileExists(file))
    file = kFamilyFileName;
  const std::string text(value);
  plat::profile().writePrivateProfileString(kProgramSection, key, text.c_str(),
                                             file.c_str());
}

// --- Banks -----------------------------------------------------------------------

const ChequeLayout& factoryLayout() { return kFactoryLayout; }

void setFactoryPositions() { currentBank().layout = kFactoryLayout; }

void loadBank(std::string_view bankName) {
  const std::string bank(bankName.substr(0, kShortTextLength));
  BankProfile& profile = currentBank();
  // The whole path is read back: a cut one would name another file.
  profile.ledgerFile = readBankValue(bank, "arquivoLanc", "");
  profile.yearFourDigits = parseSettingBool(readBankValue(bank, "ano4Digitos", "S"));
  profile.printLyingDown =
      parseSettingBool(readBankValue(bank, "imprimeDeitado", "N"));
  for (int i = 0; i < kLayoutPointCount; ++i) {
    const std::string missing =
        i < kFrontFieldPointCount
            ? "0,0"
            : formatSettingPoint(*layoutPoint(kFactoryLayout, i));
    *layoutPoint(profile.layout, i) = parseSettingPoint(
        readBankValue(bank, kLayoutKeys[i], missing.c_str()));
  }
  writeProgramFamilyValue("BANCOATUAL", bank);
  setCurrentBankName(bank);
}

void saveBank(std::string_view bankName) {
  if (bankName.empty()) return;
  const std::string bank(bankName.substr(0, kShortTextLength));
  const BankProfile& profile = currentBank();
  plat::profile().writePrivateProfileString(kBankListSection, bank.c_str(), "",
                                             kProgramSettingsFile);
  writeBankValue(bank, "arquivoLanc", profile.ledgerFile);
  writeBankValue(bank, "ano4Digitos", formatSettingBool(profile.yearFourDigits));
  writeBankValue(bank, "imprimeDeitado",
                 formatSettingBool(profile.printLyingDown));
  for (int i = 0; i < kLayoutPointCount; ++i) {
    writeBankValue(bank, kLayoutKeys[i],
                   formatSettingPoint(*layoutPoint(profile.layout, i)));
  }
}

void registerBank(std::string_view bankName, std::string_view ledgerFile) {
  BankProfile& profile = currentBank();
  setFactoryPositions();
  profile.yearFourDigits = true;
  profile.printLyingDown = true;
  profile.ledgerFile = std::string(ledgerFile);
  saveBank(bankName);
}

std::vector<std::string> registeredBankNames(size_t listBytes, size_t maxNames) {
  std::vector<std::string> names;
  if (listBytes < 2) return names;
  std::vector<char> list(listBytes, '\0');
  const size_t length = plat::profile().getPrivateProfileString(
      kBankListSection, nullptr, "", list.data(), list.size(), kProgramSettingsFile);
  for (size_t i = 0; i < length && i < list.size() && names.size() < maxNames;) {
    const std::string name(list.data() + i);
    if (name.empty()) break;
    i += name.size() + 1;
    names.push_back(name);
  }
  return names;
}

std::string storedLedgerFile(std::string_view bankName) {
  const std::string bank(bankName.substr(0, kShortTextLength));
  return bank.empty() ? std::string() : readBankValue(bank, "arquivoLanc", "");
}

std::string readBankSetting(std::string_view bankName, const char* key,
                            size_t bufferSize) {
  const std::string bank(bankName.substr(0, kShortTextLength));
  return plat::readProfileString(bank.c_str(), key, "", kProgramSettingsFile,
                                 bufferSize);
}

void writeBankSetting(std::string_view bankName, const char* key,
                      std::string_view value) {
  const std::string bank(bankName.substr(0, kShortTextLength));
  if (!bank.empty()) writeBankValue(bank, key, std::string(value));
}
