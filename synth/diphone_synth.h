// The family's diphone synthesizer: joins recorded units from a unit
// database, and recorded character sounds, into one sound per text.
//
// Its settings are read from LUMIRA.INI ("TRADUTOR": "DIRLETRAS" for the
// character sounds, "DIRDIFONES" for the database and the rules files);
// the database is speechSettings().databaseName + ".IND" and ".DIF".
#ifndef TALONIX_SYNTH_DIPHONE_SYNTH_H_
#define TALONIX_SYNTH_DIPHONE_SYNTH_H_

#include <cstdint>
#include <string_view>

// 0 on success, 1 when a directory or a database file cannot be opened
// (or the database has no name), 2 when the rules or exceptions file
// cannot be loaded. A second start ends the first one.
int startDiphoneSynth();
// Releases the database and the rules; harmless when not started.
void endDiphoneSynth();
// Samples cut from the end of unstressed units, the length a cut unit
// keeps at least, and the silence between groups (400, 0 and 100 until
// set).
void setDiphoneTuning(int unitCut, int minimumUnit, int groupGap);
// Speaks bracketed phoneme groups, playing the sound in pieces of at most
// 64 000 bytes; returns when the last piece has played or a key stopped
// it (the rest then passes without sound, the key stays queued). Silent
// when not started.
void speakDiphoneGroups(std::string_view groups, bool noPauses);

// Plays a WAV image the synthesizer built and returns when it has ended or
// a key stopped it. The synthesizer lies below the speech layer, which
// installs its own player here; with none, the WAV player plays it.
using DiphoneImagePlayer = void (*)(const uint8_t* image);
void setDiphoneImagePlayer(DiphoneImagePlayer player);

// Back to the state of program start: ended, default tuning, no player.
// The statistics below are kept.
void resetDiphoneSynth();

// What became of the unit names the groups asked for, and the sample steps
// inside the units and at the joins between two units, since the last
// clear: a measure of the voice kit (talonix-voice --coverage). Character
// sounds, silences and noise are not units.
struct DiphoneStats {
  uint64_t direct = 0;    // found as named
  uint64_t fallback = 0;  // made of other units by the fallbacks
  uint64_t noise = 0;     // replaced by noise, wholly or in part
  uint64_t skipped = 0;   // left out, wholly or in part
  uint64_t innerSteps[256] = {};  // |x[i+1] - x[i]| within a unit's bytes
  uint64_t joinSteps[256] = {};   // from a unit's last byte to the next's first
};
DiphoneStats& diphoneStats();
void clearDiphoneStats();

#endif  // TALONIX_SYNTH_DIPHONE_SYNTH_H_
