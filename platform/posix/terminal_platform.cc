// The terminal as the console window: drawing, the message loop and input.
#include "platform/posix/terminal_platform.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/posix/terminal_io.h"

namespace plat::posix {
namespace {


constexpr size_t kReadChunk = 512;

plat::Event eventOf(plat::EventKind kind) {
  plat::Event e;
  e.kind = kind;
  return e;
}

}  // namespace

TerminalPlatform::TerminalPlatform(int inFd, int outFd)
    : inFd_(inFd), outFd_(outFd) {}

TerminalPlatform::~TerminalPlatform() {
  if (windowOpen_) leaveTerminalMode();
}

bool TerminalPlatform::createWindow(const plat::WindowConfig& config,
                                    plat::FontMetrics* metrics) {
  if (metrics) {
    *metrics = plat::FontMetrics();
    metrics->fontCreated = true;
  }
  if (!windowOpen_) {
    enterTerminalMode(inFd_, outFd_);
    decoder_ = Decoder(eraseIsDel());
    windowOpen_ = true;
  }
  updateTerminalSize();
  renderer_.setTitle(config.title);
  paintPending_ = true;
  return true;
}

void TerminalPlatform::destroyWindow() {
  if (!windowOpen_) return;
  windowOpen_ = false;
  leaveTerminalMode();
}

void TerminalPlatform::setTitle(std::string_view title) {
  renderer_.setTitle(title);
}

void TerminalPlatform::textOut(int column, int row, const uint8_t* chars,
                               int count, plat::Rgb foreground,
                               plat::Rgb background, uint8_t) {
  renderer_.put(column, row, chars, count, foreground, background);
}

void TerminalPlatform::invalidateAll(bool erase) {
  if (erase) renderer_.fill(plat::Rgb{});
  paintPending_ = true;
}

void TerminalPlatform::updateWindow() {
  if (!paintPending_) return;
  paintPending_ = false;
  plat::Event paint = eventOf(plat::EventKind::kPaint);
  paint.x2 = kGridColumns;
  paint.y2 = kGridRows;
  dispatch(paint);
}

void TerminalPlatform::scrollUpOneLine(plat::Rgb background) {
  renderer_.scrollUp(background);
}

void TerminalPlatform::clientSize(int* width, int* height) {
  *width = kGridColumns;
  *height = kGridRows;
}

void TerminalPlatform::showCaret(int column, int row) {
  renderer_.setCaret(true, column, row);
}

void TerminalPlatform::hideCaret() { renderer_.setCaret(false, 0, 0); }

void TerminalPlatform::waitEvent() {
  for (;;) {
    if (!queue_.empty() || paintPending_ || quitRequested_) return;
    flushScreen();
    if (inputClosed_) {
      // The terminal is gone: every wait ends in a close request, so the
      // program cannot wait for keys that will never come.
      queue_.push_back(eventOf(plat::EventKind::kClose));
      return;
    }
    collectInput(-1);
  }
}

plat::PumpResult TerminalPlatform::pumpOne(bool) {
  if (queue_.empty()) collectInput(0);
  if (quitRequested_) {
    quitRequested_ = false;
    return plat::PumpResult::kQuit;
  }
  if (queue_.empty()) {
    if (paintPending_) {
      updateWindow();  // painting comes when nothing else is waiting
      flushScreen();
      return plat::PumpResult::kDispatched;
    }
    flushScreen();
    return plat::PumpResult::kEmpty;
  }
  const plat::Event e = queue_.front();
  queue_.pop_front();
  dispatch(e);
  if (queue_.empty() && !paintPending_) flushScreen();
  return plat::PumpResult::kDispatched;
}

void TerminalPlatform::postMessage(uint32_t message) {
  plat::Event e = eventOf(plat::EventKind::kUser);
  e.code = message;
  queue_.push_back(e);
}

void TerminalPlatform::dispatch(const plat::Event& e) {
  if (e.kind == plat::EventKind::kKeyDown ||
      e.kind == plat::EventKind::kSysKeyDown ||
      e.kind == plat::EventKind::kKeyUp || e.kind == plat::EventKind::kChar) {
    shiftHeld_ = e.shift;
    ctrlHeld_ = e.ctrl;
    altHeld_ = e.alt;
  }
  if (!proc_) return;
  if (proc_(e)) return;
  // What DefWindowProcA would do with the messages the program passes on.
  if (e.kind == plat::EventKind::kSysKeyDown && e.code == plat::kVkF4 &&
      e.alt) {
    dispatch(eventOf(plat::EventKind::kClose));
  } else if (e.kind == plat::EventKind::kClose) {
    destroyWindow();
    dispatch(eventOf(plat::EventKind::kDestroy));
    quitRequested_ = true;
  }
}

void TerminalPlatform::flushScreen() {
  if (!windowOpen_) return;
  const std::string bytes = renderer_.flush();
  if (!bytes.empty()) writeOut(bytes);
}

void TerminalPlatform::writeOut(const std::string& bytes) {
  bytesWritten_ += bytes.size();
  writeAll(outFd_, bytes.data(), bytes.size());
}

void TerminalPlatform::updateTerminalSize() {
  int columns = kGridColumns, rows = kGridRows;
  if (!terminalSize(outFd_, &columns, &rows)) terminalSize(inFd_, &columns, &rows);
  renderer_.setTerminalSize(columns, rows);
}

void TerminalPlatform::collectInput(int timeoutMs) {
  const uint64_t now = tickMs();
  if (decoder_.pending()) {
    const uint64_t due = decoder_.deadline();
    const int left = due > now ? static_cast<int>(due - now) : 0;
    if (timeoutMs < 0 || left < timeoutMs) timeoutMs = left;
  }
  pollfd fds[2];
  nfds_t count = 0;
  if (!inputClosed_) fds[count++] = pollfd{inFd_, POLLIN, 0};
  const int wakeFd = wakeReadFd();
  if (wakeFd >= 0) fds[count++] = pollfd{wakeFd, POLLIN, 0};
  const int ready = ::poll(fds, count, timeoutMs);
  if (ready > 0) {
    for (nfds_t i = 0; i < count; ++i) {
      if (!fds[i].revents) continue;
      if (fds[i].fd == wakeFd) {
        drainWake();
      } else {
        readTerminal();
      }
    }
  }
  if (takeContinued() && windowOpen_) {
    enterTerminalMode(inFd_, outFd_);  // back from a stop: take it again
    renderer_.requestFullRedraw();
  }
  if (takeResized() && windowOpen_) updateTerminalSize();
  decoder_.flushPending(tickMs(), &decoded_);
  queueDecoded();
  queueWaveDone();
}

void TerminalPlatform::readTerminal() {
  char buf[kReadChunk];
  const ssize_t n = ::read(inFd_, buf, sizeof buf);
  if (n > 0) {
    decoder_.feed(std::string_view(buf, static_cast<size_t>(n)), tickMs(),
                  &decoded_);
    return;
  }
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  // End of input: the terminal was closed. Keys already typed go first.
  decoder_.flushPending(UINT64_MAX, &decoded_);
  queueDecoded();
  inputClosed_ = true;
  queue_.push_back(eventOf(plat::EventKind::kClose));
}

void TerminalPlatform::queueDecoded() {
  for (const plat::Event& e : decoded_) queue_.push_back(e);
  decoded_.clear();
}

}  // namespace plat::posix
