#include "synth/diphone_synth.h"

#include "synth/synth_seams.h"

namespace {
int startResult = 0;
}  // namespace

// Stand-in until the diphone synthesizer is built: the start succeeds
// unless a test asked for a failure code.
int startDiphoneSynth() { return startResult; }

// Stand-in until the diphone synthesizer is built.
void endDiphoneSynth() {}

// Stand-in until the diphone synthesizer is built.
void setDiphoneTuning(int unitCut, int minimumUnit, int groupGap) {
  (void)unitCut;
  (void)minimumUnit;
  (void)groupGap;
}

// Stand-in until the diphone synthesizer is built: silent.
void speakDiphoneGroups(std::string_view groups, bool noPauses) {
  (void)groups;
  (void)noPauses;
}

void setDiphoneStartResult(int code) { startResult = code; }
