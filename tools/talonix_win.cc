// The program as a Windows program with its own window. It reads no
// arguments.
#include <windows.h>

#include "app/program.h"
#include "platform/win32/win32_backend.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  static plat::win32::Win32Backend backend;
  backend.install();
  runTalonix();
}
