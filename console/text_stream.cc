// The standard streams bound to the console: std::cout draws in the window,
// std::cin reads lines typed on the keyboard with echo.
#include <iostream>
#include <streambuf>

#include "console/console.h"
#include "console/keyboard.h"

namespace {

constexpr int kStreamBufferSize = 128;

class ConsoleOutBuf : public std::streambuf {
 public:
  ConsoleOutBuf() { setp(buffer_, buffer_ + kStreamBufferSize); }

 protected:
  int_type overflow(int_type c) override {
    drain();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override {
    drain();
    return 0;
  }

 private:
  // Draws what is buffered, then lets the window serve its messages, so a
  // program that only writes still repaints and sees its keys.
  void drain() {
    const auto n = static_cast<uint16_t>(pptr() - pbase());
    if (n == 0) return;
    writeChars(pbase(), n);
    setp(buffer_, buffer_ + kStreamBufferSize);
    keyAvailable();
  }

  char buffer_[kStreamBufferSize];
};

class ConsoleInBuf : public std::streambuf {
 public:
  ConsoleInBuf() { clear(); }
  void clear() { setg(buffer_, buffer_, buffer_); }

 protected:
  // One typed line per refill. The CR LF that ends it becomes a single
  // '\n', so std::getline and operator>> see the text as C++ expects.
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    size_t n = readLineRaw(buffer_, kStreamBufferSize);
    if (n >= 2 && buffer_[n - 2] == '\r' && buffer_[n - 1] == '\n') {
      buffer_[n - 2] = '\n';
      --n;
    }
    if (n == 0) return traits_type::eof();
    setg(buffer_, buffer_, buffer_ + n);
    return traits_type::to_int_type(*gptr());
  }

 private:
  char buffer_[kStreamBufferSize];
};

// Never destroyed: the streams may still be flushed while the program ends.
ConsoleOutBuf* outBuf() {
  static ConsoleOutBuf* buf = new ConsoleOutBuf;
  return buf;
}
ConsoleInBuf* inBuf() {
  static ConsoleInBuf* buf = new ConsoleInBuf;
  return buf;
}

std::streambuf* savedOut = nullptr;
std::streambuf* savedIn = nullptr;
std::ios::iostate savedOutMask = std::ios::goodbit;
std::ios::iostate savedInMask = std::ios::goodbit;

}  // namespace

void attachConsoleStreams() {
  if (savedOut != nullptr) return;
  savedOut = std::cout.rdbuf(outBuf());
  savedIn = std::cin.rdbuf(inBuf());
  // The program may end inside a read or a write (the window is closed
  // while a line is typed); the streams must let that end through instead
  // of taking it for a failed statement and going on.
  savedOutMask = std::cout.exceptions();
  savedInMask = std::cin.exceptions();
  std::cout.clear();
  std::cin.clear();
  std::cout.exceptions(std::ios::badbit);
  std::cin.exceptions(std::ios::badbit);
}

void detachConsoleStreams() {
  if (savedOut == nullptr) return;
  std::cout.flush();
  std::cout.exceptions(savedOutMask);
  std::cin.exceptions(savedInMask);
  std::cout.rdbuf(savedOut);
  std::cin.rdbuf(savedIn);
  inBuf()->clear();
  savedOut = nullptr;
  savedIn = nullptr;
}
