// MBROLA, the outside diphone synthesizer the Portuguese engine can drive:
// phoneme lines in, 16-bit mono samples at 16 000 Hz out. A backend offers
// it where the user installed it (the mbrola.dll library on Windows, the
// `mbrola` program elsewhere); the engine's own synthesizer implements the
// same calls in-process. Every call is made on the program's thread.
#ifndef TALONIX_PLATFORM_MBROLA_H_
#define TALONIX_PLATFORM_MBROLA_H_

#include <cstdint>
#include <string_view>

namespace plat {

enum class MbrolaLoad {
  kLoaded,      // ready for init()
  kAbsent,      // nothing installed (no library; no program or no voice)
  kIncomplete,  // installed but unusable (an entry point missing); unloaded
};

class Mbrola {
 public:
  virtual ~Mbrola() = default;
  // Loads the synthesizer that would speak with the voice database at
  // `databasePath` (a program binding looks for the voice too).
  virtual MbrolaLoad load(std::string_view databasePath) = 0;
  // Releases what load() took; harmless when nothing is loaded.
  virtual void unload() = 0;

  // The calls the engine makes, with MBROLA's meaning.
  // Opens the voice database; negative on failure.
  virtual int init(std::string_view databasePath) = 0;
  // 1: a diphone the voice lacks is not an error (the synthesizer goes on).
  virtual void setNoError(int noError) = 0;
  // Forgets pending phonemes and samples.
  virtual void reset() = 0;
  // One phoneme line ending in CR LF ("name ms [percent hertz]..."; ";"
  // starts a comment). Its result is not relied on: lastError() is.
  virtual int write(std::string_view line) = 0;
  // Non-zero when the last line was refused (or the synthesizer failed).
  virtual int lastError() = 0;
  // Makes every pending sample readable.
  virtual int flush() = 0;
  // Up to `wanted` samples into `samples`: how many, 0 when none is ready
  // (after flush(): none is left), negative on a failure.
  virtual int read(int16_t* samples, int wanted) = 0;
  // Releases the database.
  virtual void close() = 0;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_MBROLA_H_
