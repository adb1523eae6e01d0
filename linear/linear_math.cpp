// Analysis routines on Eigen, and the linearisation tables built on them.
#include "linear/linear_math.h"

#include "linear/linear_file.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/Polynomials>

#include <algorithm>
#include <cmath>
#include <complex>
#include <new>
#include <vector>

// ---- Analysis routines ----

int PolyFit(const double* x, const double* y, int n, int order, double* fitted, double* coef, double* mse) {
    if (n <= 0) return MATH_ERR_SAMPLES;
    if (order < 0) return MATH_ERR_ORDER_NEG;
    if (order >= n) return MATH_ERR_ORDER_HIGH;
    if (!x || !y || !coef) return MATH_ERR_NULL;
    for (int i = 0; i < n; i++)
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return MATH_ERR_NOT_FINITE;
    try {
        const int terms = order + 1;
        Eigen::MatrixXd a(n, terms);
        for (int i = 0; i < n; i++) {
            double power = 1.0;
            for (int k = 0; k < terms; k++) {
                a(i, k) = power;
                power *= x[i];
            }
        }
        const Eigen::Map<const Eigen::VectorXd> b(y, n);
        // Column pivoting copes with a rank-deficient matrix (all x alike): it
        // gives a solution instead of dividing by a zero pivot.
        const Eigen::VectorXd c = a.colPivHouseholderQr().solve(b);
        if (!c.allFinite()) return MATH_ERR_NOT_FINITE;
        const Eigen::VectorXd f = a * c;
        for (int k = 0; k < terms; k++) coef[k] = c[k];
        if (fitted)
            for (int i = 0; i < n; i++) fitted[i] = f[i];
        if (mse) *mse = (b - f).squaredNorm() / n;
    } catch (const std::bad_alloc&) {
        return MATH_ERR_NO_MEMORY;
    }
    return 0;
}

int PolyEv1D(const double* x, int n, const double* coef, int ncoef, double* out) {
    if (n <= 0 || ncoef <= 0) return MATH_ERR_SAMPLES;
    if (!x || !coef || !out) return MATH_ERR_NULL;
    for (int i = 0; i < n; i++) {
        const double v = x[i];
        double sum = coef[ncoef - 1];
        for (int k = ncoef - 2; k >= 0; k--) sum = sum * v + coef[k];
        out[i] = sum;
    }
    return 0;
}

int Abs1D(const double* in, int n, double* out) {
    if (n <= 0) return MATH_ERR_SAMPLES;
    if (!in || !out) return MATH_ERR_NULL;
    for (int i = 0; i < n; i++) out[i] = std::fabs(in[i]);
    return 0;
}

