// Analysis routines: least-squares fit, evaluation, roots.
#include "linear/linear_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<complex_num> roots_of(const std::vector<double>& coef, int* count) {
    std::vector<complex_num> r(coef.size() > 1 ? coef.size() - 1 : 1, complex_num{-1.0, -1.0});
    *count = CxPolyRoots(coef.data(), static_cast<int>(coef.size()), r.data());
    return r;
}

} // namespace

// ---- PolyFit ----

TEST(PolyFit, Codes) {
    const double x[3] = {0, 1, 2};
    const double y[3] = {1, 2, 3};
    double c[4];
    EXPECT_EQ(PolyFit(x, y, 0, 1, nullptr, c, nullptr), MATH_ERR_SAMPLES);
    EXPECT_EQ(PolyFit(x, y, -1, 1, nullptr, c, nullptr), MATH_ERR_SAMPLES);
    EXPECT_EQ(PolyFit(x, y, 3, -1, nullptr, c, nullptr), MATH_ERR_ORDER_NEG);
    EXPECT_EQ(PolyFit(x, y, 3, 3, nullptr, c, nullptr), MATH_ERR_ORDER_HIGH);
    EXPECT_EQ(PolyFit(x, y, 3, 2, nullptr, c, nullptr), 0);
    const double bad[3] = {1, NAN, 3};
    EXPECT_EQ(PolyFit(x, bad, 3, 1, nullptr, c, nullptr), MATH_ERR_NOT_FINITE);
    EXPECT_EQ(PolyFit(nullptr, y, 3, 1, nullptr, c, nullptr), MATH_ERR_NULL);
}

TEST(PolyFit, RecoversACubicWithItsFittedValues) {
    const int n = 1024;
    std::vector<double> x(n), y(n), f(n);
    for (int i = 0; i < n; i++) {
        x[i] = static_cast<double>(i) / n;
        y[i] = 0.1 - 0.5 * x[i] + 2.0 * x[i] * x[i] + 0.25 * x[i] * x[i] * x[i];
    }
    double c[4];
    double mse = -1.0;
    ASSERT_EQ(PolyFit(x.data(), y.data(), n, 3, f.data(), c, &mse), 0);
    EXPECT_NEAR(c[0], 0.1, 1e-12);
    EXPECT_NEAR(c[1], -0.5, 1e-11);
    EXPECT_NEAR(c[2], 2.0, 1e-10);
    EXPECT_NEAR(c[3], 0.25, 1e-10);
    EXPECT_LT(mse, 1e-25);
    EXPECT_NEAR(f[700], y[700], 1e-12);
}

TEST(PolyFit, MeanSquaredErrorOfALineThroughScatter) {
    // Points alternate 1 above and 1 below the line y = 2x: every residual is 1.
    const double x[4] = {0, 1, 2, 3};
    const double y[4] = {1, 1, 5, 5};
    double c[2];
    double mse = 0.0;
    ASSERT_EQ(PolyFit(x, y, 4, 1, nullptr, c, &mse), 0);
    EXPECT_NEAR(c[0], 0.6, 1e-12);
    EXPECT_NEAR(c[1], 1.6, 1e-12);
    EXPECT_NEAR(mse, 0.8, 1e-12);
}

TEST(PolyFit, AllXAlikeGivesFiniteCoefficients) {
    const double x[5] = {0.5, 0.5, 0.5, 0.5, 0.5};
    const double y[5] = {1, 2, 3, 4, 5};
    double c[4];
    double mse = 0.0;
    ASSERT_EQ(PolyFit(x, y, 5, 3, nullptr, c, &mse), 0);
    for (double k : c) EXPECT_TRUE(std::isfinite(k));
    EXPECT_NEAR(c[0] + 0.5 * c[1] + 0.25 * c[2] + 0.125 * c[3], 3.0, 1e-9);
    EXPECT_NEAR(mse, 2.0, 1e-9);
}

// ---- PolyEv1D, Abs1D ----

TEST(PolyEv1D, ValuesInPlaceAndCodes) {
    double x[3] = {0.0, 1.0, -2.0};
    const double c[3] = {1.0, -1.0, 0.5}; // 1 - x + x^2/2
    ASSERT_EQ(PolyEv1D(x, 3, c, 3, x), 0);
    EXPECT_DOUBLE_EQ(x[0], 1.0);
    EXPECT_DOUBLE_EQ(x[1], 0.5);
    EXPECT_DOUBLE_EQ(x[2], 5.0);
    EXPECT_EQ(PolyEv1D(x, 0, c, 3, x), MATH_ERR_SAMPLES);
    EXPECT_EQ(PolyEv1D(x, 3, c, 0, x), MATH_ERR_SAMPLES);
}

TEST(Abs1D, ValuesInPlaceAndCodes) {
    double v[3] = {-1.5, 0.0, 2.0};
    ASSERT_EQ(Abs1D(v, 3, v), 0);
    EXPECT_EQ(v[0], 1.5);
    EXPECT_EQ(v[2], 2.0);
    EXPECT_EQ(Abs1D(v, 0, v), MATH_ERR_SAMPLES);
}

// ---- CxPolyRoots ----

