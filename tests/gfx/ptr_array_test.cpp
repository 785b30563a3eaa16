// The program's list type: growth by doubling, removal of the first equal
// entry, and elements that outlive the list.
#include "gfx/ptr_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PtrArrayTest, StartsWithOneSlotAndDoublesWhenFull) {
  PtrArray list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 1);
  int items[9];
  const int32_t expectedCapacity[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
  for (int i = 0; i < 9; ++i) {
    list.Append(&items[i]);
    EXPECT_EQ(list.Count(), i + 1);
    EXPECT_EQ(list.Capacity(), expectedCapacity[i]) << "after " << i + 1 << " items";
  }
  for (int i = 0; i < 9; ++i) EXPECT_EQ(list.Get(i), &items[i]) << "item " << i << " moved in growing";
}

TEST(PtrArrayTest, RemovesOnlyTheFirstEqualEntryAndClosesTheGap) {
  PtrArray list;
  int a, b, c;
  for (void* item : {static_cast<void*>(&a), static_cast<void*>(&b), static_cast<void*>(&c),
                     static_cast<void*>(&b)})
    list.Append(item);
  EXPECT_EQ(list.Remove(&b), 1);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Get(0), &a);
  EXPECT_EQ(list.Get(1), &c);
  EXPECT_EQ(list.Get(2), &b) << "the second b stays";
  int absent;
  EXPECT_EQ(list.Remove(&absent), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Remove(&b), 1);
  EXPECT_EQ(list.Remove(&a), 1);
  EXPECT_EQ(list.Remove(&c), 1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 4) << "removing never shrinks";
}

// Each element counts its own destruction: neither Remove nor the list's end
// may destroy one (run under the address sanitizer this also catches a free).
struct Tracked {
  static int destroyed;
  int value = 7;
  ~Tracked() { ++destroyed; }
};
int Tracked::destroyed = 0;

TEST(PtrArrayTest, NeverDestroysItsElements) {
  std::vector<Tracked*> owned = {new Tracked, new Tracked, new Tracked};
  {
    PtrArray list;
    for (Tracked* item : owned) list.Append(item);
    list.Remove(owned[1]);
  }
  EXPECT_EQ(Tracked::destroyed, 0);
  for (Tracked* item : owned) EXPECT_EQ(item->value, 7);
  for (Tracked* item : owned) delete item;
  EXPECT_EQ(Tracked::destroyed, 3);
}

}  // namespace
