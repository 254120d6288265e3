#!/usr/bin/env python3
"""Prints the constants of libsrc/matrix/fastAtan2.h: a near-minimax polynomial
(Chebyshev fit, mpmath) for (atan(u)/u - 1)/u^2 in s = u^2 on |u| <= tan(pi/16),
and the base angles of the reduction in two parts (hi + lo)."""
import mpmath as mp

mp.mp.dps = 50
S = mp.tan(mp.pi / 16) ** 2


def g(s):
    if s == 0:
        return mp.mpf(-1) / 3
    r = mp.sqrt(s)
    return (mp.atan(r) / r - 1) / s


poly, err = mp.chebyfit(g, [0, S], 8, error=True)
print(f"// fit error {mp.nstr(err, 3)}, relative in atan: {mp.nstr(err * S, 3)}")
print("coefficients (highest first):", ", ".join(repr(float(c)) for c in poly))
c1 = float(mp.tan(mp.pi / 8))
a1 = mp.atan(mp.mpf(c1))
print("c1 =", repr(c1))
bases = [0, a1, mp.pi / 4]
for k, b in enumerate(bases):
    for name, v in (("plain", b), ("swap", mp.pi / 2 - b), ("neg", mp.pi - b), ("swapneg", mp.pi / 2 + b)):
        hi = float(v)
        lo = float(v - hi)
        print(k, name, repr(hi), repr(lo))
