// Money, dates and times read as a cheque-book user hears them, for the
// normalisation stage only. Each form is recognised on an exact pattern;
// anything else is left to the generic number and symbol readings.
#ifndef TALONIX_TTS_NORMALISE_AMOUNTS_H_
#define TALONIX_TTS_NORMALISE_AMOUNTS_H_

#include <string>
#include <string_view>

// At `*at`, one of:
//   "R$", one optional blank, an amount (1.234,56 1234,56 15 0,5):
//     "mil e duzentos e trinta e quatro reais e cinqüenta e seis centavos";
//   a date d/m/yy or dd/mm/yyyy (day 1..31, month 1..12):
//     "doze de março de dois mil e vinte e cinco";
//   a time 14h30, 14h30min, 14h, 14:30 or 14:30h (hour 0..23, minutes two
//     digits 00..59): "quatorze horas e trinta minutos";
//   the number sign n\xBA, N\xBA, n.\xBA or n\xB0 at a word's start: "n\xFAmero".
// On a match the words and a blank are appended to `out`, `*at` moves past
// the pattern and the result is true; otherwise nothing changes.
bool readChequeBookForm(std::string_view text, size_t* at, std::string* out);

#endif  // TALONIX_TTS_NORMALISE_AMOUNTS_H_
