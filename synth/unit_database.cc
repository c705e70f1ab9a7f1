#include "synth/unit_database.h"

#include <algorithm>

#include "platform/shared/riff.h"

bool unitNameLess(std::string_view a, std::string_view b) {
  // std::string_view compares bytes as unsigned char, shorter prefix first.
  return a.compare(b) < 0;
}

std::vector<UnitIndexEntry> parseUnitIndex(const uint8_t* data, size_t size) {
  std::vector<UnitIndexEntry> entries;
  const size_t count = size / kUnitRecordSize;
  entries.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* record = data + i * kUnitRecordSize;
    const size_t nameLength = std::min<size_t>(record[0], kUnitNameMax);
    UnitIndexEntry entry;
    entry.name.assign(reinterpret_cast<const char*>(record + 1), nameLength);
    entry.length = plat::get16(record + 9);
    entry.offset = plat::get32(record + 11);
    entries.push_back(std::move(entry));
  }
  return entries;
}

void sortUnitIndex(std::vector<UnitIndexEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const UnitIndexEntry& a, const UnitIndexEntry& b) {
                     return unitNameLess(a.name, b.name);
                   });
}

long findUnit(const std::vector<UnitIndexEntry>& entries,
              std::string_view name) {
  long low = 0;
  long high = static_cast<long>(entries.size()) - 1;
  while (low <= high) {
    const long middle = low + (high - low) / 2;
    const std::string_view here = entries[static_cast<size_t>(middle)].name;
    if (here == name) return middle;
    if (unitNameLess(here, name)) low = middle + 1;
    else high = middle - 1;
  }
  return -1;
}

std::vector<uint8_t> unitIndexImage(std::vector<UnitIndexEntry> entries) {
  sortUnitIndex(entries);
  std::vector<uint8_t> image(entries.size() * kUnitRecordSize, 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    uint8_t* record = image.data() + i * kUnitRecordSize;
    const size_t nameLength = std::min(entries[i].name.size(), kUnitNameMax);
    record[0] = static_cast<uint8_t>(nameLength);
    std::copy_n(entries[i].name.begin(), nameLength, record + 1);
    plat::put16(record + 9, entries[i].length);
    plat::put32(record + 11, entries[i].offset);
  }
  return image;
}
