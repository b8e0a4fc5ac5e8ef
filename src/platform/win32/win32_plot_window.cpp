#include "platform/win32/win32_plot_window.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/jpeg/jpeg_file.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_class.h"

namespace quadrel {

namespace {

const wchar_t kPlotClass[] = L"QuadrelPlotWindow";
const wchar_t kBoxClass[] = L"QuadrelCaptureBox";
constexpr int kInner = 400;

// Control numbers of plot k: 10k + 110 + offset.
enum ControlOffset { kImage = 1, kRedraw = 2, kClose = 3, kFromLabel = 4, kFrom = 5, kToLabel = 6, kTo = 7 };

HINSTANCE instance() { return static_cast<HINSTANCE>(libraryModule()); }
std::wstring wide(TextView t) { return std::wstring(t.begin(), t.end()); }

// A 24-bit top-down image with a memory device context drawing into it.
struct DibImage {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint8_t* bits = nullptr;
  int width = 0, height = 0;
  size_t stride = 0;

  bool create(int w, int h) {
    release();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (!bitmap)
      return false;
    dc = CreateCompatibleDC(nullptr);
    previous = SelectObject(dc, bitmap);
    bits = static_cast<uint8_t*>(p);
    width = w;
    height = h;
    stride = (size_t(w) * 3 + 3) & ~size_t(3);
    return true;
  }
  // Gives the bitmap up to a new owner (the image control).
  HBITMAP release(bool keepBitmap = false) {
    HBITMAP b = bitmap;
    if (dc) {
      SelectObject(dc, previous);
      DeleteDC(dc);
    }
    if (b && !keepBitmap)
      DeleteObject(b);
    dc = nullptr;
    bitmap = nullptr;
    bits = nullptr;
    width = height = 0;
    return keepBitmap ? b : nullptr;
  }
  // Rows of R, G, B bytes (the image holds B, G, R).
  std::vector<uint8_t> rgb() const {
    GdiFlush();
    std::vector<uint8_t> out(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
      const uint8_t* s = bits + size_t(y) * stride;
      uint8_t* d = out.data() + size_t(y) * size_t(width) * 3;
      for (int x = 0; x < width; ++x, s += 3, d += 3) {
        d[0] = s[2];
        d[1] = s[1];
        d[2] = s[0];
      }
    }
    return out;
  }
};

HFONT plotFont() {
  static HFONT font = nullptr;
  if (!font) {
    HDC dc = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Verdana");
  }
  return font;
}

class GdiSurface final : public DrawingSurface {
 public:
  DibImage image;

  bool reset(int w, int h) {
    if (!image.create(w, h))
      return false;
    RECT all{0, 0, w, h};
    FillRect(image.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(image.dc, plotFont());
    SetBkMode(image.dc, OPAQUE);
    SetBkColor(image.dc, RGB(255, 255, 255));
    return true;
  }
  void polyline(const PixelPoint* points, size_t count, Rgb c) override {
    if (!image.dc || count < 2)
      return;
    std::vector<POINT> pts(count);
    for (size_t i = 0; i < count; ++i) pts[i] = {points[i].x, points[i].y};
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(c.r, c.g, c.b));
    HGDIOBJ old = SelectObject(image.dc, pen);
    // Polyline takes at most a few thousand points at once on some systems.
    for (size_t start = 0; start + 1 < count; start += 4000) {
      const size_t n = std::min<size_t>(4001, count - start);
      Polyline(image.dc, pts.data() + start, int(n));
    }
    SelectObject(image.dc, old);
    DeleteObject(pen);
  }
  void text(int x, int y, TextView t, Rgb c) override {
    if (!image.dc)
      return;
    const std::wstring w = wide(t);
    SetTextColor(image.dc, RGB(c.r, c.g, c.b));
    TextOutW(image.dc, x, y, w.c_str(), int(w.size()));
  }
  TextSize textSize(TextView t) override {
    if (!image.dc)
      return {};
    const std::wstring w = wide(t);
    SIZE s{};
    GetTextExtentPoint32W(image.dc, w.c_str(), int(w.size()), &s);
    return {int(s.cx), int(s.cy)};
  }
};

LRESULT CALLBACK plotWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

class Win32PlotWindow final : public PlotWindow {
 public:
  HWND hwnd = nullptr;
  int base = 0;  // 10k + 110
  GdiSurface surface;
  HBITMAP shown = nullptr;
  // The pixels of the image shown (rows of R, G, B): what a picture saves.
  std::vector<uint8_t> shownPixels;
  int shownWidth = 0, shownHeight = 0;
  const HostWindows* host = nullptr;

  ~Win32PlotWindow() override {
    if (hwnd && IsWindow(hwnd))
      DestroyWindow(hwnd);
    if (shown)
      DeleteObject(shown);
  }

  TextSize innerSize() override {
    RECT r{0, 0, kInner, kInner};
    if (hwnd)
      GetClientRect(hwnd, &r);
    return {int(r.right - r.left), int(r.bottom - r.top)};
  }

  DrawingSurface& beginImage(int width, int height) override {
    surface.reset(width, height);
    return surface;
  }

  void showImage(TextView fromText, TextView toText) override {
    if (!hwnd || !surface.image.bitmap)
      return;
    shownPixels = surface.image.rgb();
    shownWidth = surface.image.width;
    shownHeight = surface.image.height;
    HBITMAP bitmap = surface.image.release(true);
    HWND control = GetDlgItem(hwnd, base + kImage);
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    if (shown)
      DeleteObject(shown);
    shown = bitmap;
    SetWindowTextW(GetDlgItem(hwnd, base + kFrom), wide(fromText).c_str());
    SetWindowTextW(GetDlgItem(hwnd, base + kTo), wide(toText).c_str());
    UpdateWindow(hwnd);
  }

