// Number words as text, and numbers, dates and times spoken by joining the
// recordings of their words.
#include "speech/number_words.h"

#include <algorithm>
#include <memory>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/platform.h"
#include "platform/shared/riff.h"
#include "platform/shared/whole_file.h"
#include "speech/speech.h"

namespace {

constexpr const char* kUnits[10] = {"zero", "um",   "dois", "tres",  "quatro",
                                    "cinco", "seis", "sete", "oito", "nove"};
constexpr const char* kTeens[10] = {
    "dez",    "onze",      "doze",      "treze",   "quatorze",
    "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
constexpr const char* kTens[10] = {"",          "",         "vinte",
                                   "trinta",    "quarenta", "cinquenta",
                                   "sessenta",  "setenta",  "oitenta",
                                   "noventa"};
constexpr const char* kHundreds[10] = {
    "",           "cento",      "duzentos",  "trezentos",  "quatrocentos",
    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};

// Groups of three digits from the highest; the last (units) has no name.
constexpr int kGroups = 7;
constexpr const char* kGroupSingular[kGroups - 1] = {
    "quintilh\xE3o ", "quatrilh\xE3o ", "trilh\xE3o ", "bilh\xE3o ",
    "milh\xE3o ",     "mil "};
constexpr const char* kGroupPlural[kGroups - 1] = {
    "quintilh\xF5" "es ", "quatrilh\xF5" "es ", "trilh\xF5" "es ",
    "bilh\xF5" "es ",     "milh\xF5" "es ",     "mil "};

constexpr const char* kWeekdays[7] = {"Domingo", "Segunda", "Terca", "Quarta",
                                      "Quinta",  "Sexta",   "Sabado"};
constexpr const char* kMonths[12] = {
    "Janeiro", "Fevereiro", "Marco",    "Abril",   "Maio",     "Junho",
    "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};

constexpr size_t kSoundNameLength = 8;


// The words of one group of three digits (0..999); empty for 0.
std::string groupWords(int group) {
  if (group == 0) return {};
  if (group == 100) return "cem";
  const int h = group / 100, t = group / 10 % 10, u = group % 10;
  std::string out;
  if (h != 0) {
    out = kHundreds[h];
    if (t == 0 && u == 0) return out;
    out += " e ";
  }
  if (t == 1) return out + kTeens[u];
  if (t != 0) {
    out += kTens[t];
    if (u == 0) return out;
    out += " e ";
  }
  return out + kUnits[u];
}

// A recorded word's sound name: accents of the group names dropped, the
// seventeen renamed so that it differs from sixteen within 8 characters.
std::string soundNameOf(std::string word, bool lastFeminine) {
  for (char& c : word) {
    if (c == '\xE3') c = 'a';
    else if (c == '\xF5') c = 'o';
  }
  if (word == "dezessete") word = "dezeset";
  std::string name = "_" + word;
  if (name.size() > kSoundNameLength) name.resize(kSoundNameLength);
  if (lastFeminine) {
    if (name == "_um") name = "_uma";
    else if (name == "_dois") name = "_duas";
  }
  return name;
}

std::vector<std::string> splitWords(std::string_view text) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = std::min(text.find(' ', pos), text.size());
    if (end > pos) words.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return words;
}

// The sample bytes of a recording: everything after its 44-byte header.
// False when it is no regular file or cannot be read.
bool readRecording(const std::string& path, std::vector<uint8_t>* samples) {
  samples->clear();
  std::string bytes;
  if (!plat::readWholeFile(plat::system().nativePath(path), &bytes)) return false;
  if (bytes.size() > kWaveHeaderSize) samples->assign(bytes.begin() + kWaveHeaderSize, bytes.end());
  return true;
}

// The joined sound of one number: a header area and up to
// kNumberSoundBytes samples.
struct NumberSound {
  uint8_t image[kWaveHeaderSize + kNumberSoundBytes] = {};
  size_t filled = 0;

  // Plays what has been gathered; false when a key is waiting, so the rest
  // of the number is not heard.
  bool play() {
    if (filled == 0) return true;
    if (keyAvailable()) return false;
    plat::writePcmHeader(image, static_cast<uint32_t>(filled), 11025, 8, 1);
    playSoundImage(image);
    filled = 0;
    return !keyAvailable();
  }

  // Appends samples, playing a full buffer first. A recording longer than
  // the whole buffer goes out in buffer-sized pieces.
  bool add(const std::vector<uint8_t>& samples) {
    size_t at = 0;
    while (at < samples.size()) {
      if (filled == kNumberSoundBytes ||
          filled + (samples.size() - at) > kNumberSoundBytes) {
        if (!play()) return false;
      }
      const size_t take =
          std::min(samples.size() - at, kNumberSoundBytes - filled);
      std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(at), take,
                  image + kWaveHeaderSize + filled);
      filled += take;
      at += take;
    }
    return true;
  }
};

// Sounds played one after another stop once a key waits.
bool sayNumber(uint64_t n, bool feminine) {
  if (keyAvailable()) return false;
  speakNumberWords(numberWords(n), feminine);
  return !keyAvailable();
}

bool saySound(std::string_view name) {
  if (keyAvailable()) return false;
  speakSound(name);
  return !keyAvailable();
}

}  // namespace

