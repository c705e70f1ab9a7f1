#include "tests/x11_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "platform/shared/codepage.h"
#include "tests/test_files.h"

extern char** environ;

namespace x11test {

const std::array<Rgb, 16> kPalette = {{
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {128, 128, 128}, {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255},
}};

int paletteIndex(Rgb c) {
  for (int i = 0; i < 16; ++i) {
    if (kPalette[i] == c) return i;
  }
  return -1;
}

namespace {

int inPalette(Rgb c) {
  const int index = paletteIndex(c);
  return index < 0 ? kNotPalette : index;
}

}  // namespace

bool installed(const std::string& tool) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (!dir.empty() && ::access((dir + "/" + tool).c_str(), X_OK) == 0) return true;
  }
  return false;
}

namespace {

// Waits up to `seconds` for `pid` to end; true when it did, with its
// status in *status.
bool reap(pid_t pid, double seconds, int* status) {
  const auto limit = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(static_cast<int>(seconds * 1000));
  while (::waitpid(pid, status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace

// --- Xvfb ---------------------------------------------------------------

Xvfb::~Xvfb() { stop(); }

bool Xvfb::start(std::string* why) {
  int fds[2];
  if (::pipe(fds) != 0) {
    *why = "no pipe";
    return false;
  }
  const std::string fd = std::to_string(fds[1]);
  const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                        "-nolisten", "tcp", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  // The server's chatter (keymap warnings and the like) is not the test's.
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr,
                                   const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (spawned != 0) {
    ::close(fds[0]);
    pid_ = -1;
    *why = "Xvfb does not start";
    return false;
  }
  // The server writes its display number once it accepts connections.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (::poll(&p, 1, 20000) > 0) {
    char c;
    if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  ::close(fds[0]);
  if (number.empty()) {
    stop();
    *why = "Xvfb gave no display number";
    return false;
  }
  display_ = ":" + number;
  return true;
}

void Xvfb::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  if (!reap(pid_, 5, &status)) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  pid_ = -1;
}

// --- images and the X connection -------------------------------------

Display::~Display() { close(); }

bool Display::open(const std::string& name) {
  // A window that goes away between two requests is an answer, not an
  // error that should end the test process.
  XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
  display_ = XOpenDisplay(name.c_str());
  return display_ != nullptr;
}

void Display::close() {
  if (display_) XCloseDisplay(static_cast<::Display*>(display_));
  display_ = nullptr;
}

unsigned long Display::findWindow(const std::string& prefix) {
  auto* d = static_cast<::Display*>(display_);
  ::Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 0;
  unsigned long found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
    if (title(children[i]).rfind(prefix, 0) == 0) found = children[i];
  }
  if (children) XFree(children);
  return found;
}

std::string Display::title(unsigned long window) {
  auto* d = static_cast<::Display*>(display_);
  // SDL names its windows in UTF-8 (_NET_WM_NAME); WM_NAME may be Latin-1.
  const Atom name = XInternAtom(d, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, left = 0;
  unsigned char* data = nullptr;
  std::string text;
  if (XGetWindowProperty(d, window, name, 0, 1024, False, utf8, &type, &format, &items,
                         &left, &data) == Success && data) {
    text.assign(reinterpret_cast<char*>(data), items);
    XFree(data);
    if (!text.empty()) return text;
  }
  char* plain = nullptr;
  if (XFetchName(d, window, &plain) && plain) {
    text = plain;
    XFree(plain);
  }
  return text;
}

bool Display::geometry(unsigned long window, Geometry* g) {
  auto* d = static_cast<::Display*>(display_);
  XWindowAttributes a;
  ::Window child = 0;
  if (!XGetWindowAttributes(d, window, &a)) return false;
  if (!XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &g->x, &g->y, &child))
    return false;
  g->width = a.width;
  g->height = a.height;
  return true;
}

Image Display::capture(const Geometry& area) {
  auto* d = static_cast<::Display*>(display_);
  XImage* x = XGetImage(d, DefaultRootWindow(d), area.x, area.y, area.width, area.height,
                        AllPlanes, ZPixmap);
  if (!x) return {};
  const int width = area.width, height = area.height;
  Image out{width, height, std::vector<Rgb>(static_cast<size_t>(width) * height)};
  // Each channel's mask gives its place in the pixel value.
  auto channel = [](unsigned long pixel, unsigned long mask) {
    if (!mask) return uint8_t{0};
    while (!(mask & 1)) {
      mask >>= 1;
      pixel >>= 1;
    }
    return static_cast<uint8_t>((pixel & mask) * 255 / mask);
  };
  const bool direct = x->bits_per_pixel == 32 && x->byte_order == LSBFirst &&
                      x->red_mask == 0xFF0000 && x->green_mask == 0xFF00 && x->blue_mask == 0xFF;
  for (int y = 0; y < height; ++y) {
    const auto* row =
        reinterpret_cast<const uint8_t*>(x->data) + static_cast<size_t>(y) * x->bytes_per_line;
    Rgb* to = &out.pixels[static_cast<size_t>(y) * width];
    for (int c = 0; c < width; ++c) {
      if (direct) {
        to[c] = {row[4 * c + 2], row[4 * c + 1], row[4 * c]};
      } else {
        const unsigned long p = XGetPixel(x, c, y);
        to[c] = {channel(p, x->red_mask), channel(p, x->green_mask), channel(p, x->blue_mask)};
      }
    }
  }
  XDestroyImage(x);
  return out;
}

// --- the grid ------------------------------------------------------------

bool readRunnerGrid(const std::string& screenFile, const std::string& attrsFile, Grid* grid) {
  const auto screen = testfiles::readLines(screenFile);
  const auto attrs = testfiles::readLines(attrsFile);
  if (screen.size() != kRows || attrs.size() != kRows) return false;
  for (int r = 0; r < kRows; ++r) {
    std::string text = plat::utf8ToCp1252(screen[r]);
    text.resize(kColumns, ' ');
    if (attrs[r].size() != 2 * kColumns) return false;
    for (int c = 0; c < kColumns; ++c) {
      const int attr = std::stoi(attrs[r].substr(2 * c, 2), nullptr, 16);
      grid->cells[r][c] = {static_cast<uint8_t>(text[c]), attr & 15, attr >> 4};
    }
  }
  return true;
}

bool CellReader::load(const std::string& face, int width, int height) {
  const std::string file = plat::sdl::findFontFile(face);
  if (file.empty() || !atlas_.load(file, width, height, 0)) return false;
  const size_t size = static_cast<size_t>(atlas_.cellWidth()) * atlas_.lineHeight();
  for (int ch = 0; ch < 256; ++ch) {
    const uint8_t* m = atlas_.mask(static_cast<uint8_t>(ch));
    peak_[ch] = *std::max_element(m, m + size);
    // Characters drawn alike cannot be told apart on the screen; blanks
    // all read as the space.
    canonical_[ch] = static_cast<uint8_t>(ch);
    if (peak_[ch] == 0) {
      canonical_[ch] = ' ';
      continue;
    }
    for (int other = 0; other < ch; ++other) {
      if (std::equal(m, m + size, atlas_.mask(static_cast<uint8_t>(other)))) {
        canonical_[ch] = static_cast<uint8_t>(other);
        break;
      }
    }
  }
  known_.clear();
  return true;
}

CellReader::Reading CellReader::decode(const std::vector<Rgb>& px) const {
  // Background: the most common colour.
  std::map<uint32_t, int> counts;
  auto pack = [](Rgb c) { return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b; };
  for (Rgb c : px) ++counts[pack(c)];
  const uint32_t bgKey =
      std::max_element(counts.begin(), counts.end(),
                       [](auto& a, auto& b) { return a.second < b.second; })->first;
  const Rgb bg{static_cast<uint8_t>(bgKey >> 16), static_cast<uint8_t>(bgKey >> 8),
               static_cast<uint8_t>(bgKey)};
  Reading out{{' ', kUnseen, inPalette(bg)}, 0};

  // Ink: the pixel farthest from the background; coverage is each pixel's
  // way from the background toward it.
  auto delta = [&](Rgb c, int i) {
    return i == 0 ? c.r - bg.r : i == 1 ? c.g - bg.g : c.b - bg.b;
  };
  Rgb ink = bg;
  long inkNorm = 0;
  for (Rgb c : px) {
    long n = 0;
    for (int i = 0; i < 3; ++i) n += delta(c, i) * delta(c, i);
    if (n > inkNorm) {
      inkNorm = n;
      ink = c;
    }
  }
  if (inkNorm == 0) return out;
  std::vector<double> cover(px.size());
  for (size_t i = 0; i < px.size(); ++i) {
    long dot = 0;
    for (int k = 0; k < 3; ++k) dot += delta(px[i], k) * delta(ink, k);
    cover[i] = std::clamp(static_cast<double>(dot) / inkNorm, 0.0, 1.0);
  }
  // Nearest mask, the coverage scaled to each mask's own peak (a glyph
  // with no fully inked pixel shows its ink as a blend).
  out.residual = 1e300;
  for (int ch = 0; ch < 256; ++ch) {
    if (canonical_[ch] != ch || peak_[ch] == 0) continue;
    const uint8_t* m = atlas_.mask(static_cast<uint8_t>(ch));
    double d = 0;
    for (size_t i = 0; i < px.size() && d < out.residual; ++i) {
      const double e = cover[i] * peak_[ch] - m[i];
      d += e * e;
    }
    if (d < out.residual) {
      out.residual = d;
      out.cell.ch = static_cast<uint8_t>(ch);
    }
  }
  // Foreground: what the fully covered pixels show.
  const uint8_t* m = atlas_.mask(out.cell.ch);
  std::map<uint32_t, int> inked;
  for (size_t i = 0; i < px.size(); ++i) {
    if (m[i] == 255) ++inked[pack(px[i])];
  }
  if (!inked.empty()) {
    const uint32_t fg =
        std::max_element(inked.begin(), inked.end(),
                         [](auto& a, auto& b) { return a.second < b.second; })->first;
    out.cell.foreground = inPalette(
        {static_cast<uint8_t>(fg >> 16), static_cast<uint8_t>(fg >> 8), static_cast<uint8_t>(fg)});
  }
  return out;
}

Cell CellReader::readCell(const Image& client, int x0, int y0) {
  const int w = atlas_.cellWidth(), h = atlas_.lineHeight();
  std::vector<Rgb> px;
  px.reserve(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) px.push_back(client.at(x0 + x, y0 + y));
  }
  std::vector<uint8_t> key(reinterpret_cast<uint8_t*>(px.data()),
                           reinterpret_cast<uint8_t*>(px.data() + px.size()));
  if (auto it = known_.find(key); it != known_.end()) return it->second;
  Reading seen = decode(px);
  if (seen.residual > 0) {
    // The caret inverts two lines on the baseline: the cell under it is
    // read with them inverted back, when that fits a glyph better.
    for (int y = atlas_.ascent(); y < std::min(h, atlas_.ascent() + 2); ++y) {
      for (int x = 0; x < w; ++x) {
        Rgb& c = px[static_cast<size_t>(y) * w + x];
        c = {static_cast<uint8_t>(~c.r), static_cast<uint8_t>(~c.g), static_cast<uint8_t>(~c.b)};
      }
    }
    const Reading under = decode(px);
    if (under.residual < seen.residual) {
      seen = under;
      seen.cell.caret = true;
    }
  }
  known_.emplace(std::move(key), seen.cell);
  return seen.cell;
}

Grid CellReader::read(const Image& client) {
  Grid g;
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c)
      g.cells[r][c] = readCell(client, c * cellWidth(), r * lineHeight());
  }
  return g;
}

