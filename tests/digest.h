// FNV-1a digests of result bits and a fixed stream of inputs, shared by the
// digest suite and the header probe (which is built with other compilers and
// flags, so nothing here may depend on them).
#ifndef QORMATRIX_TEST_DIGEST_H
#define QORMATRIX_TEST_DIGEST_H

#include <qormatrix.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>

namespace qmtest {

using namespace Vorant;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kPi = 3.141592653589793;
const double kDeg = kPi / 180;
const double kHalfPi = kPi / 2;

struct Digest
{
    std::uint64_t h = 0xcbf29ce484222325u;
    void bytes(const void* p, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i)
            h = (h ^ static_cast<const unsigned char*>(p)[i]) * 0x100000001b3u;
    }
    // Every NaN hashes alike, and "-nan" prints like "nan": a compiler may
    // swap the operands of + and *, and which NaN survives depends on the order.
    Digest& operator<<(double v) { return std::isnan(v) ? *this << long(0x7ff8) : (bytes(&v, sizeof v), *this); }
    Digest& operator<<(float v) { return std::isnan(v) ? *this << long(0x7fc0) : (bytes(&v, sizeof v), *this); }
    Digest& operator<<(long v) { return bytes(&v, sizeof v), *this; }
    Digest& operator<<(int v) { return *this << long(v); }
    Digest& operator<<(bool v) { return *this << long(v); }
    Digest& operator<<(std::string s)
    {
        for (std::size_t at = s.find("-nan"); at != std::string::npos; at = s.find("-nan", at))
            s.erase(at, 1);
        return bytes(s.data(), s.size()), *this;
    }
    template <class V>
    Digest& operator<<(const DtVectorT<V>& v) { return *this << v.x() << v.y() << v.z(); }
    Digest& operator<<(const DtDcm& m) { return *this << m[0] << m[1] << m[2]; }
    Digest& operator<<(const DtTaitBryan& a) { return *this << a.psi() << a.theta() << a.phi(); }
    Digest& operator<<(const DtQuaternion& q) { return *this << q.w() << q.x() << q.y() << q.z(); }
    Digest& operator<<(const Dt3dPoint& p) { return *this << p.x() << p.y() << p.z(); }
    Digest& operator<<(const Dt4dPoint& p) { return *this << p[0] << p[1] << p[2] << p[3]; }
    Digest& operator<<(const Dt3dExtent& e) { return *this << e.minX() << e.maxX() << e.minY() << e.maxY() << e.minZ() << e.maxZ(); }
    Digest& operator<<(const DtDirectedRotRate& r) { return *this << r.magnitude << r.axis[0] << r.axis[1] << r.axis[2]; }
    template <class T>
    Digest& text(const T& v)   // the text form with default and with high precision
    {
        std::ostringstream a, b;
        b.precision(17);
        a << v;
        b << v;
        return *this << a.str() << b.str();
    }
};

// Random values, one in eight taken from the edge list.
class Stream
{
public:
    explicit Stream(std::uint64_t s) : myState(s) {}
    std::uint64_t next()   // splitmix64
    {
        std::uint64_t z = (myState += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    // The draws themselves must not depend on how this file is compiled.
    double uniform(double lo, double hi) { return lo + Vorant::DtProduct(hi - lo, double(next() >> 11) * 0x1p-53); }
    int pick(int n) { return int(next() % std::uint64_t(n)); }
    double any(double lo, double hi)
    {
        static const double edges[] = {0.0,  -0.0, 1.0,     -1.0,     0.5,  2.0,   kNaN,   kInf,  -kInf, 1e-300,
                                       -1e300, kPi, kPi / 2, -kPi / 2, 90.0, 180.0, -180.0, 360.0, 1e-9, 1e-6};
        return pick(8) == 0 ? edges[pick(20)] : uniform(lo, hi);
    }
    DtVector64 v64(double r = 10) { return {any(-r, r), any(-r, r), any(-r, r)}; }
    DtVector32 v32(double r = 10) { return {float(any(-r, r)), float(any(-r, r)), float(any(-r, r))}; }
    DtDcm dcm(double r = 2) { return {any(-r, r), any(-r, r), any(-r, r), any(-r, r), any(-r, r), any(-r, r), any(-r, r), any(-r, r), any(-r, r)}; }
    DtTaitBryan angles() { return {any(-4, 4), any(-2, 2), any(-4, 4)}; }
    DtQuaternion quat() { return DtQuaternion(angles()); }
    DtDcm rotation() { return DtDcm(angles()); }
    Dt3dPoint point(double r = 10) { return {any(-r, r), any(-r, r), any(-r, r)}; }
    Dt3dExtent extent() { return {any(-5, 5), any(-5, 5), any(-5, 5), any(-5, 5), any(-5, 5), any(-5, 5)}; }

private:
    std::uint64_t myState;
};

}  // namespace qmtest

#endif
