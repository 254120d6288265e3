"""Array calls against single calls bit for bit, broadcasting, out=, threads,
the error policy, known values and the docstring examples."""
import doctest
import pathlib
import struct

import numpy as np
import pytest

import qormatrix as qm

RNG = np.random.default_rng(7)
N = 3000


def geodetic(n=N):
    return RNG.uniform(-89.9, 89.9, n), RNG.uniform(-540, 540, n), RNG.uniform(-1e4, 1e6, n)


def geocentric(n=N):
    return qm.geodetic2ecef(*geodetic(n))


def bits(a):
    return np.asarray(a, dtype=np.float64).view(np.uint64)


# (function, inputs, keyword arguments): every column function of the package.
def cases():
    lat, lon, h = geodetic()
    x, y, z = geocentric()
    origin = (RNG.uniform(-80, 80, N), RNG.uniform(-180, 180, N), RNG.uniform(-100, 900, N))
    local = tuple(RNG.uniform(-5e4, 5e4, N) for _ in range(3))
    utm = qm.geodetic2utm(np.clip(-np.abs(lat), -80, 0), lon % 360 - 180)
    angles = tuple(RNG.uniform(-180, 180, N) for _ in range(3))
    grid = qm.UtmGrid(35.25, -120.1)
    return [
        (qm.geodetic2ecef, (lat, lon, h), {}),
        (qm.geodetic2ecef, (np.radians(lat), np.radians(lon), h), {"datum": "ED50", "deg": False}),
        (qm.ecef2geodetic, (x, y, z), {"datum": "CONUSNAD27"}),
        (qm.ecef2ned, (x, y, z) + origin, {}),
        (qm.ecef2enu, (x, y, z) + origin, {"datum": "NASANAD27"}),
        (qm.geodetic2ned, (lat, lon, h) + origin, {}),
        (qm.geodetic2enu, (lat, lon, h) + origin, {}),
        (qm.ned2ecef, local + origin, {}),
        (qm.enu2ecef, local + origin, {}),
        (qm.ned2geodetic, local + origin, {"datum": "NASBNAD27"}),
        (qm.enu2geodetic, local + origin, {}),
        (qm.geodetic2utm, (np.clip(lat, -80, 84), lon), {}),
        (qm.geodetic2utm, (lat / 2, lon / 100 + 3), {"zone": 31}),
        (qm.geodetic2utm, (np.clip(lat, -80, 84), lon), {"zone_rule": "standard"}),
        (qm.utm2geodetic, utm[:3], {"hemisphere": "S"}),
        (qm.grid_declination, (np.clip(lat, -80, 84), lon), {}),
        (qm.ecef2hpr, (x, y, z) + angles, {}),
        (grid.forward, (lat / 10 + 35, lon / 200 - 121), {}),
        (qm.geodesic_inverse, (lat, lon, -lat / 2, lon / 3), {"datum": "ED50"}),
        (qm.geodesic_direct, (lat, lon, angles[0], h * 20), {"ell": (6378137.0, 1 / 298.257223563)}),
        (grid.inverse, (local[0], local[1]), {}),
        (qm.geodetic2aer, (lat, lon, h) + origin, {"datum": "ED50"}),
        (qm.ecef2aer, (x, y, z) + origin, {}),
        (qm.aer2geodetic, (angles[0], angles[1] / 2, np.abs(local[0])) + origin, {}),
        (qm.aer2ecef, (angles[0], angles[1] / 2, np.abs(local[0])) + origin, {"datum": "NASANAD27"}),
        (qm.enu2aer, local, {}),
        (qm.aer2ned, (angles[0], angles[1] / 2, np.abs(local[0])), {"deg": True}),
        (qm.lookAtSpheroid, origin[:2] + (np.abs(h), angles[0], angles[1] / 2 + 90), {"height": 300.0}),
        (qm.clearance, origin + (lat / 10 + 47, lon / 100 + 8, h / 50), {"height": 100.0}),
    ]


