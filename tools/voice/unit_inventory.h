// The units of the diphone voice and how each is cut from espeak-ng: the
// phoneme input of a carrier utterance, and which of its phoneme events
// bound the unit.
#ifndef TALONIX_TOOLS_VOICE_UNIT_INVENTORY_H_
#define TALONIX_TOOLS_VOICE_UNIT_INVENTORY_H_

#include <string>
#include <vector>

struct UnitRecipe {
  std::string name;       // "$BA", "$AWTIL", "$S", ...
  std::string carrier;    // espeak phoneme input, "[['bap&]]"
  size_t before = 0;      // phoneme events of the carrier before the unit
  size_t after = 0;       // events after it, the closing pauses included
  std::string next;       // mnemonic of the first event after the unit
  bool closure = false;   // starts with a voiceless stop whose silent
                          // closure the trimming removes
};

// Every unit name of at most 8 characters, in a fixed order.
std::vector<UnitRecipe> unitInventory();

#endif  // TALONIX_TOOLS_VOICE_UNIT_INVENTORY_H_
