#!/usr/bin/env python3
"""Prints the constants of libsrc/matrix/fastTrig.h: near-minimax polynomials
(Chebyshev fits, mpmath) for (atan(u)/u - 1)/u^2 in s = u^2 on |u| <= tan(pi/16),
for (sin(r)/r - 1)/r^2 and (cos(r) - 1 + r^2/2)/r^4 in r^2 on |r| <= pi/4, the
base angles of the atan reduction in two parts (hi + lo), and pi/2 in three."""
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


R2 = (mp.pi / 4) ** 2


def sin_part(s):
    if s == 0:
        return mp.mpf(-1) / 6
    x = mp.sqrt(s)
    return (mp.sin(x) / x - 1) / s


def cos_part(s):
    if s == 0:
        return mp.mpf(1) / 24
    x = mp.sqrt(s)
    return (mp.cos(x) - 1 + s / 2) / s**2


for name, f, scale in (("sin", sin_part, R2), ("cos", cos_part, R2 * R2)):
    poly, err = mp.chebyfit(f, [0, R2], 6, error=True)
    print(f"{name}: relative error {mp.nstr(err * scale, 3)}; coefficients (lowest first):",
          ", ".join(repr(float(c)) for c in poly[::-1]))


def truncate(v, bits):
    m, e = mp.frexp(v)
    return mp.ldexp(mp.floor(mp.ldexp(m, bits)), e - bits)


hi = truncate(mp.pi / 2, 33)
mid = truncate(mp.pi / 2 - hi, 33)
print("pi/2 =", repr(float(hi)), "+", repr(float(mid)), "+", repr(float(mp.pi / 2 - hi - mid)))
print("2/pi =", repr(float(2 / mp.pi)))
