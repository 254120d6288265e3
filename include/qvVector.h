// Three-component vectors in single and double precision.
//
// DtVectorT<T> holds exactly three contiguous components x, y, z and nothing
// else, so an array of vectors is an array of numbers and the conversion to a
// pointer costs nothing. DtVector32 and DtVector64 add the members written per
// precision. Copying is the implicit member-wise copy: it copies the three
// components, and assigning a vector to itself leaves it as it was.
#ifndef QORMATRIX_QV_VECTOR_H
#define QORMATRIX_QV_VECTOR_H

#include <qvScalar.h>
#include <qvutil/dtExport.h>
#include <qvutil/dtString.h>

#include <cmath>
#include <iosfwd>

namespace Vorant {

/// Positions of the components, for operator[].
enum DtVectorOffset
{
    DtXOffset = 0,
    DtYOffset = 1,
    DtZOffset = 2
};

/// Three components of type T (float or double), x, y, z, contiguous.
template <class T>
class DT_EXPORT DtVectorT
{
public:
    /// (0, 0, 0)
    constexpr DtVectorT() : myV{T(0), T(0), T(0)} {}
    constexpr DtVectorT(const T& x, const T& y, const T& z) : myV{x, y, z} {}

    /// The components.
    const T& x() const { return myV[0]; }
    const T& y() const { return myV[1]; }
    const T& z() const { return myV[2]; }

    /// Sets one component, or all three.
    void setX(const T& v) { myV[0] = v; }
    void setY(const T& v) { myV[1] = v; }
    void setZ(const T& v) { myV[2] = v; }
    void setAll(const T& x, const T& y, const T& z)
    {
        myV[0] = x;
        myV[1] = y;
        myV[2] = z;
    }
    /// Copies the three components out.
    void get(T& x, T& y, T& z) const
    {
        x = myV[0];
        y = myV[1];
        z = myV[2];
    }
    /// (0, 0, 0)
    void setToZero() { myV[0] = myV[1] = myV[2] = T(0); }

    /// No range check: the index must be 0, 1 or 2.
    T& operator[](int i) { return myV[i]; }
    T operator[](int i) const { return myV[i]; }
    T& operator[](DtVectorOffset i) { return myV[i]; }
    T operator[](DtVectorOffset i) const { return myV[i]; }

    /// The three contiguous components as an array.
    operator T*() { return myV; }   // NOLINT: implicit by design
    operator const T*() const { return myV; }   // NOLINT: implicit by design

    /// Exact comparison: a NaN component never compares equal, +0 equals -0.
    bool operator==(const DtVectorT& o) const
    {
        if (!(myV[0] == o.myV[0]))
            return false;
        if (!(myV[1] == o.myV[1]))
            return false;
        return myV[2] == o.myV[2];
    }
    /// Negation of operator==.
    bool operator!=(const DtVectorT& o) const { return !(*this == o); }

    /// x*x + y*y + z*z; float squares are widened and summed in double.
    double magnitudeSquared() const
    {
        const double xx = DtProduct(myV[0], myV[0]);
        const double yy = DtProduct(myV[1], myV[1]);
        const double zz = DtProduct(myV[2], myV[2]);
        return xx + yy + zz;
    }

    /// All three components compare equal to zero (false for a NaN).
    bool magnitudeIsZero() const { return myV[0] == 0 && myV[1] == 0 && myV[2] == 0; }

    /// Every component's absolute value is at most the tolerance.
    bool magnitudeIsZero(double tolerance) const
    {
        return tolerance >= double(DtAbs<T>(myV[0])) && tolerance >= double(DtAbs<T>(myV[1])) &&
               tolerance >= double(DtAbs<T>(myV[2]));
    }

    /// The squared length, summed in the component type, is within 1e-6 of 1.
    bool isNormalized() const
    {
        const T s = DtProduct(myV[0], myV[0]) + DtProduct(myV[1], myV[1]) + DtProduct(myV[2], myV[2]);
        return DtAbs(double(s) - 1.0) <= 1e-6;
    }

