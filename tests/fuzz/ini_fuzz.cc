// Feeds arbitrary settings files and names to the profile-string reader and
// editor, all in memory, and checks that what is written is what is read
// back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "platform/shared/profile_store.h"
#include "platform/shared/profile_text.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// Reads into a buffer of exactly `size` bytes so any overrun is caught.
std::string read(std::string_view text, const char* section, const char* key,
                 const char* def, size_t size) {
  std::unique_ptr<char[]> buffer(new char[size == 0 ? 1 : size]);
  const size_t n = plat::readProfileText(text, section, key, def, buffer.get(), size);
  if (size == 0) {
    check(n == 0);
    return {};
  }
  check(n < size && buffer[n] == '\0');
  if (section == nullptr || key == nullptr) {
    // Two NULs end the list: after the last name, or after a cut one.
    check(n == 0 || buffer[n - 1] == '\0' || (n + 1 < size && buffer[n + 1] == '\0'));
    return std::string(buffer.get(), n + 1);
  }
  check(std::strlen(buffer.get()) == n);
  return std::string(buffer.get(), n);
}

std::string_view trim(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  return v;
}

// The value a reader sees for a written value.
std::string stored(std::string_view v) {
  v = trim(v);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::vector<std::string> names(const std::string& list) {
  std::vector<std::string> out;
  for (size_t i = 0; i < list.size() && list[i] != '\0';) {
    const size_t end = list.find('\0', i);
    out.push_back(list.substr(i, end - i));
    i = end + 1;
  }
  return out;
}

void roundTrip(const std::string& text, const std::string& section,
               const std::string& key, const std::string& value) {
  const char* s = section.c_str();
  const char* k = key.c_str();
  std::string next;
  const plat::EditResult set = plat::editProfileText(text, s, k, value.c_str(), &next);
  if (set == plat::EditResult::kRejected) return;
  check(set == plat::EditResult::kChanged);
  check(read(next, s, k, "\x01", 300) == stored(value.c_str()).substr(0, 299));
  // A second write replaces rather than adds.
  std::string again;
  check(plat::editProfileText(next, s, k, "w", &again) == plat::EditResult::kChanged);
  check(read(again, s, k, "", 80) == "w");

  std::string gone = next;
  if (plat::editProfileText(next, s, k, nullptr, &gone) != plat::EditResult::kRejected) {
    check(read(gone, s, k, "\x01", 80) == "\x01");
  }
  std::string noSection = next;
  check(plat::editProfileText(next, s, nullptr, nullptr, &noSection) ==
        plat::EditResult::kChanged);
  for (const std::string& n : names(read(noSection, nullptr, nullptr, "", 4096))) {
    check(!plat::equalsIgnoreCase1252(n, trim(s)));
  }
}

// What a write of A/k=v through the profile store does to this file, in
// memory (profile_store_test covers the file itself): accepted, and read
// back. The store writes the edited text, or nothing when it is unchanged.
void simpleWrite(const std::string& text) {
  std::string next;
  const plat::EditResult set = plat::editProfileText(text, "A", "k", "v", &next);
  check(set != plat::EditResult::kRejected);
  check(read(set == plat::EditResult::kChanged ? next : text, "A", "k", "", 16) == "v");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const std::string section = provider.ConsumeRandomLengthString(24);
  const std::string key = provider.ConsumeRandomLengthString(24);
  const std::string value = provider.ConsumeRandomLengthString(40);
  // This byte chose a trip through a file once; still taken, so the seeds
  // split into the same parts.
  provider.ConsumeIntegralInRange<int>(0, 15);
  const std::string text = provider.ConsumeRemainingBytesAsString();

  for (size_t n : {0, 1, 2, 3, 10, 80}) {
    read(text, nullptr, nullptr, "d", n);
    read(text, section.c_str(), nullptr, nullptr, n);
    read(text, section.c_str(), key.c_str(), value.c_str(), n);
  }
  // Names the file itself holds, and names from the input.
  const std::vector<std::string> sections = names(read(text, nullptr, nullptr, "", 4096));
  if (!sections.empty()) {
    const std::vector<std::string> keys =
        names(read(text, sections[0].c_str(), nullptr, "", 4096));
    roundTrip(text, sections[0], keys.empty() ? key : keys[0], value);
  }
  roundTrip(text, section, key, value);

  plat::utf8ToCp1252(plat::cp1252ToUtf8(text));
  plat::utf8ToCp1252(text);
  simpleWrite(text);
  return 0;
}
