// Writes 8-bit RGB pictures as PNG files (for screenshots).
#pragma once

#include <cstdint>
#include <vector>

namespace host {

// rgb holds width * height * 3 bytes, top row first.
bool WritePng(const char* path, const std::vector<uint8_t>& rgb, int width, int height);

}  // namespace host
