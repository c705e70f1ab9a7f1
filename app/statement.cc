// Command X: the current ledger, sorted by date with its running balance,
// as a plain text statement in a file the user names.
#include "app/statement.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/commands.h"
#include "app/ledger.h"
#include "app/ledger_file.h"
#include "platform/platform.h"
#include "platform/shared/codepage.h"
#include "speech/line_editor.h"
#include "synth/family_settings.h"

namespace {

using plat::kLineEnd;

void padTo(std::string& line, size_t length) {
  if (line.size() < length) line.append(length - line.size(), ' ');
}

std::string cp1252Of(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return plat::utf8ToCp1252(
      std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

// True when the two names lead to one file, however each is spelt.
bool sameFile(std::string_view a, std::string_view b) {
  const std::filesystem::path pa = plat::system().nativePath(a);
  const std::filesystem::path pb = plat::system().nativePath(b);
  std::error_code ec;
  if (std::filesystem::equivalent(pa, pb, ec) && !ec) return true;
  // Absolute first: of a name where nothing exists yet, weakly_canonical
  // keeps a relative name relative, never equal to a ledger's full path.
  std::error_code ea, eb, fa, fb;
  const std::filesystem::path ca =
      std::filesystem::weakly_canonical(std::filesystem::absolute(pa, fa), ea);
  const std::filesystem::path cb =
      std::filesystem::weakly_canonical(std::filesystem::absolute(pb, fb), eb);
  if (ea || eb || fa || fb) return false;
  if (ca == cb) return true;
  // A file not made yet: Windows file names ignore case, so "CONTA.CHQ"
  // would become the ledger "conta.chq" registered for another bank.
  return plat::system().pathSeparator() == '\\' &&
         plat::equalsIgnoreCase1252(cp1252Of(ca), cp1252Of(cb));
}

// The current ledger or any registered bank's: a statement written there
// would put itself in place of the entries.
bool isSomeLedger(std::string_view name, std::string_view currentLedger) {
  if (sameFile(name, currentLedger)) return true;
  // Every bank, however long the list.
  constexpr size_t kWholeListBytes = 1u << 20;
  for (const std::string& bank : registeredBankNames(kWholeListBytes, SIZE_MAX)) {
    const std::string ledger = storedLedgerFile(bank);
    if (!ledger.empty() && sameFile(name, ledger)) return true;
  }
  return false;
}

// The settings files: a statement there would replace the list of banks
// with their print positions, or the speech and display settings. On
// Windows they may sit beside the program, in the folder where the user
// types names.
bool isSettingsFile(std::string_view name) {
  const std::string windows = withTrailingSeparator(plat::system().windowsDirectory());
  std::string family = familySettingsFile();
  if (family == "LUMIRA.INI") family = windows + family;
  return sameFile(name, windows + kProgramSettingsFile) ||
         sameFile(name, windows + "LUMIRA.INI") || sameFile(name, family);
}

}  // namespace

std::string statementLine(const LedgerEntry& entry, double balance) {
  std::string line = entry.date;
  padTo(line, 12);
  line += entry.documentNumber;
  padTo(line, 24);
  line += entry.documentType;
  if (entry.value.size() < 62) padTo(line, 62 - entry.value.size());
  line += entry.value;
  const std::string balanceText = formatAmount(balance);
  if (balanceText.size() < 79) padTo(line, 79 - balanceText.size());
  line += balanceText;
  return line;
}

std::string statementText() {
  std::string text = "Talonix - " + currentBankName() + kLineEnd;
  text += "Data        N\xFAmero      Documento                        Valor            Saldo";
  text += kLineEnd;
  text += std::string(79, '-') + kLineEnd;
  for (size_t k = 1; k <= ledgerCount(); ++k)
    text += statementLine(ledgerEntry(k), balanceUpTo(k)) + kLineEnd;
  return text;
}

void exportStatement() {
  const std::string ledgerName = currentBank().ledgerFile;
  if (ledgerName.empty()) {
    speakMessage("CHARQNDF", 1);
    return;
  }
  speakMessage("CHQTXT", 1);
  std::string typed;
  readLineSpoken(typed);
  const std::string name = typedFileName(typed);
  if (name.empty() || isSomeLedger(name, ledgerName) || isSettingsFile(name)) {
    speakMessage("CHARQINC", 1);
    return;
  }
  loadLedger();
  sortLedger();
  const std::string text = statementText();
  resetLedger();
  if (!replaceFileContents(name, text)) {
    speakMessage("CHARQNCR", 1);
    return;
  }
  speakMessage("CHOK", 1);
}
