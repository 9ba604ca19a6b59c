// The object store of a run: the point, line and circle tables and one flag byte per index
// saying which of that index's objects are visible. All invocations of the engine share it.
#pragma once

#include <cstdint>
#include <vector>

#include "frontend/symbols.h"
#include "geometry/kernel.h"

namespace zir {

// Flag bits: the object of that kind and index is visible.
inline constexpr std::uint8_t VisiblePoint = 1;
inline constexpr std::uint8_t VisibleLine = 2;
inline constexpr std::uint8_t VisibleCircle = 4;

// The three tables; a restart puts back a copy of them.
struct ObjectTables {
    std::vector<Point> points;
    std::vector<Line> lines;
    std::vector<Circle> circles;
};

struct ObjectStore {
    ObjectTables tables;
    std::vector<std::uint8_t> flags;
};

// Zero-filled tables with one entry per name of each kind and one spare entry, and flag bytes
// for every index up to the largest of the three counts.
ObjectStore CreateObjectStore(const NameTable& names);

// The entry of an index. The compiler only writes indexes inside the tables; an index
// outside them reaches the spare last entry instead of memory beyond the table.
Point& PointAt(ObjectStore& store, int index);
Line& LineAt(ObjectStore& store, int index);
Circle& CircleAt(ObjectStore& store, int index);

// Sets or clears one visibility bit of an index, leaving the bits of the other kinds.
void SetVisible(ObjectStore& store, int index, std::uint8_t bit, bool visible);
bool IsVisible(const ObjectStore& store, int index, std::uint8_t bit);

}  // namespace zir
