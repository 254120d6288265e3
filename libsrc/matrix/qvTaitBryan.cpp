#include <qvTaitBryan.h>

#include <qvDcm.h>
#include <qvQuaternion.h>
#include <qvScalar.h>

#include <cmath>
#include <ostream>

namespace Vorant {

namespace {

// Arc sine and cosine of an argument first limited to [-1, 1], so that matrix
// elements a rounding error outside the range still give an angle. (Double in,
// double out; these shadow the C library's long double functions here.)
double asinl(double x)
{
    return std::asin(DtLimit(x, -1.0, 1.0));
}

double acosl(double x)
{
    return std::acos(DtLimit(x, -1.0, 1.0));
}

}  // namespace

DtTaitBryan::DtTaitBryan(const DtQuaternion& q) : DtTaitBryan()
{
    const DtDcm m(q);
    DtRefToBody_to_Euler(m, this);
}

void DtTaitBryan::printDataToStream(std::ostream& os) const
{
    os << "[ Psi= " << myPsi << " Theta= " << myTheta << " Phi= " << myPhi << " ]";
}

std::ostream& operator<<(std::ostream& os, const DtTaitBryan& angles)
{
    angles.printDataToStream(os);
    return os;
}

void DtEuler_to_BodyToRef(const DtTaitBryan& angles, DtDcm& m)
{
    DtTbToMat(angles, m);
}

void DtEuler_to_RefToBody(const DtTaitBryan& angles, DtDcm& m)
{
    DtDcm bodyToRef;
    DtTbToMat(angles, bodyToRef);
    DtDcmTranspose(bodyToRef, m);
}

void DtBodyToRef_to_Euler(const DtDcm& m, DtTaitBryan* out)
{
    out->setTheta(asinl(-m[2][0]));

    const double c = std::cos(out->theta());
    const double k = (c == 0.0) ? 2000000.0 : 1.0 / c;

    if (k > 1000000.0 || k < -1000000.0) {
        // Pitch within about 1e-6 rad of +-90 degrees: heading and roll cannot
        // be told apart, so the roll is zero and the heading takes it all.
        out->setPhi(0.0);
        out->setPsi(std::copysign(acosl(m[1][1]), -m[0][1]));
    } else {
        out->setPhi(std::copysign(acosl(m[2][2] * k), m[2][1]));
        out->setPsi(std::copysign(acosl(m[0][0] * k), m[1][0]));
    }
}

void DtRefToBody_to_Euler(const DtDcm& m, DtTaitBryan* out)
{
    DtDcm bodyToRef;
    DtDcmTranspose(m, bodyToRef);
    DtBodyToRef_to_Euler(bodyToRef, out);
}

void DtEulerToEuler(const DtTaitBryan& in, const DtDcm& r, DtTaitBryan* out)
{
    DtDcm b;
    DtEuler_to_BodyToRef(in, b);
    DtDcm t;
    DtDcmDcmMul(r, b, t);
    DtBodyToRef_to_Euler(t, out);
}

}  // namespace Vorant
