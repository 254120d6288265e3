#include <qvQuaternion.h>

#include <qvTaitBryan.h>
#include <qvutil/dtOutput.h>

#include <cmath>
#include <ostream>
#include <sstream>

namespace Vorant {

DtQuaternion::DtQuaternion(const DtTaitBryan& a)
{
    const double cth = std::cos(a.theta() / 2.0), sth = std::sin(a.theta() / 2.0);
    const double cps = std::cos(a.psi() / 2.0), sps = std::sin(a.psi() / 2.0);
    const double cph = std::cos(a.phi() / 2.0), sph = std::sin(a.phi() / 2.0);

    myW = sph * sth * sps + cph * cth * cps;
    myX = sph * cth * cps - cph * sth * sps;
    myY = sph * cth * sps + cph * sth * cps;
    myZ = cph * cth * sps - sph * sth * cps;
}

void DtQuaternion::printDataToStream(std::ostream& os) const
{
    os << "[ w=" << myW << " x= " << myX << " y= " << myY << " z= " << myZ << " ]";
}

DtString DtQuaternion::string() const
{
    std::ostringstream os;
    os.setf(std::ios::fixed, std::ios::floatfield);
    os << "[" << myW << ", " << myX << ", " << myY << ", " << myZ << "]";
    return DtString(os.str());
}

std::ostream& operator<<(std::ostream& os, const DtQuaternion& q)
{
    q.printDataToStream(os);
    return os;
}

void DtQuatQuatMul(DtQuaternion* out, const DtQuaternion* a, const DtQuaternion* b)
{
    // All four results are formed before *out is written.
    const double d = b->z() * a->z() + (a->x() * b->x() + b->y() * a->y());
    const double w = b->w() * a->w() - d;
    const double x = (b->z() * a->y() - b->y() * a->z()) + (a->w() * b->x() + a->x() * b->w());
    const double y = (a->w() * b->y() + a->y() * b->w()) - (b->z() * a->x() - b->x() * a->z());
    const double z = (b->y() * a->x() - b->x() * a->y()) + (a->w() * b->z() + a->z() * b->w());
    *out = DtQuaternion(w, x, y, z);
}

void DtQuatScale(DtQuaternion* out, const DtQuaternion* q, double s)
{
    *out = DtQuaternion(q->w() * s, q->x() * s, q->y() * s, q->z() * s);
}

void DtQuaternionDump(const DtQuaternion* q)
{
    DtInfo << q->string() << "\n";
}

}  // namespace Vorant
