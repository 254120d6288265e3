"""What a pymap3d or pyproj user switching over meets: pymap3d's calls and
examples, other libraries' arrays, NaN as missing data, no silent wrong
answers, one warning per call, pickles, signatures and type stubs."""
import inspect
import os
import pathlib
import pickle
import struct
import subprocess
import sys
import warnings

import numpy as np
import pymap3d as pm
import pytest

import qormatrix as qm

SHARED = ["geodetic2ecef", "ecef2geodetic", "geodetic2enu", "geodetic2ned", "enu2geodetic", "ned2geodetic",
          "enu2ecef", "ned2ecef", "ecef2enu", "ecef2ned"]


def test_pymap3d_calls_and_examples_with_only_the_import_changed():
    wgs84 = pm.Ellipsoid("wgs84")
    for name in SHARED:
        ours, theirs = inspect.signature(getattr(qm, name)), inspect.signature(getattr(pm, name))
        assert list(ours.parameters)[:len(theirs.parameters)] == list(theirs.parameters), name
        assert ours.parameters["deg"].default is True and ours.parameters["ell"].default is None
    # Positional ell and deg, pymap3d's keyword names, any ellipsoid: pymap3d's answers.
    point, origin = (44.0, -73.0, 1200.0), (43.9, -72.9, 100.0)
    for name in SHARED:
        first = point if name.startswith("geodetic") else getattr(pm, "geodetic2" + name.split("2")[0])(*point, *origin) \
            if name.split("2")[0] in ("enu", "ned") else pm.geodetic2ecef(*point)
        extra = origin if name.split("2")[0] in ("enu", "ned") or name.split("2")[1] in ("enu", "ned") else ()
        for ell in (wgs84, pm.Ellipsoid("grs80"), pm.Ellipsoid("clarke1866")):
            assert np.allclose(getattr(qm, name)(*first, *extra, ell, True),
                               getattr(pm, name)(*first, *extra, ell, True), rtol=0, atol=1e-6), name
    names = dict(zip(inspect.signature(pm.enu2ecef).parameters, (10.0, 20.0, 30.0, *origin)))
    assert np.allclose(qm.enu2ecef(**names, ell=wgs84), pm.enu2ecef(**names, ell=wgs84), rtol=0, atol=1e-6)
    assert np.allclose(qm.geodetic2ned(lat=44, lon=-73, h=5, lat0=44, lon0=-73, h0=0), (0, 0, -5))
    # pymap3d's README and its geodetic2ecef plot, the import changed: the same numbers.
    lat, lon = np.meshgrid(np.arange(-90, 90, 0.1), np.arange(-180, 180, 0.2))
    assert np.allclose(qm.geodetic2ecef(lat, lon, 0.0, wgs84), pm.geodetic2ecef(lat, lon, 0.0), rtol=0, atol=1e-6)
    # Its ENU notebook passes latitudes of 4029 degrees, which pymap3d takes silently: here they are named.
    with pytest.raises(ValueError, match=r"^lat0 = 4029.25745: a latitude beyond \+/-90 degrees"):
        qm.geodetic2enu(4028.25746, 11147.61125, 1165.1, 4029.25745, 11146.61129, 1165.2)
    with pytest.raises(ValueError, match="not both"):
        qm.geodetic2ecef(1, 2, 3, wgs84, datum="ED50")
    with pytest.raises(TypeError, match="ell: expected an ellipsoid with positive semimajor_axis"):
        qm.geodetic2ecef(1, 2, 3, "wgs84")


