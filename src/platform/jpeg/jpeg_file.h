// Writing pictures as JPEG files (libjpeg), for both platforms.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

// Writes rows of 8-bit R, G, B pixels, top row first, each row stride bytes
// apart, with the encoder's default quality. False when the file cannot be
// opened or written.
bool writeJpegFile(TextView path, const uint8_t* rgb, int width, int height, size_t stride);

}  // namespace quadrel
