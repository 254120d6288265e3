"""Every element against the C++ library's public single-point call, made by a
separate C++ program (reference.cpp) on the process-wide WGS 84: bit for bit."""
import os
import subprocess

import numpy as np
import pytest

import qormatrix as qm

REFERENCE = os.environ.get("QORMATRIX_REFERENCE")
RNG = np.random.default_rng(3)
N = 400


def lat_lon():
    return RNG.uniform(-79.9, 83.9, N), RNG.uniform(-180, 180, N)


def cases():
    lat, lon = lat_lon()
    h = RNG.uniform(-1e3, 1e6, N)
    x, y, z = qm.geodetic2ecef(lat, lon, h)
    origin = (np.full(N, 47.3), np.full(N, 8.5), np.full(N, 400.0))
    angles = tuple(RNG.uniform(-180, 180, N) for _ in range(3))
    return [("geodetic2ecef", qm.geodetic2ecef, (lat, lon, h)), ("ecef2geodetic", qm.ecef2geodetic, (x, y, z)),
            ("ecef2ned", qm.ecef2ned, (x, y, z) + origin), ("geodetic2utm", qm.geodetic2utm, (lat, lon)),
            ("grid_declination", qm.grid_declination, (lat, lon)), ("ecef2hpr", qm.ecef2hpr, (x, y, z) + angles),
            ("geodetic2aer", qm.geodetic2aer, (lat, lon, h) + origin),
            ("aer2geodetic", qm.aer2geodetic, tuple(angles[:2]) + (np.abs(h),) + origin),
            ("taitbryan2dcm", lambda *a: qm.taitbryan2dcm(np.stack(a, axis=-1)).reshape(N, 9).T, angles)]


@pytest.mark.skipif(not REFERENCE, reason="QORMATRIX_REFERENCE (the reference program) is not set")
@pytest.mark.parametrize("name, function, inputs", cases(), ids=lambda v: v if isinstance(v, str) else "")
def test_elements_equal_the_library_call(name, function, inputs):
    text = "".join(name + " " + " ".join(float(v[i]).hex() for v in inputs) + "\n" for i in range(N))
    lines = subprocess.run([REFERENCE], input=text, capture_output=True, text=True, check=True).stdout.splitlines()
    expected = np.array([[float.fromhex(w) for w in line.split()] for line in lines])
    ours = np.atleast_2d(np.array(function(*inputs))).reshape(len(expected[0]), N).T
    assert np.array_equal(ours.view(np.uint64), expected.view(np.uint64))
