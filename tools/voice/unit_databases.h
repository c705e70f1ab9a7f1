// Cutting the voice's units out of espeak-ng and writing one unit database
// (name.IND + name.DIF) per speed level.
#ifndef TALONIX_TOOLS_VOICE_UNIT_DATABASES_H_
#define TALONIX_TOOLS_VOICE_UNIT_DATABASES_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/voice/unit_inventory.h"

// Sample steps seen while writing, for the report.
struct JoinFigures {
  std::array<uint64_t, 256> insideSteps{};  // |x[i+1] - x[i]| within units
  int largestWholeJoin = 0;  // end of any unit to the start of any other
  int largestCutJoin = 0;    // the same after the unstressed unit cut
  std::array<uint64_t, 256> cutJoinSteps{};  // each cut end to the widest start
  size_t units = 0;
  size_t bytes = 0;
  std::vector<std::string> problems;  // units espeak did not cut as planned
};

// The unit's 8-bit samples at 11 025 Hz; empty (and a problem noted) when
// the carrier's phoneme events do not match the recipe. Expects the
// session started with the rate of the speed level.
std::vector<uint8_t> cutUnit(const UnitRecipe& recipe, JoinFigures* figures);

// Cuts every unit at `wordsPerMinute` and writes directory/name.IND and
// .DIF; false when a file cannot be written.
bool writeUnitDatabase(const std::string& directory, const std::string& name,
                       int wordsPerMinute, int unitCut, int minimumUnit,
                       JoinFigures* figures);

// The step below which `share` of the steps lie (0.999: 99.9th percentile).
int stepPercentile(const std::array<uint64_t, 256>& steps, double share);

#endif  // TALONIX_TOOLS_VOICE_UNIT_DATABASES_H_
