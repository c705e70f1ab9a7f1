#include "app/ledger_file.h"

#include <filesystem>
#include <string>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "platform/platform.h"
#include "platform/shared/codepage.h"
#include "platform/shared/whole_file.h"

namespace {

constexpr int kSeparatorLength = 40;

bool isSeparator(char c) {
  return c == '\\' || c == plat::system().pathSeparator();
}

bool hasSeparator(std::string_view path) {
  for (char c : path) {
    if (isSeparator(c)) return true;
  }
  return false;
}

// "D:conta" names a file in drive D's current directory: prefixing ours
// would give C:\Contas\D:conta, which no file can be. Only on systems
// whose paths have drives (separator '\'); elsewhere ':' is a character
// like any other.
bool hasDrive(std::string_view path) {
  return plat::system().pathSeparator() == '\\' && path.size() >= 2 &&
         path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string typedFileName(std::string_view typed) {
  const size_t first = typed.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(typed.substr(first));
}

std::string resolveLedgerPath(std::string_view name) {
  std::string path(name);
  if (!hasSeparator(path) && !hasDrive(path)) {
    std::string directory = plat::system().currentDirectory();
    if (directory.empty() || !isSeparator(directory.back()))
      directory += plat::system().pathSeparator();
    path = directory + path;
  }
  if (path.find('.') == std::string::npos) path += ".CHQ";
  return path;
}

std::string openingEntryText() {
  const char* const lines[8] = {"          ", "Saldo Anterior", "0,00", "C",
                                "",           "",               "",
                                "Saldo Anterior"};
  std::string text;
  for (const char* line : lines) text += std::string(line) + plat::kLineEnd;
  text += std::string(kSeparatorLength, '-') + plat::kLineEnd;
  return text;
}

bool replaceFileContents(std::string_view path, std::string_view bytes) {
  if (path.empty()) return false;
  return plat::replaceWholeFile(plat::system().nativePath(path), bytes,
                                [](const std::filesystem::path& file) {
                                  return plat::system().flushFileToDisk(file);
                                });
}

bool createLedgerFile() {
  const std::string& path = currentBank().ledgerFile;
  // Anything already there, even a file this user may not read, is kept.
  if (!path.empty() && plat::system().fileExists(path)) return true;
  if (!replaceFileContents(path, openingEntryText())) {
    speakMessage("CHLANNAT", 1);
    return false;
  }
  return true;
}
