// A headless machine whose program lies in a bin/ beside the voice kit this
// build generated, with speech started at speed 3: the benchmarks that
// measure what a user hears run on it.
#ifndef TALONIX_TESTS_BENCH_KIT_MACHINE_H_
#define TALONIX_TESTS_BENCH_KIT_MACHINE_H_

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "console/console.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "speech/speech.h"

#ifdef TALONIX_VOICE_KIT_DIR
namespace benchkit {

class KitMachine {
 public:
  // `lumira`, when not empty, is the family settings file's content; `proc`
  // stands in for the console's window procedure (it must call it).
  explicit KitMachine(const std::string& name, const std::string& lumira = "",
                      plat::WindowProc proc = &consoleWindowProc) {
    namespace fs = std::filesystem;
    root_ = fs::temp_directory_path() / ("talonix-" + name + "-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "config");
    if (!lumira.empty()) std::ofstream(root_ / "config" / "LUMIRA.INI") << lumira;
    plat::headless::HeadlessConfig config;
    config.configDir = root_ / "config";
    config.workDir = root_;
    config.programPath =
        (fs::weakly_canonical(fs::path(TALONIX_VOICE_KIT_DIR) / ".." / "..") / "bin" / "talonix")
            .string();
    platform_ = std::make_unique<plat::headless::HeadlessPlatform>(config);
    platform_->install();
    resetProgramState();
    plat::window().setWindowProc(proc);
  }
  ~KitMachine() {
    resetProgramState();
    plat::headless::uninstall();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  KitMachine(const KitMachine&) = delete;
  KitMachine& operator=(const KitMachine&) = delete;

  plat::headless::HeadlessPlatform& platform() { return *platform_; }
  // A key the user types once the program waits for one.
  void type(uint8_t c) {
    std::vector<plat::headless::KeyGroup> groups(1);
    plat::headless::typedCharEvents(c, &groups[0].events);
    platform_->addKeyGroups(groups);
  }
  void typeAt(uint64_t ms, uint8_t c) {
    std::vector<plat::Event> events;
    plat::headless::typedCharEvents(c, &events);
    for (const plat::Event& e : events) platform_->postEventAt(ms, e);
  }

 private:
  std::filesystem::path root_;
  std::unique_ptr<plat::headless::HeadlessPlatform> platform_;
};

}  // namespace benchkit
#endif  // TALONIX_VOICE_KIT_DIR

#endif  // TALONIX_TESTS_BENCH_KIT_MACHINE_H_
