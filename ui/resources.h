// The skin images a plug-in carries inside its own library: PNG bytes found by
// resource number, or by file name for the few images an editor loads by name.
// Every plug-in, and every test program that opens an editor, links exactly one
// table, generated at build time from its skin folders.
#pragma once

#include <cstddef>

namespace jyxui {

struct EmbeddedResource {
  int number;        // 0 for an image known only by its name
  const char* name;  // nullptr for an image known only by its number
  const unsigned char* bytes;
  std::size_t size;
};

struct ResourceTable {
  const EmbeddedResource* entries;
  std::size_t count;
};

// The table of the module being built.
const ResourceTable& moduleResources();

}  // namespace jyxui
