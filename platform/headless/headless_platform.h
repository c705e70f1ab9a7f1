// The headless backend: a virtual window, a virtual clock and a record of
// what happened. Keys come from a key script (key_script.h) and are handed
// to the program whenever it waits for the user with nothing else to do, or,
// for keys pressed during speech, at a given wait for a message.
// Tests and the scenario runner read the painted grid, the title, the
// speech record, the caret, sounds and the clipboard back from it.
#ifndef TALONIX_PLATFORM_HEADLESS_HEADLESS_PLATFORM_H_
#define TALONIX_PLATFORM_HEADLESS_HEADLESS_PLATFORM_H_

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/absent.h"
#include "platform/headless/key_script.h"
#include "platform/headless/test_voice.h"
#include "platform/headless/virtual_printer.h"
#include "platform/platform.h"
#include "platform/shared/ini_profile.h"
#include "platform/shared/window_defaults.h"

namespace plat::headless {

struct HeadlessConfig {
  std::filesystem::path configDir;  // the Windows directory stand-in
  std::filesystem::path workDir;    // the current directory
  // Start of the virtual clock; the real local time when absent.
  std::optional<plat::LocalTime> startTime;
  std::string programPath;  // Windows-1252; empty: "<workdir>/talonix"
};

// One buffer handed to the headless wave output, with its device format.
// playedBytes is what sounded before a reset cut it (all of it otherwise).
struct WaveCapture {
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  uint16_t channels = 0;
  uintptr_t tag = 0;
  uint64_t startUs = 0;  // virtual time the buffer began to sound
  uint64_t endUs = 0;    // and the time it ends
  std::vector<uint8_t> data;
  size_t playedBytes = 0;
};

// One looping sound (the console's tone generator), with the virtual time
// it began and the time it was stopped or replaced (kStillSounding while
// it sounds).
struct LoopCapture {
  static constexpr uint64_t kStillSounding = UINT64_MAX;
  std::vector<uint8_t> image;
  uint64_t startUs = 0;
  uint64_t endUs = kStillSounding;
};

// One cell of the virtual window as the last textOut painted it.
struct PaintedCell {
  uint8_t ch = ' ';
  uint8_t attr = 0;
  plat::Rgb fg, bg;
};

// Calendar helpers of the virtual clock (proleptic Gregorian calendar).
// Days since 1970-01-01 of a date, and back; weekday 0 = Sunday.
int64_t daysFromCivil(int year, int month, int day);
plat::LocalTime civilFromMs(int64_t msSinceEpoch);
int64_t msFromCivil(const plat::LocalTime& t);

// The whole simulated machine is one object: its window, sound and clock
// share one virtual time and one event queue. It offers every service, a
// virtual printer (virtual_printer.h) and test voices (test_voice.h);
// services() hands them out,
// install() puts them in place.
// Takes back what HeadlessPlatform::install() put in place.
void uninstall();

class HeadlessPlatform : public plat::Window,
                         public plat::Clipboard,
                         public plat::Magnifier,
                         public plat::Audio,
                         public plat::System {
 public:
  static constexpr int kColumns = 80;
  static constexpr int kRows = 25;
  static constexpr int kCellWidth = 13;
  static constexpr int kLineHeight = 28;

  explicit HeadlessPlatform(HeadlessConfig config);

  plat::Services services();
  // Installs services() for the process, and this platform's speech record
  // as the recorder of plat::record().
  void install();

  // --- plat::Window --------------------------------------------------------
  void setWindowProc(plat::WindowProc proc) override;
  bool createWindow(const plat::WindowConfig& config,
                    plat::FontMetrics* metrics) override;
  void destroyWindow() override;
  void setTitle(std::string_view title) override;
  void textOut(int column, int row, const uint8_t* chars, int count,
               plat::Rgb foreground, plat::Rgb background,
               uint8_t attr) override;
  void invalidateAll(bool erase) override;
  void updateWindow() override;
  void scrollUpOneLine(plat::Rgb background, uint8_t attr) override;
  bool isActiveWindow() override { return true; }
  int windowBottom() override { return 700; }
  int screenHeight() override { return 768; }
  plat::Rect workArea() override { return {0, 0, 1024, 734}; }
  void clientSize(int* width, int* height) override;
  void showCaret(int column, int row) override;
  void hideCaret() override;
  bool hasFocus() override { return focused_; }
  bool keyHeld(uint32_t virtualKey) override;
  void messageBeep() override { ++beepCount_; }
  void waitEvent() override;
  plat::PumpResult pumpOne(bool consoleOnly) override;
  void postMessage(uint32_t message) override;
  void postEvent(const plat::Event& event) override;

  // --- plat::Magnifier -----------------------------------------------------
  void takeSnapshot() override;
  void stretchSnapshot(int srcX, int srcY, int srcWidth,
                       int srcHeight) override;
  void freeSnapshot() override;

  // --- plat::Audio ---------------------------------------------------------
  void playLoopingWave(const uint8_t* image, size_t size) override;
  void stopLoopingWave() override;
  int waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
               uint16_t channels) override;
  bool waveWrite(const uint8_t* data, size_t size, uintptr_t tag) override;
  void waveReset() override;
  void waveClose() override;