namespace {

using cplx = std::complex<double>;

// p(u) and p'(u) for coefficients highest power first.
template <typename T>
void horner(const double* p, int deg, T u, T* value, T* slope) {
    T v = p[0];
    T d = 0.0;
    for (int k = 1; k <= deg; k++) {
        d = d * u + v;
        v = v * u + p[k];
    }
    *value = v;
    *slope = d;
}

// Newton steps from an estimate of a root. A step is kept only while it
// lowers |p|, so a good root is never made worse.
template <typename T>
T polish(const double* p, int deg, T u) {
    T value, slope;
    horner(p, deg, u, &value, &slope);
    for (int step = 0; step < 8 && value != 0.0 && slope != 0.0; step++) {
        const T next = u - value / slope;
        T next_value, next_slope;
        horner(p, deg, next, &next_value, &next_slope);
        if (!(std::abs(next_value) < std::abs(value))) break;
        u = next;
        value = next_value;
        slope = next_slope;
    }
    return u;
}

// The solver's eigenvalue search can fail; its outcome is kept from the
// caller, so it is read here.
template <int Deg>
struct checked_solver : Eigen::PolynomialSolver<double, Deg> {
    bool ok() const { return this->m_eigenSolver.info() == Eigen::Success; }
};

// The eigenvalue of largest modulus of the balanced companion matrix of p
// (highest power first, p[0] != 0, deg >= 3). Real when its imaginary part is 0.
template <int Deg>
int largest_eigenvalue(const double* p, int deg, cplx* out) {
    Eigen::Matrix<double, Deg == Eigen::Dynamic ? Eigen::Dynamic : Deg + 1, 1> ascending(deg + 1);
    for (int k = 0; k <= deg; k++) ascending[k] = p[deg - k];
    checked_solver<Deg> solver;
    solver.compute(ascending);
    if (!solver.ok() || solver.roots().size() != deg) return MATH_ERR_NO_ROOTS;
    *out = solver.roots()[0];
    for (int k = 1; k < deg; k++)
        if (std::abs(solver.roots()[k]) > std::abs(*out)) *out = solver.roots()[k];
    return 0;
}

// Divides the root r out of p (degree deg, highest power first), leaving the
// quotient in p[0..deg-1]. Worked from the constant term up, which keeps the
// quotient accurate when r is the largest root: each step divides by r.
void deflate_root(double* p, int deg, double r) {
    if (r == 0.0) return; // p = u q: the quotient is p without its constant term
    // Quotient coefficient k (ascending) replaces the coefficient it was made
    // from, which is not needed again.
    double a = 0.0;
    for (int k = 0; k < deg; k++) {
        a = (a - p[deg - k]) / r;
        p[deg - k] = a;
    }
    for (int k = 0; k < deg; k++) p[k] = p[k + 1];
}

// Divides the factor u^2 + s u + q (a pair of complex roots, q > 0) out of p,
// likewise from the constant term up; the quotient lands in p[0..deg-2].
void deflate_pair(double* p, int deg, double s, double q) {
    std::vector<double> a(static_cast<size_t>(deg - 1)); // ascending
    for (int k = 0; k < deg - 1; k++) {
        double c = p[deg - k];
        if (k >= 1) c -= s * a[k - 1];
        if (k >= 2) c -= a[k - 2];
        a[k] = c / q;
    }
    for (int k = 0; k < deg - 1; k++) p[k] = a[deg - 2 - k];
}

// Roots of a u^2 + b u + c without cancellation: the root of larger modulus
// from the formula, the other from the product of the roots.
void quadratic_roots(double a, double b, double c, complex_num* roots) {
    // Scaled first, so that b^2 and 4ac cannot overflow.
    const double m = std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
    a /= m;
    b /= m;
    c /= m;
    const double disc = b * b - 4.0 * a * c;
    if (disc < 0.0) {
        const double re = -b / (2.0 * a);
        const double im = std::sqrt(-disc) / (2.0 * std::fabs(a));
        roots[0] = {re, -im};
        roots[1] = {re, im};
        return;
    }
    const double q = -0.5 * (b + std::copysign(std::sqrt(disc), b));
    if (q == 0.0) { // b = 0 and c = 0: a double root at 0
        roots[0] = roots[1] = {0.0, 0.0};
        return;
    }
    roots[0] = {q / a, 0.0};
    roots[1] = {c / q, 0.0};
}

int all_roots(const double* coef, int deg, complex_num* roots) {
    std::vector<double> p(coef, coef + deg + 1);
    int found = 0;
    // The eigenvalues are exact only relative to the largest of them: beside
    // a root of 1e15 (a cubic whose leading coefficient is rounding noise)
    // the small ones come out 0.1 off and can even coincide. The largest one
    // is sound, though, so it is taken, polished and divided out, and the
    // rest comes from the quotient.
    int d = deg;
    while (d > 2) {
        cplx e;
        const int rc = d == 3 ? largest_eigenvalue<3>(p.data(), d, &e)
                              : largest_eigenvalue<Eigen::Dynamic>(p.data(), d, &e);
        if (rc < 0) return rc;
        if (e.imag() == 0.0) {
            const double r = polish(p.data(), d, e.real());
            roots[found++] = {r, 0.0};
            deflate_root(p.data(), d, r);
            d -= 1;
        } else {
            const cplx z = polish(p.data(), d, e);
            const double im = std::fabs(z.imag());
            roots[found++] = {z.real(), -im};
            roots[found++] = {z.real(), im};
            deflate_pair(p.data(), d, -2.0 * z.real(), std::norm(z));
            d -= 2;
        }
    }
    if (d == 2) {
        quadratic_roots(p[0], p[1], p[2], roots + found);
        found += 2;
    } else if (d == 1) {
        roots[found++] = {-p[1] / p[0], 0.0};
    }
    // The quotients carry the rounding of each division: a last polish on
    // the polynomial itself.
    for (int k = 0; k < deg; k++)
        if (roots[k].imaginary == 0.0) roots[k].real = polish(coef, deg, roots[k].real);
    return found;
}

} // namespace

