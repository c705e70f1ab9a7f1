// The printer: the place of the cheque printer's service. Its operations
// come with cheque printing; until then every backend installs
// plat::NoPrinter (absent.h).
#ifndef TALONIX_PLATFORM_PRINTER_H_
#define TALONIX_PLATFORM_PRINTER_H_

namespace plat {

class Printer {
 public:
  virtual ~Printer() = default;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_PRINTER_H_
