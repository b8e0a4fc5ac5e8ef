// A plot window without a screen: the image is drawn with cairo into memory,
// 400 x 400 inner pixels as the real window has, and saved as JPEG.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/plot_window.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace quadrel {

class CairoSurface final : public DrawingSurface {
 public:
  CairoSurface() = default;
  ~CairoSurface() override;
  CairoSurface(const CairoSurface&) = delete;
  CairoSurface& operator=(const CairoSurface&) = delete;

  // A fresh black image; false when cairo could not make one.
  bool reset(int width, int height);
  void polyline(const PixelPoint* points, size_t count, Rgb colour) override;
  void text(int x, int y, TextView text, Rgb colour) override;
  TextSize textSize(TextView text) override;

  int width() const { return width_; }
  int height() const { return height_; }
  // The image as rows of R, G, B bytes, top row first.
  std::vector<uint8_t> rgbPixels();

 private:
  void release();
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  int width_ = 0, height_ = 0;
  double ascent_ = 0, lineHeight_ = 0;
};

class CairoPlotWindow final : public PlotWindow {
 public:
  TextSize innerSize() override { return {400, 400}; }
  DrawingSurface& beginImage(int width, int height) override;
  void showImage(TextView, TextView) override {}
  // Writes the image (the window's image area) as JPEG.
  bool savePicture(TextView path) override;

  CairoSurface& surface() { return surface_; }

 private:
  CairoSurface surface_;
};

}  // namespace quadrel
