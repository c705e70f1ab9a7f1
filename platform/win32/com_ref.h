// Small COM helpers for the platform voices: an owning reference, a BSTR
// that frees itself, and the seam through which COM objects are made, so
// that tests can hand in objects of their own.
#ifndef TALONIX_PLATFORM_WIN32_COM_REF_H_
#define TALONIX_PLATFORM_WIN32_COM_REF_H_

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string_view>
#include <utility>

namespace plat::win32 {

// Holds one reference to a COM object and releases it when dropped.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  // Takes over a reference the caller owns.
  void adopt(T* p) {
    reset();
    p_ = p;
  }
  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For calls that hand back a new reference; drops the old one first.
  T** out() {
    reset();
    return &p_;
  }
  void** outVoid() { return reinterpret_cast<void**>(out()); }

 private:
  T* p_ = nullptr;
};

// A BSTR owned for the length of a call.
class Bstr {
 public:
  explicit Bstr(std::wstring_view text)
      : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }
  explicit operator bool() const { return b_ != nullptr; }

 private:
  BSTR b_;
};

// Makes the COM object of class `clsid` and asks it for `iid`, as
// CoCreateInstance does.
using ComFactory = std::function<HRESULT(const CLSID& clsid, const IID& iid,
                                         void** object)>;
// CoCreateInstance in-process or out of process (context flags 7).
HRESULT createComObject(const CLSID& clsid, const IID& iid, void** object);

// Windows-1252 text as UTF-16.
std::wstring wideFrom1252(std::string_view text);

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_COM_REF_H_
