#include "platform/win32/com_ref.h"

#include <string>

namespace plat::win32 {

HRESULT createComObject(const CLSID& clsid, const IID& iid, void** object) {
  constexpr DWORD kContext =
      CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
  return CoCreateInstance(clsid, nullptr, kContext, iid, object);
}

std::wstring wideFrom1252(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(1252, 0, text.data(), size, nullptr, 0);
  std::wstring wide(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(1252, 0, text.data(), size, wide.data(), n);
  return wide;
}

}  // namespace plat::win32
