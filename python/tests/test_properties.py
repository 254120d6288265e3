"""Random shapes, dtypes and values at every function: a result of the right
shape, or TypeError / ValueError, never a crash; and round trips that hold."""
import numpy as np
import pytest
from hypothesis import given, settings, strategies as st
from hypothesis.extra import numpy as hnp

import qormatrix as qm

COLUMNS = [(qm.geodetic2ecef, 3, 3), (qm.ecef2geodetic, 3, 3), (qm.ecef2ned, 6, 3), (qm.ecef2enu, 6, 3),
           (qm.geodetic2ned, 6, 3), (qm.geodetic2enu, 6, 3), (qm.ned2ecef, 6, 3), (qm.enu2ecef, 6, 3),
           (qm.ned2geodetic, 6, 3), (qm.enu2geodetic, 6, 3), (qm.geodetic2utm, 2, 3), (qm.grid_declination, 2, 1),
           (qm.ecef2hpr, 6, 3), (qm.UtmGrid(35.25, -120.1).forward, 2, 2), (qm.UtmGrid(-33, 151).inverse, 2, 2)]
STACKED = [(qm.taitbryan2dcm, (3,), (3, 3)), (qm.dcm2taitbryan, (3, 3), (3,)), (qm.taitbryan2quat, (3,), (4,)),
           (qm.quat2taitbryan, (4,), (3,)), (qm.quat2dcm, (4,), (3, 3)), (qm.dcm2quat, (3, 3), (4,))]

values = st.floats(allow_nan=True, allow_infinity=True, width=64) | st.sampled_from([0.0, -0.0, 90.0, -90.0, 1e300])


def arrays(shape=hnp.array_shapes(min_dims=0, max_dims=3, min_side=0, max_side=4)):
    return (hnp.arrays(np.float64, shape, elements=values)
            | hnp.arrays(st.sampled_from([np.float32, np.int32, np.int64, np.uint8, np.bool_, np.complex128]), shape)
            | hnp.arrays(object, shape, elements=st.none() | values))


def anything():
    return arrays() | values | st.integers(-10**30, 10**30) | st.none() | st.text(max_size=3) | st.lists(values, max_size=3)


@settings(max_examples=60, deadline=None)
@given(st.data())
@pytest.mark.parametrize("function, inputs, outputs", COLUMNS)
@pytest.mark.filterwarnings("ignore::qormatrix.LibraryWarning")   # a drawn point on the polar axis is noticed
def test_columns_never_crash(function, inputs, outputs, data):
    args = [data.draw(anything()) for _ in range(inputs)]
    errors = data.draw(st.sampled_from(["raise", "nan"]))
    threads = data.draw(st.sampled_from([None, 1, 3]))
    try:
        result = function(*args, errors=errors, threads=threads)
    except (TypeError, ValueError) as e:
        assert str(e)
        return
    result = result if isinstance(result, tuple) else (result,)
    assert len(result) == outputs
    shapes = [np.shape(a) for a in args]
    assert all(np.shape(r) == np.broadcast_shapes(*shapes) for r in result)


@settings(max_examples=60, deadline=None)
@given(st.data())
@pytest.mark.parametrize("function, given_shape, result_shape", STACKED)
def test_stacked_never_crash(function, given_shape, result_shape, data):
    lead = data.draw(hnp.array_shapes(min_dims=0, max_dims=2, min_side=0, max_side=3))
    shape = data.draw(st.sampled_from([lead + given_shape, lead + (2,), given_shape[:-1]]))
    arg = data.draw(arrays(st.just(shape)) | anything())
    try:
        result = function(arg)
    except (TypeError, ValueError) as e:
        assert str(e)
        return
    assert result.shape == np.shape(arg)[:np.ndim(arg) - len(given_shape)] + result_shape


@settings(max_examples=200, deadline=None)
@given(st.floats(-89.999, 89.999), st.floats(-180, 180), st.floats(-1e4, 1e5))
def test_round_trips(lat, lon, h):
    back = qm.ecef2geodetic(*qm.geodetic2ecef(lat, lon, h))
    # The equator's latitude comes from a square root that loses precision there.
    tolerance = 3e-6 if abs(lat) < 1e-3 else 1e-8   # about 0.15 m at most
    assert abs(back[0] - lat) < tolerance and abs(back[2] - h) < 1e-3
    assert abs((back[1] - lon + 180) % 360 - 180) < 1e-9
    local = qm.ned2geodetic(*qm.geodetic2ned(lat, lon, h, 10.0, 20.0, 30.0), 10.0, 20.0, 30.0)
    assert abs(local[0] - back[0]) < tolerance and abs(local[2] - back[2]) < 2e-3
    assert abs((local[1] - back[1] + 180) % 360 - 180) < 1e-8
    if -80 <= lat <= 84 and abs(lat) > 1e-9:   # on the equator the hemisphere is a matter of convention
        easting, northing, zone = qm.geodetic2utm(lat, lon)
        la, lo = qm.utm2geodetic(easting, northing, zone, hemisphere="N" if lat >= 0 else "S")
        assert abs(la - lat) < 1e-7 and abs((lo - lon + 180) % 360 - 180) < 1e-7
