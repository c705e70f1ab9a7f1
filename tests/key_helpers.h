// Keys for tests on the headless backend, written as key scripts
// (platform/headless/key_script.h), as the scenario runner reads them.
#ifndef TALONIX_TESTS_KEY_HELPERS_H_
#define TALONIX_TESTS_KEY_HELPERS_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"

namespace keytest {

// The groups of a script; one that does not parse fails the test and gives
// no keys at all.
inline std::vector<plat::headless::KeyGroup> keyGroups(const std::string& script) {
  std::vector<plat::headless::KeyGroup> groups;
  std::string error;
  if (!plat::headless::parseKeyScript(script, &groups, &error)) {
    ADD_FAILURE() << "key script: " << error;
    groups.clear();
  }
  return groups;
}

// Keys the user types: each group arrives once the program waits for it.
inline void keys(plat::headless::HeadlessPlatform& platform, const std::string& script) {
  platform.addKeyGroups(keyGroups(script));
}

}  // namespace keytest

#endif  // TALONIX_TESTS_KEY_HELPERS_H_
