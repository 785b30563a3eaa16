// Pixel formats: how many bits each channel has, and writing decoded pictures
// into surface memory of a given format.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "platform/bmp_decoder.h"

// Writes `picture` into `pixels` (rows pitchBytes apart, the surface at least as
// large as the picture) in `format`, keeping only each 8-bit channel's top bits:
// 255 becomes the full channel mask, so pure blue is exactly the blue mask.
// False, and nothing written, unless the format has 16 or 32 bits per pixel.
bool ConvertPicture(const bmp::Picture& picture, const DDPIXELFORMAT& format, void* pixels, int32_t pitchBytes);
