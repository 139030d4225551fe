// JYX Ostrelvanheim's description for the shared effect class.
#pragma once

#include "products/ostrelvanheim2/product.h"

namespace ostrelvanheim {
extern const OstrelvanheimProduct kProduct;
}
