// The display statements: the screen and its drawing area, the text window and its texts,
// the window title and clearing the drawing. The screen is the drawing area at its top-left
// corner, the control bar along its bottom 20 rows, and whatever the area leaves free, where
// scripts put their text window.
#pragma once

#include "interp/callframe.h"

namespace zir {

inline constexpr int DefaultScreenWidth = 640;
inline constexpr int DefaultScreenHeight = 480;
// The largest screen side the program opens: the raster layer could go further, but every
// running invocation keeps copies of the drawing, and they must fit in memory.
inline constexpr int MaxScreenSide = 2048;

// Opens the default screen (640 x 480 in backgroundColour) if no screen is open yet.
void EnsureScreen(CallFrame& frame);

// Opens (or re-opens) a screen of that size filled with the colour: a new drawing buffer of
// the area above the control bar, the restart snapshot, the logo, the control bar. Sizes are
// kept between one pixel of drawing area and MaxScreenSide.
void OpenScreen(CallFrame& frame, int width, int height, Colour fill);

// CLS (65), SCREEN (66), WINDOW (67), TEXTWINDOW (68), TEXT (72), TITLE (73).
Flow ExecuteDisplayStatement(CallFrame& frame, const Instruction& instruction);

}  // namespace zir
