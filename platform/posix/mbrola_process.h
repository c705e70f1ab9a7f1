// MBROLA on POSIX systems: the `mbrola` program as a child process, fed
// phoneme lines on its standard input, giving raw samples on its standard
// output; its standard error tells of refused lines.
//
// Where things are looked for:
// - the program: the one TALONIX_MBROLA names when that is set (a path, or
//   a name looked up in PATH), else `mbrola` in PATH;
// - the voice database: the path as given when it is a file; otherwise,
//   with <name> its last component, /usr/share/mbrola/<name>/<name>, then
//   /usr/share/mbrola/<name>.
// A missing program or voice makes load() kAbsent. Paths are Windows-1252
// inside the program and UTF-8 on the command line.
//
// One child speaks one text: flush() closes its input, after which it
// renders everything and exits. reset() therefore ends a child that has
// been written to and takes a fresh one; a spare child is kept started in
// advance, so that a text does not wait for the database to load.
//
// Errors (lastError() non-zero, read() negative): the child died or could
// not be started, a write failed, or nothing moved for stallMs while we
// waited on it. Without the no-error option (-e), lastError() also
// reports any text the child printed on stderr after its first line; the
// child prints it while it works, so it is seen at the first lastError()
// after it arrived. With -e such text is a warning and is not reported,
// and a banner before the first line never is. reset() clears every error.
//
// No signal reaches the program from a child's ended input (its input is a
// socket written without SIGPIPE), and every child is reaped: at the end of
// its output, at reset(), close() and destruction.
#ifndef TALONIX_PLATFORM_POSIX_MBROLA_PROCESS_H_
#define TALONIX_PLATFORM_POSIX_MBROLA_PROCESS_H_

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mbrola.h"

namespace plat::posix {

class MbrolaProcess : public plat::Mbrola {
 public:
  // How long a write or a read after flush() waits for the child to move.
  static constexpr int kStallMs = 5000;
  // How long init() watches a fresh child for a failed start.
  static constexpr int kStartWatchMs = 250;

  // `stallMs`: how long to wait on a child that does not move (tests
  // shorten it).
  explicit MbrolaProcess(int stallMs = kStallMs, int startWatchMs = kStartWatchMs)
      : stallMs_(stallMs), startWatchMs_(startWatchMs) {}
  ~MbrolaProcess() override;
  MbrolaProcess(const MbrolaProcess&) = delete;
  MbrolaProcess& operator=(const MbrolaProcess&) = delete;

  plat::MbrolaLoad load(std::string_view databasePath) override;
  void unload() override;

  // Starts the child for the voice; negative when the program or the voice
  // is not there, or the child ended within the start watch
  // (kStartWatchMs unless the constructor says otherwise).
  int init(std::string_view databasePath) override;
  // 1 (the default) lets the program go on past a diphone the voice lacks;
  // 0 starts the next children without that option.
  void setNoError(int noError) override;
  void reset() override;
  // Sends the line up to its first CR or LF, ended by LF. While the child's
  // input is full its output is read meanwhile, so neither side waits on
  // the other. After flush() lines are refused until reset().
  int write(std::string_view line) override;
  int lastError() override;
  int flush() override;
  // Before flush(): what has arrived, 0 when nothing has. After flush():
  // waits for samples or the end of the output; 0 at the end.
  int read(int16_t* samples, int wanted) override;
  void close() override;

 private:
  struct Child {
    pid_t pid = -1;
    int in = -1;   // our end of its standard input
    int out = -1;  // our end of its standard output
    int err = -1;  // our end of its standard error
    bool noError = true;  // started with -e
    bool written = false;
    bool flushed = false;
    bool outEnded = false;
    bool failed = false;
    bool refused = false;  // it complained on stderr after a line (no -e)
    std::vector<uint8_t> bytes;  // samples read, not yet handed out
    size_t head = 0;             // the first byte not handed out
  };

  Child start() const;
  static void end(Child& child);
  // Reads what the child's output and error hold without waiting; false
  // when nothing could be read.
  static bool drain(Child& child);
  // Waits for the child to end once its output has ended, and notes a
  // death by a signal or a failure status.
  void reap(Child& child) const;
  static bool alive(Child& child);
  bool writeAll(Child& child, const std::string& text);
  int takeSamples(Child& child, int16_t* samples, int wanted);
  void keepSpare();

  int stallMs_;
  int startWatchMs_;  // how long a new child is watched for an early end
  std::string program_;  // empty until load() found it
  std::string voice_;    // the database path the children are given
  bool noError_ = true;
  Child current_;
  Child spare_;
};

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_MBROLA_PROCESS_H_
