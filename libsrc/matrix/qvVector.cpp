#include <qvVector.h>

#include <ostream>
#include <sstream>

namespace Vorant {

namespace {

// The shared vectors. Their constructors are constant expressions, so they
// hold their values before any code of the library runs.
const DtVector64 vec_zero(0.0, 0.0, 0.0);
const DtVector64 vec_i(1.0, 0.0, 0.0);
const DtVector64 vec_j(0.0, 1.0, 0.0);
const DtVector64 vec_k(0.0, 0.0, 1.0);
const DtVector64 vec_identity(1.0, 1.0, 1.0);
const DtVector32 vec32_zero(0.0f, 0.0f, 0.0f);
const DtVector32 vec32_i(1.0f, 0.0f, 0.0f);
const DtVector32 vec32_j(0.0f, 1.0f, 0.0f);
const DtVector32 vec32_k(0.0f, 0.0f, 1.0f);
const DtVector32 vec32_identity(1.0f, 1.0f, 1.0f);

}  // namespace

template <class T>
DtString DtVectorT<T>::string() const
{
    std::ostringstream os;
    os.setf(std::ios::fixed, std::ios::floatfield);
    os << "{" << myV[0] << ", " << myV[1] << ", " << myV[2] << "}";
    return DtString(os.str());
}

template <class T>
std::ostream& DtVectorT<T>::printDataToStream(std::ostream& os) const
{
    os << "[ x= " << myV[0] << " y= " << myV[1] << " z= " << myV[2] << " ]";
    return os;
}

template class DtVectorT<float>;
template class DtVectorT<double>;

const DtVector64& DtVector64::zero() { return vec_zero; }
const DtVector64& DtVector64::i() { return vec_i; }
const DtVector64& DtVector64::j() { return vec_j; }
const DtVector64& DtVector64::k() { return vec_k; }
const DtVector64& DtVector64::ones() { return vec_identity; }

const DtVector32& DtVector32::zero() { return vec32_zero; }
const DtVector32& DtVector32::i() { return vec32_i; }
const DtVector32& DtVector32::j() { return vec32_j; }
const DtVector32& DtVector32::k() { return vec32_k; }
const DtVector32& DtVector32::ones() { return vec32_identity; }

}  // namespace Vorant
