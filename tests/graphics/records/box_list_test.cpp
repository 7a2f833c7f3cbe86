#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/records/IBoxList.h"

using plugkit::canvas::IBox;
using plugkit::canvas::IBoxList;

namespace {

// Samples the plane at the centres of a quarter-pixel grid, fine enough for
// every coordinate used below (all multiples of 0.25).
constexpr float kStep = 0.25f;
constexpr float kLo = -12.0f;
constexpr float kHi = 48.0f;

std::vector<int> CoverCounts(const std::vector<IBox>& boxes) {
  std::vector<int> counts;
  for (float y = kLo + kStep / 2; y < kHi; y += kStep)
    for (float x = kLo + kStep / 2; x < kHi; x += kStep) {
      int n = 0;
      for (const IBox& b : boxes) n += b.Contains(x, y) ? 1 : 0;
      counts.push_back(n);
    }
  return counts;
}

std::vector<IBox> Contents(const IBoxList& list) { return std::vector<IBox>(list.begin(), list.end()); }

std::string Describe(const std::vector<IBox>& boxes) {
  std::string s;
  for (const IBox& b : boxes)
    s += "{" + std::to_string(b.Left) + "," + std::to_string(b.Top) + "," + std::to_string(b.Right) + "," +
         std::to_string(b.Bottom) + "} ";
  return s;
}

// Optimises boxes and checks that every sampled point covered before is
// covered exactly once afterwards, and that nothing new is covered.
void ExpectSameAreaWithoutOverlap(const std::vector<IBox>& boxes) {
  IBoxList list;
  for (const IBox& b : boxes) ASSERT_TRUE(list.Add(b));
  list.Optimise();
  const std::vector<IBox> after = Contents(list);
  SCOPED_TRACE("before: " + Describe(boxes) + " after: " + Describe(after));

  const std::vector<int> before = CoverCounts(boxes);
  const std::vector<int> now = CoverCounts(after);
  ASSERT_EQ(before.size(), now.size());
  int lost = 0, added = 0, doubled = 0;
  for (size_t k = 0; k < before.size(); ++k) {
    if (before[k] > 0 && now[k] == 0) ++lost;
    if (before[k] == 0 && now[k] > 0) ++added;
    if (now[k] > 1) ++doubled;
  }
  EXPECT_EQ(lost, 0) << "sample points no longer covered";
  EXPECT_EQ(added, 0) << "sample points newly covered";
  EXPECT_EQ(doubled, 0) << "sample points covered twice";
  for (const IBox& b : after) EXPECT_FALSE(b.IsEmpty());
}

struct SetCase {
  const char* name;
  std::vector<IBox> boxes;
};

} // namespace

TEST(IBoxList, OptimiseKeepsAreaAndRemovesOverlapForTypicalSets) {
  const SetCase cases[] = {
      {"crossing plus", {{10, 10, 20, 20}, {5, 13, 25, 16}}},
      {"crossing plus, other order", {{5, 13, 25, 16}, {10, 10, 20, 20}}},
      {"vertical bar through a wide box", {{5, 10, 25, 20}, {12, 5, 16, 25}}},
      {"vertical bar through a wide box, other order", {{12, 5, 16, 25}, {5, 10, 25, 20}}},
      {"corner overlap", {{0, 0, 10, 10}, {5, 5, 20, 20}}},
      {"corner overlap, upper right", {{0, 5, 10, 15}, {5, 0, 20, 10}}},
      {"corner overlap, equal areas", {{0, 0, 10, 10}, {5, 5, 15, 15}}},
      {"contained", {{0, 0, 10, 10}, {2, 2, 5, 5}}},
      {"containing", {{2, 2, 5, 5}, {0, 0, 10, 10}}},
      {"identical", {{0, 0, 10, 10}, {0, 0, 10, 10}}},
      {"adjacent side by side", {{0, 0, 10, 10}, {10, 0, 20, 10}}},
      {"adjacent stacked", {{0, 0, 10, 10}, {0, 10, 10, 20}}},
      {"adjacent offset", {{0, 0, 10, 10}, {10, 5, 20, 20}}},
      {"touching at a corner only", {{0, 0, 10, 10}, {10, 10, 20, 20}}},
      {"overlapping side by side", {{0, 0, 10, 10}, {5, 0, 15, 10}}},
      {"bite out of an edge", {{0, 0, 20, 20}, {5, -5, 10, 8}}},
      {"bar through the middle, same height", {{0, 0, 30, 10}, {10, 0, 20, 10}, {12, 0, 14, 10}}},
      {"disjoint", {{0, 0, 4, 4}, {10, 10, 14, 14}}},
      {"empty boxes among others", {{}, {0, 0, 10, 10}, {}, {5, 5, 15, 15}}},
      {"three crossing bars", {{0, 10, 30, 14}, {10, 0, 14, 30}, {5, 5, 25, 25}}},
      {"grid of bars", {{0, 4, 40, 6}, {0, 14, 40, 16}, {4, 0, 6, 40}, {14, 0, 16, 40}, {24, 0, 26, 40}}},
      {"dirty boxes grown by 0.75 and snapped",
       {{9.25f, 9.25f, 30.75f, 20.75f}, {19.25f, 14.25f, 40.75f, 35.75f}, {-0.75f, -0.75f, 10.75f, 10.75f}}},
      {"nested chain", {{0, 0, 40, 40}, {5, 5, 35, 35}, {10, 10, 30, 30}, {0, 0, 40, 40}}},
  };
  for (const SetCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSameAreaWithoutOverlap(c.boxes);
  }
}

