// Settings for fuzz targets, answered from a text in memory without any
// file: the console and the synthesizer read settings on every input.
#ifndef TALONIX_TESTS_FUZZ_MEMORY_PROFILE_H_
#define TALONIX_TESTS_FUZZ_MEMORY_PROFILE_H_

#include <string>
#include <utility>

#include "platform/profile.h"
#include "platform/shared/profile_text.h"

class MemoryProfile : public plat::Profile {
 public:
  // The INI text every settings file reads as; empty: no settings at all.
  explicit MemoryProfile(std::string text = "") : text_(std::move(text)) {}
  size_t getPrivateProfileString(const char* section, const char* key,
                                 const char* defaultValue, char* buffer, size_t size,
                                 const char*) override {
    return plat::readProfileText(text_, section, key, defaultValue, buffer, size);
  }
  bool writePrivateProfileString(const char*, const char*, const char*,
                                 const char*) override {
    return false;
  }
  size_t getProfileString(const char* section, const char* key, const char* defaultValue,
                          char* buffer, size_t size) override {
    return plat::readProfileText("", section, key, defaultValue, buffer, size);
  }

 private:
  std::string text_;
};

#endif  // TALONIX_TESTS_FUZZ_MEMORY_PROFILE_H_
