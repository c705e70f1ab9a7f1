// The terminal as the console window: drawing, the message loop and input.
#include "platform/posix/terminal_window.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/posix/posix_system.h"
#include "platform/posix/terminal_io.h"

namespace plat::posix {
namespace {


constexpr size_t kReadChunk = 512;

}  // namespace

TerminalWindow::TerminalWindow(int inFd, int outFd)
    : inFd_(inFd), outFd_(outFd) {
  (void)wakeReadFd();  // the self-pipe exists before any sound thread posts
}

TerminalWindow::~TerminalWindow() {
  if (windowOpen_) leaveTerminalMode();
}

bool TerminalWindow::createWindow(const plat::WindowConfig& config,
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

void TerminalWindow::destroyWindow() {
  if (!windowOpen_) return;
  windowOpen_ = false;
  leaveTerminalMode();
}

void TerminalWindow::setTitle(std::string_view title) {
  renderer_.setTitle(title);
}

void TerminalWindow::textOut(int column, int row, const uint8_t* chars,
                               int count, plat::Rgb foreground,
                               plat::Rgb background, uint8_t) {
  renderer_.put(column, row, chars, count, foreground, background);
}

void TerminalWindow::invalidateAll(bool erase) {
  if (erase) renderer_.fill(plat::Rgb{});
  paintPending_ = true;
}

void TerminalWindow::updateWindow() {
  if (!paintPending_) return;
  paintPending_ = false;
  plat::Event paint = eventOf(plat::EventKind::kPaint);
  paint.x2 = kGridColumns;
  paint.y2 = kGridRows;
  dispatch(paint);
}

void TerminalWindow::scrollUpOneLine(plat::Rgb background, uint8_t) {
  renderer_.scrollUp(background);
}

void TerminalWindow::clientSize(int* width, int* height) {
  *width = kGridColumns;
  *height = kGridRows;
}

void TerminalWindow::showCaret(int column, int row) {
  renderer_.setCaret(true, column, row);
}

void TerminalWindow::hideCaret() { renderer_.setCaret(false, 0, 0); }

void TerminalWindow::waitEvent() {
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

plat::PumpResult TerminalWindow::pumpOne(bool) {
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

void TerminalWindow::postMessage(uint32_t message) {
  plat::Event e = eventOf(plat::EventKind::kUser);
  e.code = message;
  queue_.push_back(e);
}

void TerminalWindow::postEvent(const plat::Event& event) {
  {
    std::lock_guard<std::mutex> hold(postedLock_);
    posted_.push_back(event);
  }
  postWake();
}

void TerminalWindow::takePosted() {
  std::vector<plat::Event> taken;
  {
    std::lock_guard<std::mutex> hold(postedLock_);
    taken.swap(posted_);
  }
  for (const plat::Event& e : taken) queue_.push_back(e);
}

void TerminalWindow::dispatch(const plat::Event& e) {
  keys_.note(e);
  if (!proc_ || proc_(e)) return;
  switch (defaultActionOf(e)) {
    case DefaultAction::kRequestClose:
      dispatch(eventOf(plat::EventKind::kClose));
      break;
    case DefaultAction::kDestroyWindow:
      destroyWindow();
      dispatch(eventOf(plat::EventKind::kDestroy));
      quitRequested_ = true;
      break;
    case DefaultAction::kNone:
      break;
  }
}

void TerminalWindow::flushScreen() {
  if (!windowOpen_) return;
  const std::string bytes = renderer_.flush();
  if (!bytes.empty()) writeOut(bytes);
}

void TerminalWindow::release() {
  flushScreen();
  windowOpen_ = false;
  leaveTerminalMode();
}

void TerminalWindow::messageBeep() { writeOut("\x07"); }

void TerminalWindow::writeOut(const std::string& bytes) {
  bytesWritten_ += bytes.size();
  writeAll(outFd_, bytes.data(), bytes.size());
}

void TerminalWindow::updateTerminalSize() {
  int columns = kGridColumns, rows = kGridRows;
  if (!terminalSize(outFd_, &columns, &rows)) terminalSize(inFd_, &columns, &rows);
  renderer_.setTerminalSize(columns, rows);
}

void TerminalWindow::collectInput(int timeoutMs) {
  const uint64_t now = monotonicMs();
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
  decoder_.flushPending(monotonicMs(), &decoded_);
  queueDecoded();
  takePosted();
}

void TerminalWindow::readTerminal() {
  char buf[kReadChunk];
  const ssize_t n = ::read(inFd_, buf, sizeof buf);
  if (n > 0) {
    decoder_.feed(std::string_view(buf, static_cast<size_t>(n)), monotonicMs(),
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

void TerminalWindow::queueDecoded() {
  for (const plat::Event& e : decoded_) queue_.push_back(e);
  decoded_.clear();
}

}  // namespace plat::posix
