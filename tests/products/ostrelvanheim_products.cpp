#include "tests/products/ostrelvanheim_products.h"

#include "products/ostrelvanheim/product.h"

namespace rig {

const Generation kSecondGeneration = {
    .name = "Ostrelvanheim2",
    .column = 0,
    .product = &ostrelvanheim2::kProduct,
    .modes = &allModes,
    .uniqueId = fourCharCode('J', 'Y', 'O', 's'),
    .numParams = 42,
    .effectName = "JYX Ostrelvanheim2",
    .productString = "JYX Ostrelvanheim2 - analog saturation & compression emulator",
    .settingsStem = "Ostrelvanheim20",
    .bands = {{256, 512, 639}, {512, 1024, 1151}, {1024, 2048, 2175}},
    .ringStore = {24576, 1024, 16384, 18432, 20480, 22528},
    .fatName = " FAT ",
    .unnamed = {31, 41, 42, 57, -3},
    .withoutProperties = {4, 23, 30, 41},
    .spare = {35},
    .meaningless = {50},
    .otherGenerationsPreference = 49,
    .ownPublished = {},
    .goldenFolder = "data",
    .oversampledPath = true,
    .otherChannelWithoutGain = false,
    .narrowBandRanges = false,
};

const Generation kFirstGeneration = {
    .name = "Ostrelvanheim",
    .column = 1,
    .product = &ostrelvanheim::kProduct,
    .modes = &firstGenerationModes,
    .uniqueId = fourCharCode('J', 'y', 'O', 's'),
    .numParams = 48,
    .effectName = "JYX Ostrelvanheim",
    .productString = "JYX Ostrelvanheim - analog saturation & compression emulator",
    .settingsStem = "Ostrelvanheim10",
    .bands = {{64, 128, 127}, {128, 256, 255}, {256, 512, 511}},
    .ringStore = {6144, 256, 4096, 4608, 5120, 5632},
    .fatName = "-",
    // The spare host indices, then indices without a meaning or outside the table.
    .unnamed = {23, 24, 25, 26, 29, 30, 37, 38, 39, 40, 41, 42, 43,  44,
                45, 46, 47, -1, 48, 55, 56, 57, 60, 64, 65, 66, 1000},
    .withoutProperties = {4, 24, 25, 26, 27, 29, 30, 36, 47, 54, 65},
    .spare = {23, 26, 29, 30, 37, 40, 47},
    .meaningless = {48, 55, 60, 66, -1},
    .otherGenerationsPreference = 43,
    // The band releases of programs 7 to 12: at this product's scaling 1 and
    // 0 give the factors 4 and 0.25 that 0.75 and 0.25 give the second
    // generation.
    .ownPublished = {{7, 12, Meaning::kLowRel, 1}, {7, 12, Meaning::kHighRel, 0}},
    .goldenFolder = "data/ostrelvanheim",
    .oversampledPath = false,
    .otherChannelWithoutGain = true,
    .narrowBandRanges = true,
};

}  // namespace rig
