#include "platform/pdf/pdf_font.h"

#include <cmath>
#include <string>

#include "platform/shared/codepage.h"

namespace plat::pdf {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kDefaultHeight = 100;  // dots: 12 points at 600 dpi
constexpr uint8_t kFixedPitch = 1;
constexpr uint8_t kFamilyModern = 0x30;

cairo_scaled_font_t* scaledFont(cairo_font_face_t* face,
                                const cairo_matrix_t& matrix,
                                const cairo_font_options_t* options) {
  cairo_matrix_t identity;
  cairo_matrix_init_identity(&identity);
  return cairo_scaled_font_create(face, &matrix, &identity, options);
}

double advance(cairo_scaled_font_t* font, const char* text) {
  cairo_text_extents_t e;
  cairo_scaled_font_text_extents(font, text, &e);
  return e.x_advance;
}

bool wantsFixedPitch(const PrintFont& font, const std::string& family) {
  std::string lower;
  for (char c : family) lower += static_cast<char>(foldCase1252(c));
  return (font.pitchAndFamily & 3) == kFixedPitch ||
         (font.pitchAndFamily & 0xF0) == kFamilyModern ||
         lower.find("courier") != std::string::npos ||
         lower.find("mono") != std::string::npos;
}

cairo_font_face_t* toyFace(const std::string& family, const PrintFont& font) {
  return cairo_toy_font_face_create(
      family.c_str(),
      font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
      font.weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
}

}  // namespace

PdfFont::PdfFont(const PrintFont& font) {
  std::string family = cp1252ToUtf8(font.face);
  if (family.empty()) family = "monospace";
  options_ = cairo_font_options_create();
  // Metrics exactly as designed: rounding them to the PDF's points would
  // move every character of a line a little more.
  cairo_font_options_set_hint_metrics(options_, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options_, CAIRO_HINT_STYLE_NONE);
  cairo_matrix_t unit;
  cairo_matrix_init_identity(&unit);
  face_ = toyFace(family, font);
  cairo_scaled_font_t* probe = scaledFont(face_, unit, options_);
  // The font machine substitutes freely; a fixed pitch asked for and a
  // proportional face found means a monospace serves better.
  if (wantsFixedPitch(font, family) &&
      std::fabs(advance(probe, "i") - advance(probe, "W")) > 1e-6) {
    cairo_scaled_font_destroy(probe);
    cairo_font_face_destroy(face_);
    face_ = toyFace("monospace", font);
    probe = scaledFont(face_, unit, options_);
  }
  cairo_font_extents_t fe;
  cairo_scaled_font_extents(probe, &fe);
  const double unitCell = fe.ascent + fe.descent;
  const double unitWidth = advance(probe, "x");
  cairo_scaled_font_destroy(probe);
  if (cairo_font_face_status(face_) != CAIRO_STATUS_SUCCESS ||
      unitCell <= 0 || unitWidth <= 0) {
    return;
  }
  // A negative height is the em size (character height without leading).
  const double sy = font.height > 0   ? font.height / unitCell
                    : font.height < 0 ? -static_cast<double>(font.height)
                                      : kDefaultHeight / unitCell;
  const double sx = font.width > 0 ? font.width / unitWidth : sy;
  cairo_matrix_init_scale(&matrix_, sx, sy);
  ascent_ = fe.ascent * sy;
  cell_ = unitCell * sy;
  angle_ = font.escapement / 10.0 * kPi / 180.0;
  scaled_ = scaledFont(face_, matrix_, options_);
  if (cairo_scaled_font_status(scaled_) != CAIRO_STATUS_SUCCESS) {
    cairo_scaled_font_destroy(scaled_);
    scaled_ = nullptr;
  }
}

PdfFont::~PdfFont() {
  if (scaled_ != nullptr) cairo_scaled_font_destroy(scaled_);
  cairo_font_face_destroy(face_);
  cairo_font_options_destroy(options_);
}

void PdfFont::draw(cairo_t* cr, double x, double y, const char* text) const {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  // y grows downwards: a counter-clockwise turn on the page is negative.
  cairo_rotate(cr, -angle_);
  cairo_set_font_face(cr, face_);
  cairo_set_font_matrix(cr, &matrix_);
  cairo_set_font_options(cr, options_);
  cairo_move_to(cr, 0, ascent_);
  cairo_show_text(cr, text);
  cairo_restore(cr);
}

PrintSize PdfFont::extent(const char* text) const {
  return PrintSize{static_cast<int>(std::lround(advance(scaled_, text))),
                   static_cast<int>(std::lround(cell_))};
}

}  // namespace plat::pdf
