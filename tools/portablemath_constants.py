#!/usr/bin/env python3
"""Prints the constants of src/geometry/portablemath.cpp, computed with 60 decimal digits and
split into double-doubles (hi = nearest double, lo = nearest double to the rest), as C++ hex
literals. Run it again only if the set of constants changes."""
from decimal import Decimal, getcontext

getcontext().prec = 60


def pi():
    # Machin's formula; each arctan of 1/n by its alternating series.
    def acot(n):
        total, term, k, sign = Decimal(0), Decimal(1) / n, 1, 1
        while term != 0:
            total += sign * term / k
            term /= n * n
            k += 2
            sign = -sign
        return total

    return 16 * acot(5) - 4 * acot(239)


def atan(x):
    # atan x = 2 atan(x / (1 + sqrt(1 + x^2))) halves the argument until the series is quick.
    halvings = 0
    while abs(x) > Decimal("0.01"):
        x = x / (1 + (1 + x * x).sqrt())
        halvings += 1
    total, power, k = Decimal(0), x, 1
    while abs(power) > Decimal(10) ** -70:
        total += power / k if k % 4 == 1 else -power / k
        power *= x * x
        k += 2
    return total * 2**halvings


def split(value, parts=2):
    out = []
    for _ in range(parts):
        d = float(value)
        out.append(d)
        value -= Decimal(d)
    return out


def dd(name, value):
    hi, lo = split(value)
    print(f"{name}: {{{hi.hex()}, {lo.hex()}}}")


P = pi()
print("pi/2 in four parts:", ", ".join(x.hex() for x in split(P / 2, 4)))
print("2/pi:", float(2 / P).hex())
dd("pi", P)
dd("pi/2", P / 2)
print("pi/4, 3pi/4:", float(P / 4).hex(), float(3 * P / 4).hex())
for k in range(9):
    dd(f"atan({k}/8)", atan(Decimal(k) / 8))
fact = Decimal(1)
for n in range(1, 32):
    fact *= n
    dd(f"1/{n}!", 1 / fact)
for n in range(3, 30, 2):
    dd(f"1/{n}", Decimal(1) / n)
