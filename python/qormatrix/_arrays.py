"""Other libraries' arrays in, the same kind out.

The compiled functions take NumPy arrays and scalars. When an input is a
pandas Series or DataFrame, an xarray DataArray, a Dask array or a NumPy
masked array, the compiled function hands the call here (with its arguments in
its parameter order), and the result comes back as that kind of array:

- Dask arrays (and DataArrays holding them) stay lazy; each chunk is converted
  by the compiled function wherever Dask runs it (the function is called by
  name, so the task pickles for a cluster of processes);
- xarray keeps dimensions and coordinates (through ``xarray.apply_ufunc``);
- pandas keeps the index (and a DataFrame's columns);
- a masked element gives a masked result (it is converted as NaN).
"""
import functools

import numpy as np

from . import _core

_TAIL = ("out", "errors", "threads")
_LOCAL = ("ell", "deg", "datum") + _TAIL

# name: (parameter names after self, how many lead as arrays, outputs, core dimensions in and out)
_SPECS = {
    "geodetic2ecef": (("lat", "lon", "alt", "ell", "deg", "datum", "geoid") + _TAIL, 3, 3, None),
    "ecef2geodetic": (("x", "y", "z", "ell", "deg", "datum", "geoid") + _TAIL, 3, 3, None),
    "geodetic2utm": (("lat", "lon", "zone", "zone_rule", "ell", "deg", "datum") + _TAIL, 3, 3, None),
    "utm2geodetic": (("easting", "northing", "zone", "hemisphere", "band", "ell", "deg", "datum") + _TAIL, 3, 2, None),
    "grid_declination": (("lat", "lon", "zone", "ell", "deg", "datum") + _TAIL, 3, 1, None),
    "ecef2hpr": (("x", "y", "z", "psi", "theta", "phi", "ell", "deg", "datum") + _TAIL, 6, 3, None),
    "geodesic_inverse": (("lat1", "lon1", "lat2", "lon2", "ell", "deg", "datum", "full") + _TAIL, 4, 3, None),
    "geodesic_direct": (("lat1", "lon1", "azimuth", "distance", "ell", "deg", "datum") + _TAIL, 4, 3, None),
    "taitbryan2dcm": (("angles", "deg") + _TAIL, 1, 1, ((3,), (3, 3))),
    "dcm2taitbryan": (("dcm", "deg") + _TAIL, 1, 1, ((3, 3), (3,))),
    "taitbryan2quat": (("angles", "deg") + _TAIL, 1, 1, ((3,), (4,))),
    "quat2taitbryan": (("quat", "deg") + _TAIL, 1, 1, ((4,), (3,))),
    "quat2dcm": (("quat",) + _TAIL, 1, 1, ((4,), (3, 3))),
    "dcm2quat": (("dcm",) + _TAIL, 1, 1, ((3, 3), (4,))),
    "UtmGrid.forward": (("lat", "lon") + _TAIL, 2, 2, None),
    "UtmGrid.inverse": (("easting", "northing") + _TAIL, 2, 2, None),
    "GeoidGrid.undulation": (("lat", "lon", "deg") + _TAIL, 2, 1, None),
}
for _name, _inputs in [("geodetic2aer", "lat lon h lat0 lon0 h0"), ("ecef2aer", "x y z lat0 lon0 h0"),
                       ("aer2geodetic", "az el srange lat0 lon0 h0"), ("aer2ecef", "az el srange lat0 lon0 alt0")]:
    _SPECS[_name] = (tuple(_inputs.split()) + _LOCAL, 6, 3, None)
for _name, _inputs in [("enu2aer", "e n u"), ("ned2aer", "n e d"), ("aer2enu", "az el srange"),
                       ("aer2ned", "az elev slantRange")]:
    _SPECS[_name] = (tuple(_inputs.split()) + ("deg",) + _TAIL, 3, 3, None)
_SPECS["geodetic2ups"] = (("lat", "lon") + _LOCAL, 2, 2, None)
_SPECS["ups2geodetic"] = (("easting", "northing", "hemisphere") + _LOCAL, 2, 2, None)
_SPECS["magnetic_field"] = (("lat", "lon", "alt", "year", "deg", "model", "rates") + _TAIL, 4, 7, None)
_SPECS["magnetic_bearings"] = (("lat", "lon", "alt", "year", "deg", "model") + _TAIL, 4, 5, None)
_SPECS["lookAtSpheroid"] = (("lat0", "lon0", "h0", "az", "tilt", "ell", "deg", "height", "datum") + _TAIL, 5, 3, None)
_SPECS["clearance"] = (("lat0", "lon0", "h0", "lat", "lon", "h", "ell", "deg", "height", "datum") + _TAIL, 6, 3, None)
for _name, _inputs in [("ecef2ned", "x y z"), ("ecef2enu", "x y z"), ("geodetic2ned", "lat lon h"),
                       ("geodetic2enu", "lat lon h"), ("ned2ecef", "n e d"), ("enu2ecef", "e1 n1 u1"),
                       ("ned2geodetic", "n e d"), ("enu2geodetic", "e n u")]:
    _SPECS[_name] = (tuple(_inputs.split()) + ("lat0", "lon0", "h0") + _LOCAL, 6, 3, None)

