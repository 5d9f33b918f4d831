// The controls the windows and components stand on, over Qt Widgets: a base
// control with bounds, alignment, cursor and mouse events; a picture control
// that shows a bitmap; a bevelled panel; a scroll bar; a message timer; the
// application object with its error box; and the screen.
#pragma once

#include "toolkit/controls/Application.h"
#include "toolkit/controls/Control.h"
#include "toolkit/controls/Image.h"
#include "toolkit/controls/Panel.h"
#include "toolkit/controls/ScrollBar.h"
#include "toolkit/controls/Screen.h"
#include "toolkit/controls/Timer.h"
