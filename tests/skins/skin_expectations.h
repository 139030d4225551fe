// The images each skin must carry: number (or name), size and image layout,
// as the editors load them.
#pragma once

#include <vector>

#include "skin_checks.h"

namespace skintest {

// The preset strip of every editor: normal, pointer over, pressed (the rocker:
// normal, over its left or right half, left or right half pressed).
inline std::vector<Expected> presetStripImages() {
  return {{19997, nullptr, 31, 70, 5}, {19993, nullptr, 12, 42, 3}, {19994, nullptr, 12, 42, 3},
          {19990, nullptr, 37, 30, 3}, {19998, nullptr, 12, 42, 3}, {19999, nullptr, 12, 42, 3},
          {19899, nullptr, 47, 30, 3}, {19995, nullptr, 12, 42, 3}, {19991, nullptr, 12, 42, 3},
          {19996, nullptr, 12, 42, 3}, {19992, nullptr, 12, 42, 3}};
}

// JYX Ostrelvanheim2, without the preset strip.
inline std::vector<Expected> ostrelvanheim2Images() {
  return {{19000, nullptr, 450, 460, 1},    {19002, nullptr, 450, 445, 1},
          {19003, nullptr, 136, 7070, 101}, {19004, nullptr, 136, 7070, 101},
          {19005, nullptr, 40, 150, 3},     {19006, nullptr, 40, 100, 2},
          {19008, nullptr, 60, 5050, 101},  {19009, nullptr, 1243, 930, 101, 11},
          {19010, nullptr, 60, 5656, 101},  {19012, nullptr, 60, 5656, 101},
          {19013, nullptr, 60, 5050, 101},  {19014, nullptr, 36, 80, 2},
          {19015, nullptr, 36, 80, 2},      {19016, nullptr, 51, 192, 4},
          {19017, nullptr, 38, 80, 2},      {19021, nullptr, 9, 306, 18},
          {19024, nullptr, 60, 5656, 101},  {19026, nullptr, 21, 126, 6},
          {19032, nullptr, 30, 1530, 51},   {19033, nullptr, 15, 58, 2},
          {19034, nullptr, 38, 80, 2},      {19035, nullptr, 25, 50, 2},
          {19036, nullptr, 25, 50, 2},      {19037, nullptr, 25, 50, 2}};
}

inline std::vector<Expected> with(std::vector<Expected> a, const std::vector<Expected>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace skintest
