#include "geometry/portablemath.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

// Every constant below was computed with Python's decimal module at 60 digits and split into
// the nearest double and the nearest double to the rest by tools/portablemath_constants.py.

namespace zir {
namespace {

// A double-double: the unevaluated sum hi + lo, lo no more than half an ulp of hi.
struct DD {
    double hi, lo;
};

// a + b exactly as s + e, whatever their magnitudes.
inline DD TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly, when |a| >= |b| or a is zero.
inline DD FastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// Dekker's split of a into two 26-bit halves that add up to a exactly (|a| < 2^996).
inline void Split(double a, double& hi, double& lo) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    hi = c - (c - a);
    lo = a - hi;
}

// a * b exactly as p + e, by splitting rather than by a fused multiply-add, which neither
// the browser's WebAssembly nor the desktop's default x86-64 target has. A compiler that fused
// ah * bh - p on its own would spoil e, hence -ffp-contract=off for the whole build.
inline DD TwoProd(double a, double b) {
    double ah, al, bh, bl;
    Split(a, ah, al);
    Split(b, bh, bl);
    const double p = a * b;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

inline DD TwoSquare(double a) {
    double ah, al;
    Split(a, ah, al);
    const double p = a * a;
    return {p, ((ah * ah - p) + 2 * ah * al) + al * al};
}

// The sum with a relative error of a few 2^-106 even when a and b nearly cancel.
inline DD Add(DD a, DD b) {
    DD s = TwoSum(a.hi, b.hi);
    const DD t = TwoSum(a.lo, b.lo);
    s = FastTwoSum(s.hi, s.lo + t.hi);
    return FastTwoSum(s.hi, s.lo + t.lo);
}

// The sum for the series' steps, where the terms never nearly cancel.
inline DD AddQuick(DD a, DD b) {
    const DD s = TwoSum(a.hi, b.hi);
    return FastTwoSum(s.hi, s.lo + (a.lo + b.lo));
}

inline DD Neg(DD a) {
    return {-a.hi, -a.lo};
}

inline DD Mul(DD a, DD b) {
    const DD p = TwoProd(a.hi, b.hi);
    return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DD Mul(DD a, double b) {
    const DD p = TwoProd(a.hi, b);
    return FastTwoSum(p.hi, p.lo + a.lo * b);
}

// a / b by three quotient digits, each from the remainder the previous ones leave.
inline DD Div(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    DD r = Add(a, Neg(Mul(b, q1)));
    const double q2 = r.hi / b.hi;
    r = Add(r, Neg(Mul(b, q2)));
    const double q3 = r.hi / b.hi;
    return AddQuick(FastTwoSum(q1, q2), DD{q3, 0});
}

constexpr DD PiDD{0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
constexpr DD HalfPiDD{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr double QuarterPi = 0x1.921fb54442d18p-1;
constexpr double ThreeQuarterPi = 0x1.2d97c7f3321d2p+1;

// pi/2 as the sum of four doubles, 212 bits, so that x - k pi/2 keeps 100 bits for every
// k below 2^28 however close x comes to a multiple of pi/2.
constexpr double HalfPi1 = 0x1.921fb54442d18p+0;
constexpr double HalfPi2 = 0x1.1a62633145c07p-54;
constexpr double HalfPi3 = -0x1.f1976b7ed8fbcp-110;
constexpr double HalfPi4 = 0x1.4cf98e7f05525p-164;
constexpr double TwoOverPi = 0x1.45f306dc9c883p-1;

// Taylor coefficients (-1)^n / (2n+1)! and (-1)^n / (2n)!, n from 1. For |r| <= 0.8 the terms
// from n = 9 on are below 2^-55 of the sum, so plain doubles carry them well enough; the
// last one kept is below 2^-108.
constexpr DD SinHead[] = {
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {-0x1.ae7f3e733b81fp-41, -0x1.1d8656b0ee8cbp-97},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
};
constexpr double SinTail[] = {-0x1.2f49b46814157p-57, 0x1.71b8ef6dcf572p-66,
                              -0x1.761b41316381ap-75, 0x1.3f3ccdd165fa9p-84,
                              -0x1.d1ab1c2dccea3p-94, 0x1.259f98b4358adp-103};
constexpr DD CosHead[] = {
    {-0x1.0000000000000p-1, 0},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {-0x1.93974a8c07c9dp-37, -0x1.05d6f8a2efd1fp-92},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
};
constexpr double CosTail[] = {
    -0x1.6827863b97d97p-53, 0x1.e542ba4020225p-62, -0x1.0ce396db7f853p-70, 0x1.f2cf01972f578p-80,
    -0x1.88e85fc6a4e5ap-89, 0x1.0a18a2635085dp-98, -0x1.3932c5047d60ep-108};

// atan(k/8), k = 0..8.
constexpr DD AtanEighths[] = {
    {0, 0},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};
// (-1)^n / (2n+1), n from 1: for |u| <= 1/16 the terms from n = 7 on are below 2^-59 of u,
// and the last one kept is below 2^-108.
constexpr DD AtanHead[] = {
    {-0x1.5555555555555p-2, -0x1.5555555555555p-56}, {0x1.999999999999ap-3, -0x1.999999999999ap-57},
    {-0x1.2492492492492p-3, -0x1.2492492492492p-57}, {0x1.c71c71c71c71cp-4, 0x1.c71c71c71c71cp-58},
    {-0x1.745d1745d1746p-4, 0x1.745d1745d1746p-59},  {0x1.3b13b13b13b14p-4, -0x1.3b13b13b13b14p-58},
};
constexpr double AtanTail[] = {-0x1.1111111111111p-4, 0x1.e1e1e1e1e1e1ep-5,  -0x1.af286bca1af28p-5,
                               0x1.8618618618618p-5,  -0x1.642c8590b2164p-5, 0x1.47ae147ae147bp-5,
                               -0x1.2f684bda12f68p-5};

// The sum over n >= 1 of the coefficients times z^(n-1) by Horner's rule: the tail in doubles
// with z's high part, the head in double-doubles.
template <std::size_t H, std::size_t T>
DD Series(const DD (&head)[H], const double (&tail)[T], DD z) {
    double t = tail[T - 1];
    for (std::size_t i = T - 1; i-- > 0;) t = t * z.hi + tail[i];
    DD p{t, 0};
    for (std::size_t i = H; i-- > 0;) p = AddQuick(Mul(p, z), head[i]);
    return p;
}

// sin r = r + r^3 (-1/3! + r^2/5! - ...), |r| <= 0.8.
DD SinSeries(DD r, DD r2) {
    return Add(r, Mul(r, Mul(r2, Series(SinHead, SinTail, r2))));
}

// cos r = 1 + r^2 (-1/2! + r^2/4! - ...), |r| <= 0.8.
DD CosSeries(DD r2) {
    return Add(DD{1, 0}, Mul(r2, Series(CosHead, CosTail, r2)));
}

// atan u = u + u^3 (-1/3 + u^2/5 - ...), |u| <= 1/16.
DD AtanSeries(DD u) {
    const DD u2 = Mul(u, u);
    return Add(u, Mul(u, Mul(u2, Series(AtanHead, AtanTail, u2))));
}

// sin x or cos x for finite 2^-27 <= |x| <= 2^28: x = k pi/2 + r with |r| <= pi/4, then the
// series of sin or cos at r as the quadrant k mod 4 and the function ask.
double SinOrCos(double x, bool cosine) {
    DD r{x, 0};
    std::int64_t k = 0;
    if (std::fabs(x) > QuarterPi) {
        const double kd = std::nearbyint(x * TwoOverPi);
        k = static_cast<std::int64_t>(kd);
        // k times each part of pi/2 is exact, and x - k HalfPi1 cancels exactly.
        r = Add(r, Neg(TwoProd(kd, HalfPi1)));
        r = Add(r, Neg(TwoProd(kd, HalfPi2)));
        r = Add(r, Neg(TwoProd(kd, HalfPi3)));
        r = Add(r, DD{-kd * HalfPi4, 0});
    }
    const DD r2 = Mul(r, r);
    const std::int64_t quadrant = (k + (cosine ? 1 : 0)) & 3;
    // cos x = sin(x + pi/2): each quadrant further on is a quarter turn more.
    switch (quadrant) {
        case 0:
            return SinSeries(r, r2).hi;
        case 1:
            return CosSeries(r2).hi;
        case 2:
            return -SinSeries(r, r2).hi;
        default:
            return -CosSeries(r2).hi;
    }
}

constexpr double SinCosLimit = 0x1p28;

// num / den rounded to the subnormals, ties going down instead of to even, for
// 0 <= num < den * 2^-1022. Rescaled so that den is in [1, 2) and the quotient 2^600 times
// larger, the quotient is a normal double that either is exactly an odd multiple of half the
// (rescaled) subnormal spacing 2^-474 or leaves a remainder that shows it is not.
double SubnormalQuotientBelow(double num, double den) {
    const int e = std::ilogb(den);
    const double n = std::scalbn(num, 600 - e), d = std::scalbn(den, -e);
    const double q = n / d;
    const DD back = TwoProd(q, d);
    const double halves = q * 0x1p475;
    if (back.hi == n && back.lo == 0 && halves == std::floor(halves) &&
        std::fmod(halves, 2.0) == 1.0) {
        return (q - 0x1p-475) * 0x1p-600;
    }
    return num / den;
}

}  // namespace

double Sin(double x) {
    const double ax = std::fabs(x);
    if (!(ax <= std::numeric_limits<double>::max())) return x - x;  // NaN or infinite
    // Below 2^-26 x^3/6 is under half an ulp of x, and x is the rounded sine (zeros and
    // subnormals too).
    if (ax < 0x1p-26) return x;
    // Only absurd inputs go so far; reducing them would need pi to over a thousand bits.
    if (ax > SinCosLimit) return std::sin(x);
    return SinOrCos(x, false);
}

double Cos(double x) {
    const double ax = std::fabs(x);
    if (!(ax <= std::numeric_limits<double>::max())) return x - x;
    // Below 2^-27 x^2/2 is under half an ulp below 1.
    if (ax < 0x1p-27) return 1.0;
    if (ax > SinCosLimit) return std::cos(x);  // as in Sin
    return SinOrCos(ax, true);
}

double Atan2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) return x + y;
    const double ax = std::fabs(x), ay = std::fabs(y);
    const bool left = std::signbit(x);
    // The angle of (|x|, |y|) or of (x, |y|) once left, in [0, pi]; y's sign comes last.
    double angle;
    if (ay == 0) {
        angle = left ? PiDD.hi : 0.0;
    } else if (ax == 0) {
        angle = HalfPiDD.hi;
    } else if (std::isinf(ay)) {
        angle = std::isinf(ax) ? (left ? ThreeQuarterPi : QuarterPi) : HalfPiDD.hi;
    } else if (std::isinf(ax)) {
        angle = left ? PiDD.hi : 0.0;
    } else {
        // atan of the smaller over the larger, in [0, pi/4], taken from pi/2 when y is larger.
        const bool steep = ay > ax;
        double num = steep ? ax : ay, den = steep ? ay : ax;
        DD theta;
        if (num < den * 0x1p-60) {
            // atan q = q - q^3/3 rounds as q does here, except when q lies exactly halfway
            // between two subnormals: the slightly smaller atan q then rounds down.
            theta = DD{num / den, 0};
            if (theta.hi < 0x1p-1022) theta.hi = SubnormalQuotientBelow(num, den);
        } else {
            if (den > 0x1p500 || den < 0x1p-400) {
                // Exact rescaling so that the products below neither overflow nor underflow.
                const int e = std::ilogb(den);
                num = std::scalbn(num, -e);
                den = std::scalbn(den, -e);
            }
            const double qh = num / den;
            const DD p = TwoProd(qh, den);
            const DD q{qh, ((num - p.hi) - p.lo) / den};  // the remainder is exact
            // atan q = atan c + atan((q - c) / (1 + q c)) with c the nearest eighth.
            const int k = static_cast<int>(std::nearbyint(qh * 8));
            if (k == 0) {
                theta = AtanSeries(q);
            } else {
                const double c = k * 0.125;
                const DD u = Div(Add(q, DD{-c, 0}), AddQuick(DD{1, 0}, Mul(q, c)));
                theta = Add(AtanEighths[k], AtanSeries(u));
            }
        }
        if (steep) theta = Add(HalfPiDD, Neg(theta));
        if (left) theta = Add(PiDD, Neg(theta));
        angle = theta.hi;
    }
    return std::copysign(angle, y);
}

double Hypot(double x, double y) {
    double ax = std::fabs(x), ay = std::fabs(y);
    if (std::isinf(ax) || std::isinf(ay)) return std::numeric_limits<double>::infinity();
    if (std::isnan(ax) || std::isnan(ay)) return ax + ay;
    if (ay > ax) std::swap(ax, ay);
    // When y/x < 2^-28 the root exceeds x by less than a quarter of its ulp.
    if (ay == 0 || ay < ax * 0x1p-28) return ax;
    // Scale by powers of two so that the squares and their rounding errors are all
    // representable; the ratio bound above keeps y in range with x.
    double scale = 1;
    if (ax > 0x1p500) {
        ax *= 0x1p-600, ay *= 0x1p-600, scale = 0x1p600;
    } else if (ax < 0x1p-450) {
        ax *= 0x1p600, ay *= 0x1p600, scale = 0x1p-600;
    }
    const DD a = TwoSquare(ax), b = TwoSquare(ay);
    const DD s0 = TwoSum(a.hi, b.hi);
    const DD s = FastTwoSum(s0.hi, s0.lo + (a.lo + b.lo));
    // One Newton step from the rounded root, with the residual s - r^2 computed exactly.
    const double r = std::sqrt(s.hi);
    const DD r2 = TwoSquare(r);
    const double correction = (((s.hi - r2.hi) - r2.lo) + s.lo) / (2 * r);
    if (scale < 1 && r < 0x1p-422) {
        // The result is subnormal: round once to its grid, not first to 53 bits. rq is r
        // rounded to the multiples of 2^-474, which scale down exactly.
        const double rq = (r + 0x1p-422) - 0x1p-422;
        return rq * scale + ((r - rq) + correction) * scale;
    }
    return (r + correction) * scale;
}

}  // namespace zir