@pytest.mark.parametrize("function, inputs, kwargs", cases())
def test_arrays_equal_single_calls_bit_for_bit(function, inputs, kwargs):
    def call(*args, **more):
        result = function(*args, **kwargs, **more)
        return result if isinstance(result, tuple) else (result,)

    one = call(*inputs, threads=1)
    three = call(*inputs, threads=3)
    for a, b in zip(one, three):
        assert np.array_equal(bits(a), bits(b))
    for i in range(0, N, 97):
        single = call(*(float(v[i]) for v in inputs))
        assert all(type(s) is float for s in single)
        assert np.array_equal(bits(single), bits([r[i] for r in one])), i
    # The same through out=, in place, and through a 2-D view of the inputs.
    out = tuple(np.empty(N) for _ in one)
    call(*inputs, out=out if len(out) > 1 else out[0])
    assert all(np.array_equal(bits(o), bits(r)) for o, r in zip(out, one))
    shaped = call(*(v.reshape(30, 100) for v in inputs))
    assert all(s.shape == (30, 100) and np.array_equal(bits(s.ravel()), bits(r)) for s, r in zip(shaped, one))


def test_rotations_on_stacked_arrays():
    angles = RNG.uniform(-89, 89, (40, 7, 3))
    dcm = qm.taitbryan2dcm(angles)
    quat = qm.taitbryan2quat(angles)
    assert dcm.shape == (40, 7, 3, 3) and quat.shape == (40, 7, 4)
    # Orthonormal, unit, and each way back again.
    assert np.allclose(dcm @ np.swapaxes(dcm, -1, -2), np.eye(3), atol=1e-14)
    assert np.allclose(np.linalg.norm(quat, axis=-1), 1, atol=1e-15)
    assert np.allclose(qm.dcm2taitbryan(dcm), angles, atol=1e-9)
    assert np.allclose(qm.quat2taitbryan(quat), angles, atol=1e-9)
    assert np.allclose(qm.quat2dcm(quat), dcm, atol=1e-15)
    assert np.allclose(np.abs(qm.dcm2quat(dcm)), np.abs(quat), atol=1e-12)
    # Each element is the single call's; radians as well.
    for f, arg in [(qm.taitbryan2dcm, angles), (qm.taitbryan2quat, angles), (qm.dcm2taitbryan, dcm),
                   (qm.quat2taitbryan, quat), (qm.quat2dcm, quat), (qm.dcm2quat, dcm)]:
        whole = f(arg)
        assert np.array_equal(bits(f(arg[3, 4])), bits(whole[3, 4]))
        out = np.empty_like(whole)
        f(arg, out=out)
        assert np.array_equal(bits(out), bits(whole))
    assert np.allclose(qm.taitbryan2dcm(np.radians(angles), deg=False), dcm, atol=1e-15)
    # A body x axis yawed 90 degrees points along the reference y axis.
    assert np.allclose(qm.taitbryan2dcm([90.0, 0, 0]) @ [1, 0, 0], [0, 1, 0])


