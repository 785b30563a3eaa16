// Device contexts and stock objects: just enough to read the display depth.
// The emulated display is 16 bits per pixel unless a test asks for another depth.
#pragma once

#include "win/types.h"

#define BITSPIXEL 12
#define BLACK_BRUSH 4

int WINAPI GetDeviceCaps(HDC hdc, int index);
HGDIOBJ WINAPI GetStockObject(int object);