TEST(IBoxList, OptimiseKeepsAreaForRandomSets) {
  uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  };
  for (int trial = 0; trial < 400; ++trial) {
    std::vector<IBox> boxes;
    const int n = 2 + next(8);
    for (int k = 0; k < n; ++k) {
      const float l = static_cast<float>(next(120)) * 0.25f;
      const float t = static_cast<float>(next(120)) * 0.25f;
      const float w = 0.25f + static_cast<float>(next(60)) * 0.25f;
      const float h = 0.25f + static_cast<float>(next(60)) * 0.25f;
      boxes.push_back(next(10) == 0 && !boxes.empty() ? boxes[static_cast<size_t>(next(static_cast<int>(boxes.size())))]
                                                      : IBox(l, t, l + w, t + h));
    }
    SCOPED_TRACE("trial " + std::to_string(trial));
    ExpectSameAreaWithoutOverlap(boxes);
    if (HasFailure()) break;
  }
}

TEST(IBoxList, OptimiseGivesTheDocumentedLists) {
  struct Case {
    const char* name;
    std::vector<IBox> in, out;
  };
  const Case cases[] = {
      {"inner box dropped", {{0, 0, 10, 10}, {2, 2, 5, 5}}, {{0, 0, 10, 10}}},
      {"duplicate dropped", {{0, 0, 10, 10}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
      {"trim then merge", {{0, 0, 10, 10}, {5, 0, 15, 10}}, {{0, 0, 15, 10}}},
      {"smaller box split around the corner",
       {{0, 0, 10, 10}, {5, 5, 20, 20}},
       {{0, 5, 5, 10}, {5, 5, 20, 20}, {0, 0, 10, 5}}},
      {"crossed box keeps both sides",
       {{10, 10, 20, 20}, {5, 13, 25, 16}},
       {{10, 10, 20, 13}, {5, 13, 25, 16}, {10, 16, 20, 20}}},
      {"empty boxes vanish", {{}, {1, 1, 2, 2}, {}}, {{1, 1, 2, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IBoxList list;
    for (const IBox& b : c.in) list.Add(b);
    list.Optimise();
    EXPECT_EQ(Contents(list), c.out) << Describe(Contents(list));
  }
}

TEST(IBoxList, AddGetRemove) {
  IBoxList list;
  EXPECT_EQ(list.Count(), 0);
  list.Optimise();  // nothing to do, nothing to break
  EXPECT_EQ(list.Count(), 0);
  for (int k = 0; k < 40; ++k) ASSERT_TRUE(list.Add(IBox(float(k), 0, float(k + 1), 1)));
  EXPECT_EQ(list.Count(), 40);
  EXPECT_TRUE(list.Remove(0));
  EXPECT_TRUE(list.Remove(38));
  EXPECT_FALSE(list.Remove(38));
  EXPECT_FALSE(list.Remove(-1));
  EXPECT_EQ(list.Count(), 38);
  EXPECT_EQ(list.Get(0), IBox(1, 0, 2, 1));
  EXPECT_EQ(list.Get(37), IBox(38, 0, 39, 1));
  EXPECT_EQ(list.Get(38), IBox());
  EXPECT_FALSE(list.Set(38, IBox(1, 1, 2, 2)));
  // A row of adjacent unit boxes merges into one strip.
  list.Optimise();
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Get(0), IBox(1, 0, 39, 1));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}
