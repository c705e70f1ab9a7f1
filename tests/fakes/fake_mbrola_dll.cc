// Our stand-in for mbrola.dll: the 23 published entry points, the eight the
// engine calls behaving by the rule of fake_mbrola_rule.h. A line's samples
// become readable when the next line comes or at flush, as a synthesizer
// that needs the following phoneme would give them. Each call is appended
// to the file named by TALONIX_FAKE_MBROLA_LOG, so a test can check the
// order of the calls. Built with FAKE_MBROLA_INCOMPLETE, appendf0_Phone is
// left out.
#include <windows.h>

#include <cstdio>
#include <deque>
#include <string>

#include "tests/fakes/fake_mbrola_rule.h"

namespace {

bool opened = false;
int lastError = 0;
fake_mbrola::LineEffect held;  // the last line's samples, not yet readable
std::deque<short> ready;

void note(const std::string& call) {
  char path[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("TALONIX_FAKE_MBROLA_LOG", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  if (FILE* log = std::fopen(path, "ab")) {
    std::fprintf(log, "%s\n", call.c_str());
    std::fclose(log);
  }
}

void release() {
  if (held.kind == fake_mbrola::LineKind::kSound) ready.insert(ready.end(), held.count, held.value);
  held = {};
}

std::string withoutEnd(const char* line) {
  std::string text(line ? line : "");
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) note("attach");
  if (reason == DLL_PROCESS_DETACH) note("detach");
  return TRUE;
}

__declspec(dllexport) int WINAPI init_MBR(char* path) {
  note(std::string("init_MBR ") + path);
  opened = std::string(path).find("missing") == std::string::npos;
  ready.clear();
  held = {};
  return opened ? 0 : -1;
}

__declspec(dllexport) void WINAPI setNoError_MBR(int noError) {
  note("setNoError_MBR " + std::to_string(noError));
}

__declspec(dllexport) void WINAPI reset_MBR() {
  note("reset_MBR");
  ready.clear();
  held = {};
  lastError = 0;
}

__declspec(dllexport) int WINAPI write_MBR(char* line) {
  note("write_MBR " + withoutEnd(line));
  const fake_mbrola::LineEffect effect = fake_mbrola::lineEffect(line ? line : "");
  if (!opened || effect.kind == fake_mbrola::LineKind::kRefused) {
    lastError = 1;
    return -1;
  }
  if (effect.kind == fake_mbrola::LineKind::kSound) {
    release();
    held = effect;
  }
  return 1;
}

__declspec(dllexport) int WINAPI lastError_MBR() {
  note("lastError_MBR");
  return lastError;
}

__declspec(dllexport) int WINAPI flush_MBR() {
  note("flush_MBR");
  release();
  return 1;
}

__declspec(dllexport) int WINAPI read_MBR(short* samples, int wanted) {
  note("read_MBR " + std::to_string(wanted));
  int n = 0;
  while (n < wanted && !ready.empty()) {
    samples[n++] = ready.front();
    ready.pop_front();
  }
  return n;
}

__declspec(dllexport) void WINAPI close_MBR() {
  note("close_MBR");
  opened = false;
}

// The calls the engine never makes: present, and inert.
__declspec(dllexport) int WINAPI init_rename_MBR() { return 0; }
__declspec(dllexport) int WINAPI readtype_MBR() { return 0; }
__declspec(dllexport) int WINAPI lastErrorStr_MBR() { return 0; }
__declspec(dllexport) int WINAPI getNoError_MBR() { return 0; }
__declspec(dllexport) int WINAPI setFreq_MBR() { return 0; }
__declspec(dllexport) int WINAPI getFreq_MBR() { return 16000; }
__declspec(dllexport) int WINAPI setVolumeRatio_MBR() { return 0; }
__declspec(dllexport) int WINAPI getVolumeRatio_MBR() { return 0; }
__declspec(dllexport) int WINAPI getVersion_MBR() { return 0; }
__declspec(dllexport) int WINAPI getDatabaseInfo_MBR() { return 0; }
__declspec(dllexport) int WINAPI setParser_MBR() { return 0; }
__declspec(dllexport) int WINAPI init_Phone() { return 0; }
__declspec(dllexport) int WINAPI reset_Phone() { return 0; }
__declspec(dllexport) int WINAPI close_Phone() { return 0; }
#ifndef FAKE_MBROLA_INCOMPLETE
__declspec(dllexport) int WINAPI appendf0_Phone() { return 0; }
#endif

}  // extern "C"
