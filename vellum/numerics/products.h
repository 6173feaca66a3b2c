// Matrix and vector products and transforms on the host's matrix records. They compute from the
// real parts only (an absent array reads as 0.0) and never read an imaginary part. Those that
// can fail return one of the library's error texts, null meaning success; results are built
// through aMatrix::mk with the call context's allocator and passed back through `out`.
#pragma once

#include <vellum/values/allocator.h>
#include <vellum/values/matrix.h>
#include <vellum/values/views.h>

// R = A * B over the real parts: every R(i, j) is the sum from +0.0, p ascending, of the rounded
// products A(i, p) * B(p, j). The result is stored into `out` before B's row count is compared
// with A's column count, so "array size mismatch" leaves the unfilled product there. When A or
// B has an imaginary part the result carries an imaginary array, which holds zeros: the product
// is that of the real parts.
VELLUM_API char const* MMprod(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix** out);
// w = M * v, a new vector of M.rows elements.
VELLUM_API char const* MVprod(EfiCallContext* context, aMatrix* M, aVector* v, aVector** out);
// A new real vector with v's real entries; "Unknown error" when v is null.
VELLUM_API char const* Vcopy(EfiCallContext* context, aVector* v, aVector** out);
// result = sum of a[k] * b[k]. The result is set to 0.0 first, so it holds 0.0 after an error,
// and the running sum is kept in it.
VELLUM_API char const* Vscalpr(aVector* a, aVector* b, double& result);
// The transpose of M's real part, without imaginary part.
VELLUM_API char const* Mtrans(EfiCallContext* context, aMatrix* M, aMatrix** out);
// R = alpha * A + beta * B. With beta 0, B is not read and its shape may differ from A's (but
// it must still have a row and a column); alpha 1 with beta 1 or -1 add or subtract directly.
VELLUM_API char const* Mvector(EfiCallContext* context, double alpha, aMatrix* A, double beta, aMatrix* B,
                               aMatrix** out);
// Copies column `col` of M into v's real part (creating it when needed) and clears v's imaginary
// entries of those rows. v's length is not checked; v must have at least M.rows elements.
VELLUM_API char const* MtoVcol(aMatrix* M, int col, aVector* v);
// sqrt of the sum of squares, unscaled; 0.0 for an empty vector.
VELLUM_API double Vnorm2(aVector* v);
// Sets rows first_row .. rows - 1 of column `col` of M's real part to 0.0; an absent real part
// stays absent.
VELLUM_API void zero_col(int col, int first_row, aMatrix* M);
