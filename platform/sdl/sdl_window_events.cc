// The SDL window's message loop: SDL's events turned into the console's
// messages, the posted events of other threads, and the default processing
// of what the program leaves unhandled.
#include <SDL.h>

#include "platform/sdl/sdl_keymap.h"
#include "platform/sdl/sdl_window.h"

namespace plat::sdl {

void SdlWindow::waitEvent() {
  for (;;) {
    if (!queue_.empty() || paintPending_ || quitRequested_) return;
    present();
    collect(true);
  }
}

PumpResult SdlWindow::pumpOne(bool) {
  if (queue_.empty()) collect(false);
  if (quitRequested_) {
    quitRequested_ = false;
    return PumpResult::kQuit;
  }
  if (queue_.empty()) {
    if (paintPending_) {
      updateWindow();  // painting comes when nothing else is waiting
      return PumpResult::kDispatched;
    }
    present();
    return PumpResult::kEmpty;
  }
  const Event e = queue_.front();
  queue_.pop_front();
  dispatch(e);
  if (queue_.empty() && !paintPending_) present();
  return PumpResult::kDispatched;
}

void SdlWindow::postMessage(uint32_t message) {
  Event e = eventOf(EventKind::kUser);
  e.code = message;
  queue_.push_back(e);
}

void SdlWindow::postEvent(const Event& event) {
  {
    std::lock_guard<std::mutex> hold(postedLock_);
    posted_.push_back(event);
  }
  // Ends a wait in SDL_WaitEvent; safe from any thread.
  if (wakeEvent_ != static_cast<uint32_t>(-1) && SDL_WasInit(SDL_INIT_EVENTS)) {
    SDL_Event wake;
    SDL_zero(wake);
    wake.type = wakeEvent_;
    SDL_PushEvent(&wake);
  }
}

void SdlWindow::takePosted() {
  std::vector<Event> taken;
  {
    std::lock_guard<std::mutex> hold(postedLock_);
    taken.swap(posted_);
  }
  for (const Event& e : taken) queue_.push_back(e);
}

// Takes what SDL has (waiting for something when `wait` and nothing is
// queued yet) and what other threads posted.
void SdlWindow::collect(bool wait) {
  takePosted();
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (wait && queue_.empty()) SDL_Delay(10);  // no window: nothing to wait on
    return;
  }
  SDL_Event e;
  if (wait && queue_.empty() && SDL_WaitEvent(&e)) translate(e);
  while (SDL_PollEvent(&e)) translate(e);
  takePosted();
}

void SdlWindow::queueMouse(EventKind kind, int x, int y) {
  // Only the latest position of a drag matters.
  if (kind == EventKind::kMouseMove && !queue_.empty() &&
      queue_.back().kind == EventKind::kMouseMove) {
    queue_.pop_back();
  }
  Event m = eventOf(kind);
  m.x = x;
  m.y = y;
  queue_.push_back(m);
}

void SdlWindow::translate(const SDL_Event& e) {
  std::vector<Event> events;
  switch (e.type) {
    case SDL_KEYDOWN:
      lastKeyMod_ = e.key.keysym.mod;
      keyEventsOf(e.key, &events);
      break;
    case SDL_KEYUP:
      keyEventsOf(e.key, &events);
      break;
    case SDL_TEXTINPUT:
      textEventsOf(e.text, lastKeyMod_, &events);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_RIGHT) {
        queueMouse(e.type == SDL_MOUSEBUTTONDOWN ? EventKind::kMouseRDown
                                                 : EventKind::kMouseRUp,
                   e.button.x, e.button.y);
      }
      break;
    case SDL_MOUSEMOTION:
      // The window reads the mouse only while the magnifier is held.
      if (e.motion.state & SDL_BUTTON_RMASK) {
        queueMouse(EventKind::kMouseMove, e.motion.x, e.motion.y);
      }
      break;
    case SDL_WINDOWEVENT:
      onWindowEvent(e.window);
      break;
    default:  // SDL_QUIT follows the window's close, which is served
      break;
  }
  for (const Event& k : events) queue_.push_back(k);
}

void SdlWindow::onWindowEvent(const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      focused_ = true;
      queue_.push_back(eventOf(EventKind::kSetFocus));
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      focused_ = false;
      queue_.push_back(eventOf(EventKind::kKillFocus));
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      showAll();  // the canvas holds the picture: no need to ask the program
      break;
    case SDL_WINDOWEVENT_CLOSE:
      queue_.push_back(eventOf(EventKind::kClose));
      break;
    default:
      break;
  }
}

void SdlWindow::dispatch(const Event& e) {
  keys_.note(e);
  if (!proc_ || proc_(e)) return;
  switch (defaultActionOf(e)) {
    case DefaultAction::kRequestClose:
      dispatch(eventOf(EventKind::kClose));
      break;
    case DefaultAction::kDestroyWindow:
      destroyWindow();
      dispatch(eventOf(EventKind::kDestroy));
      quitRequested_ = true;
      break;
    case DefaultAction::kNone:
      break;
  }
}

}  // namespace plat::sdl