bool Grid::caret(int* column, int* row) const {
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) {
      if (cells[r][c].caret) {
        *column = c;
        *row = r;
        return true;
      }
    }
  }
  return false;
}

namespace {

std::string rowText(const std::array<Cell, kColumns>& row) {
  std::string text;
  for (const Cell& c : row) text += c.ch < 32 ? '.' : static_cast<char>(c.ch);
  return plat::cp1252ToUtf8(text);
}

std::string rowAttrs(const std::array<Cell, kColumns>& row) {
  static const char hex[] = "0123456789ABCDEF";
  std::string text;
  // '?': not seen; '!': not a palette colour.
  auto digit = [](int colour) { return colour == kUnseen ? '?' : colour < 0 ? '!' : hex[colour]; };
  for (const Cell& c : row) {
    text += digit(c.background);
    text += digit(c.foreground);
  }
  return text;
}

}  // namespace

std::string CellReader::differences(const Grid& expected, const Grid& seen, int limit) const {
  std::ostringstream out;
  for (int r = 0; r < kRows && limit > 0; ++r) {
    bool same = true;
    for (int c = 0; c < kColumns && same; ++c) {
      const Cell& e = expected.cells[r][c];
      const Cell& s = seen.cells[r][c];
      same = canonical(e.ch) == canonical(s.ch) && e.background == s.background &&
             (s.foreground == kUnseen || canonical(e.ch) == ' ' || e.foreground == s.foreground);
    }
    if (same) continue;
    --limit;
    out << "row " << r << ":\n  expected |" << rowText(expected.cells[r]) << "|\n  seen     |"
        << rowText(seen.cells[r]) << "|\n  expected " << rowAttrs(expected.cells[r])
        << "\n  seen     " << rowAttrs(seen.cells[r]) << "\n";
  }
  return out.str();
}