  bool savePicture(TextView path) override;

  double fieldValue(int offset) {
    wchar_t buffer[64] = {};
    GetWindowTextW(GetDlgItem(hwnd, base + offset), buffer, 63);
    for (wchar_t& c : buffer)
      if (c == L',')
        c = L'.';
    return std::wcstod(buffer, nullptr);
  }
};

LRESULT CALLBACK plotWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32PlotWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
    const int offset = int(LOWORD(wp)) - self->base;
    if (offset == kClose) {
      DestroyWindow(hwnd);
      return 0;
    }
    if (offset == kRedraw && self->onRedraw) {
      // Like a menu command: nothing the redraw throws reaches the message loop.
      try {
        self->onRedraw(self->fieldValue(kFrom), self->fieldValue(kTo));
      } catch (...) {
      }
      return 0;
    }
  }
  // No WM_PRINTCLIENT of its own: themed buttons ask their parent to print
  // its background, and printing the children there would ask again, for ever.
  if (self && msg == WM_DESTROY && self->host)
    self->host->closed(hwnd);
  if (self && msg == WM_NCDESTROY) {
    self->hwnd = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void addControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id,
                DWORD exStyle = 0) {
  HWND c = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
}

// Puts a top-down image of R, G, B rows on the clipboard as a bottom-up DIB.
void putImageOnClipboard(HWND owner, const std::vector<uint8_t>& rgb, int width, int height) {
  const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
  const size_t bytes = stride * size_t(height);
  if (!OpenClipboard(owner))
    return;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + bytes);
  if (auto* p = static_cast<uint8_t*>(mem ? GlobalLock(mem) : nullptr)) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;  // bottom-up, as the clipboard expects
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(bytes);
    std::memcpy(p, &h, sizeof h);
    for (int y = 0; y < height; ++y) {
      const uint8_t* s = rgb.data() + size_t(y) * size_t(width) * 3;
      uint8_t* d = p + sizeof h + size_t(height - 1 - y) * stride;
      for (int x = 0; x < width; ++x, s += 3, d += 3) {
        d[0] = s[2];
        d[1] = s[1];
        d[2] = s[0];
      }
    }
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_DIB, mem))
      GlobalFree(mem);
  } else if (mem) {
    GlobalFree(mem);
  }
  CloseClipboard();
}

// The picture is the plot's own image, taken from what was drawn, never by
// printing the window: printing themed controls re-enters their parent.
bool Win32PlotWindow::savePicture(TextView path) {
  if (!hwnd || shownPixels.empty())
    return false;
  registerWindowClass(kBoxClass, DefWindowProcW);
  // The capture's helper window: it owns the clipboard while the image goes there.
  HWND box = CreateWindowExW(0, kBoxClass, L"Window in a box", WS_POPUP, 0, 0, 1024, 30, nullptr, nullptr, instance(),
                             nullptr);
  putImageOnClipboard(box, shownPixels, shownWidth, shownHeight);
  bool ok = true;
  if (!path.empty()) {
    ok = writeJpegFile(path, shownPixels.data(), shownWidth, shownHeight, size_t(shownWidth) * 3);
    Sleep(5);
  }
  if (box)
    DestroyWindow(box);
  return ok;
}

}  // namespace

std::unique_ptr<PlotWindow> openWin32PlotWindow(int slot, TextView title, PlotWindow* previous,
                                                const HostWindows& host) {
  registerWindowClass(kPlotClass, plotWindowProc);
  auto window = std::make_unique<Win32PlotWindow>();
  window->base = 10 * slot + 110;
  window->host = &host;
  const DWORD style = WS_OVERLAPPEDWINDOW;
  RECT frame{0, 0, kInner, kInner};
  AdjustWindowRect(&frame, style, FALSE);
  const int width = int(frame.right - frame.left), height = int(frame.bottom - frame.top);
  int x = 0, y = 0;
  auto* before = dynamic_cast<Win32PlotWindow*>(previous);
  RECT prev{};
  if (slot > 1 && before && before->hwnd && GetWindowRect(before->hwnd, &prev)) {
    x = int(prev.right) + 7;
    y = int(prev.top);
    if (x + kInner > GetSystemMetrics(SM_CXSCREEN)) {
      x = 0;
      y = int(prev.top) + kInner + 30;
    }
  }
  const std::wstring caption = wide(title);
  HWND hwnd = CreateWindowExW(0, kPlotClass, caption.c_str(), style, x, y, width, height, static_cast<HWND>(host.owner),
                              nullptr, instance(), window.get());
  if (!hwnd)
    return nullptr;
  window->hwnd = hwnd;
  const int b = window->base;
  addControl(hwnd, L"STATIC", L"", SS_BITMAP, 0, 0, kInner, kInner - 35, b + kImage);
  addControl(hwnd, L"BUTTON", L"Redraw", BS_PUSHBUTTON, 5, 375, 75, 20, b + kRedraw);
  addControl(hwnd, L"BUTTON", L"Close", BS_PUSHBUTTON, 320, 375, 75, 20, b + kClose);
  addControl(hwnd, L"STATIC", L"Redraw from", 0, 90, 378, 70, 20, b + kFromLabel);
  addControl(hwnd, L"EDIT", L"0", ES_AUTOHSCROLL, 160, 375, 50, 20, b + kFrom, WS_EX_CLIENTEDGE);
  addControl(hwnd, L"STATIC", L"to", 0, 220, 378, 20, 20, b + kToLabel);
  addControl(hwnd, L"EDIT", L"0", ES_AUTOHSCROLL, 240, 375, 50, 20, b + kTo, WS_EX_CLIENTEDGE);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  host.opened(hwnd);
  return window;
}

}  // namespace quadrel
