"""The magnetic field on arrays: the published WMM2025 check values, the same
bits as one call at a time, a model read from a file, and bad input."""
import pathlib

import numpy as np
import pytest

import qormatrix as qm

ROOT = pathlib.Path(__file__).resolve().parents[2]


def test_check_values_rates_and_a_model_from_a_file():
    rows = np.loadtxt(ROOT / "tests/data/wmm2025-check-values.csv", delimiter=",", comments=("#", "date"))
    year, alt, lat, lon = rows[:, 0], rows[:, 1] * 1000, rows[:, 2], rows[:, 3]
    field = qm.magnetic_field(lat, lon, alt, year)
    for ours, theirs in zip(field[:5], rows[:, 4:9].T):
        assert np.abs(ours - theirs).max() < 2e-3   # nT
    for ours, theirs in zip(field[5:], rows[:, 9:].T):
        assert np.abs(ours - theirs).max() <= 5.1e-3   # degrees, the file's rounding
    rates = qm.magnetic_field(lat, lon, alt, year, rates=True)
    later = qm.magnetic_field(lat, lon, alt, year + 0.5)
    assert np.allclose(rates[2], (later[2] - field[2]) / 0.5, rtol=0, atol=1e-6)   # Z is linear in time
    model = qm.MagneticModel(ROOT / "data/WMM2025.COF")
    assert (model.name, model.epoch, model.degree) == ("WMM-2025", 2025.0, 12)
    again = qm.magnetic_field(lat, lon, alt, year, model=model, threads=3)
    assert all(np.array_equal(a, b) for a, b in zip(field, again))
    d, g, gma, gv, zone = qm.magnetic_bearings(lat, lon, alt, year)
    assert np.array_equal(d, field[6]) and np.allclose(gma, d - g, equal_nan=True)
    assert np.isnan(gv[np.abs(lat) < 55]).all() and not np.isnan(gv[np.abs(lat) > 55]).any()
    assert set(zone) <= {0.0, 1.0, 2.0} and zone[(lat == 89)].max() == 2.0


def test_bad_input_and_bad_files(tmp_path):
    with pytest.raises(ValueError, match=r"lat\[1\] = 95.0"):
        qm.magnetic_field([10.0, 95.0], 0.0, 0.0, 2026.0)
    x = qm.magnetic_field([10.0, 95.0, np.nan], 0.0, 0.0, 2026.0, errors="nan")[0]
    assert np.isfinite(x[0]) and np.isnan(x[1:]).all()
    with pytest.raises(TypeError, match="model: expected a qormatrix.MagneticModel"):
        qm.magnetic_field(0.0, 0.0, 0.0, 2026.0, model="WMM2025")
    with pytest.raises(OSError, match="cannot be opened"):
        qm.MagneticModel(tmp_path / "missing.cof")
    bad = tmp_path / "bad.cof"
    bad.write_text("2025.0 BAD 01/01/2025\n 1 0 -29000 0 1 0\n")
    with pytest.raises(ValueError, match=r"bad.cof', line 2: the file ends before its closing line of nines"):
        qm.MagneticModel(bad)
