// The CUPS server as the printer's way to paper. Every exchange is bounded:
// the connection is given up after a fraction of a second and each wait on
// the server after a few seconds, so a missing or unreachable server never
// holds the program. The server is looked up afresh on each call
// (CUPS_SERVER, client.conf), so one started later is found. Names are the
// destinations' own (UTF-8).
#ifndef TALONIX_PLATFORM_PDF_CUPS_QUEUE_H_
#define TALONIX_PLATFORM_PDF_CUPS_QUEUE_H_

#include <string>

namespace plat::pdf {

// The destination `name` as the server spells it, or with an empty name
// the default destination as CUPS chooses it for this user (the PRINTER or
// LPDEST variable, `lpoptions -d`, the server's default); "" when no server
// answers or it knows no such destination.
std::string cupsDestination(const std::string& name);

// Sends the PDF file `path` to `destination` as one job titled `title`;
// true once the server has taken the whole document.
bool cupsSubmitPdf(const std::string& destination, const std::string& path,
                   const std::string& title);

}  // namespace plat::pdf

#endif  // TALONIX_PLATFORM_PDF_CUPS_QUEUE_H_
