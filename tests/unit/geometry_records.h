// Short ways to write and compare geometry records in tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry/kernel.h"

namespace zir::test {

inline constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

inline Point P(double x, double y, std::uint32_t colour = 0x123456, std::int16_t size = 7,
               std::int16_t shape = 3) {
    return Point{x, y, colour, size, shape};
}

inline Line L(double x, double y, double dx, double dy, std::uint32_t colour = 0xABCDEF,
              std::uint16_t style = 0xF0F0, std::int16_t width = 4) {
    return Line{x, y, dx, dy, colour, style, width};
}

inline Circle C(double cx, double cy, double r, std::uint32_t colour = 0x00AA00,
                std::int32_t width = 2) {
    return Circle{cx, cy, r, 0, 0, colour, width};
}

inline const Point Undef = P(UndefinedMarker, 1, 0x111111, 5, 5);
inline const Line UndefLine = L(UndefinedMarker, 1, 1, 1);
// Inputs whose values would poison any computation that read them.
inline const Point NanPoint = P(Nan, Nan);
inline const Line NanLine = L(Nan, Nan, Nan, Nan);

// Every field of records and numbers in one list, so that one table holds results of any
// kind and compares them field by field.
using Fields = std::vector<double>;
inline void Append(Fields& f, double v) {
    f.push_back(v);
}
inline void Append(Fields& f, const Fields& more) {
    for (double v : more) f.push_back(v);
}
inline void Append(Fields& f, const Point& p) {
    for (double v : {p.x, p.y, double(p.colour), double(p.size), double(p.shape)}) f.push_back(v);
}
inline void Append(Fields& f, const Line& l) {
    for (double v : {l.x, l.y, l.dx, l.dy, double(l.colour), double(l.style), double(l.width)})
        f.push_back(v);
}
inline void Append(Fields& f, const Circle& c) {
    for (double v : {c.cx, c.cy, c.r, c.start, c.end, double(c.colour), double(c.width)})
        f.push_back(v);
}
template <class... Values>
Fields F(const Values&... values) {
    Fields f;
    (Append(f, values), ...);
    return f;
}
inline void ExpectFields(const Fields& got, const Fields& want, const std::string& what = "") {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t k = 0; k < got.size(); ++k) {
        EXPECT_NEAR(got[k], want[k], 1e-9) << what << ", field " << k;
    }
}

}  // namespace zir::test
