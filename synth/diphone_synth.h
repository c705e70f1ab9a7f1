// The family's diphone synthesizer: joins recorded units from a unit
// database into one sound per text.
#ifndef TALONIX_SYNTH_DIPHONE_SYNTH_H_
#define TALONIX_SYNTH_DIPHONE_SYNTH_H_

#include <string_view>

// 0 on success, 1 when a directory or a database file cannot be opened,
// 2 when the rules or exceptions file cannot be loaded.
int startDiphoneSynth();
void endDiphoneSynth();
void setDiphoneTuning(int unitCut, int minimumUnit, int groupGap);
// Speaks bracketed phoneme groups; returns when the last piece has played
// or a key stopped it.
void speakDiphoneGroups(std::string_view groups, bool noPauses);

#endif  // TALONIX_SYNTH_DIPHONE_SYNTH_H_
