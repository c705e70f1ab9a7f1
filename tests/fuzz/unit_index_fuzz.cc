// Feeds arbitrary bytes to the unit index reader as an index file image:
// the records are parsed, sorted as the synthesizer sorts them on load, and
// every name (and names cut from the input) is looked up by halving, which
// must find each stored name. Writing the records back and reading them
// again must give the same records.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "synth/unit_database.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly sized copy, so a read past the image is caught.
  std::unique_ptr<uint8_t[]> image(new uint8_t[size == 0 ? 1 : size]);
  if (size) std::memcpy(image.get(), data, size);
  std::vector<UnitIndexEntry> entries = parseUnitIndex(image.get(), size);
  check(entries.size() == size / kUnitRecordSize);
  for (const UnitIndexEntry& e : entries) check(e.name.size() <= kUnitNameMax);

  sortUnitIndex(entries);
  for (size_t i = 1; i < entries.size(); ++i) {
    check(!unitNameLess(entries[i].name, entries[i - 1].name));
  }
  for (const UnitIndexEntry& e : entries) {
    const long at = findUnit(entries, e.name);
    check(at >= 0 && entries[static_cast<size_t>(at)].name == e.name);
  }
  // Names that may or may not be there: every run of up to 12 bytes.
  for (size_t start = 0; start < size && start < 64; ++start) {
    for (size_t n = 0; n <= 12 && start + n <= size; ++n) {
      const std::string name(reinterpret_cast<const char*>(data + start), n);
      const long at = findUnit(entries, name);
      check(at == -1 || entries[static_cast<size_t>(at)].name == name);
    }
  }

  const std::vector<uint8_t> written = unitIndexImage(entries);
  check(written.size() == entries.size() * kUnitRecordSize);
  const std::vector<UnitIndexEntry> again = parseUnitIndex(written.data(), written.size());
  check(again.size() == entries.size());
  for (size_t i = 0; i < again.size(); ++i) {
    check(again[i].name == entries[i].name && again[i].length == entries[i].length &&
          again[i].offset == entries[i].offset);
  }
  return 0;
}
