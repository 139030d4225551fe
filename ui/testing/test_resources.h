// Test support: the resource table of test programs, filled at run time.
// A program linking jyx_ui_test_resources gets this table as its
// moduleResources(); the images stay until the next install.
#pragma once

#include <string>
#include <vector>

namespace jyxui::testkit {

struct TestImage {
  int number = 0;    // 0: known by name only
  std::string name;  // empty: known by number only
  std::vector<unsigned char> png;
};

void installResources(std::vector<TestImage> images);
void clearResources();

}  // namespace jyxui::testkit