// --- the magnifier -------------------------------------------------------

namespace {

// The source pixels a destination pixel may take along one axis: the one
// under its left (or top) edge and the one under its far edge.
std::pair<int, int> sources(int d, int origin, int size, int span) {
  const int first = origin + static_cast<int>(static_cast<long>(d) * size / span);
  const int last = origin + static_cast<int>((static_cast<long>(d + 1) * size - 1) / span);
  return {first, last};
}

}  // namespace

bool isMagnified(const Image& before, const Image& after, int px, int py, int factor,
                 std::string* why) {
  const int w = before.width, h = before.height;
  if (after.width != w || after.height != h) {
    *why = "the size changed";
    return false;
  }
  const int ox = std::max(0, px - px / factor), oy = std::max(0, py - py / factor);
  const int sw = w / factor, sh = h / factor;
  for (int y = 0; y < h; ++y) {
    const auto [y0, y1] = sources(y, oy, sh, h);
    for (int x = 0; x < w; ++x) {
      const auto [x0, x1] = sources(x, ox, sw, w);
      const Rgb seen = after.at(x, y);
      bool ok = false;
      for (int sy : {y0, y1}) {
        for (int sx : {x0, x1}) ok = ok || before.at(sx, sy) == seen;
      }
      if (!ok) {
        std::ostringstream out;
        out << "pixel (" << x << ", " << y << ") is " << int{seen.r} << "," << int{seen.g}
            << "," << int{seen.b} << "; source (" << x0 << ".." << x1 << ", " << y0 << ".."
            << y1 << ") of the rectangle at (" << ox << ", " << oy << ") size " << sw << "x"
            << sh;
        *why = out.str();
        return false;
      }
    }
  }
  return true;
}

// --- input and waiting ---------------------------------------------------

bool xdotool(const std::string& display, const std::vector<std::string>& args) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    if (std::string(*e).rfind("DISPLAY=", 0) != 0) env.push_back(*e);
  }
  env.push_back("DISPLAY=" + display);
  std::vector<char*> envp;
  for (std::string& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::vector<std::string> words{"xdotool"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), envp.data()) != 0)
    return false;
  int status = 0;
  if (!reap(pid, 20, &status)) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool waitFor(const std::function<bool()>& probe, double seconds) {
  const auto limit = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(static_cast<int>(seconds * 1000));
  for (;;) {
    if (probe()) return true;
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace x11test
