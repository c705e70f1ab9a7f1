// The older speech interface's text-to-speech layer, declared here since
// no current SDK ships it. Only the ANSI forms are declared. Methods are in
// the order of the interfaces' published binary layout, so that engines
// built against it find theirs at the same slots; the program itself calls
// only the members marked "used", and the two sinks it implements are
// called by the engines through every member.
//
// The engines of this interface are 32-bit in-process servers: a 64-bit
// build of the program reaches them only through an out-of-process server.
#ifndef TALONIX_PLATFORM_WIN32_SAPI4_INTERFACES_H_
#define TALONIX_PLATFORM_WIN32_SAPI4_INTERFACES_H_

#include <windows.h>
#include <unknwn.h>

#include <cstdint>

namespace plat::win32::sapi4 {

using QWORD = uint64_t;

// A block of data with its size, passed by value.
struct SDATA {
  void* pData;
  DWORD dwSize;
};

enum VOICECHARSET { CHARSET_TEXT = 0, CHARSET_IPAPHONETIC, CHARSET_ENGINEPHONETIC };

constexpr int kNameLength = 262;
constexpr int kLanguageLength = 64;

struct LANGUAGEA {
  LANGID LanguageID;
  CHAR szDialect[kLanguageLength];
};

// What the enumerator tells of one voice (mode). Used: gModeID.
struct TTSMODEINFOA {
  GUID gEngineID;
  CHAR szMfgName[kNameLength];
  CHAR szProductName[kNameLength];
  GUID gModeID;
  CHAR szModeName[kNameLength];
  LANGUAGEA language;
  CHAR szSpeaker[kNameLength];
  CHAR szStyle[kNameLength];
  WORD wGender;
  WORD wAge;
  DWORD dwFeatures;
  DWORD dwInterfaces;
  DWORD dwEngineFeatures;
};

// The mouth shape of a visual notification; never looked into.
struct TTSMOUTH;

// The sound device as audio destination. Used: only as IUnknown, handed to
// the enumerator's Select.
struct IAudioMultiMediaDevice : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CustomMessage(UINT message, SDATA data) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeviceNumGet(DWORD* device) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeviceNumSet(DWORD device) = 0;
};

// One engine's voice. Used: TextData, AudioReset, Register, UnRegister.
struct ITTSCentralA : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Inject(const CHAR* tag) = 0;
  virtual HRESULT STDMETHODCALLTYPE ModeGet(TTSMODEINFOA* mode) = 0;
  virtual HRESULT STDMETHODCALLTYPE Phoneme(VOICECHARSET set, DWORD flags,
                                            SDATA text, SDATA* phonemes) = 0;
  virtual HRESULT STDMETHODCALLTYPE PosnGet(QWORD* position) = 0;
  virtual HRESULT STDMETHODCALLTYPE TextData(VOICECHARSET set, DWORD flags,
                                             SDATA text, void* notifySink,
                                             IID notifyIid) = 0;
  virtual HRESULT STDMETHODCALLTYPE ToFileTime(QWORD* position,
                                               FILETIME* time) = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioPause() = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioResume() = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioReset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Register(void* notifySink, IID notifyIid,
                                             DWORD* key) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnRegister(DWORD key) = 0;
};

// The installed voices. Used: Next, Reset, Select.
struct ITTSEnumA : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, TTSMODEINFOA* modes,
                                         ULONG* fetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(ITTSEnumA** copy) = 0;
  virtual HRESULT STDMETHODCALLTYPE Select(GUID modeId, ITTSCentralA** central,
                                           IUnknown* audioDestination) = 0;
};

// A voice's tuning. Used: PitchSet, SpeedSet.
struct ITTSAttributesA : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE PitchGet(WORD* pitch) = 0;
  virtual HRESULT STDMETHODCALLTYPE PitchSet(WORD pitch) = 0;
  virtual HRESULT STDMETHODCALLTYPE RealTimeGet(DWORD* realTime) = 0;
  virtual HRESULT STDMETHODCALLTYPE RealTimeSet(DWORD realTime) = 0;
  virtual HRESULT STDMETHODCALLTYPE SpeedGet(DWORD* speed) = 0;
  virtual HRESULT STDMETHODCALLTYPE SpeedSet(DWORD speed) = 0;
  virtual HRESULT STDMETHODCALLTYPE VolumeGet(DWORD* volume) = 0;
  virtual HRESULT STDMETHODCALLTYPE VolumeSet(DWORD volume) = 0;
};

// Told of the voice's audio (implemented by the program).
struct ITTSNotifySinkA : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE AttribChanged(DWORD attribute) = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioStart(QWORD time) = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioStop(QWORD time) = 0;
  virtual HRESULT STDMETHODCALLTYPE Visual(QWORD time, CHAR phoneme,
                                           CHAR enginePhoneme, DWORD hints,
                                           TTSMOUTH* mouth) = 0;
};

// Told of one text's progress (implemented by the program).
struct ITTSBufNotifySink : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE TextDataDone(QWORD time, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE TextDataStarted(QWORD time) = 0;
  virtual HRESULT STDMETHODCALLTYPE BookMark(QWORD time, DWORD mark) = 0;
  virtual HRESULT STDMETHODCALLTYPE WordPosition(QWORD time, DWORD offset) = 0;
};

constexpr CLSID kClsidMMAudioDest = {
    0xCB96B400, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr IID kIidAudioMultiMediaDevice = {
    0xB68AD320, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr CLSID kClsidTtsEnumerator = {
    0xD67C0280, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr IID kIidTtsEnum = {
    0x05EB6C6D, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
constexpr IID kIidTtsNotifySink = {
    0x05EB6C6F, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
constexpr IID kIidTtsBufNotifySink = {
    0xE4963D40, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr IID kIidTtsAttributes = {
    0x0FD6E2A1, 0xE77D, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};

}  // namespace plat::win32::sapi4

#endif  // TALONIX_PLATFORM_WIN32_SAPI4_INTERFACES_H_
