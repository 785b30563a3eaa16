// The program's list type: growth by doubling, removal of the first equal entry, and elements that outlive
// the list.
#include "gfx/ptr_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<void*> Items(const PtrArray& list) {
  std::vector<void*> items;
  for (int32_t i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

TEST(PtrArrayTest, StartsWithOneSlotAndDoublesWhenFull) {
  PtrArray list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 1);
  int items[9];
  std::vector<void*> expected;
  const int32_t expectedCapacity[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
  for (int i = 0; i < 9; ++i) {
    list.Append(&items[i]);
    expected.push_back(&items[i]);
    EXPECT_EQ(list.Capacity(), expectedCapacity[i]) << "after " << i + 1 << " items";
    EXPECT_EQ(Items(list), expected) << "items kept in order while growing";
  }
}

TEST(PtrArrayTest, RemovesOnlyTheFirstEqualEntryAndClosesTheGap) {
  PtrArray list;
  int a, b, c, absent;
  for (void* item : std::vector<void*>{&a, &b, &c, &b}) list.Append(item);
  EXPECT_EQ(list.Remove(&b), 1);
  EXPECT_EQ(Items(list), (std::vector<void*>{&a, &c, &b})) << "the second b stays";
  EXPECT_EQ(list.Remove(&absent), 0);
  EXPECT_EQ(Items(list), (std::vector<void*>{&a, &c, &b}));
  for (void* item : std::vector<void*>{&b, &a, &c}) EXPECT_EQ(list.Remove(item), 1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 4) << "removing never shrinks";
}

// Neither Remove nor the list's end may destroy an element (the address sanitizer build also catches a free).
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
}

}  // namespace
