// Reading and writing the ledger file: nine lines per entry, CR LF.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/ledger.h"
#include "app/ledger_file.h"
#include "platform/platform.h"
#include "platform/shared/codepage.h"
#include "platform/shared/whole_file.h"

namespace {

constexpr int kLinesPerEntry = 9;
using plat::kLineEnd;

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// A field as one stored line: cut to the field length, and a line feed
// (from pasted text, say) kept from splitting the entry over two lines.
void addLine(std::string& out, std::string_view field) {
  if (field.size() > kLedgerFieldLength) field = field.substr(0, kLedgerFieldLength);
  const size_t start = out.size();
  out += field;
  for (size_t i = start; i < out.size(); ++i) {
    if (out[i] == '\n') out[i] = ' ';
  }
  out += kLineEnd;
}

// The nine lines of an entry; `letter` is line 4.
void addEntry(std::string& out, const LedgerEntry& e, char letter) {
  addLine(out, e.date);
  addLine(out, e.documentType);
  addLine(out, e.value);
  out += letter == '\n' ? ' ' : letter;
  out += kLineEnd;
  addLine(out, e.serialNumber);
  addLine(out, e.documentNumber);
  addLine(out, e.payee);
  addLine(out, e.purpose);
  addLine(out, std::string(40, '-'));
}

// Lines one after another; past the end every line is empty.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool atEnd() const { return pos_ >= text_.size(); }
  std::string next() {
    if (atEnd()) return {};
    size_t end = text_.find('\n', pos_);
    const size_t stop = end == std::string_view::npos ? text_.size() : end;
    std::string_view line = text_.substr(pos_, stop - pos_);
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kLedgerFieldLength) line = line.substr(0, kLedgerFieldLength);
    return std::string(line);
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// What must go before a new entry so that it starts on a line of its own
// and on an entry boundary, however the file ended: the last line's end,
// then the lines completing a cut-short last entry.
std::string alignmentBefore(const std::string& existing) {
  if (existing.empty()) return {};
  std::string prefix;
  size_t lines = 0;
  for (char c : existing) lines += c == '\n';
  if (existing.back() != '\n') {
    prefix += kLineEnd;
    ++lines;
  }
  // The missing lines are empty fields, and the separator, so the file
  // keeps the shape a ledger is recognised by.
  while (lines % kLinesPerEntry != 0) {
    ++lines;
    if (lines % kLinesPerEntry == 0) prefix += std::string(40, '-');
    prefix += kLineEnd;
  }
  return prefix;
}

// Appends and flushes; on any failure the file is cut back to `oldSize`.
bool appendBytes(const std::filesystem::path& path, uintmax_t oldSize,
                 const std::string& bytes) {
  bool ok;
  {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ok = static_cast<bool>(out);
  }
  if (ok) ok = plat::system().flushFileToDisk(path);
  if (!ok) {
    std::error_code ec;
    std::filesystem::resize_file(path, oldSize, ec);
  }
  return ok;
}

}  // namespace

namespace {

// The current ledger file's text, "" when it does not exist yet. False,
// with the reason heard, when no entry may be appended to it: no name, a
// file that cannot be read, or one that is not a ledger (it would be
// scrambled by entries).
bool readForAppend(std::string* existing, bool* exists) {
  const std::string& name = currentBank().ledgerFile;
  if (name.empty()) {
    speakMessage("CHLANNAO", 1);
    return false;
  }
  const std::filesystem::path path = plat::system().nativePath(name);
  std::error_code ec;
  *exists = std::filesystem::exists(path, ec);
  if (*exists && (!plat::readWholeFile(path, existing) || !isLedgerText(*existing))) {
    speakMessage("CHLANERR", 1);
    return false;
  }
  return true;
}

}  // namespace

bool ledgerTakesEntries() {
  std::string existing;
  bool exists = false;
  return readForAppend(&existing, &exists);
}

bool appendEntry(const LedgerEntry& entry) {
  std::string existing;
  bool exists = false;
  if (!readForAppend(&existing, &exists)) return false;
  const std::filesystem::path path = plat::system().nativePath(currentBank().ledgerFile);
  std::string bytes = alignmentBefore(existing);
  addEntry(bytes, entry, entry.debitCredit.empty() ? ' ' : entry.debitCredit[0]);
  if (!appendBytes(path, existing.size(), bytes)) {
    std::error_code ec;
    if (!exists) std::filesystem::remove(path, ec);
    speakMessage("CHLANERR", 1);
    return false;
  }
  speakMessage("CHLANREG", 1);
  return true;
}

void loadLedgerFromText(std::string_view text) {
  LedgerState& s = ledgerState();
  s.entries.clear();
  s.balancesValid = false;
  s.loadFailed = false;
  LineReader lines(text);
  while (!lines.atEnd()) {
    LedgerEntry e;
    e.date = lines.next();
    e.documentType = lines.next();
    e.value = lines.next();
    e.debitCredit = lines.next();
    e.serialNumber = lines.next();
    e.documentNumber = lines.next();
    e.payee = lines.next();
    e.purpose = lines.next();
    lines.next();  // the separator, whatever it holds
    s.entries.push_back(std::move(e));
  }
}

namespace {

// The first line of an entry as the program writes it: a date dd/mm/yyyy,
// or blanks (the opening entry), or nothing yet.
bool looksLikeEntryStart(std::string_view line) {
  if (line.find_first_not_of(' ') == std::string_view::npos) return true;
  if (line.size() != 10 || line[2] != '/' || line[5] != '/') return false;
  for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
    if (line[i] < '0' || line[i] > '9') return false;
  return true;
}

}  // namespace

bool isLedgerText(std::string_view text) {
  const std::string separator(40, '-');
  LineReader lines(text);
  int n = 1;
  std::string first;
  for (; !lines.atEnd(); ++n) {
    const std::string line = lines.next();
    if (n == 1) first = line;
    if (n % kLinesPerEntry == 0 && line != separator) return false;
  }
  // Shorter than one entry: only the start of an entry the program was
  // writing, not a few lines of anything.
  return n > kLinesPerEntry || looksLikeEntryStart(first);
}

std::string ledgerFileText() {
  const LedgerState& s = ledgerState();
  std::string bytes;
  bytes.reserve(s.entries.size() * 96);
  for (const LedgerEntry& e : s.entries)
    addEntry(bytes, e, e.debitCredit.empty() ? ' ' : upperAscii(e.debitCredit[0]));
  return bytes;
}

bool loadLedger() {
  std::string bytes;
  const std::string& name = currentBank().ledgerFile;
  if (name.empty() || !plat::readWholeFile(plat::system().nativePath(name), &bytes) ||
      !isLedgerText(bytes)) {
    LedgerState& s = ledgerState();
    s.entries.clear();
    s.balancesValid = false;
    s.loadFailed = true;
    speakMessage("CHARQERR", 1);
    return false;
  }
  loadLedgerFromText(bytes);
  return true;
}

bool saveLedger() {
  // The list is not the ledger when it could not be read.
  if (ledgerState().loadFailed) return false;
  if (!replaceFileContents(currentBank().ledgerFile, ledgerFileText())) {
    speakMessage("CHLANNAT", 1);
    return false;
  }
  return true;
}
