#!/usr/bin/python3
"""Times the Python package against pyproj and pymap3d on 1,000,000 points
(and single-point calls) in one run, and prints a Markdown table with the
ratios against the goals. Best of --repeat runs each.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_vs_peers.py
"""
import argparse
import os
import platform
import time
import timeit

import numpy as np
import pymap3d
import pymap3d.los
import pymap3d.vincenty
import pyproj

import qormatrix as qm


def best(call, repeat):
    call()   # warm up: pages, threads, caches
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        call()
        times.append(time.perf_counter() - start)
    return min(times)


def per_call(call, number=100_000):
    return min(timeit.repeat(call, number=number, repeat=5)) / number


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=7)
    args = parser.parse_args()
    rng = np.random.default_rng(1)
    n = args.points
    lat, lon, h = rng.uniform(-89, 89, n), rng.uniform(-180, 180, n), rng.uniform(-100, 3000, n)
    x, y, z = qm.geodetic2ecef(lat, lon, h)
    ulat, ulon = rng.uniform(0, 84, n), rng.uniform(0, 6, n)   # zone 31 north
    easting, northing, _ = qm.geodetic2utm(ulat, ulon, zone=31)
    to_geodetic = pyproj.Transformer.from_crs(4978, 4979, always_xy=True)
    to_geocentric = pyproj.Transformer.from_crs(4979, 4978, always_xy=True)
    utm = pyproj.Transformer.from_crs(4326, 32631, always_xy=True)
    r = args.repeat
    # A second of work on every core first: the first runs of a process on
    # this kind of machine are slower (the host wakes the second core up).
    until = time.perf_counter() + 1.0
    while time.perf_counter() < until:
        qm.ecef2geodetic(x, y, z)

    # (operation, ours (all cores), ours (one thread), [(peer, seconds, goal or None)])
    rows = []
    ours = best(lambda: qm.ecef2geodetic(x, y, z), r)
    one = best(lambda: qm.ecef2geodetic(x, y, z, threads=1), r)
    proj = best(lambda: to_geodetic.transform(x, y, z), r)
    m3d = best(lambda: pymap3d.ecef2geodetic(x, y, z), r)
    rows.append(("geocentric -> geodetic", ours, one, [("pyproj", proj, None), ("pymap3d", m3d, None),
                                                      ("faster of the two", min(proj, m3d), 0.5)]))
    ours = best(lambda: qm.geodetic2utm(ulat, ulon, zone=31), r)
    one = best(lambda: qm.geodetic2utm(ulat, ulon, zone=31, threads=1), r)
    rows.append(("geodetic -> UTM zone 31", ours, one, [("pyproj", best(lambda: utm.transform(ulon, ulat), r), 0.35)]))
    ours = best(lambda: qm.utm2geodetic(easting, northing, 31, hemisphere="N"), r)
    one = best(lambda: qm.utm2geodetic(easting, northing, 31, hemisphere="N", threads=1), r)
    rows.append(("UTM zone 31 -> geodetic", ours, one,
                 [("pyproj", best(lambda: utm.transform(easting, northing, direction="INVERSE"), r), 0.35)]))
    ours = best(lambda: qm.geodetic2ecef(lat, lon, h), r)
    one = best(lambda: qm.geodetic2ecef(lat, lon, h, threads=1), r)
    rows.append(("geodetic -> geocentric", ours, one, [("pymap3d (NumPy's vectorised sine)",
                                                        best(lambda: pymap3d.geodetic2ecef(lat, lon, h), r), 1.0),
                                                       ("pyproj", best(lambda: to_geocentric.transform(lon, lat, h), r),
                                                        None)]))
    lat2, lon2 = rng.uniform(-90, 90, n), rng.uniform(-180, 180, n)
    geod = pyproj.Geod(ellps="WGS84")
    ours = best(lambda: qm.geodesic_inverse(lat, lon, lat2, lon2), r)
    one = best(lambda: qm.geodesic_inverse(lat, lon, lat2, lon2, threads=1), r)
    rows.append(("geodesic inverse", ours, one, [("pyproj Geod.inv", best(lambda: geod.inv(lon, lat, lon2, lat2), r),
                                                  0.35)]))
    azimuth, distance = rng.uniform(-180, 180, n), rng.uniform(0, 2e7, n)
    ours = best(lambda: qm.geodesic_direct(lat, lon, azimuth, distance), r)
    one = best(lambda: qm.geodesic_direct(lat, lon, azimuth, distance, threads=1), r)
    rows.append(("geodesic direct", ours, one, [("pyproj Geod.fwd",
                                                 best(lambda: geod.fwd(lon, lat, azimuth, distance), r), None)]))
    lat0, lon0, h0 = 45.0, 7.0, 300.0
    ours = best(lambda: qm.geodetic2aer(lat, lon, h, lat0, lon0, h0), r)
    one = best(lambda: qm.geodetic2aer(lat, lon, h, lat0, lon0, h0, threads=1), r)
    rows.append(("geodetic -> azimuth, elevation, range", ours, one,
                 [("pymap3d geodetic2aer", best(lambda: pymap3d.geodetic2aer(lat, lon, h, lat0, lon0, h0), r), 0.35)]))
    az, el, srange = qm.geodetic2aer(lat, lon, h, lat0, lon0, h0)
    ours = best(lambda: qm.aer2geodetic(az, el, srange, lat0, lon0, h0), r)
    one = best(lambda: qm.aer2geodetic(az, el, srange, lat0, lon0, h0, threads=1), r)
    rows.append(("azimuth, elevation, range -> geodetic", ours, one,
                 [("pymap3d aer2geodetic", best(lambda: pymap3d.aer2geodetic(az, el, srange, lat0, lon0, h0), r), 0.35)]))
    north, east, down = (rng.uniform(-5e4, 5e4, n) for _ in range(3))
    ours = best(lambda: qm.ned2geodetic(north, east, down, lat0, lon0, h0), r)
    one = best(lambda: qm.ned2geodetic(north, east, down, lat0, lon0, h0, threads=1), r)
    rows.append(("north-east-down within 50 km -> geodetic", ours, one,
                 [("pymap3d ned2geodetic", best(lambda: pymap3d.ned2geodetic(north, east, down, lat0, lon0, h0), r),
                   None)]))
    tilt = rng.uniform(0, 60, n)
    ours = best(lambda: qm.lookAtSpheroid(lat0, lon0, 8e5, azimuth, tilt), r)
    one = best(lambda: qm.lookAtSpheroid(lat0, lon0, 8e5, azimuth, tilt, threads=1), r)
    rows.append(("line of sight to the ellipsoid, from 800 km", ours, one,
                 [("pymap3d lookAtSpheroid", best(lambda: pymap3d.los.lookAtSpheroid(lat0, lon0, 8e5, azimuth, tilt), r),
                   0.25)]))
    single = [("geodetic2ecef, one point", per_call(lambda: qm.geodetic2ecef(45.0, 30.0, 1000.0)),
               [("pyproj", per_call(lambda: to_geocentric.transform(30.0, 45.0, 1000.0), 20_000)),
                ("pymap3d", per_call(lambda: pymap3d.geodetic2ecef(45.0, 30.0, 1000.0), 20_000))]),
              ("ecef2geodetic, one point", per_call(lambda: qm.ecef2geodetic(4e6, 3e6, 4e6)),
               [("pyproj", per_call(lambda: to_geodetic.transform(4e6, 3e6, 4e6), 20_000)),
                ("pymap3d", per_call(lambda: pymap3d.ecef2geodetic(4e6, 3e6, 4e6), 20_000))]),
              ("geodetic2utm, one point", per_call(lambda: qm.geodetic2utm(45.0, 3.0)),
               [("pyproj", per_call(lambda: utm.transform(3.0, 45.0), 20_000))]),
              ("geodesic_inverse, one point", per_call(lambda: qm.geodesic_inverse(10.0, 20.0, 30.0, 40.0)),
               [("pyproj Geod.inv", per_call(lambda: geod.inv(20.0, 10.0, 40.0, 30.0), 20_000)),
                ("pymap3d vdist (Vincenty)", per_call(lambda: pymap3d.vincenty.vdist(10.0, 20.0, 30.0, 40.0), 2_000))]),
              ("geodetic2aer, one point", per_call(lambda: qm.geodetic2aer(10.0, 20.0, 3000.0, 11.0, 21.0, 0.0)),
               [("pymap3d", per_call(lambda: pymap3d.geodetic2aer(10.0, 20.0, 3000.0, 11.0, 21.0, 0.0), 20_000))]),
              ("aer2geodetic, one point", per_call(lambda: qm.aer2geodetic(30.0, 10.0, 1e5, 45.0, 7.0, 100.0)),
               [("pymap3d", per_call(lambda: pymap3d.aer2geodetic(30.0, 10.0, 1e5, 45.0, 7.0, 100.0), 20_000))]),
              ("lookAtSpheroid, one point", per_call(lambda: qm.lookAtSpheroid(10.0, 20.0, 1000.0, 30.0, 60.0)),
               [("pymap3d", per_call(lambda: pymap3d.los.lookAtSpheroid(10.0, 20.0, 1000.0, 30.0, 60.0), 2_000))])]

    print(f"{time.strftime('%Y-%m-%d')}, {os.cpu_count()} cores, Python {platform.python_version()}, NumPy "
          f"{np.__version__}, pyproj {pyproj.__version__} (PROJ {pyproj.proj_version_str}), pymap3d "
          f"{pymap3d.__version__}; {n:,} points, best of {r} runs")
    print()
    print("| operation | ours s | ours, 1 thread s | peer | peer s | ratio | goal | met |")
    print("|---|---:|---:|---|---:|---:|---:|:-:|")
    missed = 0
    for label, ours, one, peers in rows:
        for i, (peer, seconds, goal) in enumerate(peers):
            ratio = ours / seconds
            met = "" if goal is None else ("yes" if ratio <= goal else "NO")
            missed += met == "NO"
            first = i == 0
            print(f"| {label if first else ''} | {f'{ours:.4f}' if first else ''} | {f'{one:.4f}' if first else ''} "
                  f"| {peer} | {seconds:.4f} | {ratio:.2f} | {'' if goal is None else f'{goal:.2f}'} | {met} |")
    for label, ours, peers in single:
        for i, (peer, seconds) in enumerate(peers):
            met = ("yes" if ours <= 1e-6 else "NO") if i == 0 else ""
            missed += met == "NO"
            print(f"| {label if i == 0 else ''} | {f'{ours * 1e6:.2f} us' if i == 0 else ''} | | {peer} "
                  f"| {seconds * 1e6:.2f} us | {ours / seconds:.2f} | {'1 us' if i == 0 else ''} | {met} |")
    # No peer for the magnetic field in Python here: its own goal, 0.5 s for 1,000,000 points on every core.
    year = rng.uniform(2025, 2030, n)
    field = best(lambda: qm.magnetic_field(lat, lon, h, year), r)
    met = "yes" if field <= 0.5 else "NO"
    missed += met == "NO"
    print(f"| magnetic_field (WMM2025, degree 12, with rates) | {field:.4f} | "
          f"{best(lambda: qm.magnetic_field(lat, lon, h, year, threads=1), r):.4f} | (none) | | | 0.5 s | {met} |")
    print()
    print(f"{missed} goal(s) missed")


if __name__ == "__main__":
    main()
