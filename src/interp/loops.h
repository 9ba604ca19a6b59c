// The subroutines that run their body over and over: an INTERACTION, whose clickable points
// the viewer drags while the body follows them on every pass, and an ANIMATION, which moves
// points and circles by fixed steps from frame to frame and may leave a trace of points.
// CLICKABLE, STEP and TRACE are declarations: they are read once when the subroutine starts.
#pragma once

#include "interp/callframe.h"

namespace zir {

// How far from a point, in x and in y, a click still grabs it (exclusive).
inline constexpr double PickTolerance = 7.0;

// Reads the body's declarations into the frame's lists. An INTERACTION then waits until no
// mouse button is pressed, so the click that called it cannot grab a point. Both take the
// restart snapshot again.
void PrescanLoop(CallFrame& frame);

// The declarations alone, read afresh: a restart begins with nothing grabbed, no trace and
// every radius step with its declared sign.
void ReadLoopDeclarations(CallFrame& frame);

// Runs before every pass of an INTERACTION or ANIMATION body: waits for the viewer's drag or
// the next frame, moves what moves, and leaves in the buffer the drawing the body starts on.
// Next runs the body; Restart and Return are the viewer's Wiederholen and Beenden.
Flow BeginLoopPass(CallFrame& frame);

// Where point p goes when the viewer drags it along its path to the mouse at (x, y): the
// foot of the perpendicular on a line, the point of a circle towards the mouse. Undefined
// when there is no such point.
Point PointOnPath(const Point& p, PathKind path, const Line& line, const Circle& circle, double x,
                  double y);

}  // namespace zir