    /// Scales to unit length. A squared length of exactly 0 or 1 leaves the
    /// vector untouched (the zero vector is not an error).
    void normalize()
    {
        const double m = magnitudeSquared();
        if (m == 0.0 || m == 1.0)
            return;
        const T s = T(std::sqrt(m));
        myV[0] /= s;
        myV[1] /= s;
        myV[2] /= s;
    }

    /// "{x, y, z}" in fixed notation with six decimals.
    DtString string() const;
    /// "[ x= .. y= .. z= .. ]" with the stream's own formatting, no line end.
    std::ostream& printDataToStream(std::ostream& os) const;

protected:
    T myV[3];
};

extern template class DtVectorT<float>;
extern template class DtVectorT<double>;

/// printDataToStream on the stream.
template <class T>
std::ostream& operator<<(std::ostream& os, const DtVectorT<T>& v)
{
    return v.printDataToStream(os);
}

/// A single-precision vector.
class DT_EXPORT DtVector32 : public DtVectorT<float>
{
public:
    constexpr DtVector32() = default;
    constexpr DtVector32(const float& x, const float& y, const float& z) : DtVectorT<float>(x, y, z) {}
    constexpr DtVector32(const DtVectorT<float>& v) : DtVectorT<float>(v) {}   // NOLINT: implicit by design

    /// The shared vectors (0,0,0), (1,0,0), (0,1,0), (0,0,1) and (1,1,1).
    static const DtVector32& zero();
    static const DtVector32& i();
    static const DtVector32& j();
    static const DtVector32& k();
    static const DtVector32& ones();

    /// (x*o.x + y*o.y) + z*o.z, all in float.
    float dotProduct(const DtVector32& o) const
    {
        return (DtProduct(myV[0], o.myV[0]) + DtProduct(myV[1], o.myV[1])) + DtProduct(myV[2], o.myV[2]);
    }

    /// Each difference in float, its absolute value widened and compared with
    /// the tolerance; a negative tolerance is never met.
    bool approxEq(const DtVector32& o, const double& tolerance) const
    {
        return tolerance >= double(DtAbs<float>(myV[0] - o.myV[0])) &&
               tolerance >= double(DtAbs<float>(myV[1] - o.myV[1])) &&
               tolerance >= double(DtAbs<float>(myV[2] - o.myV[2]));
    }

    /// Component-wise, in float.
    DtVector32& operator+=(const DtVector32& o)
    {
        myV[0] += o.myV[0];
        myV[1] += o.myV[1];
        myV[2] += o.myV[2];
        return *this;
    }
    DtVector32& operator-=(const DtVector32& o)
    {
        myV[0] -= o.myV[0];
        myV[1] -= o.myV[1];
        myV[2] -= o.myV[2];
        return *this;
    }
};

/// A double-precision vector; also the row type of DtDcm and the base of the
/// coordinate classes.
class DT_EXPORT DtVector64 : public DtVectorT<double>
{
public:
    constexpr DtVector64() = default;
    constexpr DtVector64(const double& x, const double& y, const double& z) : DtVectorT<double>(x, y, z) {}
    constexpr DtVector64(const DtVectorT<double>& v) : DtVectorT<double>(v) {}   // NOLINT: implicit by design

    /// The shared vectors (0,0,0), (1,0,0), (0,1,0), (0,0,1) and (1,1,1).
    static const DtVector64& zero();
    static const DtVector64& i();
    static const DtVector64& j();
    static const DtVector64& k();
    static const DtVector64& ones();

    /// (x o.x + y o.y) + z o.z
    double dotProduct(const DtVector64& o) const
    {
        return (DtProduct(myV[0], o.myV[0]) + DtProduct(myV[1], o.myV[1])) + DtProduct(myV[2], o.myV[2]);
    }

