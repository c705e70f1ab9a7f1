// The ledger browser (the main menu's F): the entries of the current
// ledger, sorted by date, as a scrolling list with a running balance, a
// pane with the details of the current entry, a spoken summary on arrival
// at each entry, and commands to edit, add, remove, search and hear the
// final balance. Changes live in the ledger list until ESC saves it.
#ifndef TALONIX_APP_BROWSER_H_
#define TALONIX_APP_BROWSER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Screen rows of the browser (1-based).
constexpr int kBrowserListRow = 4;     // first of the list rows
constexpr int kBrowserListRows = 10;
constexpr int kBrowserDetailRow = 15;  // the pane's separator
constexpr int kBrowserPromptRow = 22;  // questions and answers
constexpr int kBrowserPaneEndRow = 24; // the pane is cleared up to here

struct BrowserState {
  size_t current = 0;     // 0: before the first entry; count + 1: past the end
  size_t firstShown = 1;  // the entry on the first list row
  std::string searchText; // kept for searching again
  bool detailsSpoken = false;
  // The last command waited for a key ("Saldo final", "Não achou"): that
  // key is the next command, even where no entry is current.
  bool keyKept = false;
  uint8_t attribute = 0x07;  // the colours the browser was opened in
};

BrowserState& browserState();
void resetBrowser();

// Runs the browser over the ledger list as it stands; neither loads nor
// saves. Returns after ESC with the screen cleared.
void runBrowser();

// The first entry from `from` (at least 1) on holding `text` in any of its
// eight fields, letters compared upper-cased (accented ones too); 0 when
// none does.
size_t findEntry(size_t from, std::string_view text);

// --- Drawing and speaking (browser_view.cc) -------------------------------
// Rows 1 to 3: the title with the bank name, the column titles, a rule.
void drawBrowserHeader();
// The ten list rows from the first shown entry; the current one in white.
void drawListRows();
// The text of entry i's list row: date, type, value and running balance.
std::string listRowText(size_t i);
// From row 15: a rule and, for an entry, its details; then blank lines
// down to row 24.
void drawDetailPane(size_t i);
// The short summary spoken on arrival: day and month, type, value, balance.
void speakSummary(size_t i);
// Everything the entry holds, for ENTER and space.
void speakDetails(size_t i);
// The browser's keys, written from row 15 and spoken.
void showBrowserHelp();
// An amount as heard: without a final ",00"; a leading '-' said as a
// trailing " negativo".
std::string spokenAmount(std::string_view amount);

#endif  // TALONIX_APP_BROWSER_H_
