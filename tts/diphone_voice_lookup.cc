// The voice's lookups, apart from its reader so the synthesizer and the
// tools can use a voice built in memory.
#include <algorithm>

#include "tts/diphone_voice.h"

int DiphoneVoice::symbolIndex(std::string_view name) const {
  // Symbols are case-sensitive ("e" and "E" are different vowels).
  for (size_t i = 0; i < symbols.size(); ++i) {
    if (symbols[i] == name) return static_cast<int>(i);
  }
  return -1;
}

const Diphone* DiphoneVoice::find(std::string_view left,
                                  std::string_view right) const {
  const int l = symbolIndex(left), r = symbolIndex(right);
  if (l < 0 || r < 0) return nullptr;
  const auto key = std::make_pair(l, r);
  const auto before = [](const Diphone& d, const std::pair<int, int>& k) {
    return std::make_pair(int{d.left}, int{d.right}) < k;
  };
  const auto it = std::lower_bound(diphones.begin(), diphones.end(), key, before);
  if (it == diphones.end() || it->left != l || it->right != r) return nullptr;
  return &*it;
}
