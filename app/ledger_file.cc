#include "app/ledger_file.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "platform/platform.h"

namespace {

const char kLineEnd[] = "\r\n";
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

// A name beside `target` that no file holds yet.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
  std::error_code ec;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = target;
    candidate += ".tmp" + std::to_string(attempt);
    if (!std::filesystem::exists(candidate, ec) && !ec) return candidate;
  }
  return {};
}

}  // namespace

std::string resolveLedgerPath(std::string_view name) {
  std::string path(name);
  if (!hasSeparator(path)) {
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
  for (const char* line : lines) text += std::string(line) + kLineEnd;
  text += std::string(kSeparatorLength, '-') + kLineEnd;
  return text;
}

bool replaceFileContents(std::string_view path, std::string_view bytes) {
  if (path.empty()) return false;
  const std::filesystem::path target = plat::system().nativePath(path);
  const std::filesystem::path temp = temporaryBeside(target);
  if (temp.empty()) return false;
  std::error_code ec;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    // On the disk before the rename, so the new name never shows a file
    // whose data a power cut could still lose.
    if (!out || !plat::system().flushFileToDisk(temp)) {
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return false;
  }
  // The rename itself, recorded in the directory. The file is already
  // complete under its name, so a failure here is not a failed write.
  const std::filesystem::path directory = target.parent_path();
  if (!directory.empty()) plat::system().flushFileToDisk(directory);
  return true;
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
