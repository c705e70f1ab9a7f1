// MBROLA on Windows: the mbrola.dll library the user installed, loaded at
// run time by name with the usual search (the program's folder, the system
// folders, the current folder, PATH). The library is taken only when all
// 23 of its published entry points are there, though the engine calls only
// eight of them: a library lacking any is not the one we were written for.
// The library is loaded at most once however often load() is called, so a
// single unload() always releases it.
#ifndef TALONIX_PLATFORM_WIN32_MBROLA_DLL_H_
#define TALONIX_PLATFORM_WIN32_MBROLA_DLL_H_

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "platform/mbrola.h"

namespace plat::win32 {

class MbrolaDll : public plat::Mbrola {
 public:
  MbrolaDll() = default;
  ~MbrolaDll() override { unload(); }
  MbrolaDll(const MbrolaDll&) = delete;
  MbrolaDll& operator=(const MbrolaDll&) = delete;

  // The database path plays no part: the library is found by its name.
  // A library that is there but cannot be loaded into this program (one
  // built for 32-bit Windows, say) counts as absent: the user's MBROLA
  // cannot serve, and the engine's own synthesizer speaks instead.
  plat::MbrolaLoad load(std::string_view databasePath) override;
  void unload() override;

  // Without a loaded library every call fails harmlessly: init, write and
  // read give -1, lastError gives 1, the others do nothing.
  int init(std::string_view databasePath) override;
  void setNoError(int noError) override;
  void reset() override;
  int write(std::string_view line) override;
  int lastError() override;
  int flush() override;
  int read(int16_t* samples, int wanted) override;
  void close() override;

  bool loaded() const { return module_ != nullptr; }

 private:
  // The library's calls are __stdcall (the same as the default on x64).
  using InitFn = int(WINAPI*)(char*);
  using WriteFn = int(WINAPI*)(char*);
  using IntFn = int(WINAPI*)();
  using ReadFn = int(WINAPI*)(short*, int);
  using VoidFn = void(WINAPI*)();
  using SetIntFn = void(WINAPI*)(int);

  HMODULE module_ = nullptr;
  InitFn init_ = nullptr;
  WriteFn write_ = nullptr;
  IntFn flush_ = nullptr;
  ReadFn read_ = nullptr;
  VoidFn close_ = nullptr;
  VoidFn reset_ = nullptr;
  IntFn lastError_ = nullptr;
  SetIntFn setNoError_ = nullptr;
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_MBROLA_DLL_H_
