// The console window: its class, creation, procedure and message loop.
#include "platform/win32/win32_window.h"

#include <windowsx.h>

#include <algorithm>

namespace plat::win32 {
namespace {

constexpr char kClassName[] = "LmWinCrt";
constexpr UINT kMsgWaveDone = 0x3BD;  // MM_WOM_DONE

bool registerClassOnce(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSA existing;
  if (GetClassInfoA(instance, kClassName, &existing)) return true;
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kClassName;
  return RegisterClassA(&wc) != 0;
}

Modifiers heldModifiers() {
  Modifiers m;
  m.shift = GetKeyState(VK_SHIFT) < 0;
  m.ctrl = GetKeyState(VK_CONTROL) < 0;
  m.alt = GetKeyState(VK_MENU) < 0;
  return m;
}

Event mouseEvent(EventKind kind, LPARAM lparam) {
  Event e = eventOf(kind);
  e.x = GET_X_LPARAM(lparam);
  e.y = GET_Y_LPARAM(lparam);
  return e;
}

}  // namespace

Win32Window::Win32Window() : threadId_(GetCurrentThreadId()) {}

Win32Window::~Win32Window() { destroyWindow(); }

bool Win32Window::createWindow(const WindowConfig& config, FontMetrics* metrics) {
  if (!hwnd_) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    makeFont(config);
    if (registerClassOnce(instance, &Win32Window::windowProcedure)) {
      const int width = 2 * GetSystemMetrics(SM_CXFRAME) +
                        kColumns * metrics_.cellWidth;
      const int height = 2 * GetSystemMetrics(SM_CYFRAME) +
                         kRows * metrics_.lineHeight +
                         GetSystemMetrics(SM_CYCAPTION);
      CreateWindowA(kClassName, config.title.c_str(), WS_OVERLAPPEDWINDOW,
                    CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr,
                    nullptr, instance, this);
    }
    if (hwnd_) {
      // The first WM_PAINT comes from the loop, once the core has filled
      // its planes: painting now would show cells not yet set.
      ShowWindow(hwnd_, config.maximized ? SW_MAXIMIZE : SW_SHOW);
      if (hasPosted()) PostMessageA(hwnd_, kMsgPostedEvents, 0, 0);
    }
  }
  if (metrics) *metrics = metrics_;
  return hwnd_ != nullptr;
}

void Win32Window::destroyWindow() {
  if (hwnd_) {
    hideCaret();
    destroying_ = true;
    DestroyWindow(hwnd_);
    destroying_ = false;
    hwnd_ = nullptr;
    wakeTarget_ = nullptr;
  }
  if (font_) {
    DeleteObject(font_);
    font_ = nullptr;
  }
}

void Win32Window::setTitle(std::string_view title) {
  if (hwnd_) SetWindowTextA(hwnd_, std::string(title).c_str());
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND hwnd, UINT message,
                                              WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Win32Window*>(
        reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
    self->wakeTarget_ = hwnd;
  }
  if (!self || self->hwnd_ != hwnd) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  return self->onMessage(message, wparam, lparam);
}

LRESULT Win32Window::onMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  bool handled = false;
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_CHAR: {
      // F10 alone comes as a system key without Alt (bit 29 of lparam):
      // it is an ordinary key of the program's table.
      const bool altHeld = (lparam & (1 << 29)) != 0;
      const EventKind kind = message == WM_KEYDOWN ? EventKind::kKeyDown
                             : message == WM_SYSKEYDOWN
                                 ? (altHeld ? EventKind::kSysKeyDown : EventKind::kKeyDown)
                             : message == WM_KEYUP ? EventKind::kKeyUp
                                                   : EventKind::kChar;
      const uint32_t code = static_cast<uint32_t>(
          message == WM_CHAR ? (wparam & 0xFF) : wparam);
      handled = deliver(keyEventOf(kind, code, heldModifiers()));
      break;
    }
    case WM_SYSKEYUP:
      // Alt released: the modifiers' state follows; the default processing
      // (below) still sees the key.
      keys_.note(keyEventOf(EventKind::kKeyUp, static_cast<uint32_t>(wparam),
                            heldModifiers()));
      break;
    case WM_SYSCOMMAND:
      // A bare tap of Alt or F10 would open the window menu, which takes
      // the user's next key without a word; Alt+Space and Alt+F4 still act.
      if ((wparam & 0xFFF0) == SC_KEYMENU && lparam == 0) return 0;
      break;
    case WM_SETFOCUS: handled = deliver(eventOf(EventKind::kSetFocus)); break;
    case WM_KILLFOCUS:
      handled = deliver(eventOf(EventKind::kKillFocus));
      break;
    case WM_CLOSE: handled = deliver(eventOf(EventKind::kClose)); break;
    case WM_PAINT:
      onPaint();  // BeginPaint validates the area, handled or not
      return 0;
    case WM_GETMINMAXINFO:
      onMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lparam));
      return 0;
    case WM_RBUTTONDOWN: handled = deliver(mouseEvent(EventKind::kMouseRDown, lparam)); break;
    case WM_MOUSEMOVE: handled = deliver(mouseEvent(EventKind::kMouseMove, lparam)); break;
    case WM_RBUTTONUP: handled = deliver(mouseEvent(EventKind::kMouseRUp, lparam)); break;
    case kMsgWaveDone: {
      Event e = eventOf(EventKind::kWaveDone);
      e.wparam = static_cast<uintptr_t>(wparam);
      e.lparam = static_cast<uintptr_t>(lparam);
      handled = deliver(e);
      break;
    }
    case kMsgPostedEvents: takePosted(); return 0;
    case WM_DESTROY:
      caretShown_ = false;
      if (!destroying_) {
        // Destroyed by another path (WM_CLOSE left to the default): the
        // core hears of it, then the loop ends.
        deliver(eventOf(EventKind::kDestroy));
        PostQuitMessage(0);
        hwnd_ = nullptr;
        wakeTarget_ = nullptr;
      }
      return 0;
    default:
      if (message >= WM_USER && message < WM_APP) {
        Event e = eventOf(EventKind::kUser);
        e.code = message;
        handled = deliver(e);
      }
      break;
  }
  return handled ? 0 : DefWindowProcA(hwnd_, message, wparam, lparam);
}

