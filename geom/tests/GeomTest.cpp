// Tests of the matrix and of the conversions to and from the platform's points and rectangles.
#include <tarncore/geom/Matrix.h>
#include <tarncore/geom/PlatformConversions.h>
#include <tarncore_testing/RecordingErrorManager.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace tarncore::geom;
using tarncore::utility::TARNtoWIN;
using tarncore::utility::WINtoTARN;

namespace {
// The affine matrix with linear part a, b, c, d and translation tx, ty.
template <class T>
MatrixT<T> Affine(T a, T b, T c, T d, T tx, T ty) {
    MatrixT<T> m(true);
    const T values[6] = {a, b, c, d, tx, ty};
    for (int i = 0; i < 6; ++i) m[i / 2][i % 2] = values[i];
    return m;
}

template <class T>
std::vector<T> Elements(const MatrixT<T>& inMatrix) {
    return std::vector<T>(inMatrix[0], inMatrix[0] + 9);
}
}  // namespace

template <class T>
class MatrixTest : public ::testing::Test {};
using MatrixTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(MatrixTest, MatrixTypes);

TYPED_TEST(MatrixTest, InvertsAffineTransformsOrBecomesZero) {
    using T = TypeParam;
    tarncore::testing::RecordingErrorManager manager;
    MatrixT<T> m(true);
    ASSERT_TRUE(m.Invert(true));
    EXPECT_EQ(Elements(m), (std::vector<T>{1, 0, 0, 0, 1, 0, 0, 0, 1}));
    m = Affine<T>(2, 0, 0, 4, 10, 20);
    ASSERT_TRUE(m.Invert(true));
    EXPECT_EQ(Elements(m), (std::vector<T>{0.5, 0, 0, 0, 0.25, 0, -5, -5, 1}));
    m = Affine<T>(0, 1, -1, 0, 3, -7);  // a quarter turn and a shift; the third column stays
    m[0][2] = 9;
    ASSERT_TRUE(m.Invert(false));
    EXPECT_EQ(Elements(m), (std::vector<T>{0, -1, 9, 1, 0, 0, 7, 3, 1}));

    EXPECT_TRUE(Affine<T>(T(2e-9), 0, 0, 1, 0, 0).Invert(true));
    MatrixT<T> atThreshold = Affine<T>(T(1e-9), 0, 0, 1, 3, 4), singular = Affine<T>(1, 2, 2, 4, 1, 1);
    EXPECT_FALSE(atThreshold.Invert(false));
    EXPECT_FALSE(singular.Invert(true));
    for (const auto* zeroed : {&atThreshold, &singular})
        EXPECT_EQ(Elements(*zeroed), std::vector<T>(9, T(0)));
    ASSERT_EQ(manager.Reports().size(), 1u);  // only where asked for
    const auto& report = manager.Reports()[0];
    EXPECT_TRUE(report.level == tarncore::config::kErrorLevelNonFatal && report.component == 107u &&
                report.code == 0 && report.deferrable);
    EXPECT_EQ(report.key, "$$$/tarn/geom/matrix/UI=Matrix cannot be inverted.");
}

TEST(PlatformConversions, RoundTripAndWrapAround) {
    const tarncore::platform::RECT rect{10, 20, 110, 70}, huge{INT32_MIN, 0, INT32_MAX, 1};
    EXPECT_EQ(WINtoTARN(rect), (RectT<std::int32_t>(10, 20, 100, 50)));
    EXPECT_EQ(TARNtoWIN(WINtoTARN(rect)), rect);
    EXPECT_EQ(TARNtoWIN(WINtoTARN(huge)), huge);  // widths wrap around in 32 bits, and back
    EXPECT_EQ(WINtoTARN(TARNtoWIN(PointT<std::int32_t>(-3, 9))), (PointT<std::int32_t>(-3, 9)));
}
