// The plot window of the DLL: a window with the plot image, "Redraw" and
// "Close" buttons and the two range fields; drawing with GDI into a 24-bit
// image; pictures by PrintWindow capture, to the clipboard and as JPEG.
#pragma once

#include <memory>

#include "platform/plot_window.h"

namespace quadrel {

// Opens the window of plot number slot; null when it cannot be opened.
std::unique_ptr<PlotWindow> openWin32PlotWindow(int slot, TextView title, PlotWindow* previous);

}  // namespace quadrel
