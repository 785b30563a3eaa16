#include "gfx/ptr_array.h"

#include <cstring>

PtrArray::PtrArray() : items(new void*[1]()), count(0), capacity(1) {}

PtrArray::~PtrArray() { delete[] items; }

void PtrArray::Append(void* item) {
  if (count == capacity) {
    void** grown = new void*[capacity * 2]();
    std::memcpy(grown, items, sizeof(void*) * count);
    delete[] items;
    items = grown;
    capacity *= 2;
  }
  items[count++] = item;
}

int PtrArray::Remove(void* item) {
  for (int32_t i = 0; i < count; ++i) {
    if (items[i] == item) {
      std::memmove(&items[i], &items[i + 1], sizeof(void*) * (count - i - 1));
      items[--count] = nullptr;
      return 1;
    }
  }
  return 0;
}