std::string numberWords(uint64_t n) {
  if (n == 0) return "zero";
  int groups[kGroups] = {};
  for (int g = kGroups - 1; g >= 0; --g) {
    groups[g] = static_cast<int>(n % 1000);
    n /= 1000;
  }
  std::string texts[kGroups];
  int last = -1;
  for (int g = 0; g < kGroups; ++g) {
    texts[g] = groupWords(groups[g]);
    if (texts[g].empty()) continue;
    if (g < kGroups - 1)
      texts[g] += std::string(" ") +
                  (groups[g] == 1 ? kGroupSingular[g] : kGroupPlural[g]);
    last = g;
  }
  std::string out;
  for (int g = 0; g < kGroups; ++g) {
    if (g == last && !out.empty()) out += "e ";
    out += texts[g];
  }
  if (out.starts_with("um mil") && !out.starts_with("um milh"))
    out.erase(0, 3);
  return out;
}

void speakNumberWords(std::string_view words, bool feminine) {
  plat::record("number " + std::string(words));
  const std::vector<std::string> list = splitWords(words);
  const std::string& directory = speechState().lettersDirectory;
  auto sound = std::make_unique<NumberSound>();
  std::vector<uint8_t> samples;
  for (size_t i = 0; i < list.size(); ++i) {
    const bool last = i + 1 == list.size();
    const std::string name = soundNameOf(list[i], feminine && last);
    if (!readRecording(directory + name + ".wav", &samples)) continue;
    if (!sound->add(samples)) return;
  }
  sound->play();
}

int weekdayOf(int day, int month, int year) {
  // Sakamoto's method; January and February count in the year before.
  static constexpr int kMonthOffset[12] = {0, 3, 2, 5, 0, 3,
                                           5, 1, 4, 6, 2, 4};
  if (month < 1 || month > 12) month = 1;
  if (month < 3) --year;
  const int sum = year + year / 4 - year / 100 + year / 400 +
                  kMonthOffset[month - 1] + day;
  return (sum % 7 + 7) % 7;
}

void speakDate(int day, int month, int year) {
  if (month < 1 || month > 12) return;
  if (!saySound(std::string("_") + kWeekdays[weekdayOf(day, month, year)]))
    return;
  if (day == 1) {
    if (!saySound("_primeir")) return;
  } else if (!sayNumber(static_cast<uint64_t>(day < 0 ? 0 : day), false)) {
    return;
  }
  if (!saySound("_de")) return;
  std::string monthSound = "_";
  monthSound += std::string_view(kMonths[month - 1]).substr(0, 7);
  if (!saySound(monthSound)) return;
  if (!saySound("_de")) return;
  if (year >= 2000 && year <= 2099) {
    if (!sayNumber(2000, false)) return;
    if (year > 2000 && !saySound("_e")) return;
    if (year % 100 != 0) sayNumber(static_cast<uint64_t>(year % 100), false);
  } else {
    // Outside this century the year is read whole (mil novecentos e
    // noventa e nove, dois mil e cem), so the century is never lost.
    sayNumber(static_cast<uint64_t>(year < 0 ? 0 : year), false);
  }
}

void speakToday() {
  const DateParts today = currentDate();
  speakDate(today.day, today.month, today.year);
}

void speakClockTime(int hours, int minutes) {
  if (hours < 0) hours = 0;
  if (minutes < 0) minutes = 0;
  if (!sayNumber(static_cast<uint64_t>(hours), true)) return;
  if (!saySound(hours < 2 ? "_hora" : "_horas")) return;
  if (minutes == 0) return;
  if (!sayNumber(static_cast<uint64_t>(minutes), false)) return;
  saySound(minutes < 2 ? "_minuto" : "_minutos");
}

void speakTime() {
  const TimeParts now = currentTime();
  speakClockTime(now.hour, now.minute);
}
