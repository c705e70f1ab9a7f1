// Start-up load of the settings: currency, current bank (the factory bank
// when none is usable), window title and personal data.
#include <string>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/commands.h"
#include "app/ledger_file.h"
#include "platform/platform.h"
#include "speech/speech.h"

namespace {

void loadCurrency() {
  BankRecordsState& state = bankRecordsState();
  state.currencySingular = readProgramFamilyValue("MOEDA");
  state.currencyPlural = readProgramFamilyValue("MOEDAS");
  if (state.currencySingular.empty() || state.currencyPlural.empty()) {
    state.currencySingular = "real";
    state.currencyPlural = "reais";
    writeProgramFamilyValue("MOEDA", state.currencySingular);
    writeProgramFamilyValue("MOEDAS", state.currencyPlural);
  }
}

// A bank counts as registered when its section holds "ano4Digitos".
bool isRegistered(const std::string& bank) {
  if (bank.empty()) return false;
  return !plat::readProfileString(bank.c_str(), "ano4Digitos", "",
                                  kProgramSettingsFile, 4).empty();
}

void loadPersonalData() {
  PersonalData& data = personalData();
  data.name = readProgramFamilyValue("Nome");
  data.identity = readProgramFamilyValue("Identidade");
  data.issuer = readProgramFamilyValue("Expedidor");
  data.cpf = readProgramFamilyValue("CPF");
  data.address = readProgramFamilyValue("Endereco");
  data.telephone = readProgramFamilyValue("Telefone");
  data.district = readProgramFamilyValue("Bairro");
  data.city = readProgramFamilyValue("Cidade");
}

}  // namespace

void loadSettings() {
  loadCurrency();
  setCurrentBankName(readProgramFamilyValue("BANCOATUAL"));
  if (!isRegistered(currentBankName())) {
    setCurrentBankName(kFactoryBankName);
    registerBank(kFactoryBankName, resolveLedgerPath(kFactoryLedgerName));
    createLedgerFile();
  }
  const std::string bank = currentBankName();
  loadBank(bank);
  plat::window().setTitle("Talonix " + bank);
  loadPersonalData();
  if (personalData().name.empty()) speakMessage("CHEXECAD", 2);
  speakMessage("CHBANATU", 0);
  writeLineSpeak(bank);
}