  // --- plat::Clipboard -----------------------------------------------------
  bool setClipboardText(std::string_view text) override;
  bool getClipboardText(std::string* text, bool* hasText) override;

  // --- plat::System --------------------------------------------------------
  plat::LocalTime localTime() override;
  uint64_t tickMs() override { return elapsedMs_; }
  void sleepMs(unsigned ms) override;

  std::string windowsDirectory() override;
  std::string currentDirectory() override;
  std::string programPath() override;
  char pathSeparator() override;
  std::filesystem::path nativePath(std::string_view path) override;
  bool fileExists(std::string_view path) override;
  // Test runs need no durability: nothing is synced.
  bool flushFileToDisk(const std::filesystem::path& path) override;
  // Answered from the values tests set with setRegistryText.
  bool readMachineRegistryText(std::string_view path, std::string* text) override;
  // Captured, never started.
  void shellOpen(std::string_view program, std::string_view parameters,
                 std::string_view directory) override;
  // Throws plat::ExitRequest{code}.
  [[noreturn]] void exitProcess(int code) override;

  // Appends one line to the speech record (what install() hooks to
  // plat::record).
  void record(std::string_view line);

  // --- Driving it (tests, the runner) --------------------------------------
  void addKeyGroups(const std::vector<KeyGroup>& groups);
  void postQuit();  // a WM_QUIT in the queue
  // Queues `event` once the virtual clock reaches `atMs` (a key pressed
  // while sound plays, say); it arrives in a sleep or a wait for sound.
  void postEventAt(uint64_t atMs, const plat::Event& event);
  // The result the next waveOpen calls give (0: they open).
  void setWaveOpenResult(int result) { waveOpenResult_ = result; }
  // After `writes` more buffers, waveWrite refuses every further one (a
  // device that went away); negative: it never refuses.
  void setWaveWritesLeft(int writes) { waveWritesLeft_ = writes; }
  // A REG_SZ value under HKEY_LOCAL_MACHINE, by its full path.
  void setRegistryText(const std::string& path, const std::string& text) {
    registry_[path] = text;
  }
  void setWindowCreationFails(bool fails) { windowFails_ = fails; }
  void setClipboardUnavailable(bool unavailable) { clipboardClosed_ = unavailable; }
  // The MBROLA binding voices().mbrola() offers (none by default); the
  // caller keeps it alive while installed.
  void setMbrola(plat::Mbrola* mbrola) { voices_.setMbrola(mbrola); }
  // Empties the clipboard of text (CF_TEXT absent).
  void clearClipboard();
  size_t pendingEvents() const { return queue_.size(); }
  size_t keyGroupsLeft() const { return groups_.size() - nextGroup_; }

