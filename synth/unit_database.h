// The diphone unit database: an index of 15-byte records (name, length,
// offset) beside a file of raw 8-bit mono samples at 11 025 Hz. Read by
// the synthesizer, written by the voice kit tool.
#ifndef TALONIX_SYNTH_UNIT_DATABASE_H_
#define TALONIX_SYNTH_UNIT_DATABASE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kUnitRecordSize = 15;
constexpr size_t kUnitNameMax = 8;
constexpr uint32_t kUnitSampleRate = 11025;

struct UnitIndexEntry {
  std::string name;  // upper case, at most kUnitNameMax characters
  uint16_t length = 0;  // bytes of samples
  uint32_t offset = 0;  // where they start in the data file
};

// Byte order, a name before the longer names it begins: the order of the
// index file.
bool unitNameLess(std::string_view a, std::string_view b);

// The records of an index file image, as many as whole 15-byte records fit
// (trailing bytes are ignored). A length byte above 8 reads as 8. The
// records come back in the file's order.
std::vector<UnitIndexEntry> parseUnitIndex(const uint8_t* data, size_t size);

// Puts entries into the index order, which lookups by halving rely on: an
// index written out of order would otherwise lose units. Equal names keep
// their order.
void sortUnitIndex(std::vector<UnitIndexEntry>& entries);

// Position of `name` among sorted entries, found by halving; -1 when absent.
// Of equal names, any one may be found.
long findUnit(const std::vector<UnitIndexEntry>& entries,
              std::string_view name);

// The index file image of `entries`, sorted into the index order. Names
// longer than kUnitNameMax are cut.
std::vector<uint8_t> unitIndexImage(std::vector<UnitIndexEntry> entries);

#endif  // TALONIX_SYNTH_UNIT_DATABASE_H_
