// Pieces the Win32 voice tests share: COM objects of the tests' own that
// count their references (owned by the test, never deleted through
// Release), and a program side that records the voice's waits.
#ifndef TALONIX_TESTS_WIN32_COM_FAKES_H_
#define TALONIX_TESTS_WIN32_COM_FAKES_H_

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/voices.h"

// Stubs a method the voices under test never call.
#define TALONIX_STUB(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
#define TALONIX_DISPATCH_STUBS                                              \
  TALONIX_STUB(GetTypeInfoCount, UINT*)                                     \
  TALONIX_STUB(GetTypeInfo, UINT, LCID, ITypeInfo**)                        \
  TALONIX_STUB(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)       \
  TALONIX_STUB(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, \
               EXCEPINFO*, UINT*)

template <typename Interface>
class Counted : public Interface {
 public:
  explicit Counted(const IID& iid) : iid_(iid) {}
  virtual ~Counted() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    return otherInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  // References held by others than the test.
  int refs() const { return refs_; }
  // Hands out one more reference.
  template <typename T = Interface>
  HRESULT handOut(void** object) {
    AddRef();
    *object = static_cast<T*>(this);
    return S_OK;
  }

 protected:
  virtual HRESULT otherInterface(REFIID, void** object) {
    *object = nullptr;
    return E_NOINTERFACE;
  }

 private:
  IID iid_;
  int refs_ = 0;
};

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