int CxPolyRoots(const double* coef, int ncoef, complex_num* roots) {
    if (ncoef < 1) return MATH_ERR_SAMPLES;
    if (!coef || !roots) return MATH_ERR_NULL;
    for (int k = 0; k < ncoef; k++)
        if (!std::isfinite(coef[k])) return MATH_ERR_NOT_FINITE;
    int first = 0;
    while (first < ncoef && coef[first] == 0.0) first++;
    if (first == ncoef) return MATH_ERR_NO_ROOTS;
    const int deg = ncoef - 1 - first;
    try {
        const int found = all_roots(coef + first, deg, roots);
        if (found < 0) return found;
    } catch (const std::bad_alloc&) {
        return MATH_ERR_NO_MEMORY;
    }
    for (int k = 0; k < deg; k++)
        if (!std::isfinite(roots[k].real) || !std::isfinite(roots[k].imaginary)) return MATH_ERR_NOT_FINITE;
    std::sort(roots, roots + deg, [](const complex_num& a, const complex_num& b) {
        const bool a_real = a.imaginary == 0.0;
        const bool b_real = b.imaginary == 0.0;
        if (a_real != b_real) return a_real;
        if (a.real != b.real) return a.real < b.real;
        return a.imaginary < b.imaginary;
    });
    return deg;
}

// ---- Linearisation tables ----