# Names of the core dimensions the rotations give xarray.
_CORE_NAMES = {(3,): ("angle",), (4,): ("component",), (3, 3): ("row", "column")}


def _module(value):
    return type(value).__module__.split(".")[0]


def _is_dask(value):
    return _module(value) == "dask" or (_module(value) == "xarray" and _module(getattr(value, "data", None)) == "dask")


def _call(name, owner, fixed, names, *arrays):
    """The compiled function on NumPy arrays: the task Dask and xarray run."""
    function = getattr(owner, name.split(".")[1]) if owner is not None else getattr(_core, name)
    kwargs = dict(fixed)
    kwargs.update(zip(names, arrays))
    return function(**kwargs)


def apply(name, args):
    """Runs the compiled function `name` on `args` (in its parameter order)
    with other libraries' arrays among them; see the module's text."""
    names, leading, outputs, core = _SPECS[name]
    owner = args[0] if "." in name else None
    kwargs = dict(zip(names, args[1:] if owner is not None else args))
    if kwargs.get("full"):   # geodesic_inverse's reduced length, scales and area as well
        outputs = 7
    if kwargs.get("out") is not None:
        raise TypeError(f"{name}: out= takes NumPy arrays, and only with NumPy inputs")
    for letters in ("hemisphere", "band"):   # utm2geodetic's letters from pandas or xarray
        if kwargs.get(letters) is not None and not isinstance(kwargs[letters], str):
            kwargs[letters] = np.asarray(kwargs[letters]).astype(str)
    arrays = {n: kwargs.pop(n) for n in names[:leading] if kwargs.get(n) is not None}
    task = functools.partial(_call, name, owner, tuple(kwargs.items()), tuple(arrays))
    values = list(arrays.values())
    kinds = {_module(v) for v in values}
    if "xarray" in kinds:
        return _xarray(task, values, outputs, core)
    if any(_is_dask(v) for v in values):
        return _dask(task, values, outputs, core)
    if "pandas" in kinds:
        return _pandas(task, values)
    if any(np.ma.isMaskedArray(v) for v in values):
        return _masked(task, values, core)
    return task(*(np.asarray(v) for v in values))


def _signature(count, outputs, core):
    if core is None:
        return ",".join(["()"] * count) + "->" + ",".join(["()"] * outputs)
    return "(" + ",".join("i" * len(core[0])) + ")->(" + ",".join("jk"[:len(core[1])]) + ")"


def _dask(task, values, outputs, core):
    import dask.array as da

    sizes = {} if core is None else dict(zip("jk", core[1]))
    return da.apply_gufunc(task, _signature(len(values), outputs, core), *values, output_dtypes=[float] * outputs
                           if outputs > 1 else float, output_sizes=sizes, allow_rechunk=core is not None)


def _xarray(task, values, outputs, core):
    import xarray as xr

    if core is None:
        ins, outs, sizes = [[] for _ in values], [[] for _ in range(outputs)], {}
    else:
        ins = [list(getattr(v, "dims", ())[-len(core[0]):]) for v in values]
        outs = [list(_CORE_NAMES[core[1]])]
        sizes = dict(zip(outs[0], core[1]))
    result = xr.apply_ufunc(task, *values, input_core_dims=ins, output_core_dims=outs, dask="parallelized",
                            output_dtypes=[float] * outputs,
                            dask_gufunc_kwargs={"output_sizes": sizes, "allow_rechunk": core is not None})
    return result


def _pandas(task, values):
    import pandas as pd

    first = next(v for v in values if isinstance(v, (pd.Series, pd.DataFrame)))
    result = task(*(np.asarray(v) for v in values))

    def wrap(r):
        if r.shape != first.shape:
            return r
        if isinstance(first, pd.Series):
            return pd.Series(r, index=first.index)
        return pd.DataFrame(r, index=first.index, columns=first.columns)

    return tuple(wrap(r) for r in result) if isinstance(result, tuple) else wrap(result)


def _masked(task, values, core):
    data = [np.ma.filled(np.ma.asarray(v).astype(float), np.nan) if np.ma.isMaskedArray(v) else np.asarray(v)
            for v in values]
    masks = [np.ma.getmaskarray(v) if np.ma.isMaskedArray(v) else np.zeros(np.shape(v), bool) for v in values]
    if core is not None:   # an element is masked when any of its numbers is
        masks = [m.reshape(m.shape[:m.ndim - len(core[0])] + (-1,)).any(axis=-1) for m in masks]
    mask = functools.reduce(np.logical_or, np.broadcast_arrays(*masks))
    result = task(*data)

    def wrap(r):
        full = mask if core is None else mask.reshape(mask.shape + (1,) * len(core[1]))
        return np.ma.masked_array(r, mask=np.broadcast_to(full, r.shape).copy())

    return tuple(wrap(r) for r in result) if isinstance(result, tuple) else wrap(result)
