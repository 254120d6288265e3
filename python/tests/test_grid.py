"""UPS against pyproj's polar stereographic grids (EPSG 32661 and 32761) on the
same ellipsoid; MGRS strings against values written by GeographicLib's
GeoConvert -m, round trips into the square a point started in, and the
errors of both directions."""
import numpy as np
import pytest

import qormatrix as qm

pyproj = pytest.importorskip("pyproj")
RNG = np.random.default_rng(25)
WGS84 = (6378137.0, 1 / 298.257223563)


def test_ups_agrees_with_pyproj_and_comes_back():
    for south in (False, True):
        lat = RNG.uniform(83.5, 90, 20000) * (-1 if south else 1)
        lon = RNG.uniform(-180, 180, 20000)
        e, n = qm.geodetic2ups(lat, lon, WGS84)
        pe, pn = pyproj.Transformer.from_crs(4326, 32761 if south else 32661, always_xy=True).transform(lon, lat)
        assert np.hypot(e - pe, n - pn).max() < 1e-8   # measured: 2.1e-9 m
        blat, blon = qm.ups2geodetic(e, n, "S" if south else "N", WGS84)
        ground = np.hypot(blat - lat, ((blon - lon + 180) % 360 - 180) * np.cos(np.radians(lat))) * 1.1e5
        assert ground.max() < 1e-8
    with pytest.raises(ValueError, match="outside the polar caps UPS covers"):
        qm.geodetic2ups([88.0, 45.0], 0.0)
    assert np.isnan(qm.geodetic2ups([88.0, 45.0], 0.0, errors="nan")[0][1])
    with pytest.raises(ValueError, match="hemisphere: expected 'N' or 'S'"):
        qm.ups2geodetic(2e6, 2e6, "north")


def test_mgrs_strings_and_their_squares():
    # GeoConvert -m -p 0, -3 and 6 (the last on the exact WGS 84 ellipsoid).
    assert qm.geodetic2mgrs(40.689247, -74.044502) == "18TWL8073504700"
    assert qm.geodetic2mgrs(40.689247, -74.044502, 2) == "18TWL8004"
    assert qm.geodetic2mgrs(40.689247, -74.044502, 11, WGS84) == "18TWL8073564497904700380655"
    assert list(qm.geodetic2mgrs([-89.9999, -89.9999], [-90.0, 90.0])) == ["AZN9998800000", "BAN0001100000"]
    lat, lon = RNG.uniform(-90, 90, (50, 40)), RNG.uniform(-180, 180, (50, 40))
    for digits in (0, 3, 5, 8):
        text = qm.geodetic2mgrs(lat, lon, digits)
        assert text.shape == (50, 40) and all(len(t) in (3 + 2 * digits, 5 + 2 * digits) for t in text.ravel())
        blat, blon, got = qm.mgrs2geodetic(text)
        # The centre of the square is within half its diagonal of the point (the grid's scale is within 0.1 %).
        ground = np.hypot(blat - lat, ((blon - lon + 180) % 360 - 180) * np.cos(np.radians(lat))) * 111195
        assert (got == digits).all() and ground.max() <= 1e5 / 10**digits * 0.7072 * 1.001 + 1e-6
        corner = qm.mgrs2geodetic(text, centre=False)
        inside = qm.geodetic2mgrs((corner[0] + blat) / 2, (corner[1] + blon) / 2, digits)
        assert digits == 0 or (inside == text).mean() > 0.99   # (a square across a band or zone edge has two names)
    blat, blon, got = qm.mgrs2geodetic("18t wl 807 047")
    assert got == 3 and abs(blat - 40.689) < 0.001


def test_mgrs_errors():
    with pytest.raises(ValueError, match=r"text\[1\]: Invalid MGRS reference '18IWL': I and O are not letters"):
        qm.mgrs2geodetic(["18TWL12", "18IWL"])
    lat, lon, digits = qm.mgrs2geodetic(["18TWL12", "18TWL123", ""], errors="nan")
    assert digits[0] == 1 and np.isnan(lat[1:]).all()
    with pytest.raises(ValueError, match=r"element 1 \(91.0, 0.0\)"):
        qm.geodetic2mgrs([1.0, 91.0], 0.0)
    assert list(qm.geodetic2mgrs([np.nan, 91.0, 1.0], 0.0, 0, errors="nan")) == ["", "", "31NAB"]
    with pytest.raises(ValueError, match="digits: expected 0 to 11"):
        qm.geodetic2mgrs(0.0, 0.0, 12)
    with pytest.raises(TypeError, match="text: expected strings"):
        qm.mgrs2geodetic(5.0)
