// DirectDraw structures the way Windows wants them: every byte 0, the size
// filled in. Shared by the DirectDraw tests.
#pragma once

#include <ddraw.h>

#include <cstring>

template <typename T>
T Zeroed() {
  T value;
  std::memset(&value, 0, sizeof value);
  value.dwSize = sizeof value;
  return value;
}

inline DDBLTFX Fill(DWORD pixel) {
  DDBLTFX fx = Zeroed<DDBLTFX>();
  fx.dwFillColor = pixel;
  return fx;
}
