// Whole numbers and the time as Portuguese words, spoken from recorded
// word sounds.
#ifndef TALONIX_SPEECH_NUMBER_WORDS_H_
#define TALONIX_SPEECH_NUMBER_WORDS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The words for n.
std::string numberWords(uint32_t n);
// Plays the recordings of the words as one sound and waits for its end.
void speakNumberWords(std::string_view words, bool feminine);
// Speaks the current time.
void speakTime();
// Speaks today's date.
void speakToday();

// The texts given to speakNumberWords since the last clear, so tests can
// tell a number read as a whole from one spelled digit by digit.
const std::vector<std::string>& numberWordsSpokenForTesting();
void clearNumberWordsForTesting();

#endif  // TALONIX_SPEECH_NUMBER_WORDS_H_
