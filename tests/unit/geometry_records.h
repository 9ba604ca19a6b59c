// Short ways to write and compare geometry records in tests.
#pragma once

#include <gtest/gtest.h>

#include <limits>
#include <string>

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

// Coordinates within the tolerance, every other field exactly.
inline void ExpectPoint(const Point& got, const Point& want, double tolerance = 1e-9) {
    EXPECT_NEAR(got.x, want.x, tolerance);
    EXPECT_NEAR(got.y, want.y, tolerance);
    EXPECT_EQ(got.colour, want.colour);
    EXPECT_EQ(got.size, want.size);
    EXPECT_EQ(got.shape, want.shape);
}

inline void ExpectLine(const Line& got, const Line& want, double tolerance = 1e-9) {
    EXPECT_NEAR(got.x, want.x, tolerance);
    EXPECT_NEAR(got.y, want.y, tolerance);
    EXPECT_NEAR(got.dx, want.dx, tolerance);
    EXPECT_NEAR(got.dy, want.dy, tolerance);
    EXPECT_EQ(got.colour, want.colour);
    EXPECT_EQ(got.style, want.style);
    EXPECT_EQ(got.width, want.width);
}

// Undefined results carry the marker in both coordinates and zero everywhere else; written
// out here, not taken from the kernel's own UndefinedPoint, so that a change there shows.
inline void ExpectUndefined(const Point& p) {
    ExpectPoint(p, Point{UndefinedMarker, UndefinedMarker, 0, 0, 0}, 0);
}
inline void ExpectUndefined(const Line& l) {
    ExpectLine(l, Line{UndefinedMarker, UndefinedMarker, 0, 0, 0, 0, 0}, 0);
}

// The records' bytes (they have no padding), so that whole records compare at once.
template <class... Records>
std::string Bytes(const Records&... records) {
    std::string bytes;
    (bytes.append(reinterpret_cast<const char*>(&records), sizeof records), ...);
    return bytes;
}

}  // namespace zir::test
