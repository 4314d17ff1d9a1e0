#include <tarncore/geom/Matrix.h>
#include <tarncore/geom/PlatformConversions.h>
#include <tarncore_testing/RecordingErrorManager.h>

#include <gtest/gtest.h>

#include <climits>

using namespace tarncore::geom;
using tarncore::testing::RecordingErrorManager;

namespace {
template <class T>
MatrixT<T> Affine(T a, T b, T c, T d, T tx, T ty) {
    MatrixT<T> m(true);
    m[0][0] = a;
    m[0][1] = b;
    m[1][0] = c;
    m[1][1] = d;
    m[2][0] = tx;
    m[2][1] = ty;
    return m;
}
}  // namespace

template <class T>
class MatrixTest : public ::testing::Test {};
using MatrixTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(MatrixTest, MatrixTypes);

TYPED_TEST(MatrixTest, InvertsAffineTransforms) {
    using T = TypeParam;
    MatrixT<T> identity(true);
    ASSERT_TRUE(identity.Invert(true));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(identity[r][c], r == c ? T(1) : T(0));

    MatrixT<T> m = Affine<T>(2, 0, 0, 4, 10, 20);
    ASSERT_TRUE(m.Invert(true));
    EXPECT_EQ(m[0][0], T(0.5));
    EXPECT_EQ(m[1][1], T(0.25));
    EXPECT_EQ(m[2][0], T(-5));
    EXPECT_EQ(m[2][1], T(-5));
    EXPECT_EQ(m[2][2], T(1));  // third column untouched

    // A rotation with translation composed with its inverse maps points back.
    MatrixT<T> r = Affine<T>(0, 1, -1, 0, 3, -7);
    MatrixT<T> inverse(r);
    ASSERT_TRUE(inverse.Invert(false));
    const T x = 5, y = 11;
    const T px = x * r[0][0] + y * r[1][0] + r[2][0], py = x * r[0][1] + y * r[1][1] + r[2][1];
    EXPECT_EQ(px * inverse[0][0] + py * inverse[1][0] + inverse[2][0], x);
    EXPECT_EQ(px * inverse[0][1] + py * inverse[1][1] + inverse[2][1], y);
}

TYPED_TEST(MatrixTest, SingularMatricesBecomeZeroAndReportWhenAsked) {
    using T = TypeParam;
    RecordingErrorManager manager;
    MatrixT<double> atThreshold = Affine<double>(1e-9, 0, 0, 1, 3, 4);
    EXPECT_FALSE(atThreshold.Invert(false));
    EXPECT_TRUE(manager.Reports().empty());
    for (int i = 0; i < 9; ++i) EXPECT_EQ(atThreshold[i / 3][i % 3], 0.0);
    MatrixT<double> aboveThreshold = Affine<double>(2e-9, 0, 0, 1, 0, 0);
    EXPECT_TRUE(aboveThreshold.Invert(true));

    MatrixT<T> singular = Affine<T>(1, 2, 2, 4, 1, 1);
    EXPECT_FALSE(singular.Invert(true));
    ASSERT_EQ(manager.Reports().size(), 1u);
    EXPECT_EQ(manager.Reports()[0].component, 107u);
    EXPECT_EQ(manager.Reports()[0].code, 0);
    EXPECT_EQ(manager.Reports()[0].key, "$$$/tarn/geom/matrix/UI=Matrix cannot be inverted.");
    EXPECT_EQ(singular[2][2], T(0));
}

TEST(PlatformConversions, RoundTripAndWrapAround) {
    using tarncore::platform::RECT;
    using tarncore::utility::TARNtoWIN;
    using tarncore::utility::WINtoTARN;
    const RECT rect{10, 20, 110, 70};
    const RectT<std::int32_t> converted = WINtoTARN(rect);
    EXPECT_EQ(converted, (RectT<std::int32_t>(10, 20, 100, 50)));
    EXPECT_EQ(TARNtoWIN(converted), rect);
    EXPECT_EQ(WINtoTARN(TARNtoWIN(PointT<std::int32_t>(-3, 9))), (PointT<std::int32_t>(-3, 9)));
    const RECT huge{INT32_MIN, 0, INT32_MAX, 1};
    EXPECT_EQ(TARNtoWIN(WINtoTARN(huge)), huge);
}
