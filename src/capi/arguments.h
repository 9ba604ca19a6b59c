// What the exported procedures read through a caller's pointers: a null pointer to a record
// counts as an undefined record, a null pointer to a number as 0. Only the adapters of this
// folder include the exported interface.
#pragma once

#include <cstdint>
#include <string_view>

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
inline std::string_view Text(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}
// Hands an input event back through an out pointer, when there is one.
inline void Give(std::int32_t* event, InputEvent value) {
    if (event) *event = static_cast<std::int32_t>(value);
}

}  // namespace zir::capi