namespace {

// The root taken for one level (see the header). `prev` is the previous
// level's root, null for level 0; `at0` and `at1` are P(0) - t and P(1) - t.
double choose_root(const complex_num* roots, int nroots, const double* prev, double at0, double at1) {
    bool have_inside = false;
    double inside = 0.0;
    bool have_real = false;
    for (int k = 0; k < nroots; k++) {
        if (roots[k].imaginary != 0.0) continue;
        have_real = true;
        const double r = roots[k].real;
        if (r < 0.0 || r > 1.0) continue;
        // Roots come ascending: for level 0 the first one inside is the smallest.
        if (!have_inside || (prev && std::fabs(r - *prev) < std::fabs(inside - *prev))) inside = r;
        have_inside = true;
    }
    if (have_inside) return inside;
    if (!have_real) return prev ? *prev : 0.0;
    // The fit does not reach the level inside the range: the level lies beyond
    // the fit's values there, and the range end whose value comes nearer
    // stands for it. A root outside would be the wrong end where the fit dips
    // or bends back before an end of the range.
    const double gap0 = std::fabs(at0);
    const double gap1 = std::fabs(at1);
    if (gap0 != gap1) return gap0 < gap1 ? 0.0 : 1.0;
    return prev && *prev > 0.5 ? 1.0 : 0.0;
}

int16_t quantise(double u, int s) {
    if (u < 0.0) return 0;
    if (u > 1.0) return static_cast<int16_t>(s);
    return static_cast<int16_t>(static_cast<int>(s * u));
}

int table_from_readings(const int* readings, int n, int s, int16_t* table, int m, double* coef) {
    int vmax = readings[0];
    for (int k = 1; k < n; k++) vmax = std::max(vmax, readings[k]);
    if (vmax <= 0) return LINEAR_ERR_SCALE;

    std::vector<double> x(static_cast<size_t>(n));
    std::vector<double> y(static_cast<size_t>(n));
    for (int k = 0; k < n; k++) {
        x[k] = static_cast<double>(k) / n;
        y[n - 1 - k] = static_cast<double>(readings[k]) / vmax;
    }
    double c[4] = {};
    double mse = 0.0;
    if (PolyFit(x.data(), y.data(), n, 3, nullptr, c, &mse) < 0) return LINEAR_ERR_FIT;
    if (coef) std::copy(c, c + 4, coef);

    const double derivative[3] = {c[1], 2.0 * c[2], 3.0 * c[3]};
    if (PolyEv1D(x.data(), n, derivative, 3, x.data()) < 0) return LINEAR_ERR_SLOPE;

    // A scratch table: a channel's table changes only when all levels worked.
    std::vector<int16_t> scratch(static_cast<size_t>(m));
    double level[4] = {c[3], c[2], c[1], 0.0};
    complex_num roots[3];
    double prev = 0.0;
    const double end_value = c[0] + c[1] + c[2] + c[3];
    for (int j = 0; j < m; j++) {
        const double t = static_cast<double>(j) / m;
        level[3] = c[0] - t;
        const int nroots = CxPolyRoots(level, 4, roots);
        if (nroots < 0) return LINEAR_ERR_ROOTS;
        prev = choose_root(roots, nroots, j > 0 ? &prev : nullptr, c[0] - t, end_value - t);
        scratch[j] = quantise(prev, s);
    }
    std::copy(scratch.begin(), scratch.end(), table);
    return LINEAR_TABLE_OK;
}

bool table_args_ok(int n, int s, const int16_t* table, int m) {
    return table && n >= 4 && n <= LINEAR_FILE_MAX_LINES && s >= 1 && s <= 32767 && m >= 1 &&
           m <= LINEAR_MAX_TABLE;
}

int table_from_read(int rc, const std::vector<int>& readings, int count, int n, int s, int16_t* table, int m,
                    double* coef) {
    if (rc == LINEAR_FILE_NOT_NUMBER) return LINEAR_ERR_NUMBER;
    if (rc != LINEAR_FILE_OK) return LINEAR_ERR_OPEN;
    if (count < n) return LINEAR_ERR_SHORT;
    return table_from_readings(readings.data(), n, s, table, m, coef);
}

} // namespace

int linear_table_from_readings(const int* readings, int n, int s, int16_t* table, int m, double* coef) {
    if (!readings || !table_args_ok(n, s, table, m)) return LINEAR_ERR_ARG;
    try {
        return table_from_readings(readings, n, s, table, m, coef);
    } catch (const std::bad_alloc&) {
        return LINEAR_ERR_MEMORY;
    }
}

int get_linear_data(const char* path, int n, int s, int16_t* table, int m) {
    if (!table_args_ok(n, s, table, m)) return LINEAR_ERR_ARG;
    try {
        std::vector<int> readings(static_cast<size_t>(n));
        int count = 0;
        const int rc = linear_file_read_values(path, n, readings.data(), &count);
        return table_from_read(rc, readings, count, n, s, table, m, nullptr);
    } catch (const std::bad_alloc&) {
        return LINEAR_ERR_MEMORY;
    }
}

int get_linear_data_mem(const char* bytes, size_t size, int n, int s, int16_t* table, int m, double* coef) {
    if (!table_args_ok(n, s, table, m)) return LINEAR_ERR_ARG;
    try {
        std::vector<int> readings(static_cast<size_t>(n));
        int count = 0;
        const int rc = linear_file_read_values_mem(bytes, size, n, readings.data(), &count);
        return table_from_read(rc, readings, count, n, s, table, m, coef);
    } catch (const std::bad_alloc&) {
        return LINEAR_ERR_MEMORY;
    }
}

int get_default_linear_data(int s, int16_t* table, int m) {
    if (!table || s < 0 || s > 32767 || m < 1) return LINEAR_ERR_ARG;
    for (int i = 0; i < m; i++)
        table[i] = static_cast<int16_t>(static_cast<long long>(s) * i / m);
    return 1;
}
