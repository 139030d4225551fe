// The checked-in skins are the generator's output: running it again writes
// the same files, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string bytesOf(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> pngsIn(const fs::path& folder) {
  std::set<std::string> names;
  if (fs::is_directory(folder))
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path().extension() == ".png") names.insert(e.path().filename().string());
  return names;
}

TEST(SkinGenerator, RegeneratingGivesTheCheckedInBytes) {
  fs::path out = fs::temp_directory_path() /
                 ("skingen-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  std::to_string(std::rand()));
  fs::remove_all(out);
  std::string command = std::string("\"") + JYX_SKINGEN + "\" --out \"" + out.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const char* folder : {"presets/skin", "products/ostrelvanheim2/skin", "products/ostrelvanheim/skin",
                             "products/tindravelle/skin", "tests/ui/demo/skin"}) {
    SCOPED_TRACE(folder);
    fs::path source = fs::path(JYX_SOURCE_DIR) / folder, fresh = out / folder;
    std::set<std::string> names = pngsIn(source);
    EXPECT_EQ(names, pngsIn(fresh));
    for (const std::string& name : names)
      EXPECT_TRUE(bytesOf(source / name) == bytesOf(fresh / name)) << name;
  }
  fs::remove_all(out);
}

}  // namespace
