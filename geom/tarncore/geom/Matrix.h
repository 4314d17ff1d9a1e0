// MatrixT, a 3x3 matrix used as an affine transform.
#pragma once

#include <tarncore/platform/Export.h>

namespace tarncore {
namespace geom {

/// A 3x3 matrix stored row by row. As an affine transform it multiplies row vectors
/// (x, y, 1): [0][0], [0][1], [1][0], [1][1] are the linear part and [2][0], [2][1]
/// the translation. Instantiated for float and double.
template <class T>
class TARNCORE_API MatrixT {
public:
    /// true: the identity; false: the elements are left uninitialised.
    explicit MatrixT(bool inIdentity) {
        if (inIdentity) SetIdentity();
    }
    MatrixT(const MatrixT& inOther) = default;
    MatrixT& operator=(const MatrixT& inOther) = default;

    void SetZero() {
        for (T& element : mElements) element = T(0);
    }
    void SetIdentity() {
        SetZero();
        mElements[0] = mElements[4] = mElements[8] = T(1);
    }

    T* operator[](int inRow) { return mElements + 3 * inRow; }
    const T* operator[](int inRow) const { return mElements + 3 * inRow; }

    /// Inverts in place as an affine transform. A singular matrix (|det| <= 1e-9)
    /// becomes all zero, is reported (component 107, code 0) when inThrowOnFailure,
    /// and false is returned.
    bool Invert(bool inThrowOnFailure);

private:
    T mElements[9];
};

extern template class MatrixT<float>;
extern template class MatrixT<double>;

}  // namespace geom
}  // namespace tarncore
