#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <system_error>

#include "platform/shared/codepage.h"
#include "platform/shared/riff.h"

namespace plat::headless {
namespace {

constexpr int64_t kMsPerDay = 86400000;

// Floor division, so that moments before 1970 land on the right day.
int64_t floorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

plat::LocalTime realLocalTime() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t secs = system_clock::to_time_t(now);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  plat::LocalTime t;
  if (const std::tm* tm = std::localtime(&secs)) {
    t.year = tm->tm_year + 1900;
    t.month = tm->tm_mon + 1;
    t.day = tm->tm_mday;
    t.hour = tm->tm_hour;
    t.minute = tm->tm_min;
    t.second = std::min(tm->tm_sec, 59);  // a leap second reads as :59
    t.millisecond = static_cast<int>(ms < 0 ? 0 : ms);
  }
  return t;
}

}  // namespace

// Howard Hinnant's days-from-civil: exact for every Gregorian date.
int64_t daysFromCivil(int year, int month, int day) {
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = floorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t mp = (month + 9) % 12;  // March = 0
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

plat::LocalTime civilFromMs(int64_t msSinceEpoch) {
  const int64_t days = floorDiv(msSinceEpoch, kMsPerDay);
  int64_t msOfDay = msSinceEpoch - days * kMsPerDay;
  const int64_t z = days + 719468;
  const int64_t era = floorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  plat::LocalTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
  t.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01: Thursday
  t.hour = static_cast<int>(msOfDay / 3600000);
  msOfDay %= 3600000;
  t.minute = static_cast<int>(msOfDay / 60000);
  msOfDay %= 60000;
  t.second = static_cast<int>(msOfDay / 1000);
  t.millisecond = static_cast<int>(msOfDay % 1000);
  return t;
}

int64_t msFromCivil(const plat::LocalTime& t) {
  return daysFromCivil(t.year, t.month, t.day) * kMsPerDay +
         ((static_cast<int64_t>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 +
         t.millisecond;
}

namespace {

// Relative paths the program names resolve against a fixed place.
HeadlessConfig withFixedDirectories(HeadlessConfig config) {
  std::error_code ec;
  if (config.workDir.empty()) config.workDir = std::filesystem::current_path(ec);
  if (config.configDir.empty()) config.configDir = config.workDir;
  for (std::filesystem::path* dir : {&config.workDir, &config.configDir}) {
    std::filesystem::path full = std::filesystem::absolute(*dir, ec);
    if (ec) continue;
    full = full.lexically_normal();
    // Directories are named without a trailing separator.
    if (!full.has_filename() && full != full.root_path()) full = full.parent_path();
    *dir = full;
  }
  return config;
}

}  // namespace

HeadlessPlatform::HeadlessPlatform(HeadlessConfig config)
    : config_(withFixedDirectories(std::move(config))),
      grid_(kColumns * kRows),
      profile_(*this, config_.configDir) {
  startMs_ = msFromCivil(config_.startTime ? *config_.startTime : realLocalTime());
  if (config_.programPath.empty()) {
    config_.programPath = toCp1252(config_.workDir / "talonix");
  }
}

plat::Services HeadlessPlatform::services() {
  plat::Services s;
  s.window = this;
  s.clipboard = this;
  s.magnifier = this;
  s.audio = this;
  s.profile = &profile_;
  s.system = this;
  s.printer = &printer_;
  s.voices = &voices_;
  return s;
}

void HeadlessPlatform::install() {
  plat::setServices(services());
  plat::setRecorder([this](std::string_view line) { record(line); });
}

void uninstall() {
  plat::clearServices();
  plat::setRecorder(nullptr);
}

// --- Window ----------------------------------------------------------------

void HeadlessPlatform::setWindowProc(plat::WindowProc proc) { proc_ = proc; }

bool HeadlessPlatform::createWindow(const plat::WindowConfig& config,
                                    plat::FontMetrics* metrics) {
  windowConfig_ = config;
  plat::FontMetrics m;
  if (!windowFails_) {
    m.cellWidth = kCellWidth;
    m.lineHeight = kLineHeight;
    m.ascent = 22;
    m.overhang = 0;
    m.fontCreated = true;
  }
  if (metrics) *metrics = m;
  if (windowFails_) return false;
  created_ = true;
  focused_ = true;
  title_ = config.title;
  std::fill(grid_.begin(), grid_.end(), PaintedCell{});
  return true;
}

void HeadlessPlatform::destroyWindow() {
  created_ = false;
  focused_ = false;
  caretShown_ = false;
  invalid_ = false;
}

void HeadlessPlatform::setTitle(std::string_view title) {
  if (created_) title_ = std::string(title);
}

void HeadlessPlatform::textOut(int column, int row, const uint8_t* chars,
                               int count, plat::Rgb foreground,
                               plat::Rgb background, uint8_t attr) {
  if (!created_ || row < 0 || row >= kRows) return;
  for (int i = 0; i < count; ++i) {
    const int col = column + i;
    if (col < 0 || col >= kColumns) continue;
    grid_[row * kColumns + col] = PaintedCell{chars[i], attr, foreground, background};
  }
}

void HeadlessPlatform::invalidateAll(bool erase) {
  if (!created_) return;
  invalid_ = true;
  if (erase) std::fill(grid_.begin(), grid_.end(), PaintedCell{});
}

void HeadlessPlatform::updateWindow() {
  if (invalid_) deliverPaint();
}

void HeadlessPlatform::scrollUpOneLine(plat::Rgb background, uint8_t attr) {
  if (!created_) return;
  std::move(grid_.begin() + kColumns, grid_.end(), grid_.begin());
  // The freed line shows only its background, as a PatBlt leaves it; the
  // attribute it was filled for is the one the program gave.
  for (int col = 0; col < kColumns; ++col) {
    PaintedCell& c = grid_[(kRows - 1) * kColumns + col];
    c = PaintedCell{' ', attr, c.fg, background};
  }
}

void HeadlessPlatform::clientSize(int* width, int* height) {
  *width = kColumns * kCellWidth;
  *height = kRows * kLineHeight;
}

void HeadlessPlatform::showCaret(int column, int row) {
  caretShown_ = true;
  caretColumn_ = column;
  caretRow_ = row;
}

void HeadlessPlatform::hideCaret() { caretShown_ = false; }

void HeadlessPlatform::takeSnapshot() { magnifier_.push_back("snapshot"); }

void HeadlessPlatform::stretchSnapshot(int srcX, int srcY, int srcWidth,
                                       int srcHeight) {
  magnifier_.push_back("stretch " + std::to_string(srcX) + " " +
                       std::to_string(srcY) + " " + std::to_string(srcWidth) +
                       " " + std::to_string(srcHeight));
}

void HeadlessPlatform::freeSnapshot() { magnifier_.push_back("free"); }

// --- Message loop ----------------------------------------------------------

void HeadlessPlatform::dispatch(const plat::Event& event) {
  if (event.kind == plat::EventKind::kSetFocus) focused_ = true;
  if (event.kind == plat::EventKind::kKillFocus) focused_ = false;
  keys_.note(event);
  if (!proc_ || proc_(event)) return;
  switch (plat::defaultActionOf(event)) {
    case plat::DefaultAction::kRequestClose:
      queue_.push_front(Queued{false, plat::eventOf(plat::EventKind::kClose)});
      break;
    case plat::DefaultAction::kDestroyWindow:
      destroyWindow();
      dispatch(plat::eventOf(plat::EventKind::kDestroy));
      postQuit();
      break;
    case plat::DefaultAction::kNone:
      break;
  }
}

void HeadlessPlatform::deliverPaint() {
  invalid_ = false;
  if (!created_) return;
  ++paints_;
  plat::Event paint;
  paint.kind = plat::EventKind::kPaint;
  paint.x = 0;
  paint.y = 0;
  paint.x2 = kColumns;
  paint.y2 = kRows;
  dispatch(paint);
}

void HeadlessPlatform::deliverNextGroup() {
  for (const plat::Event& e : groups_[nextGroup_].events) queue_.push_back(Queued{false, e});
  ++nextGroup_;
  waitsSinceGroup_ = 0;
}

void HeadlessPlatform::waitEvent() {
  if (!queue_.empty() || invalid_) return;
  // A key pressed during speech arrives before the clock moves on to the
  // end of the sound, so the program sees it while the sound still plays.
  if (waitsSinceGroup_ < kMaxBargeInWaits) ++waitsSinceGroup_;  // no count goes higher
  if (nextGroup_ < groups_.size() && groups_[nextGroup_].bargeInWaits > 0 &&
      waitsSinceGroup_ >= groups_[nextGroup_].bargeInWaits) {
    deliverNextGroup();
    return;
  }
  if (advanceToNextSoundEvent()) return;
  // The program is idle, waiting for the user: the next keys arrive.
  if (nextGroup_ < groups_.size()) {
    deliverNextGroup();
    return;
  }
  // Out of keys: the user closes the window. Should the program still wait
  // after that, it gets a quit message, so a run never hangs.
  if (!closeSent_) {
    closeSent_ = true;
    plat::Event close;
    close.kind = plat::EventKind::kClose;
    queue_.push_back(Queued{false, close});
    return;
  }
  postQuit();
}

plat::PumpResult HeadlessPlatform::pumpOne(bool consoleOnly) {
  (void)consoleOnly;  // every message here belongs to the console window
  if (queue_.empty()) {
    if (!invalid_) return plat::PumpResult::kEmpty;
    deliverPaint();
    return plat::PumpResult::kDispatched;
  }
  const Queued next = queue_.front();
  queue_.pop_front();
  if (next.quit) return plat::PumpResult::kQuit;
  dispatch(next.event);
  return plat::PumpResult::kDispatched;
}

void HeadlessPlatform::postMessage(uint32_t message) {
  plat::Event e;
  e.kind = plat::EventKind::kUser;
  e.code = message;
  postEvent(e);
}

void HeadlessPlatform::addKeyGroups(const std::vector<KeyGroup>& groups) {
  groups_.insert(groups_.end(), groups.begin(), groups.end());
}

void HeadlessPlatform::postEvent(const plat::Event& event) {
  queue_.push_back(Queued{false, event});
}

void HeadlessPlatform::postQuit() { queue_.push_back(Queued{true, {}}); }

// --- Sound -----------------------------------------------------------------

void HeadlessPlatform::playLoopingWave(const uint8_t* image, size_t size) {
  stopLoopingWave();  // a new sound replaces the one looping
  // What a real device could not play is not played here either.
  plat::WaveInfo info;
  size_t offset = 0;
  if (!image || !plat::parseWaveImage(image, size, &info, &offset) || info.dataBytes == 0) {
    return;
  }
  loopingImage_.assign(image, image + size);
  looping_ = true;
  loops_.push_back(LoopCapture{loopingImage_, nowUs()});
}

void HeadlessPlatform::stopLoopingWave() {
  if (looping_ && !loops_.empty()) loops_.back().endUs = nowUs();
  loopingImage_.clear();
  looping_ = false;
}

// --- Clipboard -------------------------------------------------------------

bool HeadlessPlatform::setClipboardText(std::string_view text) {
  if (clipboardClosed_) return false;
  clipboard_ = std::string(text);
  clipboardHasText_ = true;
  return true;
}

bool HeadlessPlatform::getClipboardText(std::string* text, bool* hasText) {
  if (clipboardClosed_) return false;
  *hasText = clipboardHasText_;
  if (clipboardHasText_) *text = clipboard_;
  return true;
}

void HeadlessPlatform::clearClipboard() {
  clipboard_.clear();
  clipboardHasText_ = false;
}

// --- Clock -----------------------------------------------------------------

plat::LocalTime HeadlessPlatform::localTime() {
  return civilFromMs(startMs_ + static_cast<int64_t>(elapsedMs_));
}

// --- Files and directories -------------------------------------------------

std::string HeadlessPlatform::toCp1252(const std::filesystem::path& path) const {
  const std::u8string u8 = path.u8string();
  return plat::utf8ToCp1252(
      std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

std::string HeadlessPlatform::windowsDirectory() { return toCp1252(config_.configDir); }

std::string HeadlessPlatform::currentDirectory() { return toCp1252(config_.workDir); }

std::string HeadlessPlatform::programPath() { return config_.programPath; }

char HeadlessPlatform::pathSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::filesystem::path HeadlessPlatform::nativePath(std::string_view path) {
  std::string utf8 = plat::cp1252ToUtf8(path);
#ifndef _WIN32
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
#endif
  std::filesystem::path p(std::u8string(
      reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
  if (p.is_relative()) p = config_.workDir / p;
  return p;
}

bool HeadlessPlatform::fileExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(nativePath(path), ec);
}

bool HeadlessPlatform::flushFileToDisk(const std::filesystem::path&) {
  return true;
}

// --- Process and record ----------------------------------------------------

void HeadlessPlatform::exitProcess(int code) { throw plat::ExitRequest{code}; }

void HeadlessPlatform::record(std::string_view line) {
  speech_.emplace_back(line);
  speechTimesUs_.push_back(virtualUs());
}

// --- Reading back ----------------------------------------------------------

std::string HeadlessPlatform::screenRow(int row) const {
  std::string text(kColumns, ' ');
  if (row < 0 || row >= kRows) return text;
  for (int col = 0; col < kColumns; ++col) {
    text[col] = static_cast<char>(grid_[row * kColumns + col].ch);
  }
  return text;
}

uint8_t HeadlessPlatform::attrAt(int column, int row) const {
  return cellAt(column, row).attr;
}

const PaintedCell& HeadlessPlatform::cellAt(int column, int row) const {
  static const PaintedCell kOutside{};
  if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return kOutside;
  return grid_[row * kColumns + column];
}

}  // namespace plat::headless
