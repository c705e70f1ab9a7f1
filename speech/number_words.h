// Whole numbers, dates and times as Brazilian Portuguese words, spoken
// from the recorded word sounds of the letters directory ("_" + word,
// the name cut to 8 characters) without any synthesizer.
#ifndef TALONIX_SPEECH_NUMBER_WORDS_H_
#define TALONIX_SPEECH_NUMBER_WORDS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Sample bytes joined into one sound before it is played.
constexpr size_t kNumberSoundBytes = 30000;

// The words for n: "e" inside each group of three digits and before the
// last non-empty group, "um" dropped before "mil" but not before "milhão".
// Ends in a blank when the last non-empty group is not the units group
// ("mil ", "dois milhões "). Covers every 64-bit value (quatrilhão and
// quintilhão groups above the trillions).
std::string numberWords(uint64_t n);
// Plays the recordings of the words as one sound (pieces of at most
// kNumberSoundBytes) and waits for its end. Feminine: a last "um" or
// "dois" is heard as "uma" or "duas". A waiting key stops it and stays
// queued. The record shows "number " followed by the words.
void speakNumberWords(std::string_view words, bool feminine);
// Weekday of a date, 0 = Sunday (Gregorian calendar).
int weekdayOf(int day, int month, int year);
// Weekday, day, "de", month, "de", year.
void speakDate(int day, int month, int year);
// speakDate of the console's current date.
void speakToday();
// Hours in the feminine with "hora"/"horas"; minutes, when not 0, with
// "minuto"/"minutos".
void speakClockTime(int hours, int minutes);
// speakClockTime of the console's current time.
void speakTime();

#endif  // TALONIX_SPEECH_NUMBER_WORDS_H_
