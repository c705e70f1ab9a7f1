// Pieces the Win32 voice tests share: stubs for the members of a COM
// interface a voice never calls, reference counting for fakes the test
// owns (never deleted through Release), and a program side that records
// the voice's waits.
#ifndef TALONIX_TESTS_WIN32_COM_FAKES_H_
#define TALONIX_TESTS_WIN32_COM_FAKES_H_

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/voices.h"

#define TALONIX_STUB(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
#define TALONIX_DISPATCH_STUBS                                              \
  TALONIX_STUB(GetTypeInfoCount, UINT*)                                     \
  TALONIX_STUB(GetTypeInfo, UINT, LCID, ITypeInfo**)                        \
  TALONIX_STUB(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)       \
  TALONIX_STUB(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, \
               EXCEPINFO*, UINT*)
// References held by others than the test: refs.
#define TALONIX_COUNTED                                          \
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }   \
  ULONG STDMETHODCALLTYPE Release() override { return --refs; } \
  ULONG refs = 0;

// Hands out `object` as interface I, with a reference.
template <typename I, typename T>
HRESULT handOut(T* object, void** out) {
  *out = static_cast<I*>(object);
  object->AddRef();
  return S_OK;
}

// The program's side: a key may be waiting, and every wait is recorded and
// may let something happen meanwhile (a notification of the engine).
class ProgramSide : public plat::SampleSink {
 public:
  bool playSamples(const int16_t*, size_t, uint32_t) override { return true; }
  bool isPlaying() override { return false; }
  void stop() override {}
  bool keyWaiting() override { return key; }
  void waitMs(unsigned ms) override {
    waits.push_back(ms);
    if (duringWait) duringWait();
  }

  bool key = false;
  std::vector<unsigned> waits;
  std::function<void()> duringWait;
};

#endif  // TALONIX_TESTS_WIN32_COM_FAKES_H_
