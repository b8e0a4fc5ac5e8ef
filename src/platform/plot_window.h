// Plot windows and the drawing surface they draw on: the second seam of the
// platform, kept apart from the main interface. The core computes every
// position and text; a surface only draws lines and texts with fixed colours.
#pragma once

#include <cstdint>
#include <functional>

#include "core/text/u16.h"

namespace quadrel {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

struct PixelPoint {
  int x = 0, y = 0;
};

struct TextSize {
  int width = 0, height = 0;
};

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // One-pixel lines joining the points in order, in one colour.
  virtual void polyline(const PixelPoint* points, size_t count, Rgb colour) = 0;
  // A text with its top left corner at (x, y), on the default text
  // background (white).
  virtual void text(int x, int y, TextView text, Rgb colour) = 0;
  // The extent of a text in the surface's font.
  virtual TextSize textSize(TextView text) = 0;
};

class PlotWindow {
 public:
  // Closes the window.
  virtual ~PlotWindow() = default;

  // The window's inner (client) size.
  virtual TextSize innerSize() = 0;
  // Starts a fresh image of width x height pixels (black) and answers the
  // surface that draws into it, with the font of plot labels selected.
  virtual DrawingSurface& beginImage(int width, int height) = 0;
  // Shows the image drawn since beginImage, and the sampled range in the
  // two fields of the window.
  virtual void showImage(TextView fromText, TextView toText) = 0;
  // Captures the window (to the clipboard where there is one) and, when
  // path is not empty, saves the capture as a JPEG file. False when the
  // picture could not be taken or written.
  virtual bool savePicture(TextView path) = 0;

  // Called by the window's "Redraw" button with the values of its fields.
  std::function<void(double from, double to)> onRedraw;
};

}  // namespace quadrel
