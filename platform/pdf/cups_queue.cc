#include "platform/pdf/cups_queue.h"

#include <cups/cups.h>
#include <signal.h>
#include <sys/socket.h>

#include <cstdio>
#include <memory>

namespace plat::pdf {
namespace {

constexpr int kConnectMs = 250;
constexpr double kQueryWait = 0.25;  // seconds, per wait on the server
constexpr double kSubmitWait = 5.0;

int giveUp(http_t*, void*) { return 0; }

struct HttpClose {
  void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;

Connection connectServer(double wait) {
  cupsSetServer(nullptr);  // forget a server read before: read them again
  Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                               cupsEncryption(), 1, kConnectMs, nullptr));
  if (http) httpSetTimeout(http.get(), wait, giveUp, nullptr);
  return http;
}

bool sendFile(http_t* http, const char* destination, const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(path.c_str(), "rb"),
                                           &std::fclose);
  if (!in) return false;
  char buffer[32768];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
    if (cupsWriteRequestData(http, buffer, n) != HTTP_STATUS_CONTINUE) {
      return false;
    }
  }
  const bool readAll = std::ferror(in.get()) == 0;
  return cupsFinishDocument(http, destination) == IPP_STATUS_OK && readAll;
}

// A server closing its end while the document is being written would raise
// SIGPIPE, whose default ends the program: held back and then discarded
// while this lives, the write just fails.
class NoBrokenPipeSignal {
 public:
  NoBrokenPipeSignal() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigpending(&before_);
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~NoBrokenPipeSignal() {
    sigset_t pending;
    sigpending(&pending);
    if (sigismember(&pending, SIGPIPE) && !sigismember(&before_, SIGPIPE)) {
      const timespec now{0, 0};
      sigtimedwait(&pipe_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  NoBrokenPipeSignal(const NoBrokenPipeSignal&) = delete;
  NoBrokenPipeSignal& operator=(const NoBrokenPipeSignal&) = delete;

 private:
  sigset_t pipe_, before_, old_;
};

}  // namespace

std::string cupsDestination(const std::string& name) {
  Connection http = connectServer(kQueryWait);
  if (!http) return "";
  cups_dest_t* dest = cupsGetNamedDest(
      http.get(), name.empty() ? nullptr : name.c_str(), nullptr);
  std::string found = dest != nullptr && dest->name != nullptr ? dest->name : "";
  cupsFreeDests(dest != nullptr ? 1 : 0, dest);
  return found;
}

bool cupsSubmitPdf(const std::string& destination, const std::string& path,
                   const std::string& title) {
  NoBrokenPipeSignal noSignal;
  Connection http = connectServer(kSubmitWait);
  if (!http) return false;
  const char* dest = destination.c_str();
  const int job = cupsCreateJob(http.get(), dest, title.c_str(), 0, nullptr);
  if (job <= 0) return false;
  if (cupsStartDocument(http.get(), dest, job, title.c_str(), CUPS_FORMAT_PDF,
                        1) == HTTP_STATUS_CONTINUE &&
      sendFile(http.get(), dest, path)) {
    return true;
  }
  // The job was begun: take it back so no half document prints.
  cupsCancelJob2(http.get(), dest, job, 0);
  return false;
}

}  // namespace plat::pdf
