// The desktop window on SDL's dummy video driver, under the real console:
// what reaches the window's surface, which rectangles are sent, the caret,
// the magnifier, the clipboard, and keys through SDL's own event queue.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/posix/front_end.h"
#include "platform/sdl/sdl_window.h"
#include "tests/console_fixture.h"

namespace {

constexpr int kW = 10, kH = 20;  // the cell the settings ask for

class SdlWindowTest : public ConsoleFixture {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ConsoleFixture::SetUp();
    plat::Services s = platform_->services();
    s.window = &window_;
    s.clipboard = &window_;
    s.magnifier = &window_;
    plat::setServices(s);
    plat::window().setWindowProc(&consoleWindowProc);
  }

  uint32_t pixel(int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(window_.sdlWindow());
    uint8_t r, g, b;
    SDL_GetRGB(static_cast<const uint32_t*>(s->pixels)[y * s->pitch / 4 + x], s->format,
               &r, &g, &b);
    return (uint32_t{r} << 16) | (g << 8) | b;
  }
  // Whether every pixel of the surface equals the canvas.
  bool showsCanvas() {
    const plat::sdl::Canvas& c = window_.canvas();
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x)
        if (pixel(x, y) != c.pixels()[y * c.width() + x]) return false;
    return true;
  }
  static void push(const SDL_Event& e) { ASSERT_EQ(SDL_PushEvent(const_cast<SDL_Event*>(&e)), 1); }
  static void key(Uint32 type, SDL_Keycode sym, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    push(e);
  }
  static void text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
    push(e);
  }
  static void mouse(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.type = type;
    if (type == SDL_MOUSEMOTION) {
      e.motion.x = x, e.motion.y = y, e.motion.state = SDL_BUTTON_RMASK;
    } else {
      e.button.button = SDL_BUTTON_RIGHT, e.button.x = x, e.button.y = y;
    }
    push(e);
  }

  plat::sdl::SdlWindow window_;
};

TEST_F(SdlWindowTest, DrawsShowsOnlyChangesAndServesKeysMouseAndClipboard) {
  familySettings({"[VIDEO]", "LARGURALETRA=10", "ALTURALETRA=20", "CANTOTELA=NAO",
                  "TABCORES=0,4", "CORFUNDO=1", "CORLETRA=14", "AMPLIF=4",
                  "FONTE=Nenhuma Fonte Assim"});
  openConsole();
  // The configured cell, whatever the face: an unknown one falls back.
  EXPECT_EQ(consoleState().metrics.cellWidth, kW);
  EXPECT_EQ(consoleState().metrics.lineHeight, kH);
  int w = 0, h = 0;
  window_.clientSize(&w, &h);
  EXPECT_EQ(w, 80 * kW);
  EXPECT_EQ(h, 25 * kH);

  // Colour 1 is remapped to red; the text is yellow.
  writeText("Ol\xE1");
  pumpMessages();
  EXPECT_EQ(pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(pixel(3 * kW + 5, 10), 0xFF0000u);  // a blank cell of the row
  bool yellow = false;
  for (int y = 0; y < kH; ++y)
    for (int x = 2 * kW; x < 3 * kW; ++x) yellow = yellow || pixel(x, y) == 0xFFFF00u;
  EXPECT_TRUE(yellow) << "the accented letter has ink";
  EXPECT_TRUE(showsCanvas());

  // A typed letter sends its own cell and nothing else.
  writeText("x");
  pumpMessages();
  ASSERT_EQ(window_.lastPresented().size(), 1u);
  EXPECT_EQ(window_.lastPresented()[0], (plat::sdl::PixelRect{3 * kW, 0, kW, kH}));

  SDL_Event focus{};
  focus.type = SDL_WINDOWEVENT;
  focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
  push(focus);
  pumpMessages();
  EXPECT_TRUE(window_.hasFocus());
  // The caret inverts two lines of its cell on the baseline, and leaves.
  const uint32_t under = pixel(4 * kW, consoleState().metrics.ascent);
  window_.showCaret(4, 0);
  window_.present();
  EXPECT_EQ(pixel(4 * kW, consoleState().metrics.ascent), under ^ 0xFFFFFFu);
  window_.hideCaret();
  window_.present();
  EXPECT_TRUE(showsCanvas());

  // Keys come through SDL's queue as the Windows keyboard sends them.
  key(SDL_KEYDOWN, SDLK_F1);
  key(SDL_KEYUP, SDLK_F1);
  key(SDL_KEYDOWN, SDLK_c);
  text("ç");
  key(SDL_KEYUP, SDLK_c);
  key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LCTRL);
  key(SDL_KEYUP, SDLK_RETURN, KMOD_LCTRL);
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), 59);
  EXPECT_EQ(readKey(), 0xE7);
  EXPECT_EQ(readKey(), 10);

  // A Braille chord: F and D down, both up, type "b".
  setBrailleMode(1);
  key(SDL_KEYDOWN, SDLK_f);
  text("f");
  key(SDL_KEYDOWN, SDLK_d);
  text("d");
  key(SDL_KEYUP, SDLK_f);
  EXPECT_FALSE(keyAvailable());
  key(SDL_KEYUP, SDLK_d);
  EXPECT_EQ(readKey(), 'b');
  setBrailleMode(0);

  // The magnifier: factor 4 around the mouse, then the text again.
  SDL_Surface* before = SDL_DuplicateSurface(SDL_GetWindowSurface(window_.sdlWindow()));
  mouse(SDL_MOUSEBUTTONDOWN, 40, 20);
  pumpMessages();
  // The point under the mouse stays under it: the rectangle of 200 x 125
  // from (40 - 40 / 4, 20 - 20 / 4) fills the window.
  auto source = [&](int x, int y) {
    uint8_t r, g, b;
    SDL_GetRGB(static_cast<const uint32_t*>(before->pixels)[y * before->pitch / 4 + x],
               before->format, &r, &g, &b);
    return (uint32_t{r} << 16) | (g << 8) | b;
  };
  // Nearly every pixel shows its source pixel (SDL may round a seam the
  // other way).
  auto magnifiedFrom = [&](int left, int top) {
    int same = 0, total = 0;
    for (int y = 0; y < 25 * kH; y += 7)
      for (int x = 0; x < 80 * kW; x += 7, ++total)
        same += pixel(x, y) == source(left + x / 4, top + y / 4);
    return same * 100 / total;
  };
  EXPECT_GE(magnifiedFrom(30, 15), 97);
  mouse(SDL_MOUSEMOTION, 400, 250);
  pumpMessages();
  EXPECT_GE(magnifiedFrom(300, 188), 97);
  mouse(SDL_MOUSEBUTTONUP, 400, 250);
  pumpMessages();
  EXPECT_TRUE(showsCanvas());
  SDL_FreeSurface(before);

  // The clipboard holds Windows-1252 text as UTF-8 for the desktop.
  copyToClipboard("Cheque n\xBA 12 \x97 Jo\xE3o");
  char pasted[8];
  pasteFromClipboard(pasted, sizeof pasted);
  EXPECT_STREQ(pasted, "Cheque ");
  char* desktop = SDL_GetClipboardText();
  EXPECT_STREQ(desktop, "Cheque n\xC2\xBA 12 \xE2\x80\x94 Jo\xC3\xA3o");
  SDL_free(desktop);

  // Closing the window ends the program with exit code 0.
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  push(close);
  EXPECT_EQ(exitCodeOf([] { readKey(); }), 0);
  EXPECT_EQ(window_.sdlWindow(), nullptr);
}

