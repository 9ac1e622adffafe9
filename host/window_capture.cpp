#include "window_capture.h"

#include <cstring>

#include "platform/win32/gdi.h"

namespace lmx::host {

Image CaptureClient(HWND window) {
  Image image;
  RECT r;
  if (!GetClientRect(window, &r)) return image;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return image;

  WindowDc source(window);
  if (!source.get()) return image;
  MemoryDc memory(source.get());
  if (!memory.get()) return image;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap bitmap(CreateDIBSection(source.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap.get() || !bits) return image;
  {
    SelectedObject selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY)) return image;
    GdiFlush();
  }
  image.width = width;
  image.height = height;
  image.bgrx.resize(static_cast<size_t>(width) * height * 4);
  std::memcpy(image.bgrx.data(), bits, image.bgrx.size());
  return image;
}


}  // namespace lmx::host
