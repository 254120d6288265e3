// Hashes the result bits of every public operation whose arithmetic sits in a
// header, over a fixed stream of inputs. tests/probe/run.cmake builds this file
// with different compilers and flags and requires one answer from all of them.
// The last line hashes a plain a * b + c, which a contracting build fuses: it
// shows whether the build under test could have changed anything at all.
#include <qormatrix.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

using namespace Vorant;

namespace {

std::uint64_t state = 0x9e3779b97f4a7c15u;

std::uint64_t next()   // splitmix64
{
    std::uint64_t z = (state += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

// The inputs themselves must not depend on the flags: every product is opaque.
double uniform(double lo, double hi) { return lo + DtProduct(hi - lo, double(next() >> 11) * 0x1p-53); }

struct Hash
{
    std::uint64_t h = 0xcbf29ce484222325u;   // FNV-1a
    template <class T>
    void add(const T& v)
    {
        unsigned char b[sizeof v];
        std::memcpy(b, &v, sizeof v);
        for (unsigned char c : b)
            h = (h ^ c) * 0x100000001b3u;
    }
    void add(const DtVector64& v) { add(v.x()), add(v.y()), add(v.z()); }
    void add(const DtVector32& v) { add(v.x()), add(v.y()), add(v.z()); }
    void add(const Dt3dPoint& p) { add(p.x()), add(p.y()), add(p.z()); }
    void add(const Dt4dPoint& p) { add(p[0]), add(p[1]), add(p[2]), add(p[3]); }
};

// Vectors of every size, and some within a few 1e-7 of unit length, where
// isNormalized turns.
DtVector64 vector64()
{
    // One draw per statement: the order of evaluation of arguments is not fixed.
    const double x = uniform(-1e3, 1e3);
    const double y = uniform(-1e3, 1e3);
    DtVector64 v(x, y, uniform(-1e3, 1e3));
    if (next() % 2 == 0) {
        const double s = (1.0 + uniform(-1e-6, 1e-6)) / std::sqrt(v.magnitudeSquared());
        v = DtVector64(v.x() * s, v.y() * s, v.z() * s);
    }
    return v;
}

DtVector32 vector32()
{
    const DtVector64 v = vector64();
    return DtVector32(float(v.x()), float(v.y()), float(v.z()));
}

Dt3dPoint point()
{
    const double x = uniform(-1e4, 1e4);
    const double y = uniform(-1e4, 1e4);
    return Dt3dPoint(x, y, uniform(-1e4, 1e4));
}

}  // namespace

__attribute__((noinline)) double canary(double a, double b, double c);
double canary(double a, double b, double c) { return a * b + c; }

int main()
{
    constexpr int kRounds = 20000;
    Hash vec64, vec32, point3, point4, scalar, extent, probe;
    for (int n = 0; n < kRounds; ++n) {
        const DtVector64 a = vector64(), b = vector64();
        const double t = uniform(0.0, 1e-3);
        DtVector64 m = a;
        m.normalize();
        DtVector64 s = a, d = a;
        s += b;
        d -= b;
        vec64.add(a.dotProduct(b)), vec64.add(a.crossProduct(b)), vec64.add(a.magnitudeSquared()), vec64.add(m);
        vec64.add(a.isNormalized()), vec64.add(a.approxEq(b, t)), vec64.add(a.magnitudeIsZero(t)), vec64.add(s);
        vec64.add(d), vec64.add(a.dotProduct(b) + a.magnitudeSquared());

        const DtVector32 f = vector32(), g = vector32();
        DtVector32 mf = f, sf = f, df = f;
        mf.normalize();
        sf += g;
        df -= g;
        vec32.add(f.dotProduct(g)), vec32.add(f.magnitudeSquared()), vec32.add(mf), vec32.add(f.isNormalized());
        vec32.add(f.approxEq(g, t)), vec32.add(sf), vec32.add(df), vec32.add(f.dotProduct(g) + f.dotProduct(f));

        const Dt3dPoint p = point(), q = point();
        Dt3dPoint pp = p, pm = p;
        pp += q;
        pm -= q;
        point3.add(p.magnitudeSquared()), point3.add(p.xyDistanceSquaredTo(q)), point3.add(p + q), point3.add(pp);
        point3.add(pm), point3.add(p.differenceAs3dPoint(q)), point3.add(p.difference(q));
        point3.add(p.magnitudeSquared() + p.xyDistanceSquaredTo(q));

        const double k = uniform(-10, 10);
        const double hw = uniform(0.5, 2);
        const Dt4dPoint h(p.x(), p.y(), p.z(), hw), i(q.x(), q.y(), q.z(), uniform(0.5, 2));
        Dt4dPoint hk = h;
        hk *= k;
        point4.add(h * k), point4.add(hk), point4.add(h * k + i), point4.add(h - i * k), point4.add(hk + i);

        const double x = uniform(-1e3, 1e3), y = uniform(-1e3, 1e3);
        scalar.add(DtSquare(x) + y), scalar.add(DtSquare(float(x)) + float(y)), scalar.add(DtRad2Deg(x) + y);
        scalar.add(DtDeg2Rad(x) + y), scalar.add(DtProduct(x, y) + x), scalar.add(DtLimit(x, -y, y));
        scalar.add(DtAbs(x) + DtMax(x, y));

        const Dt3dExtent e(p, q);
        extent.add(e.xSize()), extent.add(e.ySize()), extent.add(e.zSize());

        probe.add(canary(x, y, k));
    }
    std::printf("DtVector64 %016llx\nDtVector32 %016llx\nDt3dPoint %016llx\nDt4dPoint %016llx\n",
                (unsigned long long)vec64.h, (unsigned long long)vec32.h, (unsigned long long)point3.h,
                (unsigned long long)point4.h);
    std::printf("scalars %016llx\nDt3dExtent %016llx\ncanary %016llx\n", (unsigned long long)scalar.h,
                (unsigned long long)extent.h, (unsigned long long)probe.h);
    return 0;
}