TEST(CxPolyRoots, RealRootsAscending) {
    int n = 0;
    // (x - 3)(x + 1)(x - 2) = x^3 - 4x^2 + x + 6
    const auto r = roots_of({1, -4, 1, 6}, &n);
    ASSERT_EQ(n, 3);
    EXPECT_NEAR(r[0].real, -1.0, 1e-14);
    EXPECT_NEAR(r[1].real, 2.0, 1e-14);
    EXPECT_NEAR(r[2].real, 3.0, 1e-14);
    for (const complex_num& c : r) EXPECT_EQ(c.imaginary, 0.0);
}

TEST(CxPolyRoots, RealRootsFirstThenComplexByRealPart) {
    int n = 0;
    // (x - 5)(x^2 + 2x + 5)(x^2 - 2x + 2): roots 5, -1 +- 2i, 1 +- i
    const auto r = roots_of({1, -5, 3, -21, 40, -50}, &n);
    ASSERT_EQ(n, 5);
    EXPECT_NEAR(r[0].real, 5.0, 1e-12);
    EXPECT_EQ(r[0].imaginary, 0.0);
    EXPECT_NEAR(r[1].real, -1.0, 1e-12);
    EXPECT_NEAR(r[1].imaginary, -2.0, 1e-12);
    EXPECT_NEAR(r[2].real, -1.0, 1e-12);
    EXPECT_NEAR(r[2].imaginary, 2.0, 1e-12);
    EXPECT_NEAR(r[3].real, 1.0, 1e-12);
    EXPECT_NEAR(r[3].imaginary, -1.0, 1e-12);
    EXPECT_NEAR(r[4].imaginary, 1.0, 1e-12);
}

TEST(CxPolyRoots, LeadingZerosLowerTheDegree) {
    int n = 0;
    auto r = roots_of({0, 0, 1, -3, 2}, &n);
    ASSERT_EQ(n, 2);
    EXPECT_NEAR(r[0].real, 1.0, 1e-15);
    EXPECT_NEAR(r[1].real, 2.0, 1e-15);
    r = roots_of({0, 0, 4, -2}, &n);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(r[0].real, 0.5);
    EXPECT_EQ(r[0].imaginary, 0.0);
    roots_of({0, 7}, &n);
    EXPECT_EQ(n, 0);
    roots_of({0, 0, 0}, &n);
    EXPECT_EQ(n, MATH_ERR_NO_ROOTS);
    roots_of({}, &n);
    EXPECT_EQ(n, MATH_ERR_SAMPLES);
    roots_of({1, std::numeric_limits<double>::infinity(), 1}, &n);
    EXPECT_EQ(n, MATH_ERR_NOT_FINITE);
}

// A cubic whose leading coefficient is rounding noise, as the fit of a
// quadratic sensor gives: the companion matrix spans 16 decades, and without
// balancing the wanted roots are lost.
TEST(CxPolyRoots, TinyLeadingCoefficientKeepsTheSmallRoots) {
    int n = 0;
    const std::vector<double> c = {1.3e-16, 1.0, 0.0, -0.25};
    const auto r = roots_of(c, &n);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(r[1].imaginary, 0.0);
    EXPECT_EQ(r[2].imaginary, 0.0);
    EXPECT_NEAR(r[1].real, -0.5, 1e-14);
    EXPECT_NEAR(r[2].real, 0.5, 1e-14);
    EXPECT_LT(r[0].real, -1e15);
}

// The fit of a quadratic sensor at one level: the cubic term is rounding noise
// and puts a third root near -1e15. Eigenvalues are exact only relative to
// that one: taken all at once, the two wanted roots come out 0.1 off and
// both at the same place, or at 0.
TEST(CxPolyRoots, CubicWithNoiseForItsLeadingCoefficient) {
    const double c0 = -7.9404311662534255e-06 - 7.0 / 1024;
    const double c1 = 0.0020065959327754661;
    const double c2 = 0.99994743233816707;
    const double c3 = 1.0575489405970446e-15;
    int n = 0;
    const auto r = roots_of({c3, c2, c1, c0}, &n);
    ASSERT_EQ(n, 3);
    // Without the cubic term the two small roots follow from the formula.
    const double d = std::sqrt(c1 * c1 - 4 * c2 * c0);
    EXPECT_LT(r[0].real, -9e14);
    EXPECT_NEAR(r[1].real, (-c1 - d) / (2 * c2), 1e-12);
    EXPECT_NEAR(r[2].real, (-c1 + d) / (2 * c2), 1e-12);
    for (int k = 0; k < 3; k++) EXPECT_EQ(r[k].imaginary, 0.0);
}

// A root exact to rounding even beside two roots 1e8 away (the fit of a
// straight line can round to such a cubic).
TEST(CxPolyRoots, PolishedRootBesideHugeOnes) {
    int n = 0;
    // (x - 0.4995)(x^2 - 1.21e16)
    const std::vector<double> c = {1.0, -0.4995, -1.21e16, 0.4995 * 1.21e16};
    const auto r = roots_of(c, &n);
    ASSERT_EQ(n, 3);
    EXPECT_NEAR(r[0].real, -1.1e8, 1e-4);
    EXPECT_NEAR(r[1].real, 0.4995, 1e-15);
    EXPECT_NEAR(r[2].real, 1.1e8, 1e-4);
    for (int k = 0; k < 3; k++) EXPECT_EQ(r[k].imaginary, 0.0);
}
