// Where the level meters' scale lies in their images: the needle pivot
// (below the window), the radius of the scale arc and the needle's sweep.
// Tests use it to find the marks and the needle in the strips.
#pragma once

namespace skingen::geometry {

constexpr double kMeterPivotX = 68, kMeterPivotY = 152;
constexpr double kMeterScaleRadius = 120;
constexpr double kMeterSweep = 60;  // degrees from image 0 (left) to image 100 (right)

}  // namespace skingen::geometry
