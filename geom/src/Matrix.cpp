// Inverting MatrixT as an affine transform, for float and double.
#include <tarncore/geom/Matrix.h>

#include <tarncore/config/Errors.h>

#include <cmath>

namespace tarncore {
namespace geom {

template <class T>
bool MatrixT<T>::Invert(bool inThrowOnFailure) {
    const MatrixT copy(*this);
    const T a = copy[0][0], b = copy[0][1], c = copy[1][0], d = copy[1][1];
    const T tx = copy[2][0], ty = copy[2][1];
    // Each step is stored in T, so the float matrix rounds as it goes.
    const T ad = a * d;
    const T bc = b * c;
    const T det = ad - bc;
    if (std::fabs(static_cast<double>(det)) <= 1e-9) {
        SetZero();
        if (inThrowOnFailure)
            config::ThrowError(config::kErrorLevelNonFatal,
                               "$$$/tarn/geom/matrix/UI=Matrix cannot be inverted.", 107, 0, true);
        return false;
    }
    MatrixT& m = *this;
    m[0][0] = d / det;
    m[0][1] = -b / det;
    m[1][0] = -c / det;
    m[1][1] = a / det;
    const T x0 = tx * m[0][0];
    const T x1 = ty * m[1][0];
    m[2][0] = -(x0 + x1);
    const T y0 = tx * m[0][1];
    const T y1 = ty * m[1][1];
    m[2][1] = -(y0 + y1);
    return true;
}

template class MatrixT<float>;
template class MatrixT<double>;

}  // namespace geom
}  // namespace tarncore