  // --- Reading it back -----------------------------------------------------
  bool windowCreated() const { return created_; }
  const plat::WindowConfig& windowConfig() const { return windowConfig_; }
  const std::string& title() const { return title_; }
  // The 80 Windows-1252 characters of a painted row (0-based).
  std::string screenRow(int row) const;
  uint8_t attrAt(int column, int row) const;
  const PaintedCell& cellAt(int column, int row) const;
  bool invalid() const { return invalid_; }
  const std::vector<std::string>& speech() const { return speech_; }
  // The virtual clock (microseconds) at which each speech line was made.
  const std::vector<uint64_t>& speechTimes() const { return speechTimesUs_; }
  bool caretShown() const { return caretShown_; }
  int caretColumn() const { return caretColumn_; }
  int caretRow() const { return caretRow_; }
  int beepCount() const { return beepCount_; }
  bool looping() const { return looping_; }
  const std::vector<uint8_t>& loopingImage() const { return loopingImage_; }
  const std::string& clipboardText() const { return clipboard_; }
  bool clipboardHasText() const { return clipboardHasText_; }
  // Every buffer written to the wave output, in order.
  const std::vector<WaveCapture>& waveCaptures() const { return waves_; }
  // The virtual clock, in microseconds since the run began.
  uint64_t virtualUs() const { return nowUs(); }
  // Every looping sound started, in order.
  const std::vector<LoopCapture>& loopCaptures() const { return loops_; }
  bool waveDeviceOpen() const { return waveOpen_; }
  size_t wavePending() const { return wavePending_.size(); }
  int waveOpenCount() const { return waveOpens_; }
  const std::vector<std::string>& magnifierLog() const { return magnifier_; }
  int paintCount() const { return paints_; }
  struct ShellRequest {
    std::string program, parameters, directory;
  };
  const std::vector<ShellRequest>& shellRequests() const { return shell_; }
  VirtualPrinter& printer() { return printer_; }
  const VirtualPrinter& printer() const { return printer_; }
  // The test voices: the "SAPI 5" kind plays samples through the program's
  // player, the "SAPI 4" kind speaks on its own, as on Linux.
  TestVoice& testVoice(plat::VoiceKind kind) {
    return kind == plat::VoiceKind::kSapi5 ? sampleVoice_ : ownAudioVoice_;
  }

 private:
  std::map<std::string, std::string> registry_;
  struct Queued {
    bool quit = false;
    plat::Event event;
  };

  void dispatch(const plat::Event& event);
  void deliverPaint();
  // Queues the events of the next key group.
  void deliverNextGroup();
  // While sound plays or a timed event is due, moves the virtual clock to
  // the next of them and queues it. False when nothing is pending.
  bool advanceToNextSoundEvent();
  // Queues what is due at the current virtual time.
  void deliverDue();
  void completeWave(size_t index, uint64_t playedUs);
  uint64_t nowUs() const { return elapsedMs_ * 1000; }
  std::string toCp1252(const std::filesystem::path& path) const;

  HeadlessConfig config_;
  int64_t startMs_ = 0;
  uint64_t elapsedMs_ = 0;

  plat::WindowProc proc_ = nullptr;
  bool created_ = false;
  bool windowFails_ = false;
  plat::WindowConfig windowConfig_;
  std::string title_;
  std::vector<PaintedCell> grid_;
  bool invalid_ = false;
  bool focused_ = false;
  bool caretShown_ = false;
  int caretColumn_ = 0, caretRow_ = 0;
  std::vector<std::string> magnifier_;
  int paints_ = 0;

  std::deque<Queued> queue_;
  std::vector<KeyGroup> groups_;
  size_t nextGroup_ = 0;
  // Waits for a message (queue empty, nothing to paint) since the last
  // group arrived; a group pressed during speech counts them.
  int waitsSinceGroup_ = 0;
  bool closeSent_ = false;

  struct TimedEvent {
    uint64_t atMs = 0;
    plat::Event event;
  };
  std::vector<TimedEvent> timed_;
  bool waveOpen_ = false;
  int waveOpenResult_ = 0;
  int waveWritesLeft_ = -1;
  int waveOpens_ = 0;
  uint32_t waveRate_ = 0;
  uint16_t waveBits_ = 0, waveChannels_ = 0;
  uint64_t waveEndUs_ = 0;  // when the last written buffer stops sounding
  std::vector<WaveCapture> waves_;
  std::deque<size_t> wavePending_;  // indexes into waves_, in play order

  int beepCount_ = 0;
  bool looping_ = false;
  std::vector<uint8_t> loopingImage_;
  std::vector<LoopCapture> loops_;

  std::string clipboard_;
  bool clipboardHasText_ = false;
  bool clipboardClosed_ = false;

  std::vector<std::string> speech_;
  std::vector<uint64_t> speechTimesUs_;

  plat::KeyState keys_;  // modifiers of the last keyboard message
  plat::IniProfile profile_;
  VirtualPrinter printer_;
  std::vector<ShellRequest> shell_;
  TestVoice sampleVoice_{*this, TestVoice::Shape::kSamples};
  TestVoice ownAudioVoice_{*this, TestVoice::Shape::kOwnAudio};
  plat::VoicePair voices_{&sampleVoice_, &ownAudioVoice_};
};

}  // namespace plat::headless

#endif  // TALONIX_PLATFORM_HEADLESS_HEADLESS_PLATFORM_H_