// A face fontconfig finds but that has no Latin letters (ghostscript's
// CJK fallback, installed with the test packages) gives way to the usual
// font, rather than leaving a program nobody can see.
TEST_F(SdlWindowTest, AFaceWithoutLatinLettersFallsBackToTheUsualFont) {
  if (plat::sdl::findFontFile("Droid Sans Fallback").find("DroidSans") == std::string::npos)
    GTEST_SKIP() << "Droid Sans Fallback is not installed";
  bool failed = false;
  window_.setNoWindowHandler([&](const std::string&) { failed = true; });
  familySettings({"[VIDEO]", "FONTE=Droid Sans Fallback", "LARGURALETRA=12",
                  "ALTURALETRA=24"});
  openConsole();
  EXPECT_FALSE(failed);
  ASSERT_NE(window_.sdlWindow(), nullptr);
  EXPECT_EQ(consoleState().metrics.cellWidth, 12);
  writeText("a");
  pumpMessages();
  int ink = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 12; ++x) ink += pixel(x, y) != 0;
  EXPECT_GT(ink, 10);
}

}  // namespace

namespace {

TEST(FrontEndTest, TheDisplayChoosesUnlessTheCommandLineDoes) {
  using plat::posix::FrontEnd;
  static const char* display = nullptr;
  static const char* wayland = nullptr;
  auto env = [](const char* name) -> const char* {
    return std::string_view(name) == "DISPLAY" ? display
           : std::string_view(name) == "WAYLAND_DISPLAY" ? wayland : nullptr;
  };
  auto choose = [&](std::vector<const char*> args) {
    args.insert(args.begin(), "talonix");
    return plat::posix::chooseFrontEnd(static_cast<int>(args.size()), args.data(), env);
  };
  EXPECT_EQ(choose({}).frontEnd, FrontEnd::kTerminal);
  display = "";  // set but empty: no display
  EXPECT_EQ(choose({}).frontEnd, FrontEnd::kTerminal);
  wayland = "wayland-0";
  EXPECT_EQ(choose({}).frontEnd, FrontEnd::kWindow);
  display = ":0";
  wayland = nullptr;
  EXPECT_EQ(choose({}).frontEnd, FrontEnd::kWindow);
  EXPECT_EQ(choose({"--terminal"}).frontEnd, FrontEnd::kTerminal);
  EXPECT_TRUE(choose({"--terminal"}).forced);
  display = nullptr;
  EXPECT_EQ(choose({"--terminal", "--window"}).frontEnd, FrontEnd::kWindow);
  EXPECT_TRUE(choose({"--help"}).help);
  EXPECT_EQ(choose({"--janela"}).problem, "unknown argument: --janela");
}

}  // namespace
