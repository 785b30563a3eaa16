// The program's list type: items kept in order while it grows, removal of the first equal entry only, and
// elements that outlive the list.
#include "gfx/ptr_array.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<void*> Items(const PtrArray& list) {
  std::vector<void*> items;
  for (int32_t i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

TEST(PtrArrayTest, KeepsOrderWhileGrowingAndRemovesOnlyTheFirstEqualEntry) {
  PtrArray list;
  int items[9], absent;
  std::vector<void*> expected;
  for (int i = 0; i < 10; ++i) {
    list.Append(&items[i % 9 + i / 9]);  // the tenth is the second again
    expected.push_back(&items[i % 9 + i / 9]);
  }
  EXPECT_EQ(Items(list), expected) << "in order after growing";
  EXPECT_EQ(list.Remove(&items[1]), 1);
  expected.erase(expected.begin() + 1);
  EXPECT_EQ(Items(list), expected) << "the gap closed, the second equal entry kept";
  EXPECT_EQ(list.Remove(&absent), 0);
  for (void* item : std::vector<void*>(expected.rbegin(), expected.rend())) EXPECT_EQ(list.Remove(item), 1);
  EXPECT_EQ(list.Count(), 0);
}

// Freed elements would be freed twice here (the address sanitizer build also sees any read after a free).
TEST(PtrArrayTest, ElementsOutliveTheList) {
  std::vector<std::unique_ptr<int>> owned;
  {
    PtrArray list;
    for (int i = 0; i < 3; ++i) list.Append(owned.emplace_back(std::make_unique<int>(i)).get());
    list.Remove(owned[1].get());
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(*owned[i], i);
}

}  // namespace
