// What the exported procedures read through a caller's pointers: a null pointer to a record
// counts as an undefined record, a null pointer to a number as 0. Only the adapters of this
// folder include the exported interface.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "geometry/kernel.h"
#include "runtime/pacing.h"
#include "zirkula.h"

namespace zir::capi {

inline Point RecordAt(const Point* p) {
    return p ? *p : UndefinedPoint();
}
inline Line RecordAt(const Line* l) {
    return l ? *l : UndefinedLine();
}
inline Circle RecordAt(const Circle* c) {
    return c ? *c : UndefinedCircle();
}
inline Equation RecordAt(const Equation* e) {
    return e ? *e : UndefinedEquation();
}
inline double NumberAt(const double* n) {
    return n ? *n : 0.0;
}
inline std::int32_t NumberAt(const std::int32_t* n) {
    return n ? *n : 0;
}
inline std::uint32_t NumberAt(const std::uint32_t* n) {
    return n ? *n : 0;
}
// A colour through a caller's pointer, black for a null pointer.
inline Colour ColourAt(const std::uint32_t* colour) {
    return Colour{NumberAt(colour)};
}
inline Colour ColourAt(const std::int32_t* colour) {
    return Colour{NumberAt(colour)};
}
inline std::string_view Text(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}
// Hands an input event back through an out pointer, when there is one.
inline void Give(std::int32_t* event, InputEvent value) {
    if (event) *event = static_cast<std::int32_t>(value);
}

// Puts the values into a caller's list (ZirIntList, ZirByteList), resizing its storage with
// realloc where the count changed. When memory runs out the list keeps as many values as fit
// in what it had, and the result is false.
template <class T, class List>
bool CopyInto(const std::vector<T>& values, List* list) {
    if (!list) return false;
    auto count = static_cast<std::int32_t>(values.size());
    bool complete = true;
    if (count != list->count || !list->items) {
        void* grown =
            std::realloc(list->items, std::max<std::size_t>(values.size(), 1) * sizeof(T));
        if (grown) {
            list->items = static_cast<decltype(list->items)>(grown);
        } else {
            count = list->items ? std::min(count, list->count) : 0;
            complete = false;
        }
    }
    if (count > 0)
        std::memcpy(list->items, values.data(), static_cast<std::size_t>(count) * sizeof(T));
    list->count = count;
    return complete;
}

}  // namespace zir::capi
