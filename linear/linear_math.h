// Linearisation tables: the analysis routines they rest on (least-squares fit,
// polynomial evaluation, polynomial roots) and the tables themselves.
//
// A table inverts the sensor's characteristic: the readings of a file are
// normalised, fitted by a cubic P (position -> level), and entry j is the
// position at which P reaches the level j/m, scaled to the full scale s.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Analysis routines ----
// Each returns 0 (CxPolyRoots: the number of roots) on success and a negative
// code on failure.

constexpr int MATH_ERR_SAMPLES = -20003;    // number of samples or coefficients not positive
constexpr int MATH_ERR_ORDER_NEG = -20103;  // negative order
constexpr int MATH_ERR_ORDER_HIGH = -20037; // order not smaller than the number of samples
constexpr int MATH_ERR_NO_MEMORY = -20001;
constexpr int MATH_ERR_NULL = -20090;       // a null input or output
constexpr int MATH_ERR_NOT_FINITE = -20091; // an input or a result is NaN or infinite
constexpr int MATH_ERR_NO_ROOTS = -20092;   // every coefficient 0, or the eigenvalue search failed

// Least-squares fit of a polynomial of degree `order` to the n points (x, y),
// solved by a column-pivoting QR decomposition of the Vandermonde matrix (not
// the normal equations, which square its condition). `coef` receives order + 1
// coefficients in ascending powers; `fitted` (n values) and `mse` (the mean of
// the squared residuals) may be null.
int PolyFit(const double* x, const double* y, int n, int order, double* fitted, double* coef, double* mse);

// out[i] = coef[0] + coef[1] x[i] + ... for i < n; `out` may be `x`.
// MATH_ERR_SAMPLES when n or ncoef is not positive.
int PolyEv1D(const double* x, int n, const double* coef, int ncoef, double* out);

struct complex_num {
    double real;
    double imaginary;
};

// Roots of the polynomial coef[0] x^(ncoef-1) + ... + coef[ncoef-1] (highest
// power first). Leading coefficients that are exactly 0 lower the degree, so
// the result is the number of roots written to `roots` (room for ncoef - 1):
// the degree, 0 for a non-zero constant.
//
// Method: the eigenvalue of largest modulus of the balanced companion matrix
// is polished by Newton steps and divided out of the polynomial (a complex one
// with its conjugate), and so on down to a quadratic, which is solved in
// closed form. Eigenvalues are accurate only relative to the largest one, so
// taking them all at once would lose the small roots of a cubic whose leading
// coefficient is rounding noise; the quotients keep them. Every real root is
// finally polished on the polynomial itself; Newton steps are kept only while
// they lower |p|. A real root has an imaginary part of exactly 0.
//
// Order: the real roots ascending, then the complex ones by real part, then
// imaginary part (a conjugate pair: negative imaginary part first).
// MATH_ERR_SAMPLES for ncoef < 1, MATH_ERR_NO_ROOTS when every coefficient is
// 0 or the eigenvalue search fails, MATH_ERR_NOT_FINITE for a NaN or infinite
// coefficient or root.
int CxPolyRoots(const double* coef, int ncoef, complex_num* roots);

// out[i] = |in[i]|; `out` may be `in`. MATH_ERR_SAMPLES when n is not positive.
int Abs1D(const double* in, int n, double* out);

// ---- Linearisation tables ----

constexpr int LINEAR_TABLE_OK = 1;
constexpr int LINEAR_ERR_ARG = -10;    // counts or full scale out of range, null table
constexpr int LINEAR_ERR_OPEN = -11;   // the file is missing, no regular file, or too big
constexpr int LINEAR_ERR_NUMBER = -12; // a line before the n-th is not a number
constexpr int LINEAR_ERR_SHORT = -13;  // fewer than n readings (end of file or an empty line)
constexpr int LINEAR_ERR_SCALE = -14;  // largest reading 0 or negative: cannot be normalised
constexpr int LINEAR_ERR_FIT = -15;    // PolyFit failed
constexpr int LINEAR_ERR_SLOPE = -16;  // the slope of the fit could not be evaluated
constexpr int LINEAR_ERR_ROOTS = -17;  // CxPolyRoots failed for a level
constexpr int LINEAR_ERR_MEMORY = -18;

constexpr int LINEAR_FULL_SCALE = 32767; // s of every table the unit gets
constexpr int LINEAR_MAX_TABLE = 65536;  // largest m accepted

// The table of n readings in file order (reading k at the k-th position from
// the end of the range). n lies in 4 to LINEAR_FILE_MAX_LINES, s in 1 to
// 32767, m in 1 to LINEAR_MAX_TABLE.
//
// Readings are normalised by the largest one; x[k] = k / n, y[n-1-k] =
// reading k. The cubic fit gives c0..c3 (`coef`, may be null, receives them
// also when a later step fails). For level j, t = j / m, the roots of
// P(u) - t are searched; the real root in [0, 1] nearest the previous level's
// root is taken (level 0: the smallest in [0, 1]), so the table follows one
// branch of the curve whatever order the roots come in. With no root in [0, 1]
// the fit does not reach the level inside the range, and the end of the range
// (0 or 1) where P comes nearer the level is taken: for a fit that dips below
// its start or bends back before its end, a root outside the range may lie
// beyond the wrong end. With no real root at all (a quadratic fit), the
// previous level's root (0 for level 0). Entry j = 0 below 0, s above 1, else
// the integer part of s u.
//
// The slope of the fit is evaluated over all positions but does not refuse a
// table: a fit that falls somewhere still gives one, along the branch chosen
// above. The table is written only on success; on failure it keeps what it held.
// Returns LINEAR_TABLE_OK or a LINEAR_ERR_ code.
int linear_table_from_readings(const int* readings, int n, int s, int16_t* table, int m, double* coef);

// get_linear_data over a file, as the linearisation panel calls it (n = 1024,
// s = 32767, m = 1024): reads n readings with the value reader (linear_file.h)
// and computes the table. LINEAR_ERR_OPEN is the failure to tell the user in a
// popup; every failure leaves the table as it was.
int get_linear_data(const char* path, int n, int s, int16_t* table, int m);
// The same over a file's bytes in memory; `coef` may be null.
int get_linear_data_mem(const char* bytes, size_t size, int n, int s, int16_t* table, int m, double* coef);

// The straight-line table: table[i] = integer part of s i / m, in integers
// (s = 32767, m = 1024: 0, 31, 63, ..., 32735). Returns 1, or LINEAR_ERR_ARG
// for a null table, s outside 0 to 32767 or m < 1.
int get_default_linear_data(int s, int16_t* table, int m);
