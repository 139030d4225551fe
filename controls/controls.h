// The editors' own controls, readout converters, editor layer and frame, in
// one include.
//
// Thread contract: the controls belong to the editor window's thread, as the
// frame that holds them; the converters are pure and run anywhere.
#pragma once

#include "controls/editor_layer.h"
#include "controls/knobs.h"
#include "controls/meters.h"
#include "controls/needle_meter.h"
#include "controls/switches.h"
#include "controls/text_controls.h"
#include "controls/value_converters.h"
