// The program's list type: items kept in order while it grows, and removal of the first equal entry only.
#include "gfx/ptr_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PtrArrayTest, KeepsOrderWhileGrowingAndRemovesOnlyTheFirstEqualEntry) {
  PtrArray list;
  int items[9], absent;
  std::vector<void*> expected;
  for (int i = 0; i < 10; ++i) expected.push_back(&items[i % 9 + i / 9]);  // the tenth is the second again
  for (void* item : expected) list.Append(item);
  EXPECT_EQ(list.Remove(&items[1]), 1);
  EXPECT_EQ(list.Remove(&absent), 0);
  expected.erase(expected.begin() + 1);
  std::vector<void*> actual;
  for (int32_t i = 0; i < list.Count(); ++i) actual.push_back(list.Get(i));
  EXPECT_EQ(actual, expected) << "in order, the gap closed, the second equal entry kept";
}

}  // namespace
