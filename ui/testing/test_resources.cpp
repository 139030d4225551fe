#include "ui/testing/test_resources.h"

#include "ui/resources.h"

namespace jyxui {
namespace {
std::vector<testkit::TestImage> gImages;
std::vector<EmbeddedResource> gEntries;
ResourceTable gTable{nullptr, 0};
}  // namespace

const ResourceTable& moduleResources() { return gTable; }

namespace testkit {

void installResources(std::vector<TestImage> images) {
  gImages = std::move(images);
  gEntries.clear();
  for (const TestImage& image : gImages)
    gEntries.push_back({image.number, image.name.empty() ? nullptr : image.name.c_str(), image.png.data(),
                        image.png.size()});
  gTable = {gEntries.data(), gEntries.size()};
}

void clearResources() { installResources({}); }

}  // namespace testkit
}  // namespace jyxui
