#include "platform/headless/cairo_plot_window.h"

#include <cairo.h>

#include <cmath>

#include "platform/jpeg/jpeg_file.h"

namespace quadrel {

namespace {

// The stand-in for the Windows label font (Verdana, 8 points at 96 dots per
// inch): a sans-serif face that Debian ships, at the same pixel size.
constexpr const char* kFontFace = "DejaVu Sans";
constexpr double kFontPixels = 8.0 * 96.0 / 72.0;

void setColour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

}  // namespace

CairoSurface::~CairoSurface() { release(); }

void CairoSurface::release() {
  if (cr_)
    cairo_destroy(cr_);
  if (surface_)
    cairo_surface_destroy(surface_);
  cr_ = nullptr;
  surface_ = nullptr;
  width_ = height_ = 0;
}

bool CairoSurface::reset(int width, int height) {
  release();
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    release();
    return false;
  }
  cr_ = cairo_create(surface_);
  width_ = width;
  height_ = height;
  cairo_set_source_rgb(cr_, 0, 0, 0);
  cairo_paint(cr_);
  // One-pixel lines as the Windows pen draws them: no smoothing.
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr_, 1.0);
  cairo_select_font_face(cr_, kFontFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, kFontPixels);
  cairo_font_extents_t fe;
  cairo_font_extents(cr_, &fe);
  ascent_ = fe.ascent;
  lineHeight_ = std::ceil(fe.ascent + fe.descent);
  return true;
}

void CairoSurface::polyline(const PixelPoint* points, size_t count, Rgb colour) {
  if (!cr_ || count < 2)
    return;
  setColour(cr_, colour);
  // Pixel centres, so that a one-pixel line covers whole pixels.
  cairo_move_to(cr_, points[0].x + 0.5, points[0].y + 0.5);
  for (size_t i = 1; i < count; ++i) cairo_line_to(cr_, points[i].x + 0.5, points[i].y + 0.5);
  cairo_stroke(cr_);
}

TextSize CairoSurface::textSize(TextView text) {
  if (!cr_)
    return {};
  cairo_text_extents_t te;
  cairo_text_extents(cr_, toUtf8(text).c_str(), &te);
  return {int(std::ceil(te.x_advance)), int(lineHeight_)};
}

void CairoSurface::text(int x, int y, TextView text, Rgb colour) {
  if (!cr_)
    return;
  const TextSize size = textSize(text);
  cairo_set_source_rgb(cr_, 1, 1, 1);
  cairo_rectangle(cr_, x, y, size.width, size.height);
  cairo_fill(cr_);
  setColour(cr_, colour);
  cairo_move_to(cr_, x, y + ascent_);
  cairo_show_text(cr_, toUtf8(text).c_str());
  cairo_new_path(cr_);
}

std::vector<uint8_t> CairoSurface::rgbPixels() {
  std::vector<uint8_t> rgb;
  if (!surface_)
    return rgb;
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  rgb.resize(size_t(width_) * size_t(height_) * 3);
  uint8_t* out = rgb.data();
  for (int row = 0; row < height_; ++row) {
    const uint32_t* px = reinterpret_cast<const uint32_t*>(data + size_t(row) * size_t(stride));
    for (int col = 0; col < width_; ++col) {
      const uint32_t p = px[col];
      *out++ = uint8_t(p >> 16);
      *out++ = uint8_t(p >> 8);
      *out++ = uint8_t(p);
    }
  }
  return rgb;
}

DrawingSurface& CairoPlotWindow::beginImage(int width, int height) {
  surface_.reset(width, height);
  return surface_;
}

bool CairoPlotWindow::savePicture(TextView path) {
  if (surface_.width() < 1)
    return false;
  if (path.empty())
    return true;
  const std::vector<uint8_t> rgb = surface_.rgbPixels();
  return writeJpegFile(path, rgb.data(), surface_.width(), surface_.height(), size_t(surface_.width()) * 3);
}

}  // namespace quadrel
