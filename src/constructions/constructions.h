// The named constructions behind the line, circle and arc statements: each computes its new
// object from the input objects, gives it the appearance the statement asked for, and draws
// it in the caller's drawing mode.
//
//   Fast     the object only, drawn into the buffer; nothing is shown and nobody waits.
//   Pace     the construction marks a teacher would draw first (compass arcs, a Thales
//            circle, the radius to a touching point, right-angle corners), then the object,
//            each stage shown at the area origin and followed by a pause of stepWait ms.
//   Slow     the steps animated with the drawing instruments: segments drawn by the pencil
//            along the ruler, circles, arcs and construction marks by the compass, right
//            angles and parallels with the set square, other angles with the protractor;
//            each followed by a pause of stepWait ms. The instruments are gone afterwards.
//   any other value (the engine uses Compute): the object is computed, nothing is drawn.
//
// Every procedure draws into the buffer and shows it by copying it whole onto the screen
// with its top-left corner at (originX, originY), the drawing area's origin.
//
// The event is set to 0 on entry and then holds the input that ended the last pause, or 0.
// Once an input has arrived the remaining pauses are skipped, but everything is still drawn
// and shown, and the object is always returned. An undefined input object gives the
// undefined result (and undefined out records) without drawing anything.
//
// Attribute operands of -1 take the run-time defaults (lineStyle, drawColour, lineWidth);
// angles are script units of 1/256 degree and lengths 16.16 fixed point. Auxiliary lines and
// compass arcs are drawn one pixel wide in the aid colour: auxColour, or the result's colour
// when auxColour is 0xFFFFFFFF.
//
// Each procedure is also exported under its ZIRS_MAKE... name.
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "geometry/kernel.h"
#include "runtime/pacing.h"

namespace zir {

// Style, colour and width of a new line, as the statement gave them (-1: the default).
struct LineOperands {
    std::int32_t style = -1;
    std::int32_t colour = -1;
    std::int32_t width = -1;
};

// Colour and width of a new circle or arc, and for a circle its start and end angles in
// 1/256 degree; a start of -1 asks for the whole circle.
struct CircleOperands {
    std::int32_t colour = -1;
    std::int32_t width = -1;
    std::int32_t start = -1;
    std::int32_t end = -1;
};

// The line through p1 and p2, drawn as the segment p1-p2.
Line ConstructLine(DrawTarget buffer, int originX, int originY, const Point& p1, const Point& p2,
                   const LineOperands& look, PaceMode mode, InputEvent& event);

// The line through p at the angle (1/256 degree) counter-clockwise from l; a right angle
// (90 or 270 degrees) gets its corner mark.
Line ConstructLinePolar(DrawTarget buffer, int originX, int originY, const Point& p, const Line& l,
                        std::int32_t angle, const LineOperands& look, PaceMode mode,
                        InputEvent& event);

// The segment of the given length (16.16) from p at the absolute angle; its end point is
// written into q (in p's appearance), also without drawing. The line's direction is q - p.
Line ConstructStartLine(DrawTarget buffer, int originX, int originY, const Point& p, Point& q,
                        std::int32_t angle, std::int32_t length, const LineOperands& look,
                        PaceMode mode, InputEvent& event);

// The circle about m through p.
Circle ConstructCircleThrough(DrawTarget buffer, int originX, int originY, const Point& m,
                              const Point& p, const CircleOperands& look, PaceMode mode,
                              InputEvent& event);

// The circle about m touching l; paced with the radius to the touching point and its right
// angle.
Circle ConstructCircleTangent(DrawTarget buffer, int originX, int originY, const Point& m,
                              const Line& l, const CircleOperands& look, PaceMode mode,
                              InputEvent& event);

// The arc about m through p with the angular width (1/256 degree), centred on p. Only the
// colour and width of the operands are used.
Circle ConstructArc(DrawTarget buffer, int originX, int originY, const Point& m, const Point& p,
                    std::int32_t angularWidth, const CircleOperands& look, PaceMode mode,
                    InputEvent& event);

// The arc of the radius (16.16) about the crossing of l1 and l2, counter-clockwise from l1's
// direction to l2's. Only the colour and width of the operands are used.
Circle ConstructArcLines(DrawTarget buffer, int originX, int originY, const Line& l1,
                         const Line& l2, std::int32_t radius, const CircleOperands& look,
                         PaceMode mode, InputEvent& event);

// The perpendicular bisector of a and b, paced with its four compass arcs. A colour of -1
// means auxColour here: the bisector is an auxiliary line unless asked otherwise.
Line ConstructMidLine(DrawTarget buffer, int originX, int originY, const Point& a, const Point& b,
                      const LineOperands& look, PaceMode mode, InputEvent& event);

// The bisector of the counter-clockwise angle from l1 to l2, pointing into that angle; paced
// with its four compass arcs.
Line ConstructBisector(DrawTarget buffer, int originX, int originY, const Line& l1, const Line& l2,
                       const LineOperands& look, PaceMode mode, InputEvent& event);

// The tangents from p to c, paced with the Thales circle. Returns t1, the one touching on
// the left of the direction from c's centre to p as seen on the screen, and writes t2, the
// one on the right. With p on the circle t2 is the tangent at p and t1 is undefined; with p
// inside both are undefined. Undefined results still carry the resolved attributes.
Line ConstructTangent(DrawTarget buffer, int originX, int originY, const Point& p, const Circle& c,
                      Line& t2, const LineOperands& look, PaceMode mode, InputEvent& event);

}  // namespace zir