def test_known_values_and_conventions():
    assert qm.__version__ == "22.0.0" and qm.DATUMS[0] == "WGS84"
    x, y, z = qm.geodetic2ecef(45, 30, 1000)
    assert (round(x, 3), round(y, 3), round(z, 3)) == (3912960.837, 2259148.993, 4488055.516)
    assert qm.geodetic2ecef(45, 30, 1000, datum="ed50")[0] == pytest.approx(3913055.565, abs=1e-3)
    e, n, zone = qm.geodetic2utm(40, -75)
    assert (zone, round(e, 3), round(n, 3)) == (18, 500000.0, 4427757.219)
    assert qm.geodetic2utm(60.39, 5.32)[2] == 32   # the Norway exception
    lat, lon = qm.utm2geodetic(e, n, 18, band="T")
    assert lat == pytest.approx(40, abs=1e-8) and lon == pytest.approx(-75, abs=1e-8)
    south = qm.utm2geodetic(e, 1e7 - n, [18, 18], band=["C", "M"])   # the mirror image of 40 N
    assert np.allclose(south[0], -qm.utm2geodetic(e, n, 18, hemisphere="n")[0], atol=1e-9)
    assert qm.grid_declination(45, -73) > 0 > qm.grid_declination(45, -77)
    assert np.allclose(qm.ecef2hpr(6378137, 0, 0, 0, -80, 0), (0, 10, 0), atol=1e-12)
    assert np.allclose(qm.ecef2enu(6378237.0, 0, 0, 0, 0), (0, 0, 100)) and qm.ned2ecef(0, 0, -100, 0, 0)[0] == 6378237
    grid = qm.UtmGrid(35.25, -120.1)
    assert (grid.zone, grid.local, grid.datum) == (10, True, "WGS84") and grid.x_origin == pytest.approx(263860.325, abs=1e-3)
    assert np.allclose(grid.inverse(*grid.forward([35.3, 35.0], [-117.5, -120.0])), ([35.3, 35.0], [-117.5, -120.0]))
    # Python and NumPy scalars and ints give floats; 0-d and 1-element arrays give arrays.
    assert type(qm.geodetic2ecef(np.float32(1), 2, np.int64(3))[0]) is float
    assert qm.geodetic2ecef(np.array(1.0), 2, 3)[0].shape == () and qm.geodetic2ecef([1.0], 2, 3)[0].shape == (1,)
    assert qm.geodetic2ecef(np.empty((0, 4)), 0, 0)[0].shape == (0, 4)


def test_bad_input_is_named():
    with pytest.raises(ValueError, match=r"lat\[1, 0\] = 91.0: a latitude beyond \+/-90 degrees"):
        qm.geodetic2ecef([[0.0], [91.0]], [1, 2, 3], 0)
    with pytest.raises(ValueError, match=r"^z = inf: not a finite number"):
        qm.ecef2geodetic(1, 2, float("inf"))
    # NaN is missing data: NaN out, no error; infinity and a latitude of 95 are errors.
    assert np.isnan(qm.ecef2ned([1e6] * 3, 0, 0, 0, 0, [0, 0, np.nan])[0]).tolist() == [False, False, True]
    with pytest.raises(ValueError, match=r"h0\[2\] = inf"):
        qm.ecef2ned([1e6] * 3, 0, 0, 0, 0, [0, 0, np.inf])
    lat = np.array([10.0, 95.0, np.nan, 20.0])
    x, y, z = qm.geodetic2ecef(lat, 0, 0, errors="nan")
    assert np.isnan(x[1:3]).all() and not np.isnan(x[[0, 3]]).any()
    assert np.isnan(qm.geodetic2utm(10, 5, zone=[31, 62], errors="nan")[0][1])
    with pytest.raises(ValueError, match=r"zone\[1\] = 0.5: not a UTM zone \(1 to 60, or 61 for the meridian 180\)"):
        qm.utm2geodetic(5e5, 0, [31, 0.5], hemisphere="N")
    with pytest.raises(ValueError, match=r"cannot be broadcast together: lat \(3,\), lon \(4,\)"):
        qm.geodetic2ecef([1, 2, 3], [1, 2, 3, 4])
    for bad, error, text in [("abc", TypeError, "lat: expected real numbers"), ([1j], TypeError, "complex128"),
                             ([1, None], TypeError, "dtype('O')"), ([[1], [2, 3]], ValueError, "lat: cannot be read")]:
        with pytest.raises(error, match=text.replace("(", r"\(").replace(")", r"\)")):
            qm.geodetic2ecef(bad, 0, 0)
    for kwargs, error, text in [({"datum": "XYZ"}, ValueError, "datum: expected one of"),
                                ({"errors": "ignore"}, ValueError, "errors: expected 'raise' or 'nan'"),
                                ({"threads": 0}, ValueError, "threads: expected None or an int from 1"),
                                ({"threads": 1.5}, TypeError, "threads: expected None or an int"),
                                ({"out": (np.empty(2),)}, TypeError, "out: expected a tuple of 3"),
                                ({"out": (np.empty(3),) * 3}, ValueError, r"out: expected arrays of shape \(2,\)"),
                                ({"out": (np.empty(2, np.float32),) * 3}, TypeError, "float64")]:
        with pytest.raises(error, match=text):
            qm.geodetic2ecef([1.0, 2.0], 0, 0, **kwargs)
    with pytest.raises(TypeError, match="either hemisphere"):
        qm.utm2geodetic(5e5, 0, 31)
    with pytest.raises(ValueError, match="band: expected latitude band letters"):
        qm.utm2geodetic(5e5, 0, 31, band="I")
    with pytest.raises(ValueError, match=r"angles: expected an array of shape \(\.\.\., 3\), got \(2, 4\)"):
        qm.taitbryan2dcm(np.zeros((2, 4)))
    with pytest.raises(ValueError, match="lat0, lon0: expected a point of the UTM grid"):
        qm.UtmGrid(85, 0)


