// What the DirectDraw tests share: structures the way Windows wants them (every byte 0, the size filled in), a
// clean headless host with a DirectDraw object for each test, and pixels in and out through a lock.
#pragma once

#include <ddraw.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/control.h"

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

using Pixels = std::vector<uint16_t>;  // row by row

// Objects handed to Keep are released after the test, before the DirectDraw object.
class DirectDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().headless = true;
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
  }
  void TearDown() override {
    for (IUnknown* object : kept) object->Release();
    directDraw->Release();
  }
  template <typename T>
  T* Keep(T* object) {
    if (object != nullptr) kept.push_back(object);
    return object;
  }

  // Every pixel through a lock, row by row with the pitch (which the host makes wider than a row, so that
  // pitch mistakes show); Write takes as many as Read gives.
  static Pixels Read(LPDIRECTDRAWSURFACE surface) { return Copy(surface, nullptr); }
  static void Write(LPDIRECTDRAWSURFACE surface, const Pixels& pixels) { Copy(surface, &pixels); }
  static Pixels Copy(LPDIRECTDRAWSURFACE surface, const Pixels* in) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    Pixels out(desc.dwWidth * desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
      auto* row = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch;
      if (in != nullptr) std::memcpy(row, &(*in)[y * desc.dwWidth], desc.dwWidth * 2);
      std::memcpy(&out[y * desc.dwWidth], row, desc.dwWidth * 2);
    }
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    return out;
  }

  LPDIRECTDRAW directDraw = nullptr;
  std::vector<IUnknown*> kept;
};
