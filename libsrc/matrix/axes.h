// The indices of the three axes, for loops over the elements of a vector or
// the rows of a matrix: for (const int i : detail::kAxes). A loop without a
// bound to get wrong.
#ifndef QORMATRIX_AXES_H
#define QORMATRIX_AXES_H

namespace Vorant {
namespace detail {

constexpr int kAxes[3] = {0, 1, 2};

}  // namespace detail
}  // namespace Vorant

#endif
