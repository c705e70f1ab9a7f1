#include "platform/shared/profile_text.h"

#include <cstring>
#include <vector>

#include "platform/shared/codepage.h"

namespace plat {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

enum class Kind { kOther, kHeader, kEntry };

struct Line {
  std::string_view raw;  // without its line end
  Kind kind = Kind::kOther;
  std::string_view name;     // section of a header, key of an entry
  std::string_view keyPart;  // entry: everything before the '='
  std::string_view value;    // entry: everything after the '='
};

Line classify(std::string_view raw) {
  Line line;
  line.raw = raw;
  if (raw.find('\0') != std::string_view::npos) return line;
  const std::string_view t = trimBlanks(raw);
  if (t.empty() || t.front() == ';') return line;
  if (t.front() == '[') {
    const size_t close = t.find(']');
    if (close == std::string_view::npos) return line;
    line.kind = Kind::kHeader;
    line.name = trimBlanks(t.substr(1, close - 1));
    return line;
  }
  const size_t eq = raw.find('=');
  if (eq == std::string_view::npos) return line;
  line.name = trimBlanks(raw.substr(0, eq));
  if (line.name.empty()) return line;
  line.kind = Kind::kEntry;
  line.keyPart = raw.substr(0, eq);
  line.value = raw.substr(eq + 1);
  return line;
}

// Walks the lines of a file without copying them.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}
  bool next(Line* line) {
    if (rest_.empty()) return false;
    size_t end = rest_.find('\n');
    std::string_view raw = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    *line = classify(raw);
    return true;
  }

 private:
  std::string_view rest_;
};

