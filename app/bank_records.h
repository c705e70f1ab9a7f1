// The current bank and its cheque layout, the issuer's personal data and
// the currency names: the records every command reads, and the procedures
// that load them from and save them to the two settings files.
//
// TALONIX.INI (bare name, the Windows directory) lists the banks as keys of
// section "Bancos" and holds one section per bank. The family settings file
// LUMIRA.INI holds, in section "TALONIX", the currency, the current bank's
// name ("BANCOATUAL") and the personal data.
#ifndef TALONIX_APP_BANK_RECORDS_H_
#define TALONIX_APP_BANK_RECORDS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A print position in whole millimetres: x to the right, y downwards.
struct LayoutPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const LayoutPoint&) const = default;
};

// Where each part of a cheque is printed; `adjustment` is added to all.
struct ChequeLayout {
  LayoutPoint adjustment;  // "ajusteMM"
  LayoutPoint value;       // "posValor"
  LayoutPoint words1;      // "posExtenso1"
  LayoutPoint words2;      // "posExtenso2"
  LayoutPoint payee;       // "posFavorecido"
  LayoutPoint city;        // "posCidade"
  LayoutPoint day;         // "posDia"
  LayoutPoint month;       // "posMes"
  LayoutPoint year;        // "posAno"
  // A crossed cheque's two parallel lines: the first runs from start to
  // end, the second kCrossingGapMm to its right.
  LayoutPoint crossingStart;  // "posCruzamento"
  LayoutPoint crossingEnd;    // "fimCruzamento"
  bool operator==(const ChequeLayout&) const = default;
};

constexpr int kLayoutPointCount = 11;
// The nine points every bank has always had; the crossing points came
// later and read their factory values where a bank's section lacks them.
constexpr int kFrontFieldPointCount = 9;
constexpr int kCrossingGapMm = 5;
// The settings key of point i (0 = "ajusteMM" ... 8 = "posAno",
// 9 = "posCruzamento", 10 = "fimCruzamento"), in the order the points are
// stored.
const char* layoutKey(int index);
// Point i of the layout, in the same order; null outside 0..10.
LayoutPoint* layoutPoint(ChequeLayout& layout, int index);
const LayoutPoint* layoutPoint(const ChequeLayout& layout, int index);

struct BankProfile {
  std::string ledgerFile;       // "arquivoLanc": full path of the ledger
  bool yearFourDigits = true;   // "ano4Digitos"
  bool printLyingDown = true;   // "imprimeDeitado"
  ChequeLayout layout;
};

// Printed on the back of every cheque.
struct PersonalData {
  std::string name;        // "Nome"
  std::string identity;    // "Identidade"
  std::string issuer;      // "Expedidor"
  std::string cpf;         // "CPF"
  std::string telephone;   // "Telefone"
  std::string address;     // "Endereco"
  std::string district;    // "Bairro"
  std::string city;        // "Cidade"
};

// Longest text kept of a bank name, a personal field or a ledger path.
constexpr size_t kShortTextLength = 255;

struct BankRecordsState {
  std::string currencySingular = "real";
  std::string currencyPlural = "reais";
  std::string bankName;  // empty: no current bank
  BankProfile bank;
  PersonalData personal;
};

BankRecordsState& bankRecordsState();
// Back to the state of program start (factory layout, no bank).
void resetBankRecords();

// Accessors the other modules use.
BankProfile& currentBank();
const std::string& currentBankName();
void setCurrentBankName(std::string_view name);
PersonalData& personalData();
const std::string& currencySingular();
const std::string& currencyPlural();

// --- Value formats ---------------------------------------------------------
// False only when the first character, upper-cased, is 'N'.
bool parseSettingBool(std::string_view text);
const char* formatSettingBool(bool value);
// Two signed decimals: each skips up to the next digit or '-', then reads
// an optional '-' and digits; a missing number is 0. Saturates at the
// limits of 32 bits.
LayoutPoint parseSettingPoint(std::string_view text);
std::string formatSettingPoint(LayoutPoint point);  // "x,y"

// --- Settings files --------------------------------------------------------
constexpr const char* kProgramSettingsFile = "TALONIX.INI";
constexpr const char* kBankListSection = "Bancos";
constexpr const char* kFactoryBankName = "Banco do Brasil";
constexpr const char* kFactoryLedgerName = "brasil.chq";

// The factory values for every point, the general adjustment included.
const ChequeLayout& factoryLayout();
void setFactoryPositions();
// Reads the bank's section into the current BankProfile, makes the bank
// current and records it as "BANCOATUAL".
void loadBank(std::string_view bankName);
// Writes the current BankProfile under the name and lists the bank in
// "Bancos". Nothing for an empty name.
void saveBank(std::string_view bankName);
// Factory layout, both flags true and the ledger file, then saveBank.
void registerBank(std::string_view bankName, std::string_view ledgerFile);

// The registered banks: the key names of section "Bancos", in file order,
// as far as they fit a list of `listBytes` bytes (names ended by NUL), at
// most `maxNames` of them.
std::vector<std::string> registeredBankNames(size_t listBytes, size_t maxNames);
// A bank's stored ledger file ("arquivoLanc"), empty when it has none.
std::string storedLedgerFile(std::string_view bankName);
// One key of a bank's section as stored, read with a buffer of
// `bufferSize` bytes (so cut to bufferSize - 1 characters); "" when absent.
std::string readBankSetting(std::string_view bankName, const char* key,
                            size_t bufferSize);
// Writes one key of a bank's section; nothing for an empty bank name.
void writeBankSetting(std::string_view bankName, const char* key,
                      std::string_view value);

// A key of section "TALONIX" of the family settings file as stored (no
// "@" expansion: these are names, not paths), cut to kShortTextLength.
std::string readProgramFamilyValue(const char* key);
// Writes a key of section "TALONIX" to the family settings file the reads
// use, or to the Windows directory's LUMIRA.INI when there is none yet.
void writeProgramFamilyValue(const char* key, std::string_view value);

#endif  // TALONIX_APP_BANK_RECORDS_H_
