#include "platform/win32/mbrola_dll.h"

#include <array>
#include <string>

namespace plat::win32 {
namespace {

// Every published entry point, in the order they are looked up.
constexpr std::array<const char*, 23> kEntryPoints = {
    "init_MBR",          "init_rename_MBR",     "write_MBR",
    "flush_MBR",         "read_MBR",            "readtype_MBR",
    "close_MBR",         "reset_MBR",           "lastError_MBR",
    "lastErrorStr_MBR",  "setNoError_MBR",      "getNoError_MBR",
    "setFreq_MBR",       "getFreq_MBR",         "setVolumeRatio_MBR",
    "getVolumeRatio_MBR", "getVersion_MBR",     "getDatabaseInfo_MBR",
    "setParser_MBR",     "init_Phone",          "reset_Phone",
    "close_Phone",       "appendf0_Phone"};

// GetProcAddress gives a generic pointer; going through void(*)() is the
// cast the compiler accepts between function pointer types.
template <typename Fn>
Fn entry(FARPROC address) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

plat::MbrolaLoad MbrolaDll::load(std::string_view) {
  if (module_) return plat::MbrolaLoad::kLoaded;
  HMODULE module = LoadLibraryA("mbrola.dll");
  // Not there, or not loadable into this program (a 32-bit library in
  // the 64-bit program): either way the engine's own synthesizer speaks.
  if (!module) return plat::MbrolaLoad::kAbsent;
  std::array<FARPROC, kEntryPoints.size()> found{};
  for (size_t i = 0; i < kEntryPoints.size(); ++i) {
    found[i] = GetProcAddress(module, kEntryPoints[i]);
    if (!found[i]) {
      FreeLibrary(module);
      return plat::MbrolaLoad::kIncomplete;
    }
  }
  module_ = module;
  init_ = entry<InitFn>(found[0]);
  write_ = entry<WriteFn>(found[2]);
  flush_ = entry<IntFn>(found[3]);
  read_ = entry<ReadFn>(found[4]);
  close_ = entry<VoidFn>(found[6]);
  reset_ = entry<VoidFn>(found[7]);
  lastError_ = entry<IntFn>(found[8]);
  setNoError_ = entry<SetIntFn>(found[10]);
  return plat::MbrolaLoad::kLoaded;
}

void MbrolaDll::unload() {
  if (!module_) return;
  FreeLibrary(module_);
  module_ = nullptr;
  init_ = nullptr;
  write_ = nullptr;
  flush_ = nullptr;
  read_ = nullptr;
  close_ = nullptr;
  reset_ = nullptr;
  lastError_ = nullptr;
  setNoError_ = nullptr;
}

// The library takes writable C strings: each call gets its own copy.
int MbrolaDll::init(std::string_view databasePath) {
  if (!module_) return -1;
  std::string path(databasePath);
  return init_(path.data());
}

void MbrolaDll::setNoError(int noError) {
  if (module_) setNoError_(noError);
}

void MbrolaDll::reset() {
  if (module_) reset_();
}

int MbrolaDll::write(std::string_view line) {
  if (!module_) return -1;
  std::string text(line);
  return write_(text.data());
}

int MbrolaDll::lastError() { return module_ ? lastError_() : 1; }

int MbrolaDll::flush() { return module_ ? flush_() : -1; }

int MbrolaDll::read(int16_t* samples, int wanted) {
  if (!module_ || !samples) return -1;
  if (wanted <= 0) return 0;
  // A count beyond what was asked would send the caller past its buffer.
  const int got = read_(samples, wanted);
  return got > wanted ? wanted : got;
}

void MbrolaDll::close() {
  if (module_) close_();
}

}  // namespace plat::win32
