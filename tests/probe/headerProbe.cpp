// Hashes the result bits of every public operation whose arithmetic sits in a
// header, over a fixed stream of inputs. tests/probe/run.cmake builds this file
// with different compilers and flags and requires one answer from all of them.
// The last line hashes a plain a * b + c, which a contracting build fuses: it
// shows whether the build under test could have changed anything at all.
#include "digest.h"

#include <cstdio>

using namespace Vorant;

__attribute__((noinline)) double canary(double a, double b, double c);
double canary(double a, double b, double c)
{
    return a * b + c;
}

int main()
{
    qmtest::Stream in(1);
    qmtest::Digest vec64, vec32, point3, point4, scalar, extent, probe;
    for (int n = 0; n < 20000; ++n) {
        // Near unit length in one case of two, where isNormalized turns.
        DtVector64 a = in.v64(1e3), b = in.v64(1e3);
        if (n % 2 == 0)
            DtVecScale(a, (1.0 + in.uniform(-1e-6, 1e-6)) / std::sqrt(a.magnitudeSquared()), a);
        const double t = in.uniform(0.0, 1e-3);
        DtVector64 m = a, s = a, d = a;
        m.normalize();
        s += b;
        d -= b;
        vec64 << a.dotProduct(b) << a.crossProduct(b) << a.magnitudeSquared() << m << a.isNormalized() << s << d
              << a.approxEq(b, t) << a.magnitudeIsZero(t) << (a.dotProduct(b) + a.magnitudeSquared());

        const DtVector32 f = DtVector64To32(a), g = in.v32(1e3);
        DtVector32 mf = f, sf = f, df = f;
        mf.normalize();
        sf += g;
        df -= g;
        vec32 << f.dotProduct(g) << f.magnitudeSquared() << mf << f.isNormalized() << f.approxEq(g, t) << sf << df
              << (f.dotProduct(g) + f.dotProduct(f));

        const Dt3dPoint p = in.point(1e4), q = in.point(1e4);
        Dt3dPoint pp = p, pm = p;
        pp += q;
        pm -= q;
        point3 << p.magnitudeSquared() << p.xyDistanceSquaredTo(q) << (p + q) << pp << pm << p.differenceAs3dPoint(q)
               << p.difference(q) << (p.magnitudeSquared() + p.xyDistanceSquaredTo(q));

        const double k = in.uniform(-10, 10), hw = in.uniform(0.5, 2);
        const Dt4dPoint h(p.x(), p.y(), p.z(), hw), i(q.x(), q.y(), q.z(), in.uniform(0.5, 2));
        Dt4dPoint hk = h;
        hk *= k;
        point4 << h * k << hk << (h * k + i) << (h - i * k) << (hk + i);

        const double x = in.uniform(-1e3, 1e3), y = in.uniform(-1e3, 1e3);
        scalar << (DtSquare(x) + y) << (DtSquare(float(x)) + float(y)) << (DtRad2Deg(x) + y) << (DtDeg2Rad(x) + y)
               << (DtProduct(x, y) + x) << DtLimit(x, -y, y) << (DtAbs(x) + DtMax(x, y));
        const Dt3dExtent e(p, q);
        extent << e.xSize() << e.ySize() << e.zSize();
        probe << canary(x, y, k);
    }
    std::printf("DtVector64 %016llx\nDtVector32 %016llx\nDt3dPoint %016llx\nDt4dPoint %016llx\n",
                (unsigned long long)vec64.h, (unsigned long long)vec32.h, (unsigned long long)point3.h,
                (unsigned long long)point4.h);
    std::printf("scalars %016llx\nDt3dExtent %016llx\ncanary %016llx\n", (unsigned long long)scalar.h,
                (unsigned long long)extent.h, (unsigned long long)probe.h);
    return 0;
}