bool Win32Window::deliver(const Event& event) {
  keys_.note(event);
  return proc_ && proc_(event);
}

void Win32Window::onPaint() {
  PAINTSTRUCT ps;
  paintDc_ = BeginPaint(hwnd_, &ps);
  const int cw = metrics_.cellWidth, lh = metrics_.lineHeight;
  Event e = eventOf(EventKind::kPaint);
  e.x = std::max<int>(0, ps.rcPaint.left / cw);
  e.x2 = std::min<int>(kColumns, (ps.rcPaint.right + cw - 1) / cw);
  e.y = std::max<int>(0, ps.rcPaint.top / lh);
  e.y2 = std::min<int>(kRows, (ps.rcPaint.bottom + lh - 1) / lh);
  if (e.x < e.x2 && e.y < e.y2) deliver(e);
  EndPaint(hwnd_, &ps);
  paintDc_ = nullptr;
}

void Win32Window::onMinMaxInfo(MINMAXINFO* info) {
  if (HDC dc = GetDC(hwnd_)) {
    measureFont(dc);
    ReleaseDC(hwnd_, dc);
  }
  const int frameX = 2 * GetSystemMetrics(SM_CXFRAME);
  const int frameY = 2 * GetSystemMetrics(SM_CYFRAME);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  const int cw = metrics_.cellWidth, lh = metrics_.lineHeight;
  const POINT largest{
      std::min(kColumns * cw, GetSystemMetrics(SM_CXSCREEN)) + frameX,
      std::min(caption + kRows * lh, GetSystemMetrics(SM_CYSCREEN)) + frameY};
  info->ptMaxSize = largest;
  info->ptMaxTrackSize = largest;
  info->ptMinTrackSize = POINT{frameX + 16 * cw, frameY + 4 * lh + caption};
}

// --- Message loop ------------------------------------------------------------

void Win32Window::waitEvent() {
  if (hasPosted() && !hwnd_) {
    takePosted();
    return;
  }
  WaitMessage();
}

PumpResult Win32Window::pumpOne(bool consoleOnly) {
  // Without a window, "the console's messages" are the thread's own.
  HWND filter = consoleOnly ? (hwnd_ ? hwnd_ : reinterpret_cast<HWND>(-1)) : nullptr;
  MSG msg;
  if (!PeekMessageA(&msg, filter, 0, 0, PM_REMOVE)) return PumpResult::kEmpty;
  if (msg.message == WM_QUIT) return PumpResult::kQuit;
  if (!msg.hwnd && msg.message == kMsgPostedEvents) {
    takePosted();  // posted while there was no window
    return PumpResult::kDispatched;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return PumpResult::kDispatched;
}

void Win32Window::postMessage(uint32_t message) {
  if (hwnd_) {
    PostMessageA(hwnd_, message, 0, 0);
  } else {
    PostThreadMessageA(threadId_, message, 0, 0);  // still ends a wait
  }
}

void Win32Window::postEvent(const Event& event) {
  {
    std::lock_guard<std::mutex> hold(postedLock_);
    posted_.push_back(event);
  }
  // A wake-up per event: one lost with a destroyed window strands none.
  HWND target = wakeTarget_;
  if (!target || !PostMessageA(target, kMsgPostedEvents, 0, 0)) {
    PostThreadMessageA(threadId_, kMsgPostedEvents, 0, 0);
  }
}

bool Win32Window::hasPosted() {
  std::lock_guard<std::mutex> hold(postedLock_);
  return !posted_.empty();
}

void Win32Window::takePosted() {
  std::deque<Event> taken;
  {
    std::lock_guard<std::mutex> hold(postedLock_);
    taken.swap(posted_);
  }
  for (const Event& e : taken) {
    if (deliver(e)) continue;
    switch (defaultActionOf(e)) {
      case DefaultAction::kRequestClose:
        if (hwnd_) SendMessageA(hwnd_, WM_CLOSE, 0, 0);
        break;
      case DefaultAction::kDestroyWindow:
        if (hwnd_) DestroyWindow(hwnd_);  // WM_DESTROY tells the core
        break;
      case DefaultAction::kNone:
        break;
    }
  }
}

void Win32Window::messageBeep() { MessageBeep(0); }

}  // namespace plat::win32
