#include "interp/objects.h"

#include <algorithm>

namespace zir {
namespace {

template <typename T>
T& Entry(std::vector<T>& table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return table.back();
    return table[static_cast<std::size_t>(index)];
}

}  // namespace

ObjectStore CreateObjectStore(const NameTable& names) {
    const int points = NameCount(names, TypePoint);
    const int lines = NameCount(names, TypeLine);
    const int circles = NameCount(names, TypeCircle);
    ObjectStore store;
    store.tables.points.assign(static_cast<std::size_t>(points) + 1, Point{});
    store.tables.lines.assign(static_cast<std::size_t>(lines) + 1, Line{});
    store.tables.circles.assign(static_cast<std::size_t>(circles) + 1, Circle{});
    store.flags.assign(static_cast<std::size_t>(std::max({points, lines, circles})) + 1, 0);
    return store;
}

Point& PointAt(ObjectStore& store, int index) {
    return Entry(store.tables.points, index);
}
Line& LineAt(ObjectStore& store, int index) {
    return Entry(store.tables.lines, index);
}
Circle& CircleAt(ObjectStore& store, int index) {
    return Entry(store.tables.circles, index);
}

void SetVisible(ObjectStore& store, int index, std::uint8_t bit, bool visible) {
    std::uint8_t& flags = Entry(store.flags, index);
    flags =
        visible ? static_cast<std::uint8_t>(flags | bit) : static_cast<std::uint8_t>(flags & ~bit);
}

bool IsVisible(const ObjectStore& store, int index, std::uint8_t bit) {
    if (index < 0 || static_cast<std::size_t>(index) >= store.flags.size()) return false;
    return (store.flags[static_cast<std::size_t>(index)] & bit) != 0;
}

}  // namespace zir
