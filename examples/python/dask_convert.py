"""Geocentric positions to geodetic ones on a Dask cluster.

A chunked Dask array of X, Y, Z rows goes through qormatrix.ecef2geodetic with
map_blocks on a distributed cluster: a LocalCluster of worker processes by
default, or the scheduler at --scheduler (tcp://host:8786), whose workers need
qormatrix installed (pip install --no-build-isolation ./python on each, or a
shared environment). Every block gets exactly the bits it would get in this
process; --check converts here as well and compares.

    python3 examples/python/dask_convert.py --points 2000000 --check
    python3 examples/python/dask_convert.py --scheduler tcp://10.0.0.5:8786
"""
import argparse
import sys
import time

import dask.array as da
import numpy as np
from dask.distributed import Client, LocalCluster

import qormatrix as qm


def to_geodetic(block):
    """(n, 3) geocentric rows to (n, 3) latitude, longitude, height rows."""
    lat, lon, alt = qm.ecef2geodetic(block[:, 0], block[:, 1], block[:, 2], threads=1)
    return np.stack([lat, lon, alt], axis=1)


def positions(count, stream=1):
    rng = np.random.default_rng(stream)
    x, y, z = qm.geodetic2ecef(rng.uniform(-90, 90, count), rng.uniform(-180, 180, count), rng.uniform(-500, 1e5, count))
    return np.stack([x, y, z], axis=1)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=int, default=2_000_000)
    parser.add_argument("--chunk", type=int, default=250_000, help="rows per block")
    parser.add_argument("--workers", type=int, default=2, help="worker processes of the local cluster")
    parser.add_argument("--scheduler", help="address of a running scheduler instead of a local cluster")
    parser.add_argument("--check", action="store_true", help="compare with a conversion in this process")
    args = parser.parse_args(argv)

    xyz = positions(args.points)
    if args.scheduler:
        cluster, client = None, Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True, dashboard_address=None)
        client = Client(cluster)
    try:
        start = time.perf_counter()
        blocks = da.from_array(xyz, chunks=(args.chunk, 3))
        result = blocks.map_blocks(to_geodetic, dtype=np.float64).compute()
        print(f"{args.points} points in {blocks.numblocks[0]} blocks on {len(client.scheduler_info()['workers'])} "
              f"workers: {time.perf_counter() - start:.2f} s")
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    if args.check:
        same = np.array_equal(result.view(np.uint64), to_geodetic(xyz).view(np.uint64))
        print(f"bit for bit as in this process: {same}")
        return 0 if same else 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
