// The user-interface layer the editors are built on, in one include.
#pragma once

#include "ui/base.h"
#include "ui/bitmap.h"
#include "ui/buttons.h"
#include "ui/control.h"
#include "ui/draw_context.h"
#include "ui/file_selector.h"
#include "ui/font.h"
#include "ui/frame.h"
#include "ui/gui_editor.h"
#include "ui/knob.h"
#include "ui/option_menu.h"
#include "ui/param_display.h"
#include "ui/view.h"