def test_docstring_and_readme_examples_run():
    for module in (qm, qm._core):
        failed, tried = doctest.testmod(module, optionflags=doctest.NORMALIZE_WHITESPACE)
        assert failed == 0
    assert tried >= 20
    readme = pathlib.Path(__file__).resolve().parents[2] / "README.md"
    assert doctest.testfile(str(readme), module_relative=False).failed == 0


def test_heights_above_a_geoid(tmp_path):
    # 30..60 N, 90..60 W every 10 degrees; a node at 40 N, 70 W without data.
    nodes = [[-88.8888 if (r, c) == (1, 2) else 10.0 * r - 3.0 * c for c in range(4)] for r in range(4)]
    path = tmp_path / "grid.gtx"
    path.write_bytes(struct.pack(">4d2i", 30, -90, 10, 10, 4, 4) + struct.pack(">16f", *sum(nodes, [])))
    grid = qm.GeoidGrid(str(path))
    assert grid.shape == (4, 4) and not grid.is_global and grid.undulation(35, -85) == 3.5
    lat, lon, alt = np.radians(RNG.uniform(30, 39, 50)), np.radians(RNG.uniform(-90, -80, 50)), RNG.uniform(0, 9e3, 50)
    above = qm.geodetic2ecef(lat, lon, alt, geoid=grid, deg=False)
    # The height above the ellipsoid is alt plus the undulation, as in C++.
    same = qm.geodetic2ecef(lat, lon, alt + grid.undulation(lat, lon, deg=False), deg=False)
    assert all(np.array_equal(bits(a), bits(b)) for a, b in zip(above, same))
    back = qm.ecef2geodetic(*above, geoid=grid, deg=False)
    ellipsoidal = qm.ecef2geodetic(*above, deg=False)[2]
    assert np.allclose(back[2], alt, atol=1e-6) and np.allclose(ellipsoidal - back[2], grid.undulation(lat, lon, deg=False))
    with pytest.raises(ValueError, match="is outside the grid"):
        qm.geodetic2ecef(20, -85, 0, geoid=grid)
    with pytest.raises(ValueError, match="no data next to latitude 45"):
        grid.undulation(45, -70)
    assert np.isnan(grid.undulation([35, 45], [-85, -70], errors="nan")).tolist() == [False, True]
    with pytest.raises(OSError, match="cannot open it"):
        qm.GeoidGrid(str(tmp_path / "missing.gtx"))
    path.write_bytes(b"GTX?")
    with pytest.raises(ValueError, match="truncated: 4 bytes"):
        qm.GeoidGrid(str(path))
    with pytest.raises(TypeError, match="geoid: expected a qormatrix.GeoidGrid"):
        qm.ecef2geodetic(1e6, 0, 0, geoid=str(path))
