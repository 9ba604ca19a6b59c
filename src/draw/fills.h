// Filled triangles, circles and sectors, and rectangles, blended over what is drawn.
//
// A fill draws the shape's outline in the fill colour into a temporary transparent image,
// flood-fills the inside from a seed point and blits the image onto the target with the
// constant opacity alpha (0 invisible to 255 opaque), so that only the shape's pixels,
// outline included, change. Nothing outside the shape is ever filled: a seed that could lie
// beyond the drawn outline is replaced by one well inside the shape's visible part, and
// where there is none only the outline is drawn. A shape larger than the target is cut to
// the target first. Every procedure returns 0, or UndefinedResult when a record it needs is
// undefined (then nothing is drawn).
#pragma once

#include <cstdint>

#include "draw/raster.h"
#include "geometry/kernel.h"

namespace zir {

// An alpha of -1 stands for 255 and is replaced by it in the caller's variable. A triangle
// wider or higher than the target is filled on a target-sized image, seeded from how it
// meets the target.
std::int32_t FillTriangle(DrawTarget target, const Point& a, const Point& b, const Point& c,
                          Colour colour, std::int32_t& alpha);
// A disc when start and end are both 0, else the sector from start counter-clockwise to
// end; a negative angle of the record is brought into [0, 2 pi) there as well.
std::int32_t FillCircle(DrawTarget target, Circle& circle, Colour colour, std::int32_t alpha);
// The rectangle of the given height erected on the side ab, as DrawRect draws it.
std::int32_t FillRect(DrawTarget target, const Point& a, const Point& b, double height,
                      Colour colour, std::int32_t alpha);

}  // namespace zir
