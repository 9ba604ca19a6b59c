// The portable sine, cosine, atan2 and hypot: their special cases exactly, and on random
// arguments the C library's results but in the rare cases where the C library rounds wrongly
// (checked by hand with Python's decimal at 60 digits).
#include "geometry/portablemath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace zir {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double tiny = std::numeric_limits<double>::denorm_min();
constexpr double pi = std::numbers::pi;

// Equal bits, or both NaN whatever their payloads.
bool Same(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The distance in ulps, counting across zero as the number line does.
std::int64_t Ulps(double a, double b) {
    auto key = [](double d) {
        std::int64_t i;
        std::memcpy(&i, &d, sizeof d);
        return i < 0 ? std::numeric_limits<std::int64_t>::min() - i : i;
    };
    const std::int64_t ka = key(a), kb = key(b);
    return ka > kb ? ka - kb : kb - ka;
}

TEST(PortableMath, SpecialCasesAreExact) {
    const struct {
        const char* what;
        double got, want;
    } rows[] = {
        // clang-format off
        {"sin +0", Sin(0.0), 0.0}, {"sin -0", Sin(-0.0), -0.0}, {"sin inf", Sin(inf), nan},
        {"sin nan", Sin(nan), nan}, {"sin subnormal", Sin(-3 * tiny), -3 * tiny},
        {"sin small", Sin(0x1p-27), 0x1p-27}, {"sin pi", Sin(pi), 0x1.1a62633145c07p-53},
        {"sin -pi/2", Sin(-pi / 2), -1.0}, {"sin pi/6", Sin(pi / 6), 0x1.fffffffffffffp-2},
        {"cos +0", Cos(0.0), 1.0}, {"cos inf", Cos(-inf), nan}, {"cos nan", Cos(nan), nan},
        {"cos subnormal", Cos(tiny), 1.0}, {"cos pi/2", Cos(pi / 2), 0x1.1a62633145c07p-54},
        {"cos pi", Cos(-pi), -1.0}, {"cos pi/3", Cos(pi / 3), 0x1.0000000000001p-1},
        // C99's atan2 table: the zeros' signs choose the half plane, infinities the octants.
        {"atan2 +0 +0", Atan2(0.0, 0.0), 0.0}, {"atan2 -0 +0", Atan2(-0.0, 0.0), -0.0},
        {"atan2 +0 -0", Atan2(0.0, -0.0), pi}, {"atan2 -0 -0", Atan2(-0.0, -0.0), -pi},
        {"atan2 +0 -1", Atan2(0.0, -1.0), pi}, {"atan2 -0 -1", Atan2(-0.0, -1.0), -pi},
        {"atan2 -0 1", Atan2(-0.0, 1.0), -0.0}, {"atan2 1 -0", Atan2(1.0, -0.0), pi / 2},
        {"atan2 -1 +0", Atan2(-1.0, 0.0), -pi / 2}, {"atan2 1 -inf", Atan2(1.0, -inf), pi},
        {"atan2 -1 -inf", Atan2(-1.0, -inf), -pi}, {"atan2 -1 inf", Atan2(-1.0, inf), -0.0},
        {"atan2 inf 1", Atan2(inf, 1.0), pi / 2}, {"atan2 -inf -0", Atan2(-inf, -0.0), -pi / 2},
        {"atan2 inf inf", Atan2(inf, inf), pi / 4}, {"atan2 -inf inf", Atan2(-inf, inf), -pi / 4},
        {"atan2 inf -inf", Atan2(inf, -inf), 3 * pi / 4},
        {"atan2 -inf -inf", Atan2(-inf, -inf), -3 * pi / 4}, {"atan2 nan 1", Atan2(nan, 1.0), nan},
        {"atan2 inf nan", Atan2(inf, nan), nan}, {"atan2 1 1", Atan2(1.0, 1.0), pi / 4},
        {"atan2 1 -1", Atan2(1.0, -1.0), 3 * pi / 4},
        {"atan2 sqrt3 1", Atan2(std::sqrt(3.0), 1.0), 0x1.0c152382d7365p+0},
        {"atan2 subnormal", Atan2(-tiny, 1.0), -tiny},
        // 1.5 subnormal steps exactly: atan is a little less, so it rounds down, not to even.
        {"atan2 subnormal halfway", Atan2(-3 * tiny, 2.0), -tiny},
        {"atan2 subnormal halfway, even below", Atan2(5 * tiny, 2.0), 2 * tiny},
        {"atan2 subnormal halfway, huge", Atan2(0x1.8p-99, 0x1p975), tiny},
        {"atan2 subnormal not halfway", Atan2(7 * tiny, 4.0), 2 * tiny},
        {"atan2 far below", Atan2(1e-300, -1.0), pi},
        {"atan2 far above", Atan2(-1e300, 1e-300), -pi / 2},
        {"atan2 huge", Atan2(1e308, 1e308), pi / 4}, {"hypot 3 4", Hypot(3.0, 4.0), 5.0},
        {"hypot zeros", Hypot(-0.0, -0.0), 0.0}, {"hypot inf nan", Hypot(nan, -inf), inf},
        {"hypot nan 1", Hypot(1.0, nan), nan}, {"hypot far apart", Hypot(1.0, 1e-20), 1.0},
        {"hypot large", Hypot(1e308, -1e308), 0x1.92c80954c51f5p+1023},
        {"hypot overflow", Hypot(1.7e308, 1.7e308), inf},
        {"hypot small", Hypot(1e-200, 1e-200), 0x1.151f68876f410p-664},
        // Subnormal results round once, from the exact root to the subnormal grid.
        {"hypot subnormal 3 4", Hypot(3 * tiny, 4 * tiny), 5 * tiny},
        {"hypot subnormal sqrt2", Hypot(tiny, tiny), tiny},
        {"hypot subnormal 2sqrt2", Hypot(2 * tiny, 2 * tiny), 3 * tiny},
        {"hypot subnormal 1 0", Hypot(-tiny, 0.0), tiny},
        // clang-format on
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(Same(row.got, row.want)) << row.what << ": " << row.got << " want " << row.want;
    }
}

using Function = std::function<double(double, double)>;

// How a range draws its arguments: uniform in [low, high]; a random mantissa times 2^e with e
// uniform in [low, high]; up to three ulps above k pi/2, k up to 2^24, where reduction cancels
// most; a random sign and magnitude near 1 (the second argument then near the first one's
// magnitude, so that atan2 meets pi/4 and 3 pi/4).
enum class Draw { Uniform, Scaled, NearQuarterTurn, NearDiagonal };
struct Range {
    const char* what;
    Draw draw;
    double low, high;
};

double Random(const Range& range, std::mt19937_64& random) {
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto integer = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    switch (range.draw) {
        case Draw::Uniform:
            return uniform(range.low, range.high);
        case Draw::Scaled:
            return std::ldexp(uniform(-1, 1), integer(range.low, range.high));
        case Draw::NearQuarterTurn: {
            double x = integer(1, 1 << 24) * (pi / 2);
            for (int steps = integer(0, 3); steps > 0; --steps) x = std::nextafter(x, inf);
            return x;
        }
        default:
            return uniform(0.9, 1.1) * (integer(0, 1) ? 1 : -1);
    }
}

// Compares ours with the C library on every range: never more than an ulp apart, and
// different in at most `permille` of the cases.
void CompareWithLibrary(const char* name, const Function& ours, const Function& library,
                        const std::vector<Range>& ranges, int permille) {
    std::mt19937_64 random(20261207);
    int total = 0, different = 0;
    for (const Range& range : ranges) {
        for (int i = 0; i < 40000; ++i, ++total) {
            double a = Random(range, random), b = Random(range, random);
            if (range.draw == Draw::NearDiagonal) b *= std::fabs(a);
            const double got = ours(a, b), want = library(a, b);
            if (Same(got, want)) continue;
            ++different;
            ASSERT_LE(Ulps(got, want), 1) << name << " " << range.what << " at " << a << ", " << b;
        }
    }
    std::printf("%s: %d of %d differ from the C library\n", name, different, total);
    EXPECT_LE(different, total / 1000 * permille) << name;
}

TEST(PortableMath, SinAndCosAgreeWithTheLibrary) {
    const std::vector<Range> ranges = {{"angles", Draw::Uniform, -20, 20},
                                       {"small", Draw::Scaled, -40, 0},
                                       {"large", Draw::Scaled, 0, 28},
                                       {"near k pi/2", Draw::NearQuarterTurn, 0, 0}};
    CompareWithLibrary(
        "sin", [](double x, double) { return Sin(x); },
        [](double x, double) { return std::sin(x); }, ranges, 1);
    CompareWithLibrary(
        "cos", [](double x, double) { return Cos(x); },
        [](double x, double) { return std::cos(x); }, ranges, 1);
}

TEST(PortableMath, Atan2AgreesWithTheLibrary) {
    const std::vector<Range> ranges = {{"coordinates", Draw::Uniform, -2000, 2000},
                                       {"ratios", Draw::Scaled, -30, 30},
                                       {"wide", Draw::Scaled, -1074, 1023},
                                       {"near diagonals", Draw::NearDiagonal, 0, 0}};
    CompareWithLibrary(
        "atan2", [](double y, double x) { return Atan2(y, x); },
        [](double y, double x) { return std::atan2(y, x); }, ranges, 1);
}

// glibc's hypot rounds about one result in two hundred the wrong way (checked with Python's
// decimal at 60 digits), hence the wider allowance.
TEST(PortableMath, HypotAgreesWithTheLibrary) {
    const std::vector<Range> ranges = {{"pixels", Draw::Uniform, -3000, 3000},
                                       {"close exponents", Draw::Scaled, -20, 20},
                                       {"wide", Draw::Scaled, -1074, 1023},
                                       {"huge", Draw::Scaled, 990, 1023},
                                       {"subnormal", Draw::Scaled, -1074, -1000}};
    CompareWithLibrary(
        "hypot", [](double x, double y) { return Hypot(x, y); },
        [](double x, double y) { return std::hypot(x, y); }, ranges, 10);
}

}  // namespace
}  // namespace zir
