"""Geocentric positions to geodetic ones on a Dask cluster.

Chunked Dask arrays of X, Y and Z go straight into qormatrix.ecef2geodetic,
which gives Dask arrays back, lazily: each chunk is converted on the cluster
(the tasks name the function, so they pickle for worker processes). A
LocalCluster of worker processes by default, or the scheduler at --scheduler
(tcp://host:8786), whose workers need qormatrix installed (pip install ./python
on each, or a shared environment). Every chunk gets exactly the bits it would
get in this process; --check converts here as well and compares.

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


def positions(count, stream=1):
    rng = np.random.default_rng(stream)
    return qm.geodetic2ecef(rng.uniform(-90, 90, count), rng.uniform(-180, 180, count), rng.uniform(-500, 1e5, count))


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
        x, y, z = (da.from_array(c, chunks=args.chunk) for c in xyz)
        lazy = qm.ecef2geodetic(x, y, z, threads=1)   # Dask arrays: nothing is computed yet
        result = da.compute(*lazy)
        print(f"{args.points} points in {x.numblocks[0]} blocks on {len(client.scheduler_info()['workers'])} "
              f"workers: {time.perf_counter() - start:.2f} s")
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    if args.check:
        here = qm.ecef2geodetic(*xyz)
        same = all(np.array_equal(a.view(np.uint64), b.view(np.uint64)) for a, b in zip(result, here))
        print(f"bit for bit as in this process: {same}")
        return 0 if same else 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
