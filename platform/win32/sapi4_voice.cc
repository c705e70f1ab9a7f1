#include "platform/win32/sapi4_voice.h"

#include <string>
#include <utility>

namespace plat::win32 {
namespace {

using sapi4::QWORD;

constexpr unsigned kBetweenTextsMs = 20;
constexpr unsigned kBeforeResetMs = 50;
constexpr unsigned kAfterResetMs = 150;

// The reference counting both sinks share. A sink lives as long as the
// engine or the voice holds it; what it reports goes to the progress
// record of the start that made it.
template <typename Interface>
class Sink : public Interface {
 public:
  Sink(const IID& iid, std::shared_ptr<Sapi4Progress> progress)
      : iid_(iid), progress_(std::move(progress)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  virtual ~Sink() = default;
  Sapi4Progress& progress() { return *progress_; }

 private:
  LONG references_ = 1;
  IID iid_;
  std::shared_ptr<Sapi4Progress> progress_;
};

class NotifySink : public Sink<sapi4::ITTSNotifySinkA> {
 public:
  explicit NotifySink(std::shared_ptr<Sapi4Progress> progress)
      : Sink(sapi4::kIidTtsNotifySink, std::move(progress)) {}
  HRESULT STDMETHODCALLTYPE AttribChanged(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AudioStart(QWORD) override {
    progress().audioPlaying = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AudioStop(QWORD) override {
    progress().audioPlaying = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Visual(QWORD, CHAR, CHAR, DWORD,
                                   sapi4::TTSMOUTH*) override {
    return S_OK;
  }
};

class BufferSink : public Sink<sapi4::ITTSBufNotifySink> {
 public:
  explicit BufferSink(std::shared_ptr<Sapi4Progress> progress)
      : Sink(sapi4::kIidTtsBufNotifySink, std::move(progress)) {}
  HRESULT STDMETHODCALLTYPE TextDataDone(QWORD, DWORD) override {
    if (progress().textQueued > 0) --progress().textQueued;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TextDataStarted(QWORD) override {
    ++progress().textQueued;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE BookMark(QWORD, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE WordPosition(QWORD, DWORD) override { return S_OK; }
};

// Engines may change the current directory while they load; the program's
// relative paths must not follow them.
class CurrentDirectoryKept {
 public:
  CurrentDirectoryKept() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return;
    directory_.resize(size);
    const DWORD n = GetCurrentDirectoryW(size, directory_.data());
    directory_.resize(n < size ? n : 0);
  }
  ~CurrentDirectoryKept() {
    if (!directory_.empty()) SetCurrentDirectoryW(directory_.c_str());
  }
  CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
  CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;

 private:
  std::wstring directory_;
};

}  // namespace

bool Sapi4Voice::start(int voice, int rate, int pitch, plat::SampleSink& sink) {
  end();
  const CurrentDirectoryKept kept;
  if (!open(voice)) {
    end();
    return false;
  }
  tune(rate, pitch);
  sink_ = &sink;
  return true;
}

bool Sapi4Voice::open(int voice) {
  if (voice < 1) voice = 1;
  if (FAILED(create_(sapi4::kClsidMMAudioDest, sapi4::kIidAudioMultiMediaDevice,
                     audio_.outVoid())) ||
      !audio_)
    return false;
  if (FAILED(create_(sapi4::kClsidTtsEnumerator, sapi4::kIidTtsEnum,
                     voices_.outVoid())) ||
      !voices_)
    return false;
  voices_->Reset();
  // The voice-th mode; past the last one, the last one.
  sapi4::TTSMODEINFOA chosen{};
  bool found = false;
  for (int i = 0; i < voice; ++i) {
    sapi4::TTSMODEINFOA next{};
    if (voices_->Next(1, &next, nullptr) != S_OK) break;
    chosen = next;
    found = true;
  }
  if (!found ||
      FAILED(voices_->Select(chosen.gModeID, central_.out(), audio_.get())) ||
      !central_)
    return false;
  notifySink_.adopt(new NotifySink(progress_));
  bufferSink_.adopt(new BufferSink(progress_));
  registered_ = SUCCEEDED(
      central_->Register(notifySink_.get(), sapi4::kIidTtsNotifySink, &key_));
  return registered_;
}

void Sapi4Voice::tune(int rate, int pitch) {
  ComRef<sapi4::ITTSAttributesA> attributes;
  if (FAILED(central_->QueryInterface(sapi4::kIidTtsAttributes,
                                      attributes.outVoid())) ||
      !attributes)
    return;
  if (rate != 0) attributes->SpeedSet(static_cast<DWORD>(rate));
  if (pitch != 0) attributes->PitchSet(static_cast<WORD>(pitch));
}

void Sapi4Voice::speak(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return;
  const size_t last = text.find_last_not_of(" \t\r\n");
  std::string said(text.substr(first, last - first + 1));
  // A lone digit is read as a number, not as the name of a key.
  if (said.size() == 1 && said[0] >= '0' && said[0] <= '9') said += '.';
  if (!central_) return;
  // The program's messages are handled in these calls; whatever they do,
  // the voice must still be started afterwards.
  plat::SampleSink* program = sink_;
  if (program->keyWaiting()) return;
  if (progress_->textQueued > 0) program->waitMs(kBetweenTextsMs);
  if (!central_) return;
  const sapi4::SDATA data{said.data(), static_cast<DWORD>(said.size() + 1)};
  if (FAILED(central_->TextData(sapi4::CHARSET_TEXT, 0, data, bufferSink_.get(),
                                sapi4::kIidTtsBufNotifySink)))
    stop();
}

bool Sapi4Voice::isSpeaking(int kind) {
  const Sapi4Progress& p = *progress_;
  return p.textQueued > 0 || (kind == 0 && p.audioPlaying);
}

void Sapi4Voice::stop() {
  if (progress_->audioPlaying && central_ && sink_) {
    plat::SampleSink* program = sink_;
    program->waitMs(kBeforeResetMs);
    // A voice that cannot reset is left to finish.
    if (central_) central_->AudioReset();
    program->waitMs(kAfterResetMs);
  }
  progress_->audioPlaying = false;
  progress_->textQueued = 0;
}

void Sapi4Voice::end() {
  audio_.reset();
  voices_.reset();
  bufferSink_.reset();
  if (registered_ && central_) central_->UnRegister(key_);
  registered_ = false;
  notifySink_.reset();
  central_.reset();
  sink_ = nullptr;
  // Whatever the released engine still reports goes to the old record.
  progress_ = std::make_shared<Sapi4Progress>();
}

}  // namespace plat::win32
