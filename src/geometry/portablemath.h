// Sine, cosine, atan2 and hypot that give the same bits on every platform with IEEE-754
// doubles, round-to-nearest and no fused multiply-adds, where the C libraries' versions differ
// in the last bit between the desktop and the browser.
//
// Each works in double-double arithmetic to about 100 bits before rounding once, so its
// result is the correctly rounded value except when the exact value lies within about 2^-100
// of a rounding boundary, and then equals what any correctly rounding library gives.
#pragma once

namespace zir {

// sin x and cos x in radians; NaN for NaN and infinities. Above 2^28 in magnitude, where only
// hostile inputs go, they are the C library's.
double Sin(double x);
double Cos(double x);

// The angle of (x, y) in [-pi, pi], with every special case of C99's atan2: signed zeros,
// infinities, NaN.
double Atan2(double y, double x);

// sqrt(x^2 + y^2) without overflow or underflow on the way; +inf if either is infinite, even
// when the other is NaN.
double Hypot(double x, double y);

}  // namespace zir
