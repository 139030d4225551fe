// The editor of an Ostrelvanheim product on an offscreen frame, with the real
// effect and the product's real skin. The tests speak of parameters by their
// meaning and of the editor's own controls by their kind; each test program
// links one product's skin and instantiates the tests for that product
// (ostrelvanheim2_editor_case.cpp, ostrelvanheim_editor_case.cpp).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/products/editor_test_fixture.h"

namespace editortest {

// What differs between the products' windows besides their tables.
struct EditorProduct {
  const char* name;
  const OstrelvanheimProduct* product;
  // The delay readouts after open at 44.1 kHz.
  const char* delayMs;
  const char* delaySamples;
  // The tags of the editor's own controls.
  struct {
    std::int32_t counter, frontPageSwitch, backPageSwitch, leftLamp, rightLamp, delayClick, channelMode,
        valueField;
  } tags;
  // Every tag the controls of both pages carry, written out from the
  // product's numbering (not derived from its index map).
  std::vector<std::int32_t> controlTags;
  // The Process button's picture, and whether there is an oversampling switch.
  std::int32_t processBitmap;
  bool oversamplingSwitch;
};

// Test names show the product.
inline void PrintTo(const EditorProduct& p, std::ostream* os) { *os << p.name; }

class OstrelvanheimEditorTest : public EditorTest<Ostrelvanheim>,
                                public ::testing::WithParamInterface<EditorProduct> {
 protected:
  std::unique_ptr<Ostrelvanheim> makeEffect() override {
    return std::make_unique<Ostrelvanheim>(&host, *GetParam().product);
  }
  const OstrelvanheimEditorTraits& traits() const override { return *GetParam().product->editor; }

  const EditorProduct& product() const { return GetParam(); }
  // The product's index of a meaning.
  VstInt32 index(VstInt32 meaning) const { return GetParam().product->parameters.indexOf(meaning); }
  const EditorControl* rowOfMeaning(VstInt32 meaning) const { return rowOf(index(meaning)); }
};

}  // namespace editortest