    /// Each difference within the tolerance; a negative tolerance is never met.
    bool approxEq(const DtVector64& o, const double& tolerance) const
    {
        return tolerance >= DtAbs(myV[0] - o.myV[0]) && tolerance >= DtAbs(myV[1] - o.myV[1]) &&
               tolerance >= DtAbs(myV[2] - o.myV[2]);
    }

    /// Component-wise.
    DtVector64& operator+=(const DtVector64& o)
    {
        myV[0] += o.myV[0];
        myV[1] += o.myV[1];
        myV[2] += o.myV[2];
        return *this;
    }
    DtVector64& operator-=(const DtVector64& o)
    {
        myV[0] -= o.myV[0];
        myV[1] -= o.myV[1];
        myV[2] -= o.myV[2];
        return *this;
    }

    /// this x o, each component one product minus another.
    DtVector64 crossProduct(const DtVector64& o) const
    {
        return DtVector64(DtProduct(myV[1], o.myV[2]) - DtProduct(myV[2], o.myV[1]),
                          DtProduct(myV[2], o.myV[0]) - DtProduct(myV[0], o.myV[2]),
                          DtProduct(myV[0], o.myV[1]) - DtProduct(myV[1], o.myV[0]));
    }
};

class DtDcm;

/// ---- the output-parameter family ---------------------------------------------
/// Inputs first, the result written into the object given last. Every vector
/// output may be the same object as an input. The float overloads fix which
/// steps run in float and which are widened to double, function by function.

/// v = (0, 0, 0)
DT_EXPORT void DtVecInit(DtVector64& v);
DT_EXPORT void DtVecInit(DtVector32& v);
/// out = in
DT_EXPORT void DtVecCopy(const DtVector64& in, DtVector64& out);
DT_EXPORT void DtVecCopy(const DtVector32& in, DtVector32& out);
/// out = a + b, component-wise
DT_EXPORT void DtVecAdd(const DtVector64& a, const DtVector64& b, DtVector64& out);
DT_EXPORT void DtVecAdd(const DtVector32& a, const DtVector32& b, DtVector32& out);
/// out = a - b, component-wise
DT_EXPORT void DtVecSub(const DtVector64& a, const DtVector64& b, DtVector64& out);
DT_EXPORT void DtVecSub(const DtVector32& a, const DtVector32& b, DtVector32& out);
/// out = -in
DT_EXPORT void DtVecNeg(const DtVector64& in, DtVector64& out);
DT_EXPORT void DtVecNeg(const DtVector32& in, DtVector32& out);
/// out = in s
DT_EXPORT void DtVecScale(const DtVector64& in, double s, DtVector64& out);
/// Each component widened, multiplied in double, the product rounded to float.
DT_EXPORT void DtVecScale(const DtVector32& in, double s, DtVector32& out);
DT_EXPORT void DtVecScale(const DtVector32& in, double s, DtVector64& out);
/// Unit length. A squared length within 1e-9 of 0 leaves out untouched; within
/// 1e-9 of 1 copies in unchanged.
DT_EXPORT void DtVecNormalize(const DtVector64& in, DtVector64& out);
DT_EXPORT void DtVecNormalize(const DtVector32& in, DtVector32& out);
/// out = a x b
DT_EXPORT void DtVecCrossProd(const DtVector64& a, const DtVector64& b, DtVector64& out);
/// Computed in double, each result rounded to float.
DT_EXPORT void DtVecCrossProd(const DtVector64& a, const DtVector64& b, DtVector32& out);
DT_EXPORT void DtVecCrossProd(const DtVector32& a, const DtVector32& b, DtVector32& out);
/// ((0.0 + a0*b0) + a1*b1) + a2*b2; float products are summed in double.
DT_EXPORT double DtVecDotProd(const DtVector64& a, const DtVector64& b);
DT_EXPORT double DtVecDotProd(const DtVector32& a, const DtVector32& b);
/// c . (a x b)
DT_EXPORT double DtVecBoxProd(const DtVector64& a, const DtVector64& b, const DtVector64& c);
DT_EXPORT double DtVecBoxProd(const DtVector32& a, const DtVector32& b, const DtVector32& c);
/// Cosine of the angle between a and b; NaN for a zero vector, not clamped.
DT_EXPORT double DtVecCosProd(const DtVector64& a, const DtVector64& b);
DT_EXPORT double DtVecCosProd(const DtVector32& a, const DtVector32& b);
/// The largest absolute component.
DT_EXPORT double DtVecInfNorm(const DtVector64& v);
DT_EXPORT double DtVecInfNorm(const DtVector32& v);
/// out = v as a row vector times M (M transposed applied to v).
DT_EXPORT void DtVecDcmMul(const DtVector64& v, const DtDcm& m, DtVector64& out);
DT_EXPORT void DtVecDcmMul(const DtVector32& v, const DtDcm& m, DtVector32& out);
/// M = a b^T
DT_EXPORT void DtVV_Product(const DtVector64& a, const DtVector64& b, DtDcm& m);
DT_EXPORT void DtVV_Product(const DtVector32& a, const DtVector32& b, DtDcm& m);
/// 1 when v has unit length within 1e-6, else 0.
DT_EXPORT int DtVecCheck(const DtVector64& v);
/// "label:" padded to 25 columns and the components with three decimals, on
/// DtInfo. Labels longer than 30 characters are cut to 30.
DT_EXPORT void DtVecDump(const char* label, const DtVector64& v);

/// ---- value-returning helpers -------------------------------------------------

/// Sum and difference of two vectors.
DT_EXPORT DtVector64 operator+(const DtVector64& a, const DtVector64& b);
DT_EXPORT DtVector64 operator-(const DtVector64& a, const DtVector64& b);
DT_EXPORT DtVector32 operator+(const DtVector32& a, const DtVector32& b);
DT_EXPORT DtVector32 operator-(const DtVector32& a, const DtVector32& b);
/// Mixed precision: the float vector is widened first.
DT_EXPORT DtVector64 operator+(const DtVector32& a, const DtVector64& b);
DT_EXPORT DtVector64 operator-(const DtVector32& a, const DtVector64& b);
DT_EXPORT DtVector64 operator+(const DtVector64& a, const DtVector32& b);
DT_EXPORT DtVector64 operator-(const DtVector64& a, const DtVector32& b);

/// |a - b|
DT_EXPORT double DtDistance(const DtVector64& a, const DtVector64& b);
DT_EXPORT double DtDistance(const DtVector32& a, const DtVector32& b);
/// Squared distance; for float the differences are widened before squaring,
/// so it is not in general the square of DtDistance.
DT_EXPORT double DtDistSqr(const DtVector64& a, const DtVector64& b);
DT_EXPORT double DtDistSqr(const DtVector32& a, const DtVector32& b);
/// (b - a) / dt, as (b - a) scaled by 1.0 / dt; a zero dt is not guarded.
DT_EXPORT DtVector64 DtVelocityFromAToB(const DtVector64& a, const DtVector64& b, double dt);
DT_EXPORT DtVector32 DtVelocityFromAToB(const DtVector32& a, const DtVector32& b, double dt);
/// Heading in [0, 2pi) from a to b in the x-y plane, measured from +y towards +x.
DT_EXPORT double DtHeadingFromAToB(const DtVector64& a, const DtVector64& b);
DT_EXPORT double DtHeadingFromAToB(const DtVector32& a, const DtVector32& b);
/// a for t <= 0, b for t >= 1, a + (b - a) t between.
DT_EXPORT DtVector64 DtLerpVector(DtVector64 a, DtVector64 b, double t);
DT_EXPORT DtVector32 DtLerpVector(DtVector32 a, DtVector32 b, double t);
/// Widened to double, or rounded to float.
DT_EXPORT DtVector64 DtVector32To64(const DtVector32& v);
DT_EXPORT DtVector32 DtVector64To32(const DtVector64& v);

}  // namespace Vorant

#endif
