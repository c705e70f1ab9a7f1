// A printer font in cairo: the face asked for (a monospace when a fixed
// pitch face such as Courier New is not to be had), scaled in device dots
// so that its cell (ascent plus descent) is the height asked for and, with
// a width given, each character's advance is that width.
#ifndef TALONIX_PLATFORM_PDF_PDF_FONT_H_
#define TALONIX_PLATFORM_PDF_PDF_FONT_H_

#include <cairo.h>

#include <string_view>

#include "platform/printer.h"

namespace plat::pdf {

class PdfFont {
 public:
  explicit PdfFont(const PrintFont& font);
  ~PdfFont();
  PdfFont(const PdfFont&) = delete;
  PdfFont& operator=(const PdfFont&) = delete;

  bool ok() const { return scaled_ != nullptr; }
  // Draws UTF-8 `text` with the top left corner of its cell at (x, y) in
  // the context's user space (dots), turned by the font's escapement.
  void draw(cairo_t* cr, double x, double y, const char* text) const;
  // The advance of UTF-8 `text` and the cell height, in dots.
  PrintSize extent(const char* text) const;

 private:
  cairo_font_face_t* face_ = nullptr;
  cairo_font_options_t* options_ = nullptr;
  cairo_scaled_font_t* scaled_ = nullptr;
  cairo_matrix_t matrix_;
  double ascent_ = 0;
  double cell_ = 0;
  double angle_ = 0;  // radians, counter-clockwise on the page
};

}  // namespace plat::pdf

#endif  // TALONIX_PLATFORM_PDF_PDF_FONT_H_
