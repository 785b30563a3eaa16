// The program's one list type: a growable array of element pointers.
// A list starts with room for one item and doubles when full. It never destroys
// its elements: whoever put them in owns them.
#pragma once

#include <cstdint>

class PtrArray {
 public:
  PtrArray();
  ~PtrArray();
  PtrArray(const PtrArray&) = delete;
  PtrArray& operator=(const PtrArray&) = delete;

  void Append(void* item);
  // Takes out the first entry equal to item and closes the gap; 1 if found.
  int Remove(void* item);
  // index must be below Count().
  void* Get(int32_t index) const { return items[index]; }
  int32_t Count() const { return count; }
  int32_t Capacity() const { return capacity; }

  template <typename T>
  T* At(int32_t index) const {
    return static_cast<T*>(items[index]);
  }

 private:
  void** items;
  int32_t count;
  int32_t capacity;
};