def test_no_silent_wrong_answers_and_nan_is_missing_data():
    with pytest.raises(ValueError, match=r"^x = 1000.0: within a\*e\^2 of the ellipsoid's centre"):
        qm.ecef2geodetic(1000.0, 0, 1000.0)
    lat, lon, h = qm.ecef2geodetic([1000.0, 0.0, 42697.0, 42699.0], 0, [1000.0, 1.0, 0, 0], errors="nan")
    assert np.isnan(lat[:3]).all() and h[3] == pytest.approx(42699 - 6378137.0, abs=1e-6)
    with pytest.raises(ValueError, match=r"^n = 0.0: within a\*e\^2"):
        qm.ned2geodetic(0, 0, 6378137 - 40000, 0, 0, datum="NASANAD27")   # 40 km from the centre
    with pytest.raises(ValueError, match=r"^northing = 12000000.0: more than 8 degrees .*past the pole"):
        qm.utm2geodetic(5e5, 1.2e7, 31, hemisphere="N")
    with pytest.raises(ValueError, match=r"^lon = 20.0: more than 8 degrees of longitude"):
        qm.geodetic2utm(40, 20, zone=31)
    assert np.isfinite(qm.geodetic2utm(40, 10.9, zone=31)[0]) and np.isfinite(qm.utm2geodetic(9e5, 4e6, 31, band="T")[0])
    assert qm.geodetic2utm(0, 180, zone_rule="standard")[2] == 1 and qm.geodetic2utm(0, 180)[2] == 61
    assert qm.geodetic2utm(79, 20)[2] == 33 and qm.geodetic2utm(82, 20)[2] == 34 != qm.geodetic2utm(82, 20, zone_rule="standard")[2]
    # NaN in, NaN out, in every function and method, never an error; infinity is one.
    grid = qm.UtmGrid(35, -120)
    nan = float("nan")
    for f, args in [(qm.geodetic2ecef, (nan, 0, 0)), (qm.ecef2geodetic, (0, nan, 0)), (qm.ecef2ned, (1, 2, 3, nan, 0)),
                    (qm.geodetic2utm, (nan, 0)), (lambda *a: qm.utm2geodetic(*a, band="T"), (nan, 0, 31)), (qm.grid_declination, (0, nan)),
                    (qm.ecef2hpr, (1e6, 0, 0, nan, 0, 0)), (grid.forward, (35, nan)), (grid.inverse, (nan, 0))]:
        assert np.isnan(f(*args)).all(), f
    assert np.isnan(qm.taitbryan2dcm([nan, 0, 0])).all() and np.isnan(qm.dcm2quat(np.full((3, 3), nan))).all()
    with pytest.raises(ValueError, match="lat = 1.6: a latitude beyond \\+/-pi/2 radians"):
        qm.geodetic2ecef(1.6, 0, 0, deg=False)
    # A matrix that is no rotation, a zero quaternion: bad input, also on the rotation helpers' threads.
    with pytest.raises(ValueError, match=r"^dcm: not a rotation matrix"):
        qm.dcm2taitbryan(np.zeros((3, 3)))
    with pytest.raises(ValueError, match=r"^quat\[1\]: not a unit quaternion"):
        qm.quat2taitbryan([[1, 0, 0, 0], [0, 0, 0, 0]])
    quats = np.tile([1.0, 0, 0, 0], (20000, 1))
    quats[15000] = 0
    assert np.isnan(qm.quat2dcm(quats, errors="nan", threads=2)[15000]).all()
    assert np.array_equal(qm.quat2dcm(quats[:3], threads=1), np.tile(np.eye(3), (3, 1, 1)))
    with pytest.raises(ValueError, match=r"out: expected C-contiguous arrays"):
        qm.geodetic2ecef([1.0, 2.0], 0, 0, out=(np.empty((2, 2))[:, 0],) * 3)


def test_library_notices_become_one_warning(capfd):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        qm.ecef2geodetic(np.zeros(200000), 0, 6.4e6, threads=2)
    assert len(caught) == 1 and caught[0].category is qm.LibraryWarning
    assert str(caught[0].message) == ("the library reported 200000 notices during this call; the first: "
                                      "Longitude is undefined when X = Y = 0")
    with warnings.catch_warnings():
        warnings.simplefilter("error", qm.LibraryWarning)
        with pytest.raises(qm.LibraryWarning):
            qm.ecef2geodetic(0.0, 0, 6.4e6)
        qm.ecef2geodetic(1.0, 0, 6.4e6)   # nothing to say
    assert capfd.readouterr().err == ""


