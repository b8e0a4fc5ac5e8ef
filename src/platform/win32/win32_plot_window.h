// The plot window of the DLL: a window with the plot image, "Redraw" and
// "Close" buttons and the two range fields; drawing with GDI into a 24-bit
// image; pictures are that image, put on the clipboard and saved as JPEG.
#pragma once

#include <memory>

#include "platform/plot_window.h"
#include "platform/win32/win32_platform.h"

namespace quadrel {

// Opens the window of plot number slot, owned by and announced to the host's
// window when there is one; null when it cannot be opened.
std::unique_ptr<PlotWindow> openWin32PlotWindow(int slot, TextView title, PlotWindow* previous,
                                                const HostWindows& host);

}  // namespace quadrel