size_t copyValue(std::string_view value, char* buffer, size_t size) {
  const size_t n = value.size() < size - 1 ? value.size() : size - 1;
  if (n > 0) std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

// A list of names, each ended by NUL, the whole by one more NUL. When it
// does not fit, the last name is cut and the result is size - 2.
size_t copyList(const std::vector<std::string_view>& names, char* buffer,
                size_t size) {
  std::string list;
  for (std::string_view name : names) {
    list.append(name);
    list += '\0';
  }
  if (list.empty()) list += '\0';
  list += '\0';
  if (list.size() <= size) {
    std::memcpy(buffer, list.data(), list.size());
    return names.empty() ? 0 : list.size() - 1;
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

bool listed(const std::vector<std::string_view>& names, std::string_view name) {
  for (std::string_view n : names) {
    if (equalsIgnoreCase1252(n, name)) return true;
  }
  return false;
}

std::vector<std::string_view> sectionNames(std::string_view text) {
  std::vector<std::string_view> names;
  LineReader reader(text);
  Line line;
  while (reader.next(&line)) {
    if (line.kind == Kind::kHeader && !listed(names, line.name)) {
      names.push_back(line.name);
    }
  }
  return names;
}

// Calls visit(entry) for each entry of the first section named `section`.
template <typename Visit>
void forEachEntry(std::string_view text, std::string_view section, Visit visit) {
  LineReader reader(text);
  Line line;
  bool inside = false;
  bool seen = false;
  while (reader.next(&line)) {
    if (line.kind == Kind::kHeader) {
      if (inside) return;
      inside = !seen && equalsIgnoreCase1252(line.name, section);
      seen = seen || inside;
    } else if (inside && line.kind == Kind::kEntry) {
      if (!visit(line)) return;
    }
  }
}

std::string_view valueOf(std::string_view raw) {
  std::string_view v = trimBlanks(raw);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
    v = v.substr(1, v.size() - 2);
  }
  return v;
}

bool hasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

bool storable(const char* section, const char* key, const char* value) {
  if (section == nullptr) return false;
  const std::string_view s(section);
  if (hasLineBreak(s) || s.find(']') != std::string_view::npos) return false;
  if (key != nullptr) {
    const std::string_view k = trimBlanks(key);
    if (k.empty() || hasLineBreak(k) || k.find('=') != std::string_view::npos ||
        k.front() == '[' || k.front() == ';') {
      return false;
    }
  }
  return value == nullptr || !hasLineBreak(value);
}

void appendLine(std::string* out, std::string_view a, std::string_view b = {},
                std::string_view c = {}) {
  out->append(a);
  out->append(b);
  out->append(c);
  out->append(kLineEnd);
}

EditResult deleteSection(std::string_view text, std::string_view section,
                         std::string* out) {
  std::string result;
  bool removing = false;
  bool changed = false;
  LineReader reader(text);
  Line line;
  while (reader.next(&line)) {
    if (line.kind == Kind::kHeader) {
      removing = equalsIgnoreCase1252(line.name, section);
    }
    if (removing) {
      changed = true;
    } else {
      appendLine(&result, line.raw);
    }
  }
  if (!changed) return EditResult::kUnchanged;
  *out = std::move(result);
  return EditResult::kChanged;
}

// Where the key lives: line numbers within the file.
struct Place {
  size_t header = kNone;     // header of the first section of the name
  size_t end = kNone;        // first line after that section
  size_t firstKey = kNone;   // first entry of the key in it
  size_t lastEntry = kNone;  // last entry of the section (or its header)
};

Place locate(std::string_view text, std::string_view section,
             std::string_view key) {
  Place place;
  LineReader reader(text);
  Line line;
  for (size_t i = 0; reader.next(&line); ++i) {
    if (line.kind == Kind::kHeader) {
      if (place.header != kNone) {
        place.end = i;
        break;
      }
      if (equalsIgnoreCase1252(line.name, section)) place.header = place.lastEntry = i;
    } else if (place.header != kNone && line.kind == Kind::kEntry) {
      place.lastEntry = i;
      if (place.firstKey == kNone && equalsIgnoreCase1252(line.name, key)) {
        place.firstKey = i;
      }
    }
  }
  return place;
}

EditResult setOrDeleteKey(std::string_view text, std::string_view section,
                          std::string_view key, const char* value,
                          std::string* out) {
  const Place place = locate(text, section, key);
  if (value == nullptr && place.firstKey == kNone) return EditResult::kUnchanged;
  std::string result;
  LineReader reader(text);
  Line line;
  for (size_t i = 0; reader.next(&line); ++i) {
    const bool inSection = place.header != kNone && i > place.header && i < place.end;
    if (value == nullptr) {
      // Every entry of the key goes, so that no later duplicate shows through.
      if (!(inSection && line.kind == Kind::kEntry &&
            equalsIgnoreCase1252(line.name, key))) {
        appendLine(&result, line.raw);
      }
    } else if (i == place.firstKey) {
      appendLine(&result, line.keyPart, "=", value);
    } else {
      appendLine(&result, line.raw);
      if (place.firstKey == kNone && i == place.lastEntry) {
        appendLine(&result, key, "=", value);
      }
    }
  }
  if (value != nullptr && place.header == kNone) {
    appendLine(&result, "[", section, "]");
    appendLine(&result, key, "=", value);
  }
  *out = std::move(result);
  return EditResult::kChanged;
}

}  // namespace

size_t readProfileText(std::string_view text, const char* section,
                       const char* key, const char* defaultValue, char* buffer,
                       size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  if (section == nullptr) return copyList(sectionNames(text), buffer, size);
  const std::string_view wantedSection = trimBlanks(section);
  if (key == nullptr) {
    std::vector<std::string_view> keys;
    forEachEntry(text, wantedSection, [&](const Line& line) {
      if (!listed(keys, line.name)) keys.push_back(line.name);
      return true;
    });
    return copyList(keys, buffer, size);
  }
  const std::string_view wantedKey = trimBlanks(key);
  bool found = false;
  std::string_view value;
  forEachEntry(text, wantedSection, [&](const Line& line) {
    if (!equalsIgnoreCase1252(line.name, wantedKey)) return true;
    found = true;
    value = valueOf(line.value);
    return false;
  });
  if (!found) {
    value = defaultValue == nullptr ? std::string_view() : defaultValue;
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
      value.remove_suffix(1);
    }
  }
  return copyValue(value, buffer, size);
}

EditResult editProfileText(std::string_view text, const char* section,
                           const char* key, const char* value,
                           std::string* out) {
  if (out == nullptr || !storable(section, key, value)) return EditResult::kRejected;
  const std::string_view s = trimBlanks(section);
  if (key == nullptr) return deleteSection(text, s, out);
  return setOrDeleteKey(text, s, trimBlanks(key), value, out);
}

}  // namespace plat
