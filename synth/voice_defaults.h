// The diphone voice's settings per speed level, as the voice kit was cut
// for them: written into the family settings on first start where absent.
#ifndef TALONIX_SYNTH_VOICE_DEFAULTS_H_
#define TALONIX_SYNTH_VOICE_DEFAULTS_H_

struct VoiceDefaults {
  const char* database;  // base name of the .IND and .DIF files
  int unitCut;           // samples taken off unstressed units
  int minimumUnit;       // samples a cut unit keeps at least
  int groupGap;          // samples of silence between groups
};

// Speeds 1 (slowest) to 5; index with speed - 1. An unstressed unit loses
// about a quarter of an average syllable and keeps at least a third of
// one (syllables average 3240, 2700, 2300, 1930 and 1590 samples from the
// slowest speed to the fastest).
constexpr VoiceDefaults kVoiceDefaults[5] = {
    {"DIFONES1", 800, 1100, 1200},
    {"DIFONES2", 700, 900, 1000},
    {"DIFONES3", 550, 750, 800},
    {"DIFONES4", 450, 600, 600},
    {"DIFONES5", 400, 500, 400}};

#endif  // TALONIX_SYNTH_VOICE_DEFAULTS_H_
