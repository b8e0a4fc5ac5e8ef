#include "platform/jpeg/jpeg_file.h"

#include <csetjmp>
#include <cstdio>
#include <string>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace quadrel {

namespace {

std::FILE* openForWriting(TextView path) {
#if defined(_WIN32)
  const std::wstring wide(path.begin(), path.end());
  return _wfopen(wide.c_str(), L"wb");
#else
  return std::fopen(toUtf8(path).c_str(), "wb");
#endif
}

// libjpeg reports fatal errors through this handler; it jumps back to the
// writer instead of ending the process.
struct ErrorJump {
  jpeg_error_mgr manager;
  std::jmp_buf back;
};

[[noreturn]] void onFatalError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->back, 1);
}

void silent(j_common_ptr) {}

// Everything that lives across the jump is set up before setjmp.
bool compress(std::FILE* file, const uint8_t* rgb, int width, int height, size_t stride) {
  jpeg_compress_struct info{};
  ErrorJump errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = onFatalError;
  errors.manager.output_message = silent;
  if (setjmp(errors.back)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + size_t(info.next_scanline) * stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool writeJpegFile(TextView path, const uint8_t* rgb, int width, int height, size_t stride) {
  if (path.empty() || !rgb || width < 1 || height < 1 || width > 65500 || height > 65500)
    return false;
  std::FILE* file = openForWriting(path);
  if (!file)
    return false;
  const bool written = compress(file, rgb, width, height, stride);
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace quadrel