def test_other_libraries_arrays_keep_their_kind(tmp_path):
    pd, xr, da = pytest.importorskip("pandas"), pytest.importorskip("xarray"), pytest.importorskip("dask.array")
    lat = np.linspace(-60, 60, 12)
    want = qm.geodetic2ecef(lat, 10.0, 5.0)
    series = pd.Series(lat, index=range(100, 112))
    x, y, z = qm.geodetic2ecef(series, 10.0, 5.0)
    assert isinstance(x, pd.Series) and list(x.index) == list(series.index) and np.array_equal(z.to_numpy(), want[2])
    frame = qm.geodetic2ecef(xr.DataArray(lat.reshape(3, 4), dims=("t", "s"), coords={"t": [1, 2, 3]}), 10.0, 5.0)[0]
    assert frame.dims == ("t", "s") and list(frame.t) == [1, 2, 3] and np.array_equal(frame.values.ravel(), want[0])
    lazy = qm.geodetic2ecef(da.from_array(lat, chunks=5), 10.0, 5.0)
    assert isinstance(lazy[1], da.Array) and lazy[1].chunks == ((5, 5, 2),)
    assert np.array_equal(lazy[1].compute(), want[1])
    dcm = qm.taitbryan2dcm(xr.DataArray(da.zeros((4, 3), chunks=2), dims=("time", "axis")))
    assert dcm.dims == ("time", "row", "column") and np.array_equal(dcm.values, np.tile(np.eye(3), (4, 1, 1)))
    masked = qm.geodetic2ecef(np.ma.masked_array(lat, mask=lat > 50), 10.0, 5.0)[0]
    assert masked.mask.tolist() == (lat > 50).tolist() and np.array_equal(masked.compressed(), want[0][lat <= 50])
    assert qm.quat2taitbryan(np.ma.masked_array(np.eye(4)[:2], mask=[[0, 0, 0, 1], [0] * 4])).mask[:, 0].tolist() == [True, False]
    with pytest.raises(TypeError, match="out= takes NumPy arrays"):
        qm.geodetic2ecef(series, 0, 0, out=tuple(np.empty(12) for _ in range(3)))
    # The grids pickle (a geoid grid by its file, which may be any path-like), and so go to worker processes.
    path = tmp_path / "grid.gtx"
    path.write_bytes(struct.pack(">4d2i", 30, -90, 10, 10, 2, 2) + struct.pack(">4f", 1, 2, 3, 4))
    geoid = qm.GeoidGrid(path, area=(30, -90, 40, -80), cubic=False)
    copy = pickle.loads(pickle.dumps(geoid))
    assert copy.file == str(path) and copy.undulation(35, -85) == geoid.undulation(35, -85) == 2.5
    grid = pickle.loads(pickle.dumps(qm.UtmGrid(35.25, -120.1, local=False)))
    assert (grid.zone, grid.local) == (10, False) and grid.forward(40, -123)[0] == 500000


def test_signatures_and_type_stubs():
    for name in qm.__all__:
        value = getattr(qm, name)
        if callable(value) and not isinstance(value, type) and name not in ("geodesic_polygon", "geodesic_waypoints", "geodetic2mgrs",
                                                                                "mgrs2geodetic"):   # (no array loop)
            assert "threads" in inspect.signature(value).parameters, name
    assert list(inspect.signature(qm.UtmGrid.forward).parameters)[:3] == ["self", "lat", "lon"]
    package = pathlib.Path(qm.__file__).parent
    mypy = [sys.executable, "-m", "mypy"]
    if subprocess.run(mypy + ["--version"], capture_output=True).returncode != 0:
        pytest.skip("mypy is not installed")
    checked = subprocess.run(mypy + ["--strict", str(package / "__init__.pyi")], capture_output=True, text=True)
    assert checked.returncode == 0, checked.stdout
    allow = pathlib.Path(__file__).with_name("stubtest-allowlist.txt")
    env = dict(os.environ, PYTHONPATH=str(package.parent))
    stubtest = subprocess.run([sys.executable, "-m", "mypy.stubtest", "qormatrix", "--allowlist", str(allow)],
                              capture_output=True, text=True, env=env, cwd=package.parent)
    assert stubtest.returncode == 0, stubtest.stdout
